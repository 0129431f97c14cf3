// Painting: message order, update regions and RedrawWindow's flags, composited pixels of
// parents and children, window DCs and the rectangles flushed to the host.
#include "Themes.h"
#include "UserTestSupport.h"

namespace {

using Lines = std::vector<std::string>;
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0),
                   kYellow = RGB(255, 255, 0);

class PaintingTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    for (HBRUSH& b : brushes_) b = 0;
    brushes_[0] = CreateSolidBrush(kRed);
    brushes_[1] = CreateSolidBrush(kBlue);
    brushes_[2] = CreateSolidBrush(kGreen);
    RegisterTestClass(u"Red", 0, brushes_[0]);
    RegisterTestClass(u"Blue", 0, brushes_[1]);
    RegisterTestClass(u"Green", 0, brushes_[2]);
    RegisterTestClass(u"Frame", 0, HBRUSH(COLOR_WINDOW + 1));
  }
  void TearDown() override {
    UserTest::TearDown();
    for (HBRUSH b : brushes_) DeleteObject(b);
  }
  // A 100 x 100 parent at (200, 100) with two overlapping children, B above A.
  void Scene(DWORD parentStyle = 0) {
    parent = CreateWindowExW(0, u"Red", u"", WS_POPUP | WS_VISIBLE | parentStyle, 200, 100, 100,
                             100, 0, 0, 0, nullptr);
    a = CreateWindowExW(0, u"Blue", u"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, parent, 0, 0,
                        nullptr);
    b = CreateWindowExW(0, u"Green", u"", WS_CHILD | WS_VISIBLE, 40, 40, 50, 50, parent, 0, 0,
                        nullptr);
  }
  COLORREF At(int x, int y) const {
    std::uint32_t p = host.Pixel(parent, x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  HWND parent = 0, a = 0, b = 0;
  HBRUSH brushes_[3];
};

TEST_F(PaintingTest, ParentsPaintBeforeChildrenAndTheFrameBeforeTheBackground) {
  MessageLog log;
  Scene();
  log.Name(parent, "parent");
  log.Name(a, "a");
  log.Name(b, "b");
  log.Clear();
  PumpMessages();
  // BeginPaint, called by the default WM_PAINT, sends the other two.
  EXPECT_EQ(log.Lines(), (Lines{"parent WM_PAINT posted", "parent WM_NCPAINT (def)",
                                "parent WM_ERASEBKGND (def)", "b WM_PAINT posted",
                                "b WM_NCPAINT (def)", "b WM_ERASEBKGND (def)", "a WM_PAINT posted",
                                "a WM_NCPAINT (def)", "a WM_ERASEBKGND (def)"}));
  // The top child hides the lower one where they overlap.
  EXPECT_EQ(At(5, 5), kRed);
  EXPECT_EQ(At(20, 20), kBlue);
  EXPECT_EQ(At(50, 50), kGreen);
  EXPECT_EQ(At(85, 85), kGreen);
  EXPECT_EQ(At(95, 20), kRed);
  EXPECT_EQ(At(20, 95), kRed);
  log.Clear();
  EXPECT_EQ(PumpMessages(), 0);  // everything is valid now
}

TEST_F(PaintingTest, ChildrenAreClippedByTheirParentsAndTheSiblingsAbove) {
  Scene(WS_CLIPCHILDREN);
  HWND grand = CreateWindowExW(0, u"Green", u"", WS_CHILD | WS_VISIBLE, 20, 0, 60, 20, a, 0, 0,
                               nullptr);  // reaches past a's right edge
  PumpMessages();
  EXPECT_EQ(At(45, 15), kGreen);  // the grandchild
  EXPECT_EQ(At(59, 25), kGreen);
  EXPECT_EQ(At(65, 15), kRed);  // the parent: the grandchild ends with a, at 60
  EXPECT_EQ(At(25, 15), kBlue);
  EXPECT_EQ(At(45, 45), kGreen);  // b is above a
  // Drawing through a's DC reaches a's visible part only.
  HDC dc = GetDC(a);
  HBRUSH y = CreateSolidBrush(kYellow);
  RECT all{-100, -100, 300, 300};
  FillRect(dc, &all, y);
  DeleteObject(y);
  ReleaseDC(a, dc);
  UserFlushSurfaces();
  EXPECT_EQ(At(15, 15), kYellow);
  EXPECT_EQ(At(5, 5), kRed);
  EXPECT_EQ(At(50, 50), kGreen);
  EXPECT_EQ(At(45, 15), kYellow);  // a lacks WS_CLIPCHILDREN: it draws over its child
  EXPECT_TRUE(IsWindow(grand));
}

TEST_F(PaintingTest, InvalidRectanglesCoalesceAndOnlyTheirBoxIsFlushed) {
  Scene(WS_CLIPCHILDREN);
  PumpMessages();
  std::size_t before = host.surfaces[parent].flushes.size();
  RECT r1{2, 2, 6, 6}, r2{92, 92, 96, 96};
  InvalidateRect(parent, &r1, TRUE);
  InvalidateRect(parent, &r2, TRUE);
  RECT upd;
  EXPECT_TRUE(GetUpdateRect(parent, &upd, FALSE));
  EXPECT_EQ(upd, (RECT{2, 2, 96, 96}));
  std::vector<RECT> painted;
  SetTestHandler(u"Red", [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT*) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    painted.push_back(ps.rcPaint);
    HBRUSH y = CreateSolidBrush(kYellow);
    RECT all{0, 0, 100, 100};
    FillRect(ps.hdc, &all, y);  // clipped to what was invalid
    DeleteObject(y);
    EndPaint(h, &ps);
    return true;
  });
  EXPECT_EQ(PumpMessages(), 1);
  ASSERT_EQ(painted.size(), 1u);
  EXPECT_EQ(painted[0], (RECT{2, 2, 96, 96}));
  EXPECT_EQ(At(3, 3), kYellow);
  EXPECT_EQ(At(93, 93), kYellow);
  EXPECT_EQ(At(85, 85), kGreen);  // inside the box but under b, which clips its parent
  EXPECT_EQ(At(93, 3), kRed);     // inside the box, not invalid
  ASSERT_EQ(host.surfaces[parent].flushes.size(), before + 1);
  EXPECT_EQ(host.surfaces[parent].flushes.back(), (RECT{2, 2, 96, 96}));
}

TEST_F(PaintingTest, RedrawWindowFlagsChooseChildrenFrameAndTiming) {
  Scene();
  PumpMessages();
  MessageLog log;
  log.Name(parent, "parent");
  log.Name(a, "a");
  log.Name(b, "b");
  // Without WS_CLIPCHILDREN the children take part unless told not to.
  RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(log.Lines({WM_NCPAINT, WM_ERASEBKGND}),
            (Lines{"parent WM_PAINT", "b WM_PAINT", "a WM_PAINT"}));  // sent, not posted
  log.Clear();
  RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(log.Lines(), (Lines{"parent WM_PAINT"}));
  log.Clear();
  // Erasing now leaves the paint for later; the frame is painted only when asked for.
  RedrawWindow(a, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(log.Lines(), (Lines{"a WM_ERASEBKGND"}));
  log.Clear();
  PumpMessages();
  EXPECT_EQ(log.Lines(), (Lines{"a WM_PAINT posted"}));
  log.Clear();
  RedrawWindow(a, nullptr, 0, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(log.Lines(), (Lines{"a WM_PAINT", "a WM_NCPAINT (def)"}));
  log.Clear();
  RECT r{0, 0, 5, 5};
  RedrawWindow(a, &r, 0, RDW_INVALIDATE);
  RedrawWindow(a, nullptr, 0, RDW_VALIDATE);
  EXPECT_EQ(PumpMessages(), 0);
  // A parent with WS_CLIPCHILDREN repaints its children only with RDW_ALLCHILDREN.
  SetWindowLongW(parent, GWL_STYLE, GetWindowLongW(parent, GWL_STYLE) | LONG(WS_CLIPCHILDREN));
  log.Clear();
  RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(log.Lines({WM_NCPAINT, WM_ERASEBKGND}), (Lines{"parent WM_PAINT"}));
  log.Clear();
  RedrawWindow(parent, nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(log.Lines({WM_NCPAINT, WM_ERASEBKGND}),
            (Lines{"parent WM_PAINT", "b WM_PAINT", "a WM_PAINT"}));
}

TEST_F(PaintingTest, HiddenWindowsAreNeitherInvalidNorDrawnOn) {
  Scene();
  PumpMessages();
  ShowWindow(a, SW_HIDE);
  PumpMessages();
  EXPECT_EQ(At(20, 20), kRed);  // the parent painted what a left uncovered
  InvalidateRect(a, nullptr, TRUE);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(a, &r, FALSE));
  HDC dc = GetDC(a);
  HBRUSH y = CreateSolidBrush(kYellow);
  RECT all{0, 0, 50, 50};
  FillRect(dc, &all, y);
  DeleteObject(y);
  ReleaseDC(a, dc);
  UserFlushSurfaces();
  EXPECT_EQ(At(20, 20), kRed);
  ShowWindow(a, SW_SHOW);
  PumpMessages();
  EXPECT_EQ(At(20, 20), kBlue);
}

TEST_F(PaintingTest, MovingAChildRepaintsWhatItUncoveredAndWhereItWent) {
  Scene(WS_CLIPCHILDREN);
  PumpMessages();
  MoveWindow(b, 60, 0, 40, 40, TRUE);
  PumpMessages();
  EXPECT_EQ(At(85, 85), kRed);
  EXPECT_EQ(At(50, 50), kBlue);  // a shows where b was
  EXPECT_EQ(At(70, 10), kGreen);
  EXPECT_EQ(At(55, 10), kBlue);
}

TEST_F(PaintingTest, ScrollingMovesPixelsAndInvalidatesWhatItUncovers) {
  Scene(WS_CLIPCHILDREN);
  PumpMessages();
  DestroyWindow(a);
  DestroyWindow(b);
  PumpMessages();
  HDC dc = GetDC(parent);
  HBRUSH y = CreateSolidBrush(kYellow);
  RECT spot{10, 10, 20, 20};
  FillRect(dc, &spot, y);
  DeleteObject(y);
  ReleaseDC(parent, dc);
  RECT upd;
  int kind = ScrollWindowEx(parent, 30, 0, nullptr, nullptr, 0, &upd, SW_INVALIDATE);
  EXPECT_EQ(kind, SIMPLEREGION);
  EXPECT_EQ(upd, (RECT{0, 0, 30, 100}));
  RECT now;
  ASSERT_TRUE(GetUpdateRect(parent, &now, FALSE));
  EXPECT_EQ(now, upd);
  UserFlushSurfaces();
  EXPECT_EQ(At(45, 15), kYellow);
  EXPECT_EQ(At(25, 15), kRed);
}

TEST_F(PaintingTest, TheDefaultFrameAndClientEdgeHaveTheClassicColours) {
  SetThemesEnabledForTesting(false);
  HWND top =
      CreateWindowExW(0, u"Frame", u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, 0, 0, 0, nullptr);
  HWND edge = CreateWindowExW(WS_EX_CLIENTEDGE, u"Frame", u"", WS_CHILD | WS_VISIBLE, 10, 10, 40,
                              30, top, 0, 0, nullptr);
  HWND border = CreateWindowExW(0, u"Frame", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 60, 10, 40, 30,
                                top, 0, 0, nullptr);
  HWND stat = CreateWindowExW(WS_EX_STATICEDGE, u"Frame", u"", WS_CHILD | WS_VISIBLE, 110, 10, 40,
                              30, top, 0, 0, nullptr);
  PumpMessages();
  auto px = [&](int x, int y) {
    std::uint32_t p = host.Pixel(top, x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  EXPECT_EQ(px(10, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(px(11, 11), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(px(49, 39), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(px(48, 38), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(px(12, 12), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(px(60, 10), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(px(99, 39), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(px(61, 11), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(px(110, 10), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(px(149, 39), GetSysColor(COLOR_BTNHIGHLIGHT));

  // With visual styles the edges take the theme's border colour.
  SetThemesEnabledForTesting(true);
  RedrawWindow(top, nullptr, 0, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  UserFlushSurfaces();
  TColor themed = 0;
  ASSERT_EQ(ThemeServices()->GetThemeColor(ThemeServices()->GetElementDetails(teEditTextNormal),
                                           TMT_BORDERCOLOR, themed),
            S_OK);
  EXPECT_EQ(px(10, 10), ColorToRGB(themed));
  EXPECT_EQ(px(60, 10), ColorToRGB(themed));
  EXPECT_EQ(px(13, 13), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(IsWindow(edge) && IsWindow(border) && IsWindow(stat));
}

TEST_F(PaintingTest, WindowDCsReachTheFrameAndHonourClipChildren) {
  Scene(WS_CLIPCHILDREN);
  PumpMessages();
  HDC dc = GetDC(parent);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);  // the children are cut out
  EXPECT_EQ(box, (RECT{0, 0, 100, 100}));
  EXPECT_FALSE(PtVisible(dc, 20, 20));
  EXPECT_TRUE(PtVisible(dc, 5, 5));
  EXPECT_EQ(WindowFromDC(dc), parent);
  ReleaseDC(parent, dc);
  HWND framed = CreateWindowExW(WS_EX_CLIENTEDGE, u"Frame", u"", WS_CHILD | WS_VISIBLE, 0, 60, 30,
                                30, parent, 0, 0, nullptr);
  HDC wdc = GetWindowDC(framed);
  HDC cdc = GetDC(framed);
  EXPECT_TRUE(PtVisible(wdc, 0, 0));  // the window DC's origin is the frame's corner
  EXPECT_FALSE(PtVisible(cdc, -1, -1));
  EXPECT_TRUE(PtVisible(cdc, 0, 0));
  EXPECT_FALSE(PtVisible(cdc, 26, 26));
  ReleaseDC(framed, wdc);
  ReleaseDC(framed, cdc);
  HDC screen = GetDC(0);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
  ReleaseDC(0, screen);
}

TEST_F(PaintingTest, TopLevelSurfacesFollowSizeAndShowOnTheHost) {
  HWND w = CreateWindowExW(0, u"Red", u"", WS_POPUP, 10, 20, 50, 40, 0, 0, 0, nullptr);
  PumpMessages();
  EXPECT_EQ(host.surfaces.count(w), 0u);  // nothing before it is shown
  ShowWindow(w, SW_SHOWNA);
  PumpMessages();
  ASSERT_EQ(host.surfaces.count(w), 1u);
  EXPECT_TRUE(host.surfaces[w].shown);
  EXPECT_EQ(host.surfaces[w].rect, (RECT{10, 20, 60, 60}));
  MoveWindow(w, 30, 40, 300, 200, TRUE);
  PumpMessages();
  EXPECT_EQ(host.surfaces[w].rect, (RECT{30, 40, 330, 240}));
  EXPECT_EQ(host.surfaces[w].width, 300);
  std::uint32_t p = host.Pixel(w, 299, 199);
  EXPECT_EQ(p, 0xFF0000u);  // the new part was painted
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(host.surfaces[w].shown);
  DestroyWindow(w);
  EXPECT_EQ(host.surfaces.count(w), 0u);
}

}  // namespace
