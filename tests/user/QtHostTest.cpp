// The Qt host without a display (the offscreen platform): surfaces showing the flushed pixels,
// Qt input arriving as window messages, close requests, screens and the clipboard; and, under
// Xvfb when it is installed, a painted window read back from a real X display.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "HostApp.h"
#include "HostWindows.h"
#include "TestSupport.h"
#include "UserTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

// Qt's key codes and modifier bits used below.
constexpr int kQtKeyA = 0x41, kQtKey7 = 0x37, kQtKeyEscape = 0x01000000, kQtKeyUp = 0x01000013;
constexpr unsigned kQtKeypad = 0x20000000;

void PumpFor(int ms, const std::function<bool()>& done = nullptr) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    PumpMessages();
    if (done && done()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

struct Received {
  std::vector<MSG> msgs;
  bool Has(UINT message) const {
    for (const MSG& m : msgs)
      if (m.message == message) return true;
    return false;
  }
  const MSG* First(UINT message) const {
    for (const MSG& m : msgs)
      if (m.message == message) return &m;
    return nullptr;
  }
};
Received* gReceived = nullptr;

LRESULT RecordingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (gReceived && ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
                    (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_CLOSE)) {
    MSG m;
    m.hwnd = h;
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    gReceived->msgs.push_back(m);
    if (msg == WM_CLOSE) return 0;  // stays open for the test to look at
  }
  return DefWindowProcW(h, msg, wp, lp);
}

class QtHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserSetHostDriver(HostQtWindowDriver());
    UserResetForTesting();
    brush = CreateSolidBrush(RGB(0, 200, 0));
    WNDCLASSEXW wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = brush;
    wc.lpszClassName = u"QtHosted";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    gReceived = &received;
  }
  void TearDown() override {
    gReceived = nullptr;
    UserResetForTesting();
    UserSetHostDriver(nullptr);
    DeleteObject(brush);
  }
  HWND Show(int x, int y, int w, int h) {
    HWND hwnd = CreateWindowExW(0, u"QtHosted", u"Hosted", WS_POPUP | WS_VISIBLE, x, y, w, h, 0, 0,
                                0, nullptr);
    std::uint32_t p;
    PumpFor(300, [&] { return HostSurfacePixelForTesting(hwnd, 0, 0, &p); });
    return hwnd;
  }
  HBRUSH brush = 0;
  Received received;
};

TEST_F(QtHostTest, ASurfaceShowsWhatWasPaintedInIt) {
  HWND w = Show(40, 30, 80, 60);
  ASSERT_TRUE(HostSurfaceVisibleForTesting(w));
  std::uint32_t p = 0;
  ASSERT_TRUE(HostSurfacePixelForTesting(w, 10, 10, &p));
  EXPECT_EQ(p, 0x00C800u);
  // A change reaches the host at the next flush.
  HDC dc = GetDC(w);
  RECT r{0, 0, 5, 5};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &r, red);
  DeleteObject(red);
  ReleaseDC(w, dc);
  PumpFor(50);
  ASSERT_TRUE(HostSurfacePixelForTesting(w, 2, 2, &p));
  EXPECT_EQ(p, 0xFF0000u);
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(HostSurfaceVisibleForTesting(w));
}

TEST_F(QtHostTest, QtInputArrivesAsWindowMessages) {
  HWND w = Show(100, 100, 120, 80);
  SetFocus(w);
  ASSERT_TRUE(HostSimulateMouseForTesting(w, HostEventType::MouseDown, POINT{130, 125},
                                          kHostLeftButton, kHostLeftButton, 0));
  ASSERT_TRUE(HostSimulateMouseForTesting(w, HostEventType::MouseUp, POINT{130, 125},
                                          kHostLeftButton, 0, 0));
  ASSERT_TRUE(HostSimulateMouseForTesting(w, HostEventType::Wheel, POINT{130, 125}, 0, 0, 120));
  ASSERT_TRUE(HostSimulateKeyForTesting(w, true, kQtKeyA, 0, u"a"));
  ASSERT_TRUE(HostSimulateKeyForTesting(w, false, kQtKeyA, 0, u"a"));
  ASSERT_TRUE(HostSimulateKeyForTesting(w, true, kQtKeyEscape, 0, u"\x1b"));
  ASSERT_TRUE(HostSimulateKeyForTesting(w, true, kQtKeyUp, 0, u""));
  ASSERT_TRUE(HostSimulateKeyForTesting(w, true, kQtKey7, kQtKeypad, u"7"));
  PumpFor(100, [&] { return received.msgs.size() >= 10; });

  const MSG* down = received.First(WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->lParam, MAKELPARAM(30, 25));
  EXPECT_TRUE(received.Has(WM_LBUTTONUP));
  const MSG* wheel = received.First(WM_MOUSEWHEEL);
  ASSERT_NE(wheel, nullptr);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), 120);
  std::vector<std::pair<UINT, WPARAM>> keys;
  for (const MSG& m : received.msgs)
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) keys.push_back({m.message, m.wParam});
  EXPECT_EQ(keys, (std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, 'A'},
                                                        {WM_CHAR, 'a'},
                                                        {WM_KEYUP, 'A'},
                                                        {WM_KEYDOWN, VK_ESCAPE},
                                                        {WM_CHAR, 27},
                                                        {WM_KEYDOWN, VK_UP},
                                                        {WM_KEYDOWN, VK_NUMPAD7},
                                                        {WM_CHAR, '7'}}));
  for (const MSG& m : received.msgs)
    if (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_UP)) {
      EXPECT_TRUE((m.lParam >> 24) & 1);  // the arrow block is extended
      EXPECT_EQ((m.lParam >> 16) & 0xFF, 0x48);
    }
}

TEST_F(QtHostTest, AByteOnTheWakePipeEndsABlockingWaitAtOnce) {
  // Qt waits in its own dispatcher; the host's watch on the pipe must end that wait.
  Show(10, 10, 40, 30);
  PumpFor(50);
  double ms = WakeFromBlockingGetMessageMs();
  EXPECT_GE(ms, 0) << "the wait ended without the wake";
  EXPECT_LT(ms, 20);
}

TEST_F(QtHostTest, TheWindowManagersCloseRequestBecomesWmClose) {
  HWND w = Show(10, 10, 50, 50);
  ASSERT_TRUE(HostSimulateCloseForTesting(w));
  PumpFor(100, [&] { return received.Has(WM_CLOSE); });
  EXPECT_TRUE(received.Has(WM_CLOSE));
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(HostSurfaceVisibleForTesting(w));  // Qt did not close it on its own
}

TEST_F(QtHostTest, APopupShownWithoutActivationStaysInactiveOnTheHost) {
  HWND main = Show(10, 10, 200, 200);
  ASSERT_EQ(GetActiveWindow(), main);
  HWND drop = CreateWindowExW(0, u"QtHosted", u"", WS_POPUP, 0, 0, 60, 40, main, 0, 0, nullptr);
  SetWindowPos(drop, HWND_TOP, 20, 220, 60, 40, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  PumpFor(200, [&] { return HostSurfaceVisibleForTesting(drop); });
  ASSERT_TRUE(HostSurfaceVisibleForTesting(drop));
  PumpFor(50);
  EXPECT_EQ(GetActiveWindow(), main);
  EXPECT_EQ(GetFocus(), main);
}

TEST_F(QtHostTest, ScreensAndTheClipboardComeFromQt) {
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GE(GetSystemMetrics(SM_CMONITORS), 1);
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &mi));
  RECT inside;
  EXPECT_TRUE(IntersectRect(&inside, &mi.rcWork, &mi.rcMonitor));
  EXPECT_EQ(inside, mi.rcWork);  // the work area lies within the monitor
  EXPECT_TRUE(SetClipboardTextW(u"Staves \u00e9"));
  String text;
  EXPECT_TRUE(GetClipboardTextW(&text));
  EXPECT_EQ(text, u"Staves \u00e9");
}

TEST_F(QtHostTest, DecoratedWindowsAndDialogsAreMadeAsTheDesktopShouldSeeThem) {
  HWND main = CreateWindowExW(0, u"QtHosted", u"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                              300, 200, 0, 0, 0, nullptr);
  std::uint32_t px;
  PumpFor(300, [&] { return HostSurfacePixelForTesting(main, 0, 0, &px); });
  HostSurfaceInfo info;
  ASSERT_TRUE(HostSurfaceInfoForTesting(main, &info));
  EXPECT_TRUE(info.decorated);
  EXPECT_FALSE(info.dialog);
  EXPECT_FALSE(info.fixedSize);
  EXPECT_TRUE(info.minimizeButton);
  EXPECT_TRUE(info.maximizeButton);
  RECT client;
  GetClientRect(main, &client);
  POINT o{0, 0};
  ClientToScreen(main, &o);
  EXPECT_EQ(info.geometry, (RECT{o.x, o.y, o.x + client.right, o.y + client.bottom}));
  EXPECT_EQ(px, 0x00C800u);  // the client area's brush, not a caption

  // A style changed later reaches the window: fixed, without the buttons, then back.
  const UINT frameOnly = SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  SetWindowLongW(main, GWL_STYLE, WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  SetWindowPos(main, 0, 0, 0, 0, 0, frameOnly);
  ASSERT_TRUE(HostSurfaceInfoForTesting(main, &info));
  EXPECT_TRUE(info.fixedSize);
  EXPECT_FALSE(info.minimizeButton);
  EXPECT_FALSE(info.maximizeButton);
  SetWindowLongW(main, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowPos(main, 0, 0, 0, 0, 0, frameOnly);
  ASSERT_TRUE(HostSurfaceInfoForTesting(main, &info));
  EXPECT_FALSE(info.fixedSize);
  EXPECT_TRUE(info.maximizeButton);

  EnableWindow(main, FALSE);
  HWND dlg = CreateWindowExW(WS_EX_DLGMODALFRAME, u"QtHosted", u"Dialog",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 150, 150, 200, 100,
                             main, 0, 0, nullptr);
  PumpFor(300, [&] { return HostSurfaceVisibleForTesting(dlg); });
  ASSERT_TRUE(HostSurfaceInfoForTesting(dlg, &info));
  EXPECT_TRUE(info.decorated);
  EXPECT_TRUE(info.dialog);
  EXPECT_EQ(info.transientFor, main);
  EXPECT_TRUE(info.fixedSize);
  EXPECT_FALSE(info.maximizeButton);
  EnableWindow(main, TRUE);

  HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW, u"QtHosted", u"", WS_POPUP | WS_VISIBLE, 120, 120,
                               50, 40, main, 0, 0, nullptr);
  PumpFor(300, [&] { return HostSurfaceVisibleForTesting(popup); });
  ASSERT_TRUE(HostSurfaceInfoForTesting(popup, &info));
  EXPECT_FALSE(info.decorated);
  EXPECT_EQ(info.geometry, (RECT{120, 120, 170, 160}));
}

TEST_F(QtHostTest, MinimiseAndRestoreGoThroughTheWindowManagersState) {
  HWND main = CreateWindowExW(0, u"QtHosted", u"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                              300, 200, 0, 0, 0, nullptr);
  std::uint32_t px;
  PumpFor(300, [&] { return HostSurfacePixelForTesting(main, 0, 0, &px); });
  ShowWindow(main, SW_MINIMIZE);
  HostSurfaceInfo info;
  ASSERT_TRUE(HostSurfaceInfoForTesting(main, &info));
  EXPECT_TRUE(info.minimized);
  EXPECT_TRUE(HostSurfaceVisibleForTesting(main));  // iconified, not withdrawn
  ShowWindow(main, SW_RESTORE);
  ASSERT_TRUE(HostSurfaceInfoForTesting(main, &info));
  EXPECT_FALSE(info.minimized);

  // The user minimises it from the desktop and brings it back.
  ASSERT_TRUE(HostSimulateStateForTesting(main, HostSurfaceState::Minimized));
  PumpFor(300, [&] { return IsIconic(main) != FALSE; });
  EXPECT_TRUE(IsIconic(main));
  ASSERT_TRUE(HostSimulateStateForTesting(main, HostSurfaceState::Normal));
  PumpFor(300, [&] { return !IsIconic(main); });
  EXPECT_FALSE(IsIconic(main));
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, (RECT{100, 100, 400, 300}));
}

TEST(DesktopScale, TheServersResolutionRoundsToAQuarterStep) {
  const struct {
    double dpi, scale;
  } cases[] = {{72, 1},    {96, 1},     {100, 1}, {108, 1},   {110, 1.25}, {120, 1.25},
               {144, 1.5}, {168, 1.75}, {192, 2}, {192.4, 2}, {288, 3}};
  for (const auto& c : cases) EXPECT_EQ(HostScaleForResolution(c.dpi), c.scale) << c.dpi;
}

// Runs itself again with Qt at twice the scale (offscreen): a device layer reaches the backing
// store one device pixel to one, where the window's own pixels are enlarged to 2 x 2 blocks, and
// a child window above it hides it.
TEST(QtHostAtScale2, ADeviceLayerShowsItsOwnDevicePixels) {
  if (std::getenv("KORV_SCALE2_CHILD")) {
    UserSetHostDriver(HostQtWindowDriver());
    UserResetForTesting();
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255)), green = CreateSolidBrush(RGB(0, 128, 0));
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = blue;
    wc.lpszClassName = u"Scaled";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    wc.hbrBackground = green;
    wc.lpszClassName = u"Above";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND w = CreateWindowExW(0, u"Scaled", u"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 30,
                             100, 100, 0, 0, 0, nullptr);
    ASSERT_EQ(UserDeviceScale(w), 2.0);
    // 40 x 40 logical pixels of white at twice the resolution, device row 40 black.
    HDC mem = CreateCompatibleDC(0);
    HBITMAP page = CreateBitmap(80, 80, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, page);
    PatBlt(mem, 0, 0, 80, 80, WHITENESS);
    PatBlt(mem, 0, 40, 80, 1, BLACKNESS);
    SelectObject(mem, old);
    DeleteDC(mem);
    RECT at{10, 10, 50, 50};
    ASSERT_TRUE(UserSetDeviceLayer(w, page, &at));
    // A child over the layer's right half, and, once painted, a logical line of the window's
    // own.
    CreateWindowExW(0, u"Above", u"", WS_CHILD | WS_VISIBLE, 30, 0, 70, 100, w, 0, 0, nullptr);
    std::uint32_t p = 1;
    PumpFor(2000, [&] { return HostSurfaceDevicePixelForTesting(w, 40, 60, &p) && p == 0; });
    HDC dc = GetDC(w);
    PatBlt(dc, 5, 70, 20, 1, BLACKNESS);
    ReleaseDC(w, dc);
    PumpFor(2000, [&] { return HostSurfaceDevicePixelForTesting(w, 30, 140, &p) && p == 0; });
    auto column = [&](int x, int y0, int y1) {
      std::vector<std::uint32_t> out;
      for (int y = y0; y < y1; ++y) {
        std::uint32_t v = 0xFFFFFFFF;
        HostSurfaceDevicePixelForTesting(w, x, y, &v);
        out.push_back(v);
      }
      return out;
    };
    using Px = std::vector<std::uint32_t>;
    EXPECT_EQ(column(40, 58, 62), (Px{0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF}));
    EXPECT_EQ(column(40, 18, 22), (Px{0x0000FF, 0x0000FF, 0xFFFFFF, 0xFFFFFF}));
    EXPECT_EQ(column(30, 138, 144), (Px{0x0000FF, 0x0000FF, 0, 0, 0x0000FF, 0x0000FF}));
    EXPECT_EQ(column(59, 58, 62), (Px{0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF}));
    EXPECT_EQ(column(60, 58, 62), (Px{0x008000, 0x008000, 0x008000, 0x008000}));
    UserResetForTesting();
    UserSetHostDriver(nullptr);
    DeleteObject(page);
    DeleteObject(blue);
    DeleteObject(green);
    return;
  }
  EXPECT_EQ(RunSelf("env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 KORV_SCALE2_CHILD=1",
                    "QtHostAtScale2.*"),
            0)
      << "run with KORV_SCALE2_CHILD=1 QT_SCALE_FACTOR=2 to see why";
}

// Runs itself under xvfb-run with the xcb platform; the child reads the display back.
TEST(XvfbDisplay, APaintedWindowReachesTheScreen) {
  if (std::getenv("KORV_XVFB_CHILD")) {
    UserSetHostDriver(HostQtWindowDriver());
    UserResetForTesting();
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = green;
    wc.lpszClassName = u"OnScreen";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND w = CreateWindowExW(0, u"OnScreen", u"", WS_POPUP | WS_VISIBLE, 100, 120, 160, 90, 0, 0, 0,
                             nullptr);
    ASSERT_TRUE(w);
    std::vector<std::uint32_t> shot;
    bool seen = false;
    auto end = Clock::now() + std::chrono::seconds(10);
    while (!seen && Clock::now() < end) {
      PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      seen = HostGrabScreenForTesting(RECT{150, 150, 152, 152}, &shot) && shot[0] == 0x00FF00u;
    }
    EXPECT_TRUE(seen);
    ASSERT_TRUE(HostGrabScreenForTesting(RECT{95, 150, 97, 152}, &shot));
    EXPECT_NE(shot[0], 0x00FF00u);  // beside the window
    UserResetForTesting();
    UserSetHostDriver(nullptr);
    DeleteObject(green);
    return;
  }
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "xvfb-run is missing";
  // The xcb platform loads D-Bus, whose allocations outlive the run: not this test's business.
  int rc =
      RunSelf(XvfbRun() + " env QT_QPA_PLATFORM=xcb KORV_XVFB_CHILD=1 ASAN_OPTIONS=detect_leaks=0",
              "XvfbDisplay.*");
  EXPECT_EQ(rc, 0) << "the window was not seen on the X display";
}

}  // namespace
