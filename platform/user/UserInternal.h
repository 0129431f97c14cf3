#pragma once
// The window system's own records: windows, classes, surfaces, the queue and the state shared
// by its units. Not for use outside platform/user.
//
// Discipline: a window procedure may destroy any window, so code that sends a message holds
// handles across the call, not Wnd pointers, and looks the window up again afterwards. A
// destroyed window's record lives on (marked dead) until no message is being delivered.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "GdiSurface.h"
#include "HostWindows.h"
#include "Region.h"
#include "User.h"

namespace user {

using gdi::Region;
using Clock = std::chrono::steady_clock;

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

struct WndClass {
  ATOM atom = 0;
  String name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = 0;
  HICON icon = 0;
  HICON iconSm = 0;
  HCURSOR cursor = 0;
  HBRUSH background = 0;
  std::uintptr_t menuName = 0;
  int windows = 0;
};

struct ScrollBarState {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
  UINT disabled = ESB_ENABLE_BOTH;  // ESB_DISABLE_xxx bits
  bool forceVisible = false;        // SIF_DISABLENOSCROLL kept it shown
};

// The pixels of a top-level window, frame included. The bitmap may be larger than the window
// (it grows, never shrinks), so DCs handed out stay on it while the window changes size.
struct Surface {
  HBITMAP bitmap = 0;
  int capWidth = 0;
  int capHeight = 0;
  int width = 0;
  int height = 0;
  RECT dirty{};  // surface coordinates; empty when nothing waits for the host
  bool hostCreated = false;
  bool hostShown = false;
  bool hostManaged = false;    // the window manager minimises and restores it
  bool hostDecorated = false;  // the desktop draws its frame: the host shows the rest
  std::vector<HDC> spareDCs;
};

struct Wnd {
  HWND handle = 0;
  WndClass* cls = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  HINSTANCE instance = 0;
  Wnd* parent = nullptr;       // the desktop for top-level windows; null for the desktop
  Wnd* owner = nullptr;        // top-level windows only
  std::vector<Wnd*> children;  // top of the z-order first
  RECT rect{};    // window rectangle in the parent's client coordinates (screen for top-level)
  RECT client{};  // client rectangle, same coordinates
  String text;
  std::vector<BYTE> extra;
  std::vector<std::pair<String, HANDLE>> props;

  // Painting. The update region is in window coordinates (origin: the window's top-left).
  Region update;
  bool erase = false;        // WM_ERASEBKGND still to be sent
  bool eraseFailed = false;  // it was sent and answered 0: BeginPaint reports fErase
  bool internalPaint = false;
  bool ncForce = false;    // WM_NCPAINT wanted whatever the region says
  bool redrawOff = false;  // WM_SETREDRAW FALSE took WS_VISIBLE away

  bool created = false;   // WM_NCCREATE answered
  bool needSize = false;  // overlapped window: WM_SIZE / WM_MOVE wait for the first show
  bool destroying = false;
  bool dead = false;
  bool ncActive = false;          // the caption shows the active look
  RECT normal{};                  // restored rectangle while minimised or maximised
  bool restoreMaximized = false;  // minimised from maximised: restoring maximises it again
  std::unique_ptr<Surface> surface;
  ScrollBarState scroll[2];
};

// ---- Classes (Class.cpp) ----
WndClass* FindClass(const WCHAR* nameOrAtom);
bool RegisterSystemClassByName(const WCHAR* name);
void ResetClasses();

// ---- Windows and the tree (Window.cpp) ----
Wnd* GetWnd(HWND hwnd);         // a live window (the desktop included) or null
Wnd* GetWndOrError(HWND hwnd);  // same, setting ERROR_INVALID_WINDOW_HANDLE
Wnd* Desktop();
inline bool IsTopLevel(const Wnd* w) { return w->parent && !w->parent->parent; }
Wnd* RootOf(Wnd* w);                // the top-level ancestor; null for the desktop
bool IsVisibleChain(const Wnd* w);  // WS_VISIBLE on the window and every ancestor
bool IsDescendant(const Wnd* ancestor, const Wnd* w);
// Window and client rectangles in screen coordinates, and the origin of the client area.
RECT ScreenWindowRect(const Wnd* w);
RECT ScreenClientRect(const Wnd* w);
POINT ClientOrigin(const Wnd* w);
// Window rectangle in the coordinates of the top-level window's surface.
RECT SurfaceWindowRect(const Wnd* w);
RECT SurfaceClientRect(const Wnd* w);
// Places w among its parent's children after insertAfter (HWND_TOP, HWND_BOTTOM, a sibling,
// HWND_TOPMOST / HWND_NOTOPMOST for top-level windows).
void LinkWindow(Wnd* w, HWND insertAfter);
void UnlinkWindow(Wnd* w);
void FreeDeadWindows();
std::vector<HWND> ChildHandles(const Wnd* w);
std::vector<HWND> TopLevelHandles();
DWORD FixStyleForParent(DWORD style, bool topLevel);
void SetDesktopRect(const RECT& screen);
void ResetWindows();

// ---- Message delivery (Message.cpp) ----
LRESULT CallProc(HWND hwnd, WNDPROC proc, UINT msg, WPARAM wParam, LPARAM lParam, bool posted);
inline LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageW(hwnd, msg, wParam, lParam);
}
// A standard control's notice to its parent: WM_COMMAND with the control's id and the code.
inline void NotifyParent(HWND control, WORD code) {
  if (HWND parent = GetParent(control))
    Send(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), LPARAM(control));
}
extern int gDeliveryDepth;           // window procedures running
void DropWindowMessages(HWND hwnd);  // the posted messages of a destroyed window
void EnterDefProc(HWND hwnd);
void LeaveDefProc();
void ResetMessages();
// The next message of a loop that runs while hwnd holds the capture (a drag or a pressed
// button); false when the capture went or the program is quitting, whose WM_QUIT is then put
// back for the outer loop.
bool NextMessageWhileCaptured(HWND hwnd, MSG& m);

// Raw input, translated into a window message only when it is retrieved.
struct InputEvent {
  enum Kind { MouseMove, MouseButton, Wheel, Key } kind = MouseMove;
  POINT pt;        // screen
  UINT msg = 0;    // client message for buttons (WM_LBUTTONDOWN ...), wheel message
  int button = 0;  // VK_LBUTTON ... for buttons
  bool down = false;
  int wheelDelta = 0;
  int vk = 0;
  int scan = 0;
  bool extended = false;
  bool repeat = false;
  DWORD textId = 0;  // characters the key typed, kept for TranslateMessage
  WPARAM mk = 0;     // MK_ button and modifier flags when it happened
  bool alt = false;
  bool ctrl = false;
  DWORD time = 0;
  HWND surface = 0;  // the top-level window the host reported
};
void QueueInput(const InputEvent& e);
// The translated message of an input event; false when it goes to no window (it is dropped).
// With commit, the side effects of removal happen (activation, WM_SETCURSOR, key state).
bool TranslateInput(const InputEvent& e, MSG* out, bool commit, bool* eat);
bool InputMatches(const MSG& m, HWND filter, UINT min, UINT max);
String TakeKeyText(DWORD id);
DWORD StoreKeyText(const String& text);

// ---- Painting (Painting.cpp) ----
// The window's region that reaches the screen, in surface coordinates: its window (or client)
// rectangle clipped by the ancestors' client areas and the siblings above, less its visible
// children when clipChildren. Empty for hidden windows.
Region VisibleRegion(const Wnd* w, bool windowArea, bool clipChildren);
// Adds (RDW_INVALIDATE) or removes (RDW_VALIDATE) a region given in window coordinates, and
// walks into children by the flags.
void UpdateRegionOp(Wnd* w, const Region& rgn, UINT flags);
void RedrawRegion(HWND hwnd, const Region* clientRgn, UINT flags);
// Invalidates what a window covered in its parent (parent client coordinates).
void InvalidateUncovered(Wnd* parent, const RECT& rect);
bool NeedsPaint(const Wnd* w);
Wnd* FindWindowToPaint(HWND filter);
void EraseNow(HWND hwnd, UINT flags);
void UpdateNow(HWND hwnd, UINT flags);
Surface* EnsureSurface(Wnd* top);
void SyncSurfaceSize(Wnd* top);
void DestroySurface(Wnd* top);
void MarkDirty(Wnd* top, const RECT& surfaceRect);
void FlushSurfaces();
bool HostKeepsMinimized(const Wnd* top);
// The style changed (SWP_FRAMECHANGED): the desktop's frame, buttons and fixed size follow it.
void RestyleHostSurface(Wnd* top);
// Re-clips every DC handed out (windows moved, appeared or vanished).
void RefreshDCs();
void ReleaseWindowDCs(HWND hwnd);
void ResetPainting();

// ---- Device layers (DeviceLayer.cpp) ----
// The layers of the windows of a top-level surface, as the host draws them: surface
// coordinates moved by shift (to the host's, which leave out the desktop's frame).
std::vector<HostDeviceLayer> DeviceLayersOf(Wnd* top, POINT shift);
// ScrollWindowEx moved the client pixels within scroll (null: all of them).
void ScrollDeviceLayer(HWND hwnd, int dx, int dy, const RECT* scroll);
void DropDeviceLayer(HWND hwnd);
void ResetDeviceLayers();

// The deepest window under a screen point and its hit-test code (HTERROR for a disabled
// window); 0 when no window of ours is there.
HWND WindowFromPointHit(POINT screen, LRESULT* hit);

// ---- Non-client area (NonClient.cpp) ----
RECT NcCalcClient(const Wnd* w, const RECT& windowRect);  // both in the same coordinates
LRESULT DefNcHitTest(HWND hwnd, POINT screen);
void DefNcPaint(HWND hwnd, HRGN rgn);
LRESULT DefNcLButtonDown(HWND hwnd, WPARAM hit, LPARAM lParam);
LRESULT DefNcLButtonDblClk(HWND hwnd, WPARAM hit, LPARAM lParam);
void RepaintCaption(HWND hwnd);
// Whether the desktop draws top-level frames (else they are drawn here, in the surface).
bool DesktopFrames();
void ResetDesktopFrames();  // back to what the environment says
// A top-level window with a caption, framed by the desktop: the host surface covers its window
// rectangle less the outer frame and caption (insets per side, all 0 when not decorated); the
// window rectangle keeps that frame around the surface, so the metrics stay the platform's.
bool DesktopDecorates(const Wnd* w);
RECT DesktopFrameInsets(const Wnd* w);
// The frame the desktop reports around the surface (its own insets while none is known).
RECT DesktopFrameExtents(const Wnd* w);
RECT HostSurfaceRect(const Wnd* w);                          // screen
RECT WindowRectFromHost(const Wnd* w, const RECT& surface);  // screen
// Moves (edges 0) or sizes a window with the pointer held, when the host cannot.
void MoveSizeLoop(HWND hwnd, unsigned edges, POINT start);
// Scroll-bar rectangles in window coordinates (empty when the bar is not shown).
RECT ScrollBarRect(const Wnd* w, int bar);
void PaintScrollBar(HDC dc, Wnd* w, int bar, int pressedPart);
bool ScrollBarShown(const Wnd* w, int bar);

// ---- Focus and activation (Focus.cpp) ----
extern HWND gFocus;
extern HWND gActive;
extern HWND gCapture;
extern bool gAppActive;
void ActivateWindow(HWND hwnd, bool byMouse, bool fromHost);
void DeactivateApp(bool fromHost);
// A window is being hidden or destroyed: move focus and activation away from it.
void FocusLeaving(HWND hwnd);
void ForgetWindowState(HWND hwnd);
void ResetFocus();

// ---- Input (Input.cpp) ----
void HandleHostEvent(const HostEvent& e);
void ProcessPendingHostEvents();
void CommitMouseMessage(const MSG& m);  // leave tracking after a mouse message is removed
void CheckMouseHover();
int MsUntilHover();
void CancelTrackingFor(HWND hwnd);
extern POINT gCursorPos;
extern bool gGeometryFromHost;  // a Geometry event is being applied: the host is there already
extern bool gStateFromHost;     // the window manager changed the state: the host is there already
void ResetInput();
extern BYTE gKeyState[256];
extern BYTE gAsyncKeyState[256];
WPARAM MouseKeyFlags();
HostCursor HostCursorFor(HCURSOR cursor);

// ---- Timers (Timer.cpp) ----
bool TakeDueTimer(HWND filter, UINT min, UINT max, bool remove, MSG* out);
// Milliseconds until the next timer (any kind) is due; -1 when none runs.
int MsUntilNextTimer();
void KillWindowTimers(HWND hwnd);
// Timers of the window system itself (caret, scroll-bar repeat): a callback, no message.
UINT_PTR SetSystemTimer(UINT elapse, std::function<void()> fn);
void KillSystemTimer(UINT_PTR id);
void RunDueSystemTimers();
void ResetTimers();
bool IsTimerProc(TIMERPROC proc);
DWORD Now();

// ---- Caret and scroll bars ----
void CaretWindowPainting(HWND hwnd, bool begin);
void CaretWindowDestroyed(HWND hwnd);
LRESULT ScrollBarMouseDown(HWND hwnd, int bar, POINT screen);

// ---- Host and screens (Driver.cpp, SysParams.cpp) ----
HostWindowDriver* Host();  // null while running without a host
const std::vector<HostScreen>& Screens();
void RefreshScreens();
void ResetState();

// ---- Drawing helpers shared by the units ----
void FillSys(HDC dc, const RECT& r, int sysColor);
inline bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline RECT Offset(RECT r, int dx, int dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}
inline RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return Empty(r) ? RECT{} : r;
}
RECT UnionOf(const RECT& a, const RECT& b);
inline bool Contains(const RECT& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
// A region handle holding rgn (caller deletes it), and back.
HRGN MakeHrgn(const Region& rgn);
Region FromHrgn(HRGN rgn);

}  // namespace user
