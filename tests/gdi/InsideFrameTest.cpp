// An inside-frame pen on the screen and on the printed page: one drawing, recorded once,
// replayed onto a bitmap and rendered as PDF, must cover the same device pixels.
#include <gtest/gtest.h>

#include "GdiPrintJob.h"
#include "PdfTools.h"
#include "PixelPicture.h"
#include "TestSupport.h"

namespace {

constexpr int kSize = 120;  // device pixels each way, all printable
constexpr int kSub = 4;     // raster pixels per device pixel in the rendered page

struct Shape {
  const char* name;
  bool ellipse;
  RECT rect;
  int pen;
};

// Ink boxes of the page's raster within the device rectangle area, in device pixels: a device
// pixel counts when most of its raster pixels are ink.
RECT PageInkBox(const pdftools::GrayPage& g, const RECT& area) {
  RECT box{kSize, kSize, 0, 0};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      int ink = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) ink += g.Ink(x * kSub + sx, y * kSub + sy);
      if (2 * ink <= kSub * kSub) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
             std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    }
  return box;
}

// Device pixels of ink along row y within area, counted the same way.
int PageInkInRow(const pdftools::GrayPage& g, const RECT& area, int y) {
  int n = 0;
  for (int x = area.left; x < area.right; ++x) {
    int ink = 0;
    for (int sy = 0; sy < kSub; ++sy)
      for (int sx = 0; sx < kSub; ++sx) ink += g.Ink(x * kSub + sx, y * kSub + sy);
    n += 2 * ink > kSub * kSub;
  }
  return n;
}

}  // namespace

TEST(InsideFrame, ScreenAndPrintedPageCoverTheSamePixels) {
  if (!pdftools::Available()) GTEST_SKIP() << "poppler-utils not installed";
  // Odd and even pens.
  const Shape shapes[] = {
      {"rectangle, even pen", false, {4, 4, 45, 35}, 8},
      {"rectangle, odd pen", false, {60, 4, 101, 36}, 7},
      {"ellipse, even pen", true, {4, 50, 55, 91}, 8},
      {"ellipse, odd pen", true, {64, 50, 111, 95}, 9},
  };
  GdiDeviceInfo device;
  device.width = device.height = kSize;
  // A sheet with room beyond the area, since the PDF's page size is whole points.
  device.physicalWidth = device.physicalHeight = 2 * kSize;
  HDC rec = GdiCreateRecordingDC(device);
  ASSERT_TRUE(rec);
  SelectObject(rec, GetStockObject(NULL_BRUSH));
  for (const Shape& s : shapes) {
    HGDIOBJ old = SelectObject(rec, CreatePen(PS_INSIDEFRAME, s.pen, 0));
    if (s.ellipse) Ellipse(rec, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
    else Rectangle(rec, s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
    DeleteObject(SelectObject(rec, old));
  }
  GdiRecording recording = GdiTakeRecording(rec);
  DeleteDC(rec);

  PixelCanvas screen(kSize, kSize);
  ASSERT_TRUE(GdiReplay(recording, 0, recording.ops.size(), screen.dc()));

  TempDir dir;
  HostWritePdf(GdiMakePrintJob(recording, {}, 1, u"inside"), dir.path() + u"inside.pdf");
  auto page =
      pdftools::Render(dir.os() + "/inside.pdf", 1, device.dpiX * kSub, dir.os() + "/inside");
  ASSERT_TRUE(page);
  ASSERT_GE(page->width, kSize * kSub);
  ASSERT_GE(page->height, kSize * kSub);

  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    RECT around{s.rect.left - 3, s.rect.top - 3, s.rect.right + 3, s.rect.bottom + 3};
    // The whole pen inside the rectangle, on both.
    EXPECT_EQ(screen.InkBox(0xFFFFFF, around), s.rect) << screen.Picture();
    EXPECT_EQ(PageInkBox(*page, around), s.rect);
    // The pen as wide on both, across the middle (both sides of the shape).
    int middle = (s.rect.top + s.rect.bottom) / 2;
    int onScreen = 0;
    for (LONG x = around.left; x < around.right; ++x) onScreen += screen.At(x, middle) == 0;
    EXPECT_EQ(onScreen, 2 * s.pen);
    EXPECT_EQ(PageInkInRow(*page, around, middle), onScreen);
  }
}
