// Device layers on a screen of scale 2: the host gets the layer's device pixels where the
// window's painting reaches the screen, following scrolling, children and windows above it,
// hiding and destruction; the window's own (logical) pixels stay as they were painted.
#include "GdiSurface.h"
#include "UserTestSupport.h"

namespace {

constexpr std::uint32_t kBlue = 0x0000FF, kGreen = 0x008000, kRed = 0xFF0000, kWhite = 0xFFFFFF,
                        kBlack = 0x000000;

class DeviceLayerTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    host.scale = 2;
    red = CreateSolidBrush(RGB(255, 0, 0));
    blue = CreateSolidBrush(RGB(0, 0, 255));
    green = CreateSolidBrush(RGB(0, 128, 0));
    RegisterTestClass(u"Red", 0, red);
    RegisterTestClass(u"Blue", 0, blue);
    RegisterTestClass(u"Green", 0, green);
    // 40 x 40 logical pixels of white at twice the resolution, one device row black: the
    // upper half of logical row 20.
    page = GdiCreateBitmap32(80, 80);
    GdiPixels px;
    ASSERT_TRUE(GdiGetBitmapPixels(page, &px));
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x)
        reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(px.bits) + y * px.strideBytes)[x] =
            y == 40 ? kBlack : kWhite;
  }
  void TearDown() override {
    UserTest::TearDown();
    for (HGDIOBJ o : {HGDIOBJ(red), HGDIOBJ(blue), HGDIOBJ(green), HGDIOBJ(page)}) DeleteObject(o);
  }
  // A 100 x 100 popup at (200, 100) holding a 80 x 80 view at (10, 10), the layer at (5, 5)
  // of the view's client area.
  void Scene() {
    top = CreateWindowExW(0, u"Red", u"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 200, 100, 100,
                          100, 0, 0, 0, nullptr);
    view =
        CreateWindowExW(0, u"Blue", u"", WS_CHILD | WS_VISIBLE, 10, 10, 80, 80, top, 0, 0, nullptr);
    PumpMessages();
    RECT at{5, 5, 45, 45};
    ASSERT_TRUE(UserSetDeviceLayer(view, page, &at));
    PumpMessages();
  }
  // Device pixels of column x (device) from row y0 to y1 (excluded) of the top surface.
  std::vector<std::uint32_t> Column(HWND surface, int x, int y0, int y1) const {
    std::vector<std::uint32_t> out;
    for (int y = y0; y < y1; ++y) out.push_back(host.DevicePixel(surface, x, y));
    return out;
  }
  HBRUSH red = 0, blue = 0, green = 0;
  HBITMAP page = 0;
  HWND top = 0, view = 0;
};

using Pixels = std::vector<std::uint32_t>;

TEST_F(DeviceLayerTest, TheLayerShowsInDevicePixelsOverTheWindowsOwn) {
  EXPECT_EQ(UserDeviceScale(0), 2.0);
  Scene();
  EXPECT_EQ(UserDeviceScale(view), 2.0);
  // Logical row 35 of the surface is the layer's row 20: its upper device row alone is black.
  EXPECT_EQ(Column(top, 60, 68, 72), (Pixels{kWhite, kWhite, kBlack, kWhite}));
  // Round the layer the view's pixels are enlarged; the logical pixels are the view's own.
  EXPECT_EQ(Column(top, 60, 26, 32), (Pixels{kBlue, kBlue, kBlue, kBlue, kWhite, kWhite}));
  EXPECT_EQ(host.DevicePixel(top, 29, 60), kBlue);
  EXPECT_EQ(host.DevicePixel(top, 30, 60), kWhite);
  EXPECT_EQ(host.DevicePixel(top, 109, 60), kWhite);
  EXPECT_EQ(host.DevicePixel(top, 110, 60), kBlue);
  EXPECT_EQ(host.Pixel(top, 30, 35), kBlue);

  // Removed, the view's own pixels show again, though nothing was painted.
  ASSERT_TRUE(UserSetDeviceLayer(view, 0, nullptr));
  PumpMessages();
  EXPECT_EQ(Column(top, 60, 68, 72), (Pixels{kBlue, kBlue, kBlue, kBlue}));
  // A layer needs a rectangle and a bitmap that exists.
  RECT at{5, 5, 45, 45};
  EXPECT_FALSE(UserSetDeviceLayer(view, page, nullptr));
  EXPECT_FALSE(UserSetDeviceLayer(view, HBITMAP(0x7777), &at));
  EXPECT_FALSE(UserSetDeviceLayer(HWND(0x7777), page, &at));
}

TEST_F(DeviceLayerTest, WindowsAboveTheLayerHideItWhereTheyCoverIt) {
  Scene();
  // A sibling above the view over the layer's left half, and a child of the view over its
  // lower right corner.
  HWND sibling =
      CreateWindowExW(0, u"Green", u"", WS_CHILD | WS_VISIBLE, 0, 0, 35, 100, top, 0, 0, nullptr);
  SetWindowPos(sibling, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HWND child =
      CreateWindowExW(0, u"Red", u"", WS_CHILD | WS_VISIBLE, 30, 30, 50, 50, view, 0, 0, nullptr);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 69, 70), kGreen);
  EXPECT_EQ(host.DevicePixel(top, 70, 70), kBlack);
  EXPECT_EQ(host.DevicePixel(top, 70, 68), kWhite);
  EXPECT_EQ(host.DevicePixel(top, 90, 80), kRed);  // the view's child at (40, 40) of the top
  EXPECT_EQ(host.DevicePixel(top, 79, 79), kWhite);
  // A popup over the window is a surface of its own: the layer is not drawn into it.
  HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW, u"Green", u"", WS_POPUP | WS_VISIBLE, 230, 120, 30,
                               30, top, 0, 0, nullptr);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(popup, 20, 30), kGreen);
  DestroyWindow(sibling);
  DestroyWindow(child);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 69, 70), kBlack);
  EXPECT_EQ(host.DevicePixel(top, 90, 80), kWhite);
}

TEST_F(DeviceLayerTest, TheLayerFollowsScrollingMovingAndHiding) {
  Scene();
  // The client pixels scroll down by 10: the layer's black row goes with them.
  ScrollWindowEx(view, 0, 10, nullptr, nullptr, 0, nullptr, SW_INVALIDATE | SW_ERASE);
  PumpMessages();
  EXPECT_EQ(Column(top, 60, 88, 92), (Pixels{kWhite, kWhite, kBlack, kWhite}));
  EXPECT_EQ(host.DevicePixel(top, 60, 70), kWhite);
  // Scrolling another part of the client leaves it where it is.
  RECT elsewhere{60, 0, 80, 80};
  ScrollWindowEx(view, 0, -10, &elsewhere, nullptr, 0, nullptr, SW_INVALIDATE | SW_ERASE);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 60, 90), kBlack);
  // The view moves 20 to the right, its layer with it.
  MoveWindow(view, 30, 10, 80, 80, TRUE);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 100, 90), kBlack);
  EXPECT_EQ(host.DevicePixel(top, 58, 90), kRed);
  // Hidden, the parent shows there; shown again, so does the layer.
  ShowWindow(view, SW_HIDE);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 100, 90), kRed);
  ShowWindow(view, SW_SHOW);
  PumpMessages();
  EXPECT_EQ(host.DevicePixel(top, 100, 90), kBlack);
  // Gone with the window: later flushes carry no layer.
  DestroyWindow(view);
  PumpMessages();
  const int layered = host.surfaces[top].layeredFlushes;
  InvalidateRect(top, nullptr, TRUE);
  PumpMessages();
  EXPECT_EQ(host.surfaces[top].layeredFlushes, layered);
  EXPECT_EQ(host.DevicePixel(top, 100, 90), kRed);
}

TEST_F(DeviceLayerTest, ADecoratedWindowsLayerLiesInsideTheDesktopsFrame) {
  UserSetDesktopFrames(true);
  top = CreateWindowExW(0, u"Blue", u"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150,
                        0, 0, 0, nullptr);
  PumpMessages();
  RECT at{10, 20, 50, 60};
  ASSERT_TRUE(UserSetDeviceLayer(top, page, &at));
  PumpMessages();
  // The host's surface is the client area: the black row is at device row (20 + 20) * 2.
  EXPECT_EQ(Column(top, 40, 78, 82), (Pixels{kWhite, kWhite, kBlack, kWhite}));
  EXPECT_EQ(host.DevicePixel(top, 19, 60), kBlue);
  EXPECT_EQ(host.DevicePixel(top, 20, 60), kWhite);
}

}  // namespace
