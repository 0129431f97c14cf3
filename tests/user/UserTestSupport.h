#pragma once
// Helpers of the window-system tests: a host that records what it is asked to do, a fixture
// that starts every test from a clean window system, message logs and window classes.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "User.h"
#include "UserDriver.h"

// A host without a screen: it keeps what it is given and reports the events tests hand it.
class FakeHost : public HostWindowDriver {
 public:
  struct Surface {
    HostSurfaceParams params;
    RECT rect{};
    bool shown = false;
    bool activated = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::vector<RECT> flushes;
    // What the screen shows at scale device pixels per logical one: the flushed pixels
    // enlarged, the device layers drawn over them.
    std::vector<std::uint32_t> device;
    int layeredFlushes = 0;
    HostSurfaceState state = HostSurfaceState::Normal;
    std::vector<HostSurfaceState> states;  // every state asked for
    int restyles = 0;
  };

  void SetEventSink(HostEventSink sink) override { sink_ = std::move(sink); }
  bool CreateSurface(HostSurfaceId id, const HostSurfaceParams& p) override;
  void DestroySurface(HostSurfaceId id) override { surfaces.erase(id); }
  void ShowSurface(HostSurfaceId id, bool show, bool activate) override;
  void MoveSurface(HostSurfaceId id, const RECT& rect) override { surfaces[id].rect = rect; }
  void SetSurfaceTitle(HostSurfaceId id, const std::u16string& t) override {
    surfaces[id].params.title = t;
  }
  void ActivateSurface(HostSurfaceId id) override { surfaces[id].activated = true; }
  void FlushSurface(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                    int stride, const RECT& dirty) override;
  void FlushSurfaceLayers(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                          int stride, const RECT& dirty,
                          const std::vector<HostDeviceLayer>& layers) override;
  double SurfaceScale(HostSurfaceId) override { return scale; }
  bool BeginSystemMove(HostSurfaceId, unsigned) override { return false; }
  void RestyleSurface(HostSurfaceId id, const HostSurfaceParams& p) override {
    Surface& s = surfaces[id];
    HostSurfaceParams kept = s.params;
    s.params = p;
    s.params.rect = kept.rect;
    s.params.title = kept.title;
    ++s.restyles;
  }
  void SetSurfaceState(HostSurfaceId id, HostSurfaceState s) override {
    surfaces[id].state = s;
    surfaces[id].states.push_back(s);
  }
  RECT SurfaceFrameExtents(HostSurfaceId id) override {
    return surfaces.count(id) && surfaces[id].params.decorated ? frame : RECT{};
  }
  void ProcessEvents(int timeoutMs) override;
  void SetCapture(HostSurfaceId id) override { capture = id; }
  POINT GetCursorPos() override { return cursor; }
  void SetCursorPos(POINT p) override { cursor = p; }
  void SetCursor(HostCursor c) override { cursorShape = c; }
  std::vector<HostScreen> GetScreens() override { return screens; }
  bool GetClipboardText(std::u16string* t) override {
    *t = clipboard;
    return !clipboard.empty();
  }
  bool SetClipboardText(const std::u16string& t) override {
    clipboard = t;
    return true;
  }
  void Beep() override { ++beeps; }

  // Hands the window system an event, as the real host does from ProcessEvents.
  void Send(const HostEvent& e) const {
    if (sink_) sink_(e);
  }
  void Mouse(HostEventType type, HWND surface, POINT screen, int button = 0,
             unsigned buttons = 0) const;
  void Key(HostEventType type, int vk, const std::u16string& text = u"", unsigned mods = 0) const;
  // The window manager changes a surface's state (the user minimised or restored it).
  void State(HWND surface, HostSurfaceState s) const {
    HostEvent e;
    e.type = HostEventType::State;
    e.surface = surface;
    e.state = s;
    Send(e);
  }
  // The flushed pixel of a surface, 0x00RRGGBB.
  std::uint32_t Pixel(HWND surface, int x, int y) const;
  // The same at device pixel (x, y).
  std::uint32_t DevicePixel(HWND surface, int x, int y) const;

  std::map<HostSurfaceId, Surface> surfaces;
  std::vector<HostScreen> screens;
  RECT frame{};   // what the desktop's frame around a decorated surface measures
  int scale = 1;  // device pixels per logical pixel
  HostSurfaceId capture = 0;
  POINT cursor;
  HostCursor cursorShape = HostCursor::Arrow;
  std::u16string clipboard;
  int beeps = 0;

 private:
  HostEventSink sink_;
};

// Every test starts with no windows, classes, messages or timers, on a 1024 x 768 screen with
// a 40-pixel panel at the bottom.
class UserTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  FakeHost host;
};

// Messages delivered to window procedures, as the spy saw them.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();
  // Becomes the spy again (a reset of the window system removes every spy).
  void Attach();
  void Clear() { entries_.clear(); }
  // Names the log uses for a window ("parent", "child" ...); others print as their class.
  void Name(HWND hwnd, const std::string& name) { names_[hwnd] = name; }
  // Names every window of a class as it first appears, even before it is created.
  void NameClass(const std::u16string& cls, const std::string& name) { classNames_[cls] = name; }
  // One line per message of the named windows: "child WM_SIZE" with " posted" for posted ones
  // and " (def)" for those sent from the default procedure; messages in skip are left out.
  std::vector<std::string> Lines(const std::set<UINT>& skip = {}) const;
  std::vector<SpiedMessage> Of(HWND hwnd, UINT msg) const;
  const std::vector<SpiedMessage>& All() const { return entries_; }

 private:
  std::vector<SpiedMessage> entries_;
  std::map<HWND, std::string> names_;
  std::map<std::u16string, std::string> classNames_;
};

std::string MessageName(UINT msg);

// A class whose procedure is DefWindowProcW unless the test's handler answers first.
using TestHandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
void RegisterTestClass(const char16_t* name, UINT style = 0, HBRUSH background = 0,
                       TestHandler handler = nullptr);
// The handler of a class registered above may be replaced at any time.
void SetTestHandler(const char16_t* className, TestHandler handler);

// Dispatches everything retrievable now, WM_PAINT included; returns how many messages.
int PumpMessages();

// Stops the clock if it runs, then moves it on by ms in steps of at most step ms, dispatching
// after each step as a loop that keeps up would: timers fall due exactly, and no test waits.
void RunClockFor(int ms, int step = 10);

// A pixel of a window's surface as it is in memory (screen position of the point).
COLORREF SurfacePixel(HWND hwnd, int clientX, int clientY);

// GetMessage waiting with nothing to do while another thread writes a byte to a watched wake
// pipe, as a signal handler would: the milliseconds from the write to the WM_QUIT the wake
// posted, or a negative number when the wait ended otherwise (a guard timer ends it after 2 s).
double WakeFromBlockingGetMessageMs();
