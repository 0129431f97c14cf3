#include <gtest/gtest.h>

#include <algorithm>

#include "Exceptions.h"
#include "GdiPrintJob.h"

namespace {

GdiRecordOp Op(GdiOpKind kind) {
  GdiRecordOp op;
  op.kind = kind;
  op.pen.lopnStyle = PS_SOLID;
  op.pen.lopnColor = RGB(0x12, 0x34, 0x56);
  op.brush.lbStyle = BS_SOLID;
  op.brush.lbColor = RGB(0xAB, 0xCD, 0xEF);
  op.rect = RECT{10, 20, 30, 40};
  op.points = {{1, 2}, {3, 4}};
  return op;
}

// The host's operations of a recording of one page holding ops.
std::vector<HostDrawOp> Converted(std::vector<GdiRecordOp> ops) {
  GdiRecording rec;
  rec.device.width = rec.device.height = 100;
  rec.ops.push_back(Op(GdiOpKind::StartPage));
  for (GdiRecordOp& op : ops) rec.ops.push_back(std::move(op));
  HostPrintJob job = GdiMakePrintJob(rec, {}, 1, u"");
  EXPECT_EQ(job.pages.size(), 1u);
  return job.pages.empty() ? std::vector<HostDrawOp>{} : job.pages[0]->ops;
}

}  // namespace

TEST(PrintJob, RasterOpsOfPensAndBrushesOnAPageWithNothingBeneath) {
  struct Case {
    int rop2;
    bool drawn;
    HostColor pen;
    HostColor brush;
  };
  const Case cases[] = {
      {R2_COPYPEN, true, 0x563412, 0xEFCDAB},
      {R2_NOP, false, 0, 0},
      {R2_BLACK, true, 0, 0},
      {R2_WHITE, true, 0xFFFFFF, 0xFFFFFF},
      {R2_NOTCOPYPEN, true, 0xA9CBED, 0x103254},
      {R2_XORPEN, true, 0x563412, 0xEFCDAB},  // mixing has nothing to mix with: a copy
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rop2);
    GdiRecordOp rect = Op(GdiOpKind::Rectangle);
    rect.rop2 = c.rop2;
    rect.pen.lopnColor |= 0x7F000000;  // bits above the colour never reach the host
    GdiRecordOp line = rect;
    line.kind = GdiOpKind::Polyline;
    std::vector<HostDrawOp> ops = Converted({line, rect});
    if (!c.drawn) {
      EXPECT_TRUE(ops.empty());
      continue;
    }
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].kind, HostDrawKind::Polyline);
    EXPECT_EQ(ops[0].points, (std::vector<POINT>{{1, 2}, {3, 4}}));
    EXPECT_EQ(ops[0].pen.color, c.pen);
    EXPECT_EQ(ops[1].kind, HostDrawKind::Rectangle);
    EXPECT_EQ(ops[1].rect, (RECT{10, 20, 30, 40}));
    EXPECT_EQ(ops[1].pen.color, c.pen);
    EXPECT_TRUE(ops[1].brush.visible);
    EXPECT_EQ(ops[1].brush.color, c.brush);
  }
}

TEST(PrintJob, PensKeepTheirDashCapJoinAndWidth) {
  GdiRecordOp geometric = Op(GdiOpKind::Polyline);
  geometric.pen.lopnStyle = PS_GEOMETRIC | PS_DASHDOT | PS_ENDCAP_FLAT | PS_JOIN_MITER;
  geometric.pen.lopnWidth.x = 7;
  GdiRecordOp inside = Op(GdiOpKind::Ellipse);
  inside.pen.lopnStyle = PS_INSIDEFRAME;
  inside.brush.lbStyle = BS_HATCHED;
  inside.brush.lbHatch = HS_CROSS;
  GdiRecordOp none = Op(GdiOpKind::Polygon);
  none.pen.lopnStyle = PS_NULL;
  none.brush.lbStyle = BS_NULL;
  none.fillMode = WINDING;
  std::vector<HostDrawOp> ops = Converted({geometric, inside, none});
  ASSERT_EQ(ops.size(), 3u);
  const HostPen& g = ops[0].pen;
  EXPECT_TRUE(g.visible);
  EXPECT_EQ(g.width, 7);
  EXPECT_EQ(g.dash, HostDash::DashDot);
  EXPECT_EQ(g.cap, HostLineCap::Flat);
  EXPECT_EQ(g.join, HostLineJoin::Miter);
  EXPECT_FALSE(g.insideFrame);
  EXPECT_EQ(ops[1].kind, HostDrawKind::Ellipse);
  EXPECT_TRUE(ops[1].pen.insideFrame);
  EXPECT_EQ(ops[1].pen.dash, HostDash::Solid);
  EXPECT_EQ(ops[1].pen.cap, HostLineCap::Round);
  EXPECT_EQ(ops[1].brush.hatch, HS_CROSS);
  EXPECT_EQ(ops[2].kind, HostDrawKind::Polygon);
  EXPECT_FALSE(ops[2].pen.visible);
  EXPECT_FALSE(ops[2].brush.visible);
  EXPECT_TRUE(ops[2].winding);
}

TEST(PrintJob, BlitsAndPixelsBecomeFillsOrAreLeftOut) {
  auto patBlt = [](DWORD rop) {
    GdiRecordOp op = Op(GdiOpKind::PatBlt);
    op.rop = rop;
    return op;
  };
  GdiRecordOp fill = Op(GdiOpKind::FillRect);
  fill.rop2 = R2_NOP;  // fills ignore the pen's mix
  GdiRecordOp pixel = Op(GdiOpKind::SetPixel);
  pixel.points = {{5, 6}};
  pixel.textColor = RGB(1, 2, 3);
  std::vector<HostDrawOp> ops = Converted(
      {patBlt(PATCOPY), patBlt(BLACKNESS), patBlt(DSTINVERT), patBlt(WHITENESS), fill, pixel});
  ASSERT_EQ(ops.size(), 5u);  // the inverting blit has no vector form
  for (const HostDrawOp& op : ops) EXPECT_EQ(op.kind, HostDrawKind::Fill);
  EXPECT_EQ(ops[0].brush.color, 0xEFCDABu);
  EXPECT_EQ(ops[1].brush.color, 0u);
  EXPECT_EQ(ops[2].brush.color, 0xFFFFFFu);
  EXPECT_EQ(ops[3].brush.color, 0xEFCDABu);
  EXPECT_EQ(ops[3].rect, (RECT{10, 20, 30, 40}));
  EXPECT_EQ(ops[4].rect, (RECT{5, 6, 6, 7}));
  EXPECT_EQ(ops[4].brush.color, 0x030201u);
}

TEST(PrintJob, ImagesKeepTheirMirroredSourceAndTransparentColour) {
  auto pixels = std::make_shared<GdiRecordedImage>();
  pixels->width = 2;
  pixels->height = 1;
  pixels->pixels = {0xFF112233, 0x80445566};
  GdiRecordOp image = Op(GdiOpKind::Image);
  image.image = pixels;
  image.rect = RECT{70, 75, 78, 67};
  image.srcRect = RECT{0, 0, 2, 1};
  image.transparent = RGB(0x66, 0x55, 0x44);
  GdiRecordOp empty = Op(GdiOpKind::Image);
  auto clip = std::make_shared<const std::vector<RECT>>(std::vector<RECT>{{0, 0, 50, 50}});
  image.clip = clip;
  std::vector<HostDrawOp> ops = Converted({image, empty});
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].kind, HostDrawKind::Image);
  EXPECT_EQ(ops[0].rect, (RECT{70, 75, 78, 67}));
  EXPECT_EQ(ops[0].source, (RECT{0, 0, 2, 1}));
  ASSERT_TRUE(ops[0].image);
  EXPECT_EQ(ops[0].image->pixels, (std::vector<std::uint32_t>{0x112233, 0x445566}));
  EXPECT_TRUE(ops[0].hasTransparent);
  EXPECT_EQ(ops[0].transparent, 0x445566u);
  EXPECT_EQ(ops[0].clip, clip);
}

TEST(PrintJob, TextKeepsItsPlaceAlignmentFontAndColours) {
  GdiRecordOp text = Op(GdiOpKind::Text);
  text.points = {{40, 50}};
  text.text = u"Staff";
  text.dx = {10, 11, 12, 13, 14};
  text.align = TA_RIGHT | TA_BASELINE;
  text.options = ETO_OPAQUE;
  text.bkMode = TRANSPARENT;
  text.textColor = RGB(9, 8, 7);
  text.bkColor = RGB(1, 1, 1);
  std::u16string_view face(u"Arial");
  std::copy(face.begin(), face.end(), text.font.lfFaceName);
  text.font.lfHeight = -14;
  text.font.lfEscapement = 900;
  text.font.lfItalic = 1;
  GdiRecordOp centred = text;
  centred.align = TA_CENTER | TA_BOTTOM;
  centred.options = ETO_CLIPPED;
  centred.bkMode = OPAQUE;
  GdiRecordOp top = text;
  top.align = TA_LEFT | TA_TOP;
  std::vector<HostDrawOp> ops = Converted({text, centred, top});
  ASSERT_EQ(ops.size(), 3u);
  const HostDrawOp& t = ops[0];
  EXPECT_EQ(t.kind, HostDrawKind::Text);
  EXPECT_EQ(t.points, (std::vector<POINT>{{40, 50}}));
  EXPECT_EQ(t.text, u"Staff");
  EXPECT_EQ(t.dx, (std::vector<int>{10, 11, 12, 13, 14}));
  EXPECT_EQ(t.font.face, u"Arial");
  EXPECT_EQ(t.font.height, -14);
  EXPECT_TRUE(t.font.italic);
  EXPECT_EQ(t.escapement, 900);
  EXPECT_EQ(t.textColor, 0x070809u);
  EXPECT_EQ(t.bkColor, 0x010101u);
  EXPECT_EQ(t.alignH, HostTextH::Right);
  EXPECT_EQ(t.alignV, HostTextV::Baseline);
  EXPECT_TRUE(t.opaqueRect);
  EXPECT_FALSE(t.clipRect);
  EXPECT_FALSE(t.opaqueCell);
  EXPECT_EQ(ops[1].alignH, HostTextH::Centre);
  EXPECT_EQ(ops[1].alignV, HostTextV::Bottom);
  EXPECT_FALSE(ops[1].opaqueRect);
  EXPECT_TRUE(ops[1].clipRect);
  EXPECT_TRUE(ops[1].opaqueCell);
  EXPECT_EQ(ops[2].alignH, HostTextH::Left);
  EXPECT_EQ(ops[2].alignV, HostTextV::Top);
}

TEST(PrintJob, PagesAsAskedOnTheSheetOfTheDevice) {
  GdiRecording rec;
  rec.device.dpiX = 600;
  rec.device.dpiY = 300;
  rec.device.width = 4800;
  rec.device.height = 6600;
  rec.device.physicalWidth = 5100;
  rec.device.physicalHeight = 6900;
  rec.device.offsetX = 150;
  rec.device.offsetY = 120;
  for (int page = 1; page <= 3; ++page) {
    rec.ops.push_back(Op(GdiOpKind::StartPage));
    for (int i = 0; i < page; ++i) rec.ops.push_back(Op(GdiOpKind::FillRect));
  }
  HostPrintJob all = GdiMakePrintJob(rec, {}, 0, u"Staves");
  EXPECT_EQ(all.copies, 1);
  EXPECT_EQ(all.title, u"Staves");
  EXPECT_EQ(all.paper.dpiX, 600);
  EXPECT_EQ(all.paper.dpiY, 300);
  EXPECT_EQ(all.paper.width, 5100);
  EXPECT_EQ(all.paper.height, 6900);
  EXPECT_EQ(all.paper.printable, (RECT{150, 120, 4950, 6720}));
  ASSERT_EQ(all.pages.size(), 3u);
  for (int page = 1; page <= 3; ++page) EXPECT_EQ(all.pages[page - 1]->ops.size(), size_t(page));

  HostPrintJob some = GdiMakePrintJob(rec, {3, 1, 3}, 2, u"");
  EXPECT_EQ(some.copies, 2);
  ASSERT_EQ(some.pages.size(), 3u);
  EXPECT_EQ(some.pages[0]->ops.size(), 3u);
  EXPECT_EQ(some.pages[1]->ops.size(), 1u);
  EXPECT_EQ(some.pages[2]->ops.size(), 3u);

  try {
    GdiMakePrintJob(rec, {1, 4}, 1, u"");
    ADD_FAILURE() << "page 4 of 3 was accepted";
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), u"Page 4 is not in the document of 3 pages");
  }
  EXPECT_THROW(GdiMakePrintJob(rec, {0}, 1, u""), EPrinter);

  // Without a size of its own the sheet is the printable area.
  GdiRecording bare;
  bare.device.width = 800;
  bare.device.height = 500;
  HostPrintJob sheet = GdiMakePrintJob(bare, {}, 1, u"");
  EXPECT_EQ(sheet.paper.width, 800);
  EXPECT_EQ(sheet.paper.height, 500);
  EXPECT_EQ(sheet.paper.printable, (RECT{0, 0, 800, 500}));
}
