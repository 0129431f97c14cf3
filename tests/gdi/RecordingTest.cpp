#include <gtest/gtest.h>

#include <functional>

#include "Gdi.h"
#include "GdiRecording.h"
#include "GdiSurface.h"
#include "PixelPicture.h"

namespace {

GdiDeviceInfo Device(int w, int h, int dpi = 600) {
  GdiDeviceInfo d;
  d.dpiX = d.dpiY = dpi;
  d.width = w;
  d.height = h;
  return d;
}

HFONT Font(int height, int escapement = 0) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfEscapement = escapement;
  std::u16string_view f(u"Arial");
  std::copy(f.begin(), f.end(), lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

// Everything the preview and the printer draw: pens of several widths, boxes, polygons, text in
// several alignments and angles, fills, pixels, a clip and a bitmap.
void DrawScene(HDC dc) {
  HPEN thick = CreatePen(PS_SOLID, 5, RGB(200, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, thick);
  MoveToEx(dc, 5, 10, nullptr);
  LineTo(dc, 90, 10);
  LineTo(dc, 90, 50);
  HPEN thin = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
  SelectObject(dc, thin);
  DeleteObject(thick);
  for (int i = 0; i < 5; ++i) {
    MoveToEx(dc, 5, 20 + 3 * i, nullptr);
    LineTo(dc, 80, 20 + 3 * i);
  }
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  HGDIOBJ oldBrush = SelectObject(dc, yellow);
  Rectangle(dc, 100, 5, 140, 30);
  POINT tri[] = {{110, 60}, {100, 40}, {130, 45}};
  Polygon(dc, tri, 3);
  Ellipse(dc, 145, 5, 175, 25);
  RECT fill{150, 40, 170, 55};
  FillRect(dc, &fill, HBRUSH(GetStockObject(GRAY_BRUSH)));
  SetPixel(dc, 3, 3, RGB(0, 128, 0));
  HFONT font = Font(-14);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 5, 60, u"Left", 4);
  SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
  TextOutW(dc, 190, 90, u"Right", 5);
  SetTextAlign(dc, TA_CENTER | TA_TOP);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 255, 255));
  TextOutW(dc, 100, 70, u"Centre", 6);
  HFONT turned = Font(-12, 900);
  SelectObject(dc, turned);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  TextOutW(dc, 180, 70, u"Up", 2);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  DeleteObject(turned);
  SaveDC(dc);
  IntersectClipRect(dc, 0, 75, 60, 95);
  SetViewportOrgEx(dc, 2, 3, nullptr);
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Ellipse(dc, 0, 70, 80, 100);
  RestoreDC(dc, -1);
  PixelCanvas art(4, 4, RGB(255, 0, 255));
  SetPixel(art.dc(), 0, 0, RGB(0, 0, 0));
  StretchBlt(dc, 70, 75, 8, -8, art.dc(), 0, 0, 4, 4, SRCCOPY);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(yellow);
  DeleteObject(thin);
}

}  // namespace

TEST(Recording, ReportsTheDevicesResolutionAndArea) {
  GdiDeviceInfo d = Device(4800, 6600);
  d.physicalWidth = 5100;
  d.physicalHeight = 6900;
  d.offsetX = 150;
  d.offsetY = 120;
  HDC dc = GdiCreateRecordingDC(d);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 600);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4800);
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 6600);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 5100);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 120);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 4800, 6600}));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
  DeleteDC(dc);
}

TEST(Recording, KeepsPrimitivesInDeviceUnitsWithTheirPens) {
  HDC dc = GdiCreateRecordingDC(Device(1000, 1000));
  SetViewportOrgEx(dc, 10, 20, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 12, RGB(1, 2, 3));
  SelectObject(dc, pen);
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 100, 0);
  Rectangle(dc, 1, 2, 3, 4);
  const GdiRecording* rec = GdiGetRecording(dc);
  ASSERT_NE(rec, nullptr);
  ASSERT_EQ(rec->ops.size(), 2u);
  const GdiRecordOp& line = rec->ops[0];
  EXPECT_EQ(line.kind, GdiOpKind::Polyline);
  EXPECT_EQ(line.points, (std::vector<POINT>{{10, 20}, {110, 20}}));
  EXPECT_EQ(line.pen.lopnWidth.x, 12);
  EXPECT_EQ(line.pen.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(rec->ops[1].kind, GdiOpKind::Rectangle);
  EXPECT_EQ(rec->ops[1].rect, (RECT{11, 22, 13, 24}));
  EXPECT_EQ(rec->ops[1].brush.lbColor, 0xFFFFFFu);
  GdiRecording taken = GdiTakeRecording(dc);
  EXPECT_EQ(taken.ops.size(), 2u);
  EXPECT_TRUE(GdiGetRecording(dc)->ops.empty());
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
  DeleteDC(dc);
}

TEST(Recording, ReplayDrawsExactlyWhatDirectDrawingDraws) {
  PixelCanvas direct(200, 100), replayed(200, 100);
  DrawScene(direct.dc());
  HDC rec = GdiCreateRecordingDC(Device(200, 100, 96));
  DrawScene(rec);
  ASSERT_TRUE(GdiReplay(*GdiGetRecording(rec), 0, GdiGetRecording(rec)->ops.size(), replayed.dc()));
  EXPECT_TRUE(SamePixels(direct, replayed));
  EXPECT_GT(direct.Count(RGB(200, 0, 0)), 100);
  DeleteDC(rec);
}

TEST(Recording, ReplayLeavesTheTargetsStateAsItWas) {
  PixelCanvas c(20, 20);
  HDC rec = GdiCreateRecordingDC(Device(20, 20, 96));
  IntersectClipRect(rec, 0, 0, 5, 5);
  SetTextColor(rec, RGB(9, 9, 9));
  Rectangle(rec, 0, 0, 10, 10);
  SetTextColor(c.dc(), RGB(1, 1, 1));
  HGDIOBJ pen = GetCurrentObject(c.dc(), OBJ_PEN);
  GdiReplay(*GdiGetRecording(rec), 0, 1, c.dc(), {2, 2});
  EXPECT_EQ(c.InkBox(), (RECT{2, 2, 7, 7}));  // moved by the offset, clipped as recorded
  EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 1, 1));
  EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), pen);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
  DeleteDC(rec);
}

TEST(Recording, PagesAreSeparatedAndAbortDiscardsTheDocument) {
  HDC dc = GdiCreateRecordingDC(Device(50, 50, 96));
  DOCINFOW doc;
  EXPECT_GT(StartDocW(dc, &doc), 0);
  StartPage(dc);
  Rectangle(dc, 0, 0, 10, 10);
  EndPage(dc);
  StartPage(dc);
  Rectangle(dc, 20, 20, 30, 30);
  Rectangle(dc, 30, 30, 40, 40);
  EndPage(dc);
  EndDoc(dc);
  const GdiRecording* rec = GdiGetRecording(dc);
  EXPECT_EQ(rec->PageCount(), 2);
  std::size_t first, last;
  rec->PageRange(1, &first, &last);
  EXPECT_EQ(last - first, 2u);
  PixelCanvas page2(50, 50);
  GdiReplayPage(*rec, 1, page2.dc());
  EXPECT_EQ(page2.InkBox(), (RECT{20, 20, 40, 40}));

  StartDocW(dc, &doc);
  StartPage(dc);
  Rectangle(dc, 0, 0, 5, 5);
  AbortDoc(dc);
  EXPECT_EQ(GdiGetRecording(dc)->PageCount(), 2);
  EXPECT_EQ(GdiGetRecording(dc)->ops.size(), 5u);
  DeleteDC(dc);
}

TEST(Recording, TextIsMeasuredAtTheDeviceSize) {
  HDC printer = GdiCreateRecordingDC(Device(4800, 6600));
  PixelCanvas screen(10, 10);
  // 12 points: 100 pixels at 600 per inch, 16 at 96.
  HFONT big = Font(-100), small = Font(-16);
  SelectObject(printer, big);
  SelectObject(screen.dc(), small);
  SIZE p{}, s{};
  GetTextExtentPoint32W(printer, u"Staff paper", 11, &p);
  GetTextExtentPoint32W(screen.dc(), u"Staff paper", 11, &s);
  EXPECT_NEAR(double(p.cx) / s.cx, 100.0 / 16.0, 0.5);
  TEXTMETRICW tm;
  GetTextMetricsW(printer, &tm);
  EXPECT_EQ(tm.tmDigitizedAspectY, 600);
  SelectObject(printer, GetStockObject(SYSTEM_FONT));
  SelectObject(screen.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(big);
  DeleteObject(small);
  DeleteDC(printer);
}
