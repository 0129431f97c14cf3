#pragma once
// The host's top-level windows and input, behind a narrow table of calls in the shape of Wine's
// user driver: the window system above draws every pixel of a window itself and hands finished
// rectangles over; the host shows them, and reports input and window-manager changes as events.
// A decorated surface gets its frame and caption from the desktop, which also moves, sizes,
// maximises and minimises it. No Qt type appears here.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "WinTypes.h"

// The window system's own handle of the top-level window a surface belongs to.
using HostSurfaceId = std::uint32_t;

struct HostSurfaceParams {
  // Screen coordinates of what the surface shows: inside the desktop's frame for a decorated
  // surface, the whole window otherwise.
  RECT rect;
  std::u16string title;
  HostSurfaceId owner = 0;  // kept above its owner and off the task bar
  bool popup = false;       // a drop-down: no window-manager handling at all
  bool noActivate = false;  // never takes the keyboard focus from the host
  bool toolWindow = false;  // no task-bar entry
  bool topmost = false;
  bool decorated = false;    // the desktop draws the frame and caption
  bool dialog = false;       // a dialog of its owner (message boxes, modal windows)
  bool resizable = true;     // decorated: the user may change its size
  bool minimizeBox = false;  // decorated: caption buttons
  bool maximizeBox = false;
};

enum class HostSurfaceState { Normal, Minimized, Maximized };

struct HostScreen {
  RECT geometry;
  RECT workArea;  // without panels and task bars
  bool primary = false;
  int dpi = 96;
};

// Modifier and button bits of events.
constexpr unsigned kHostShift = 1, kHostControl = 2, kHostAlt = 4, kHostMeta = 8, kHostKeypad = 16;
constexpr unsigned kHostLeftButton = 1, kHostRightButton = 2, kHostMiddleButton = 4,
                   kHostXButton1 = 8, kHostXButton2 = 16;
// Window edges for a resize the window manager runs.
constexpr unsigned kHostEdgeLeft = 1, kHostEdgeTop = 2, kHostEdgeRight = 4, kHostEdgeBottom = 8;

enum class HostCursor {
  Arrow,
  IBeam,
  Wait,
  Cross,
  UpArrow,
  SizeNWSE,
  SizeNESW,
  SizeWE,
  SizeNS,
  SizeAll,
  No,
  Hand,
  AppStarting,
  Help,
  Hidden
};

enum class HostEventType {
  MouseMove,
  MouseDown,
  MouseUp,
  Wheel,
  MouseLeave,  // the pointer left the surface
  KeyDown,
  KeyUp,
  FocusIn,  // the window manager gave the surface the focus (not as a result of our call)
  FocusOut,
  AppActive,  // the application became the active one, or stopped being it
  AppInactive,
  Geometry,  // the window manager moved or resized the surface: rect
  Close,     // the window manager asked the window to close
  ScreensChanged,
  State,   // the window manager minimised, maximised or restored the surface: state
  Expose,  // the surface's pixels are wanted again (shown, restored, uncovered)
};

struct HostEvent {
  HostEventType type = HostEventType::MouseMove;
  HostSurfaceId surface = 0;
  POINT pt;                // pointer position, screen coordinates (mouse events)
  int button = 0;          // MouseDown / MouseUp: one of the kHost...Button bits
  unsigned buttons = 0;    // buttons held after the event
  unsigned modifiers = 0;  // kHost... modifier bits
  int wheelDelta = 0;      // 120 per notch, positive away from the user / to the right
  bool horizontal = false;
  int vk = 0;        // keys: the platform's virtual-key code
  int scanCode = 0;  // set-1 scan code, 0 when unknown
  bool extended = false;
  bool autoRepeat = false;
  std::u16string text;                                // KeyDown: the characters the key typed
  RECT rect;                                          // Geometry
  HostSurfaceState state = HostSurfaceState::Normal;  // State
};

using HostEventSink = std::function<void(const HostEvent&)>;

// Pixels at the device's own resolution shown over part of a surface, so that what was drawn
// for them (a page from its vectors) is not enlarged from the logical pixels beneath it.
struct HostDeviceLayer {
  const std::uint32_t* pixels = nullptr;  // 0x00RRGGBB words, rows top-down
  int width = 0;                          // device pixels
  int height = 0;
  int strideBytes = 0;
  RECT rect;               // where it lies, surface coordinates (logical pixels)
  std::vector<RECT> clip;  // surface coordinates: it shows only there
};

class HostWindowDriver {
 public:
  virtual ~HostWindowDriver() = default;
  // Events are handed to the sink only from inside ProcessEvents.
  virtual void SetEventSink(HostEventSink sink) = 0;

  virtual bool CreateSurface(HostSurfaceId id, const HostSurfaceParams& params) = 0;
  virtual void DestroySurface(HostSurfaceId id) = 0;
  virtual void ShowSurface(HostSurfaceId id, bool show, bool activate) = 0;
  virtual void MoveSurface(HostSurfaceId id, const RECT& rect) = 0;
  virtual void SetSurfaceTitle(HostSurfaceId id, const std::u16string& title) = 0;
  virtual void ActivateSurface(HostSurfaceId id) = 0;
  // The surface's pixels (0x00RRGGBB words, rows top-down, width x height of the window) of
  // which the dirty rectangle (surface coordinates) changed.
  virtual void FlushSurface(HostSurfaceId id, const std::uint32_t* pixels, int width, int height,
                            int strideBytes, const RECT& dirty) = 0;
  // The same, with layers drawn over the flushed pixels where both the dirty rectangle and
  // their clip allow. A host that cannot shows the logical pixels alone, enlarged.
  virtual void FlushSurfaceLayers(HostSurfaceId id, const std::uint32_t* pixels, int width,
                                  int height, int strideBytes, const RECT& dirty,
                                  const std::vector<HostDeviceLayer>& layers) {
    (void)layers;
    FlushSurface(id, pixels, width, height, strideBytes, dirty);
  }
  // The window's style changed after the surface was made: the frame and its buttons, fixed
  // size, dialog, tool and topmost follow params (rect, title and owner stay as they are).
  virtual void RestyleSurface(HostSurfaceId id, const HostSurfaceParams& params) {
    (void)id;
    (void)params;
  }
  // Lets the window manager move or resize the surface with the pointer held; false when the
  // host cannot.
  virtual bool BeginSystemMove(HostSurfaceId id, unsigned edges) = 0;
  // Minimises (to the task bar), maximises or restores a surface through the window manager.
  virtual void SetSurfaceState(HostSurfaceId id, HostSurfaceState state) {
    (void)id;
    (void)state;
  }
  // The thickness of the frame the desktop draws around a surface (left, top, right, bottom),
  // all 0 when none is known (undecorated, not yet shown, no window manager).
  virtual RECT SurfaceFrameExtents(HostSurfaceId id) {
    (void)id;
    return RECT{};
  }
  // Device pixels per logical pixel of the screen the surface is on.
  virtual double SurfaceScale(HostSurfaceId id) {
    (void)id;
    return 1.0;
  }

  // Delivers pending events, waiting up to timeoutMs for one (-1: as long as it takes, 0: not
  // at all).
  virtual void ProcessEvents(int timeoutMs) = 0;
  // Watches fd (the read end of a pipe a signal handler writes to): when it becomes readable,
  // its bytes are drained, onWake runs and a wait in ProcessEvents returns at once. A host
  // without file descriptors to watch ignores it.
  virtual void WatchWakeFd(int fd, std::function<void()> onWake) {
    (void)fd;
    (void)onWake;
  }

  virtual void SetCapture(HostSurfaceId id) = 0;  // 0 releases
  virtual POINT GetCursorPos() = 0;
  virtual void SetCursorPos(POINT p) = 0;
  virtual void SetCursor(HostCursor cursor) = 0;
  virtual std::vector<HostScreen> GetScreens() = 0;
  virtual bool GetClipboardText(std::u16string* text) = 0;
  virtual bool SetClipboardText(const std::u16string& text) = 0;
  virtual void Beep() = 0;
};

// The Qt implementation, created on first use (with the application object).
HostWindowDriver* HostQtWindowDriver();

// ---- For tests of the Qt implementation ----
// Hands Qt a mouse event for the surface as if it came from the platform (kind: MouseMove,
// MouseDown, MouseUp or Wheel; pt in screen coordinates).
bool HostSimulateMouseForTesting(HostSurfaceId id, HostEventType kind, POINT pt, int button,
                                 unsigned buttons, int wheelDelta);
// Hands Qt a key event: qtKey is Qt's key code, qtModifiers its modifier bits, text the
// typed characters.
bool HostSimulateKeyForTesting(HostSurfaceId id, bool press, int qtKey, unsigned qtModifiers,
                               const std::u16string& text);
// Asks Qt to close the surface's window, as a window manager would.
bool HostSimulateCloseForTesting(HostSurfaceId id);
// The screen's pixels in rect (0x00RRGGBB), as the display shows them; false when the host
// cannot read them.
bool HostGrabScreenForTesting(const RECT& rect, std::vector<std::uint32_t>* pixels);
// What the host holds for a surface: its last flushed pixel at (x, y) in surface coordinates.
bool HostSurfacePixelForTesting(HostSurfaceId id, int x, int y, std::uint32_t* pixel);
// The same at device pixel (x, y): what the screen shows when the scale is above 1.
bool HostSurfaceDevicePixelForTesting(HostSurfaceId id, int x, int y, std::uint32_t* pixel);
bool HostSurfaceVisibleForTesting(HostSurfaceId id);
// How the host made a surface's window, as the desktop sees it.
struct HostSurfaceInfo {
  bool decorated = false;  // the desktop draws its frame
  bool dialog = false;     // of the dialog type
  HostSurfaceId transientFor = 0;
  bool minimized = false;
  bool maximized = false;
  bool fixedSize = false;  // the user cannot resize it
  bool minimizeButton = false;
  bool maximizeButton = false;
  RECT geometry;  // screen coordinates of the surface, frame excluded
};
bool HostSurfaceInfoForTesting(HostSurfaceId id, HostSurfaceInfo* info);
// Changes a surface's state as the window manager would (the user minimised or restored it).
bool HostSimulateStateForTesting(HostSurfaceId id, HostSurfaceState state);
