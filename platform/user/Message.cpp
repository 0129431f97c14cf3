// Messages: delivery to window procedures, the posted and input queues, retrieval in the
// platform's order with synthesised WM_PAINT and WM_TIMER, waiting on the host, dispatching,
// translation of keys into characters, and the message spy.
#include <unistd.h>

#include <thread>
#include <utility>

#include "ScopeGuard.h"
#include "UserInternal.h"

namespace user {

int gDeliveryDepth = 0;

namespace {

std::deque<MSG> gPosted;
std::deque<InputEvent> gInput;
bool gQuit = false;
int gQuitCode = 0;
MessageSpy gSpy;
std::vector<bool> gFrames;  // procedures running, innermost last: true for DefWindowProcW
DWORD gLastHostPump = 0;
std::vector<String> gRegistered;
int gWakeFd = -1;
std::function<void()> gOnWake;
HostWindowDriver* gWakeHost = nullptr;  // the host told of gWakeFd
bool gHostWoke = false;                 // the host drained gWakeFd

bool InRange(UINT msg, UINT min, UINT max) {
  return (min == 0 && max == 0) || (msg >= min && msg <= max);
}

bool WindowMatches(HWND filter, HWND hwnd) {
  if (!filter) return true;
  if (filter == HWND(-1) || filter == 1) return hwnd == 0;
  if (hwnd == filter) return true;
  return IsChild(filter, hwnd) != FALSE;
}

void TakeWake() {
  if (gWakeFd < 0) return;
  bool woke = std::exchange(gHostWoke, false);
  char bytes[64];
  while (::read(gWakeFd, bytes, sizeof bytes) > 0) woke = true;
  // A copy: onWake may watch again, or reset the window system.
  if (!woke || !gOnWake) return;
  std::function<void()> onWake = gOnWake;
  onWake();
}

void PumpHost(int timeoutMs) {
  gLastHostPump = Now();
  HostWindowDriver* h = Host();
  if (h && gWakeFd >= 0 && gWakeHost != h) {
    // The host's notice only marks the wake; onWake runs below, outside the host's own loop.
    h->WatchWakeFd(gWakeFd, [] { gHostWoke = true; });
    gWakeHost = h;
  }
  if (h) h->ProcessEvents(timeoutMs);
  else if (timeoutMs != 0)
    std::this_thread::sleep_for(
        std::chrono::milliseconds(timeoutMs < 0 ? 10 : std::min(timeoutMs, 10)));
  ProcessPendingHostEvents();
  TakeWake();
}

// Input before the window system hands it out, keyed by its message, for TranslateMessage.
std::unordered_map<DWORD, String>& KeyTexts() {
  static std::unordered_map<DWORD, String> texts;
  return texts;
}
DWORD gNextTextId = 1;

bool Retrieve(MSG* out, HWND filter, UINT min, UINT max, UINT flags) {
  bool remove = (flags & PM_REMOVE) != 0;
  for (auto it = gPosted.begin(); it != gPosted.end(); ++it) {
    if (!InRange(it->message, min, max) || !WindowMatches(filter, it->hwnd)) continue;
    *out = *it;
    if (remove) gPosted.erase(it);
    return true;
  }
  if (gQuit) {
    *out = MSG{};
    out->message = WM_QUIT;
    out->wParam = WPARAM(gQuitCode);
    out->time = Now();
    out->pt = gCursorPos;
    if (remove) gQuit = false;
    return true;
  }
  for (std::size_t i = 0; i < gInput.size();) {
    InputEvent e = gInput[i];
    MSG m;
    bool eat = false;
    if (!TranslateInput(e, &m, false, &eat)) {
      gInput.erase(gInput.begin() + std::ptrdiff_t(i));  // nobody's: dropped, as on the platform
      continue;
    }
    if (!InputMatches(m, filter, min, max)) {
      ++i;
      continue;
    }
    if (!remove) {
      *out = m;
      return true;
    }
    gInput.erase(gInput.begin() + std::ptrdiff_t(i));
    if (!TranslateInput(e, &m, true, &eat) || eat) {
      i = 0;
      continue;
    }
    if (e.kind != InputEvent::Key) CommitMouseMessage(m);
    *out = m;
    return true;
  }
  if (InRange(WM_PAINT, min, max) && filter != HWND(-1)) {
    if (Wnd* w = FindWindowToPaint(filter)) {
      *out = MSG{};
      out->hwnd = w->handle;
      out->message = WM_PAINT;
      out->time = Now();
      out->pt = gCursorPos;
      return true;
    }
  }
  std::size_t posted = gPosted.size();
  RunDueSystemTimers();
  CheckMouseHover();
  if (gPosted.size() > posted) return Retrieve(out, filter, min, max, flags);
  return TakeDueTimer(filter, min, max, remove, out);
}

bool TryRetrieve(MSG* msg, HWND filter, UINT min, UINT max, UINT flags) {
  ProcessPendingHostEvents();
  // Keep the host's input flowing while the queue never runs dry.
  if (Now() - gLastHostPump >= 10) PumpHost(0);
  if (Retrieve(msg, filter, min, max, flags)) return true;
  return false;
}

}  // namespace

LRESULT CallProc(HWND hwnd, WNDPROC proc, UINT msg, WPARAM wParam, LPARAM lParam, bool posted) {
  if (gSpy) {
    SpiedMessage s{hwnd,   msg,    wParam,
                   lParam, posted, !posted && !gFrames.empty() && gFrames.back()};
    gSpy(s);
  }
  if (!proc) return 0;
  ++gDeliveryDepth;
  gFrames.push_back(false);
  ScopeGuard depth([] {
    gFrames.pop_back();
    if (--gDeliveryDepth == 0) FreeDeadWindows();
  });
  return proc(hwnd, msg, wParam, lParam);
}

void QueueInput(const InputEvent& e) {
  if (e.kind == InputEvent::MouseMove && !gInput.empty() &&
      gInput.back().kind == InputEvent::MouseMove) {
    gInput.back() = e;  // moves coalesce, as the platform's do
    return;
  }
  gInput.push_back(e);
}

DWORD StoreKeyText(const String& text) {
  if (text.empty()) return 0;
  auto& t = KeyTexts();
  if (t.size() > 256) t.clear();  // characters of keys nobody translated
  DWORD id = gNextTextId++;
  if (!gNextTextId) gNextTextId = 1;
  t[id] = text;
  return id;
}

String TakeKeyText(DWORD id) {
  auto& t = KeyTexts();
  auto it = t.find(id);
  if (it == t.end()) return String();
  String s = it->second;
  t.erase(it);
  return s;
}

bool InputMatches(const MSG& m, HWND filter, UINT min, UINT max) {
  return InRange(m.message, min, max) && WindowMatches(filter, m.hwnd);
}

void DropWindowMessages(HWND hwnd) {
  for (auto it = gPosted.begin(); it != gPosted.end();)
    it = it->hwnd == hwnd ? gPosted.erase(it) : it + 1;
}

void EnterDefProc(HWND) { gFrames.push_back(true); }
void LeaveDefProc() {
  if (!gFrames.empty()) gFrames.pop_back();
}

void ResetMessages() {
  gPosted.clear();
  gInput.clear();
  gQuit = false;
  gQuitCode = 0;
  gFrames.clear();
  KeyTexts().clear();
  gRegistered.clear();
  gWakeFd = -1;
  gOnWake = nullptr;
  gWakeHost = nullptr;
  gHostWoke = false;
}

bool NextMessageWhileCaptured(HWND hwnd, MSG& m) {
  if (GetCapture() != hwnd || !GetMessageW(&m, 0, 0, 0)) return false;
  if (m.message != WM_QUIT) return true;
  PostQuitMessage(int(m.wParam));
  return false;
}

}  // namespace user

using namespace user;

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Wnd* w = GetWnd(hwnd);
  if (!w || w == Desktop()) {
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallProc(hwnd, w->proc, msg, wParam, lParam, false);
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd && !GetWndOrError(hwnd)) return FALSE;
  MSG m;
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = Now();
  m.pt = gCursorPos;
  gPosted.push_back(m);
  return TRUE;
}

void UserWatchWakeFd(int fd, std::function<void()> onWake) {
  gWakeFd = fd;
  gOnWake = std::move(onWake);
  gWakeHost = nullptr;
}

void PostQuitMessage(int exitCode) {
  gQuit = true;
  gQuitCode = exitCode;
}

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT min, UINT max, UINT removeFlags) {
  if (!msg) return FALSE;
  if (TryRetrieve(msg, hwnd, min, max, removeFlags)) return TRUE;
  PumpHost(0);
  if (TryRetrieve(msg, hwnd, min, max, removeFlags)) return TRUE;
  FlushSurfaces();
  return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT min, UINT max) {
  if (!msg) return -1;
  if (hwnd && hwnd != HWND(-1) && !GetWndOrError(hwnd)) return -1;
  for (;;) {
    if (TryRetrieve(msg, hwnd, min, max, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
    FlushSurfaces();
    int timeout = MsUntilNextTimer();
    int hover = MsUntilHover();
    if (hover >= 0 && (timeout < 0 || hover < timeout)) timeout = hover;
    PumpHost(timeout);
  }
}

BOOL WaitMessage() {
  for (;;) {
    ProcessPendingHostEvents();
    MSG m;
    if (Retrieve(&m, 0, 0, 0, PM_NOREMOVE)) return TRUE;
    FlushSurfaces();
    int timeout = MsUntilNextTimer();
    int hover = MsUntilHover();
    if (hover >= 0 && (timeout < 0 || hover < timeout)) timeout = hover;
    PumpHost(timeout);
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) {
    return msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP;
  }
  String text;
  if (msg->lPrivate) {
    text = TakeKeyText(msg->lPrivate);
  } else {
    // A posted key: its character by the layout and the key state.
    bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
    bool caps = GetKeyState(VK_CAPITAL) & 1;
    int vk = int(msg->wParam);
    UINT ch = MapVirtualKeyW(UINT(vk), MAPVK_VK_TO_CHAR) & 0xFFFF;
    if (ch >= 'A' && ch <= 'Z') {
      if (ctrl) ch = ch - 'A' + 1;
      else if (shift == caps) ch = ch - 'A' + 'a';
    } else if (ch && shift && !ctrl) {
      static const char* from = "1234567890-=[]\\;',./`";
      static const char* to = "!@#$%^&*()_+{}|:\"<>?~";
      for (int i = 0; from[i]; ++i)
        if (UINT(from[i]) == ch) ch = UINT(to[i]);
    } else if (ctrl && ch != 8 && ch != 9 && ch != 13 && ch != 27) {
      ch = 0;
    }
    if (vk == VK_DELETE) ch = 0;
    if (ch) text = String(1, Char(ch));
  }
  UINT charMsg = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  for (Char c : text) {
    if (c == 0x7F) continue;  // the host's Delete character: the platform types none
    PostMessageW(msg->hwnd, charMsg, WPARAM(c), msg->lParam);
  }
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    // Only a callback a live timer was set with is called.
    TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (IsTimerProc(proc)) {
      proc(msg->hwnd, WM_TIMER, msg->wParam, Now());
      return 0;
    }
  }
  Wnd* w = GetWnd(msg->hwnd);
  if (!w || w == Desktop()) {
    if (msg->hwnd) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  HWND hwnd = msg->hwnd;
  LRESULT r = CallProc(hwnd, w->proc, msg->message, msg->wParam, msg->lParam, true);
  if (msg->message == WM_PAINT) {
    Wnd* after = GetWnd(hwnd);
    if (after && NeedsPaint(after)) {
      EraseNow(hwnd, RDW_NOCHILDREN);
      if ((after = GetWnd(hwnd))) {
        after->update = Region();
        after->internalPaint = after->erase = false;
      }
    }
  }
  return r;
}

UINT RegisterWindowMessageW(const WCHAR* name) {
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  String n(name);
  for (std::size_t i = 0; i < gRegistered.size(); ++i)
    if (SameText(gRegistered[i], n)) return UINT(0xC000 + i);
  if (gRegistered.size() >= 0x3FFF) return 0;
  gRegistered.push_back(n);
  return UINT(0xC000 + gRegistered.size() - 1);
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  // A subclass handing a message on: the spy saw it when it was delivered.
  ++gDeliveryDepth;
  ScopeGuard depth([] {
    if (--gDeliveryDepth == 0) FreeDeadWindows();
  });
  return proc(hwnd, msg, wParam, lParam);
}

MessageSpy SetMessageSpy(MessageSpy spy) {
  MessageSpy old = std::move(gSpy);
  gSpy = std::move(spy);
  return old;
}

namespace {
ModalLoopHook& CurrentModalLoopHook() {
  static ModalLoopHook hook;
  return hook;
}
}  // namespace

ModalLoopHook SetModalLoopHook(ModalLoopHook hook) {
  ModalLoopHook previous = std::move(CurrentModalLoopHook());
  CurrentModalLoopHook() = std::move(hook);
  return previous;
}

void NotifyModalLoopEntered(HWND window) {
  // A copy, so the hook may replace itself.
  ModalLoopHook hook = CurrentModalLoopHook();
  if (hook) hook(window);
}
