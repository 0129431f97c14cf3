// Top-level windows framed by the desktop: what the host is given (the surface inside the frame,
// dialogs of their owner, popups left alone), the window and client rectangles and hit tests
// that stay the platform's around it, minimise and restore through the window manager, and the
// self-drawn frame behind its switch.
#include "SystemControls.h"
#include "UserTestSupport.h"

namespace {

std::uint32_t Rgb(COLORREF c) {
  return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

class DesktopFrameTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    RegisterTestClass(u"Main", 0, HBRUSH(COLOR_BTNFACE + 1));
  }
  // A window of the main window's kind whose client area is 297 x 335, at (100, 80).
  HWND MakeMain(DWORD style = WS_OVERLAPPEDWINDOW) {
    RECT r{100, 80, 100 + 297, 80 + 335};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    HWND h = CreateWindowExW(0, u"Main", u"Main", style | WS_VISIBLE, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, 0, 0, 0, nullptr);
    PumpMessages();
    return h;
  }
  static RECT ClientOnScreen(HWND h) {
    RECT c;
    GetClientRect(h, &c);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    return RECT{o.x, o.y, o.x + c.right, o.y + c.bottom};
  }
  MessageLog log;
};

TEST_F(DesktopFrameTest, TheSurfaceIsTheClientAreaAndTheWindowRectKeepsThePlatformsFrame) {
  HWND main = MakeMain();
  const FakeHost::Surface& s = host.surfaces[main];
  EXPECT_TRUE(s.params.decorated);
  EXPECT_FALSE(s.params.popup);
  EXPECT_TRUE(s.params.resizable);
  EXPECT_TRUE(s.params.minimizeBox);
  EXPECT_TRUE(s.params.maximizeBox);
  EXPECT_EQ(s.params.title, u"Main");
  // The host shows exactly the client area, where the window system says it is.
  EXPECT_EQ(s.params.rect, (RECT{100, 80, 397, 415}));
  EXPECT_EQ(ClientOnScreen(main), s.params.rect);
  EXPECT_EQ(s.width, 297);
  EXPECT_EQ(s.height, 335);
  // Its first pixel is the client area's, not the frame's.
  EXPECT_EQ(host.Pixel(main, 0, 0), Rgb(GetSysColor(COLOR_BTNFACE)));
  // The window rectangle keeps the platform's frame around it, and the metrics agree.
  RECT w, want = s.params.rect;
  GetWindowRect(main, &w);
  AdjustWindowRectEx(&want, WS_OVERLAPPEDWINDOW, FALSE, 0);
  EXPECT_EQ(w, want);
  EXPECT_EQ(s.params.rect.left - w.left, GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(s.params.rect.top - w.top,
            GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME));
  // Hit tests still name the parts of that frame.
  EXPECT_EQ(SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(150, w.top + 10)), HTCAPTION);
  EXPECT_EQ(SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(150, 200)), HTCLIENT);
  EXPECT_EQ(SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(w.left, 200)), HTLEFT);
}

TEST_F(DesktopFrameTest, ADialogBorderIsFixedAndAsksOnlyForTheButtonsItHas) {
  HWND owner = MakeMain();
  HWND single = MakeMain(WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX);
  EXPECT_FALSE(host.surfaces[single].params.resizable);
  EXPECT_TRUE(host.surfaces[single].params.minimizeBox);
  EXPECT_FALSE(host.surfaces[single].params.maximizeBox);
  EXPECT_FALSE(host.surfaces[single].params.dialog);  // nobody owns it
  HWND dlg = CreateWindowExW(WS_EX_DLGMODALFRAME, u"Main", u"Dialog",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 150, 150, 200, 120,
                             owner, 0, 0, nullptr);
  PumpMessages();
  const HostSurfaceParams& p = host.surfaces[dlg].params;
  EXPECT_TRUE(p.decorated);
  EXPECT_TRUE(p.dialog);
  EXPECT_EQ(p.owner, owner);
  EXPECT_FALSE(p.resizable);
  EXPECT_FALSE(p.minimizeBox);
  EXPECT_FALSE(p.maximizeBox);
}

TEST_F(DesktopFrameTest, AStyleChangedAfterCreationReachesTheDesktop) {
  HWND main = MakeMain();
  const FakeHost::Surface& s = host.surfaces[main];
  LONG style = GetWindowLongW(main, GWL_STYLE);
  SetWindowLongW(main, GWL_STYLE, style & ~(WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_EQ(s.restyles, 0);  // the frame changes only with SWP_FRAMECHANGED
  SetWindowPos(main, 0, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  EXPECT_EQ(s.restyles, 1);
  EXPECT_TRUE(s.params.decorated);
  EXPECT_FALSE(s.params.resizable);
  EXPECT_FALSE(s.params.minimizeBox);
  EXPECT_FALSE(s.params.maximizeBox);
  EXPECT_EQ(s.params.title, u"Main");
  // The thinner frame keeps the client area where it was; the surface follows it.
  EXPECT_EQ(s.rect, ClientOnScreen(main));
  SetWindowLongW(main, GWL_STYLE, style);
  SetWindowPos(main, 0, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  EXPECT_TRUE(s.params.resizable);
  EXPECT_TRUE(s.params.maximizeBox);
  // Without a caption the desktop draws nothing: the surface is the whole window.
  SetWindowLongW(main, GWL_STYLE, (style & ~WS_CAPTION) | WS_BORDER);
  SetWindowPos(main, 0, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  EXPECT_FALSE(host.surfaces[main].params.decorated);
  RECT w;
  GetWindowRect(main, &w);
  EXPECT_EQ(host.surfaces[main].rect, w);
}

TEST_F(DesktopFrameTest, AWindowShownWhileItsOwnerIsDisabledIsItsDialog) {
  HWND owner = MakeMain();
  HWND plain = CreateWindowExW(0, u"Main", u"Owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                               200, owner, 0, 0, nullptr);
  PumpMessages();
  EXPECT_FALSE(host.surfaces[plain].params.dialog);  // owned, not modal: the preview's kind
  EXPECT_EQ(host.surfaces[plain].params.owner, owner);
  EnableWindow(owner, FALSE);
  HWND modal = CreateWindowExW(0, u"Main", u"Modal", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                               200, owner, 0, 0, nullptr);
  PumpMessages();
  EXPECT_TRUE(host.surfaces[modal].params.dialog);
}

TEST_F(DesktopFrameTest, AMessageBoxIsADialogOfItsOwnerCentredOverIt) {
  HWND owner = MakeMain();
  HostSurfaceParams seen;
  RECT box{};
  SetModalLoopHook([&](HWND b) {
    PumpMessages();
    seen = host.surfaces[b].params;
    GetWindowRect(b, &box);
    SendMessageW(b, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(b, IDOK)));
  });
  MessageBoxW(owner, u"Text", u"Caption", MB_OK);
  SetModalLoopHook(ModalLoopHook());
  EXPECT_TRUE(seen.decorated);
  EXPECT_TRUE(seen.dialog);
  EXPECT_EQ(seen.owner, owner);
  RECT o;
  GetWindowRect(owner, &o);
  EXPECT_NEAR((box.left + box.right) / 2, (o.left + o.right) / 2, 1);
  EXPECT_NEAR((box.top + box.bottom) / 2, (o.top + o.bottom) / 2, 1);
}

TEST_F(DesktopFrameTest, PopupsAndCaptionlessWindowsStayUndecorated) {
  HWND owner = MakeMain();
  HWND drop = CreateWindowExW(WS_EX_TOOLWINDOW, u"Main", u"", WS_POPUP | WS_BORDER | WS_VISIBLE,
                              120, 120, 80, 60, owner, 0, 0, nullptr);
  PumpMessages();
  const HostSurfaceParams& p = host.surfaces[drop].params;
  EXPECT_FALSE(p.decorated);
  EXPECT_TRUE(p.popup);
  EXPECT_EQ(p.rect, (RECT{120, 120, 200, 180}));
  EXPECT_EQ(host.surfaces[drop].width, 80);
}

TEST_F(DesktopFrameTest, TheSwitchGivesBackTheFrameDrawnHere) {
  UserSetDesktopFrames(false);
  EXPECT_FALSE(UserDesktopFrames());
  HWND main = MakeMain();
  const FakeHost::Surface& s = host.surfaces[main];
  EXPECT_FALSE(s.params.decorated);
  RECT w;
  GetWindowRect(main, &w);
  EXPECT_EQ(s.params.rect, w);
  EXPECT_EQ(s.width, w.right - w.left);
  // The caption is in the pixels the host shows.
  EXPECT_NE(host.Pixel(main, 8, 8), Rgb(GetSysColor(COLOR_BTNFACE)));
  // A reset returns to the default: framed by the desktop.
  UserResetForTesting();
  EXPECT_TRUE(UserDesktopFrames());
}

TEST_F(DesktopFrameTest, TheWindowManagersMinimiseAndRestoreArriveAsSystemCommands) {
  HWND main = MakeMain();
  log.Attach();
  log.Name(main, "main");
  host.State(main, HostSurfaceState::Minimized);
  PumpMessages();
  EXPECT_TRUE(IsIconic(main));
  auto cmds = log.Of(main, WM_SYSCOMMAND);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(cmds[0].wParam & 0xFFF0, WPARAM(SC_MINIMIZE));
  auto sizes = log.Of(main, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().wParam, WPARAM(SIZE_MINIMIZED));
  // No echo: the window manager did it already, and the surface stays where it was.
  EXPECT_TRUE(host.surfaces[main].states.empty());
  EXPECT_TRUE(host.surfaces[main].shown);
  EXPECT_EQ(host.surfaces[main].rect, (RECT{100, 80, 397, 415}));

  log.Clear();
  host.surfaces[main].flushes.clear();
  host.State(main, HostSurfaceState::Normal);
  PumpMessages();
  EXPECT_FALSE(IsIconic(main));
  cmds = log.Of(main, WM_SYSCOMMAND);
  ASSERT_EQ(cmds.size(), 1u);
  EXPECT_EQ(cmds[0].wParam & 0xFFF0, WPARAM(SC_RESTORE));
  sizes = log.Of(main, WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().wParam, WPARAM(SIZE_RESTORED));
  EXPECT_EQ(sizes.back().lParam, MAKELPARAM(297, 335));
  EXPECT_TRUE(host.surfaces[main].states.empty());
  EXPECT_EQ(ClientOnScreen(main), (RECT{100, 80, 397, 415}));
  // Its content comes back whole.
  ASSERT_FALSE(host.surfaces[main].flushes.empty());
  EXPECT_EQ(host.surfaces[main].flushes.back(), (RECT{0, 0, 297, 335}));
}

TEST_F(DesktopFrameTest, TheProgramsOwnMinimiseGoesThroughTheWindowManager) {
  HWND main = MakeMain();
  ShowWindow(main, SW_MINIMIZE);
  PumpMessages();
  EXPECT_EQ(host.surfaces[main].states,
            (std::vector<HostSurfaceState>{HostSurfaceState::Minimized}));
  EXPECT_TRUE(host.surfaces[main].shown);
  ShowWindow(main, SW_RESTORE);
  PumpMessages();
  EXPECT_EQ(host.surfaces[main].state, HostSurfaceState::Normal);
  EXPECT_EQ(host.surfaces[main].rect, (RECT{100, 80, 397, 415}));
}

TEST_F(DesktopFrameTest, AMaximisedWindowMinimisedComesBackMaximised) {
  HWND main = MakeMain();
  RECT normal;
  GetWindowRect(main, &normal);
  ShowWindow(main, SW_SHOWMAXIMIZED);
  ShowWindow(main, SW_MINIMIZE);
  WINDOWPLACEMENT wp;
  GetWindowPlacement(main, &wp);
  EXPECT_EQ(wp.flags, WPF_RESTORETOMAXIMIZED);
  EXPECT_EQ(wp.rcNormalPosition, normal);
  ShowWindow(main, SW_RESTORE);
  PumpMessages();
  EXPECT_TRUE(IsZoomed(main));
  EXPECT_EQ(host.surfaces[main].state, HostSurfaceState::Maximized);
  ShowWindow(main, SW_RESTORE);  // and from there to its normal place
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r, normal);
  ShowWindow(main, SW_MINIMIZE);
  ShowWindow(main, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(main));
}

TEST_F(DesktopFrameTest, AnExposeFlushesTheWholeSurfaceAgain) {
  HWND main = MakeMain();
  host.surfaces[main].flushes.clear();
  PumpMessages();
  EXPECT_TRUE(host.surfaces[main].flushes.empty());
  HostEvent e;
  e.type = HostEventType::Expose;
  e.surface = main;
  host.Send(e);
  PumpMessages();
  ASSERT_EQ(host.surfaces[main].flushes.size(), 1u);
  EXPECT_EQ(host.surfaces[main].flushes[0], (RECT{0, 0, 297, 335}));
}

TEST_F(DesktopFrameTest, MaximisingFillsTheWorkAreaWithTheDesktopsFrameInsideIt) {
  host.frame = RECT{3, 22, 3, 3};
  HWND main = MakeMain();
  ShowWindow(main, SW_SHOWMAXIMIZED);
  PumpMessages();
  EXPECT_EQ(host.surfaces[main].state, HostSurfaceState::Maximized);
  // The work area is 1024 x 728; the desktop's frame takes 3, 22, 3 and 3 pixels of it.
  EXPECT_EQ(ClientOnScreen(main), (RECT{3, 22, 1021, 725}));
  EXPECT_EQ(host.surfaces[main].rect, (RECT{3, 22, 1021, 725}));
  ShowWindow(main, SW_RESTORE);
  EXPECT_EQ(ClientOnScreen(main), (RECT{100, 80, 397, 415}));

  // Shown maximised before the host had a surface for it (the preview's way).
  HWND later = CreateWindowExW(0, u"Main", u"Later", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, 0, 0, 0,
                               nullptr);
  ShowWindow(later, SW_SHOWMAXIMIZED);
  PumpMessages();
  EXPECT_EQ(host.surfaces[later].state, HostSurfaceState::Maximized);
}

}  // namespace
