#include "UserTestSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

bool FakeHost::CreateSurface(HostSurfaceId id, const HostSurfaceParams& p) {
  Surface& s = surfaces[id];
  s.params = p;
  s.rect = p.rect;
  return true;
}

void FakeHost::ShowSurface(HostSurfaceId id, bool show, bool activate) {
  Surface& s = surfaces[id];
  s.shown = show;
  if (show && activate) s.activated = true;
}

void FakeHost::FlushSurface(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                            int stride, const RECT& dirty) {
  Surface& s = surfaces[id];
  const std::size_t dw = std::size_t(width * scale);
  if (s.width != width || s.height != height ||
      s.device.size() != dw * std::size_t(height * scale)) {
    s.width = width;
    s.height = height;
    s.pixels.assign(std::size_t(width) * std::size_t(height), 0);
    s.device.assign(dw * std::size_t(height * scale), 0);
  }
  for (int y = dirty.top; y < dirty.bottom; ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(pixels) +
                                                       std::ptrdiff_t(y) * stride);
    for (int x = dirty.left; x < dirty.right; ++x) {
      s.pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = row[x] & 0xFFFFFF;
      for (int i = 0; i < scale * scale; ++i)
        s.device[std::size_t(y * scale + i / scale) * dw + std::size_t(x * scale + i % scale)] =
            row[x] & 0xFFFFFF;
    }
  }
  s.flushes.push_back(dirty);
}

void FakeHost::FlushSurfaceLayers(HostSurfaceId id, const std::uint32_t* pixels, int width,
                                  int height, int stride, const RECT& dirty,
                                  const std::vector<HostDeviceLayer>& layers) {
  FlushSurface(id, pixels, width, height, stride, dirty);
  Surface& s = surfaces[id];
  ++s.layeredFlushes;
  const int dw = width * scale;
  for (const HostDeviceLayer& l : layers)
    for (const RECT& c : l.clip)
      for (int y = std::max(c.top, dirty.top) * scale; y < std::min(c.bottom, dirty.bottom) * scale;
           ++y)
        for (int x = std::max(c.left, dirty.left) * scale;
             x < std::min(c.right, dirty.right) * scale; ++x) {
          int lx = x - l.rect.left * scale, ly = y - l.rect.top * scale;
          if (lx < 0 || ly < 0 || lx >= l.width || ly >= l.height) continue;
          auto* row = reinterpret_cast<const std::uint32_t*>(
              reinterpret_cast<const char*>(l.pixels) + std::ptrdiff_t(ly) * l.strideBytes);
          s.device[std::size_t(y) * std::size_t(dw) + std::size_t(x)] = row[lx] & 0xFFFFFF;
        }
}

void FakeHost::ProcessEvents(int timeoutMs) {
  if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 5)));
}

void FakeHost::Mouse(HostEventType type, HWND surface, POINT screen, int button,
                     unsigned buttons) const {
  HostEvent e;
  e.type = type;
  e.surface = surface;
  e.pt = screen;
  e.button = button;
  e.buttons = buttons;
  Send(e);
}

void FakeHost::Key(HostEventType type, int vk, const std::u16string& text, unsigned mods) const {
  HostEvent e;
  e.type = type;
  e.vk = vk;
  e.text = text;
  e.modifiers = mods;
  Send(e);
}

std::uint32_t FakeHost::Pixel(HWND surface, int x, int y) const {
  auto it = surfaces.find(surface);
  if (it == surfaces.end() || x < 0 || y < 0 || x >= it->second.width || y >= it->second.height)
    return 0xFFFFFFFF;
  return it->second.pixels[std::size_t(y) * std::size_t(it->second.width) + std::size_t(x)];
}

std::uint32_t FakeHost::DevicePixel(HWND surface, int x, int y) const {
  auto it = surfaces.find(surface);
  const int dw = it == surfaces.end() ? 0 : it->second.width * scale;
  if (it == surfaces.end() || x < 0 || y < 0 || x >= dw || y >= it->second.height * scale)
    return 0xFFFFFFFF;
  return it->second.device[std::size_t(y) * std::size_t(dw) + std::size_t(x)];
}

void UserTest::SetUp() {
  UserSetHostDriver(&host);
  UserResetForTesting();
  HostScreen s;
  s.geometry = RECT{0, 0, 1024, 768};
  s.workArea = RECT{0, 0, 1024, 728};
  s.primary = true;
  host.screens = {s};
}

void UserTest::TearDown() {
  UserResetForTesting();
  UserSetHostDriver(nullptr);
}

MessageLog::MessageLog() { Attach(); }

void MessageLog::Attach() {
  SetMessageSpy([this](const SpiedMessage& m) {
    if (!classNames_.empty() && !names_.count(m.hwnd)) {
      WCHAR cls[64];
      if (GetClassNameW(m.hwnd, cls, 64)) {
        auto it = classNames_.find(cls);
        if (it != classNames_.end()) names_[m.hwnd] = it->second;
      }
    }
    entries_.push_back(m);
  });
}

MessageLog::~MessageLog() { SetMessageSpy(MessageSpy()); }

std::vector<std::string> MessageLog::Lines(const std::set<UINT>& skip) const {
  std::vector<std::string> out;
  for (const SpiedMessage& m : entries_) {
    auto it = names_.find(m.hwnd);
    if (it == names_.end() || skip.count(m.message)) continue;
    std::string line = it->second + " " + MessageName(m.message);
    if (m.posted) line += " posted";
    if (m.fromDefWindowProc) line += " (def)";
    out.push_back(line);
  }
  return out;
}

std::vector<SpiedMessage> MessageLog::Of(HWND hwnd, UINT msg) const {
  std::vector<SpiedMessage> out;
  for (const SpiedMessage& m : entries_)
    if (m.hwnd == hwnd && m.message == msg) out.push_back(m);
  return out;
}

std::string MessageName(UINT msg) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_SETTEXT, "WM_SETTEXT"},
      {WM_GETTEXT, "WM_GETTEXT"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_CANCELMODE, "WM_CANCELMODE"},
      {WM_SETCURSOR, "WM_SETCURSOR"},
      {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CHILDACTIVATE, "WM_CHILDACTIVATE"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
      {WM_SYSKEYUP, "WM_SYSKEYUP"},
      {WM_SYSCHAR, "WM_SYSCHAR"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_MOUSEHWHEEL, "WM_MOUSEHWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {WM_STYLECHANGING, "WM_STYLECHANGING"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_USER, "WM_USER"},
      {WM_QUIT, "WM_QUIT"},
      {WM_MOUSEHOVER, "WM_MOUSEHOVER"},
      {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
  };
  auto it = names.find(msg);
  if (it != names.end()) return it->second;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04X", msg);
  return buf;
}

namespace {

std::map<std::u16string, TestHandler>& Handlers() {
  static std::map<std::u16string, TestHandler> h;
  return h;
}

LRESULT TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WCHAR name[64];
  GetClassNameW(hwnd, name, 64);
  auto it = Handlers().find(name);
  if (it != Handlers().end() && it->second) {
    LRESULT r = 0;
    TestHandler h = it->second;  // the handler may replace itself
    if (h(hwnd, msg, wParam, lParam, &r)) return r;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterTestClass(const char16_t* name, UINT style, HBRUSH background, TestHandler handler) {
  WNDCLASSEXW wc;
  wc.style = style;
  wc.lpfnWndProc = TestProc;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  ASSERT_NE(RegisterClassExW(&wc), 0);
  Handlers()[name] = std::move(handler);
}

void SetTestHandler(const char16_t* className, TestHandler handler) {
  Handlers()[className] = std::move(handler);
}

void RunClockFor(int ms, int step) {
  StopClockForTesting(true);
  PumpMessages();
  for (int done = 0; done < ms; done += step) {
    AdvanceClockForTesting(DWORD(std::min(step, ms - done)));
    PumpMessages();
  }
}

int PumpMessages() {
  int n = 0;
  MSG m;
  while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
    if (++n > 10000) break;
  }
  return n;
}

COLORREF SurfacePixel(HWND hwnd, int clientX, int clientY) {
  HWND top = GetAncestor(hwnd, GA_ROOT);
  POINT p{clientX, clientY};
  ClientToScreen(hwnd, &p);
  RECT tr;
  GetWindowRect(top, &tr);
  HDC dc = GetDCEx(top, 0, DCX_WINDOW | DCX_CACHE);
  COLORREF c = GetPixel(dc, p.x - tr.left, p.y - tr.top);
  ReleaseDC(top, dc);
  return c;
}

double WakeFromBlockingGetMessageMs() {
  using Clock = std::chrono::steady_clock;
  // Open for the process's life: a host keeps watching the descriptor it was given.
  static int fds[2] = {-1, -1};
  if (fds[0] < 0 && pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return -1;
  UserWatchWakeFd(fds[0], [] { PostQuitMessage(5); });
  const UINT_PTR guard = SetTimer(0, 0, 2000, nullptr);
  std::atomic<Clock::rep> written{0};
  std::thread writer([&written] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    written = Clock::now().time_since_epoch().count();
    char byte = 1;
    (void)!write(fds[1], &byte, 1);
  });
  MSG m{};
  const BOOL got = GetMessageW(&m, 0, 0, 0);
  const Clock::time_point ended = Clock::now();
  writer.join();
  KillTimer(0, guard);
  if (got != FALSE || m.message != WM_QUIT || m.wParam != 5) return -1;
  const Clock::time_point at{Clock::duration(written.load())};
  return std::chrono::duration<double, std::milli>(ended - at).count();
}
