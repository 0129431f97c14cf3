#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Gdi.h"
#include "GdiSurface.h"
#include "PixelPicture.h"

TEST(Objects, DeletingASelectedPenWaitsUntilItIsDeselected) {
  int before = GdiObjectCount(OBJ_PEN);
  PixelCanvas c(4, 1);
  HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(c.dc(), red);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_EQ(GdiObjectCount(OBJ_PEN), before + 1);
  MoveToEx(c.dc(), 0, 0, nullptr);
  LineTo(c.dc(), 4, 0);  // still draws with it
  EXPECT_EQ(c.At(3, 0), RGB(255, 0, 0));
  EXPECT_EQ(SelectObject(c.dc(), old), red);
  EXPECT_EQ(GdiObjectCount(OBJ_PEN), before);
  EXPECT_EQ(GetObjectType(red), 0u);
}

TEST(Objects, SavedStatesKeepTheirObjectsAlive) {
  int before = GdiObjectCount(OBJ_BRUSH);
  PixelCanvas c(2, 1);
  HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(c.dc(), b);
  SaveDC(c.dc());
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(b);
  EXPECT_EQ(GdiObjectCount(OBJ_BRUSH), before + 1);
  RestoreDC(c.dc(), -1);
  PatBlt(c.dc(), 0, 0, 1, 1, PATCOPY);
  EXPECT_EQ(c.At(0, 0), RGB(0, 0, 255));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GdiObjectCount(OBJ_BRUSH), before);
}

TEST(Objects, StockObjectsSurviveDeleteAndSystemBrushesFollowTheTable) {
  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  EXPECT_TRUE(DeleteObject(black));
  EXPECT_EQ(GetObjectType(black), OBJ_BRUSH);
  LOGBRUSH lb;
  ASSERT_EQ(GetObjectW(black, sizeof lb, &lb), int(sizeof lb));
  EXPECT_EQ(lb.lbColor, 0u);
  EXPECT_EQ(GetStockObject(NULL_PEN), GetStockObject(NULL_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), OBJ_FONT);

  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  PixelCanvas c(1, 1);
  RECT r{0, 0, 1, 1};
  FillRect(c.dc(), &r, face);
  EXPECT_EQ(c.At(0, 0), RGB(192, 192, 192));
  int index = COLOR_BTNFACE;
  COLORREF green = RGB(0, 200, 0);
  SetSysColors(1, &index, &green);
  FillRect(c.dc(), &r, face);
  EXPECT_EQ(c.At(0, 0), green);
  ResetSysColors();
}

TEST(Objects, FreshMemoryDCMakesMonochromeCompatibleBitmaps) {
  HDC mem = CreateCompatibleDC(0);
  BITMAP bm;
  HBITMAP fromMem = CreateCompatibleBitmap(mem, 10, 3);
  ASSERT_EQ(GetObjectW(fromMem, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 2);  // rows are padded to 16 bits
  HBITMAP fromScreen = CreateCompatibleBitmap(0, 10, 3);
  GetObjectW(fromScreen, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidth, 10);
  EXPECT_EQ(bm.bmHeight, 3);
  EXPECT_EQ(bm.bmWidthBytes, 40);
  EXPECT_EQ(bm.bmBits, nullptr);
  // With a colour bitmap selected the DC makes colour bitmaps.
  SelectObject(mem, fromScreen);
  HBITMAP colour = CreateCompatibleBitmap(mem, 2, 2);
  GetObjectW(colour, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  // A bitmap lives in one memory DC at a time.
  HDC other = CreateCompatibleDC(0);
  EXPECT_EQ(SelectObject(other, fromScreen), 0u);
  DeleteDC(mem);
  EXPECT_NE(SelectObject(other, fromScreen), 0u);
  DeleteDC(other);
  for (HBITMAP b : {fromMem, fromScreen, colour}) DeleteObject(b);
  EXPECT_EQ(GetObjectW(GetStockObject(BLACK_PEN), 0, nullptr), int(sizeof(LOGPEN)));
}

TEST(Objects, MonochromeBitsRoundTripInThePlatformsLayout) {
  const BYTE in[6] = {0xF0, 0x00, 0x0F, 0x00, 0xAA, 0x00};  // 12 x 3, two bytes a row
  HBITMAP mono = CreateBitmap(12, 3, 1, 1, in);
  BYTE out[6] = {};
  EXPECT_EQ(GetBitmapBits(mono, sizeof out, out), 6);
  EXPECT_EQ(std::memcmp(in, out, 6), 0);
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, mono);
  EXPECT_EQ(GetPixel(dc, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(dc, 4, 0), 0u);
  EXPECT_EQ(GetPixel(dc, 4, 1), 0xFFFFFFu);
  DeleteDC(dc);
  DeleteObject(mono);
}

TEST(Objects, BottomUpDibSectionKeepsItsLastRowFirst) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = 2;  // bottom-up
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(0, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, 0u);
  HDC dc = CreateCompatibleDC(0);
  SelectObject(dc, dib);
  SetPixel(dc, 0, 1, RGB(0x11, 0x22, 0x33));
  auto* px = static_cast<std::uint32_t*>(bits);
  EXPECT_EQ(px[0], 0x00112233u);  // bytes B, G, R, A
  DIBSECTION ds;
  EXPECT_EQ(GetObjectW(dib, sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBmih.biHeight, 2);
  DeleteDC(dc);
  DeleteObject(dib);
  bi.bmiHeader.biBitCount = 24;
  EXPECT_EQ(CreateDIBSection(0, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
}

TEST(Objects, DeviceIndependentBitsInAndOut) {
  // A 2 x 2 bottom-up 24-bit picture: bottom row blue, green; top row red, white.
  struct {
    BITMAPINFOHEADER h;
  } info{};
  info.h.biWidth = 2;
  info.h.biHeight = 2;
  info.h.biBitCount = 24;
  const BYTE bits[16] = {255, 0, 0, 0, 128, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  PixelCanvas c(2, 2);
  EXPECT_EQ(StretchDIBits(c.dc(), 0, 0, 2, 2, 0, 0, 2, 2, bits,
                          reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY),
            2);
  EXPECT_TRUE(LooksLike(c, {"r.", "bg"}));
  BYTE back[16] = {};
  EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, back, reinterpret_cast<BITMAPINFO*>(&info),
                      DIB_RGB_COLORS),
            2);
  EXPECT_EQ(std::memcmp(back, bits, 16), 0);
  PixelCanvas d(2, 2);
  SetDIBits(d.dc(), d.bitmap(), 0, 2, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  EXPECT_TRUE(SamePixels(c, d));
}

TEST(Objects, ScreenAndMemoryDCsReportTheDisplay) {
  HDC screen = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(screen);
  for (HDC dc : {screen, mem}) {
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), 0);
  }
  EXPECT_EQ(GetObjectType(screen), OBJ_DC);
  EXPECT_EQ(GetObjectType(mem), OBJ_MEMDC);
  EXPECT_EQ(CreateDCW(u"WINSPOOL", nullptr, nullptr, nullptr), 0u);
  DeleteDC(mem);
  DeleteDC(screen);
}

TEST(Objects, HandlesOfDeletedObjectsAreNotReused) {
  HBRUSH a = CreateSolidBrush(1);
  DeleteObject(a);
  HBRUSH b = CreateSolidBrush(2);
  EXPECT_NE(a, b);
  EXPECT_EQ(GetObjectType(a), 0u);
  EXPECT_FALSE(DeleteObject(a));
  PixelCanvas c(1, 1);
  EXPECT_EQ(SelectObject(c.dc(), a), 0u);
  DeleteObject(b);
}
