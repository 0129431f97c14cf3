#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "Exceptions.h"
#include "Files.h"
#include "HostPrinters.h"
#include "PdfTools.h"
#include "PrivateCups.h"
#include "SilentPrintServer.h"
#include "TestSupport.h"

namespace {

// A4 at 600 dpi with a 150-pixel margin, as the PDF printer has it.
HostPaper A4() {
  HostPaper p;
  p.width = 4961;
  p.height = 7016;
  p.printable = RECT{150, 150, 4961 - 150, 7016 - 150};
  return p;
}

HostDrawOp Line(int x0, int y0, int x1, int y1, int width = 0,
                HostLineCap cap = HostLineCap::Round) {
  HostDrawOp op;
  op.kind = HostDrawKind::Polyline;
  op.points = {POINT{x0, y0}, POINT{x1, y1}};
  op.pen.width = width;
  op.pen.cap = cap;
  return op;
}

HostPrintJob Job(std::vector<std::vector<HostDrawOp>> pages, HostPaper paper = A4()) {
  HostPrintJob job;
  job.paper = paper;
  for (auto& ops : pages) {
    auto page = std::make_shared<HostPrintPage>();
    page->ops = std::move(ops);
    job.pages.push_back(std::move(page));
  }
  return job;
}

std::vector<HostDrawOp> FortyLines() {
  std::vector<HostDrawOp> ops;
  for (int i = 0; i < 40; ++i) ops.push_back(Line(0, 100 + i * 160, 4600, 100 + i * 160, 8));
  return ops;
}

#define REQUIRE_PDF_TOOLS() \
  if (!pdftools::Available()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed"

// Rows (at 100 dpi) where more than a tenth of the page width is ink.
std::vector<int> InkRows(const pdftools::GrayPage& g) {
  std::vector<int> rows;
  for (int y = 0; y < g.height; ++y)
    if (g.InkInRow(y) > g.width / 10) rows.push_back(y);
  return rows;
}

}  // namespace

TEST(HostPrinters, PdfIsVectorSmallAndHasEveryPageAndCopy) {
  REQUIRE_PDF_TOOLS();
  TempDir dir;
  HostPrintJob job = Job({FortyLines(), FortyLines(), FortyLines()});
  job.title = u"Staff paper";
  String file = dir.path() + u"three.pdf";
  HostWritePdf(job, file);
  std::string os = ToOsPath(file);
  EXPECT_EQ(pdftools::Pages(os), 3);
  EXPECT_EQ(pdftools::ImageCount(os), 0);
  EXPECT_LT(std::filesystem::file_size(os), 20u * 1024 * 3);
  EXPECT_NE(pdftools::Info(os, "Page size").find("(A4)"), std::string::npos);
  EXPECT_EQ(pdftools::Info(os, "Title"), "Staff paper");

  HostPrintJob one = Job({FortyLines()});
  HostWritePdf(one, dir.path() + u"one.pdf");
  EXPECT_LT(std::filesystem::file_size(ToOsPath(dir.path() + u"one.pdf")), 20u * 1024);

  job.copies = 2;
  HostWritePdf(job, dir.path() + u"copies.pdf");
  EXPECT_EQ(pdftools::Pages(ToOsPath(dir.path() + u"copies.pdf")), 6);
}

TEST(HostPrinters, LinesLandAtTheirDeviceCoordinatesWithTheirCaps) {
  REQUIRE_PDF_TOOLS();
  TempDir dir;
  // 600 device pixels are 100 rendered pixels: device (x, y) of the printable area lands at
  // ((x + 150) / 6, (y + 150) / 6).
  std::vector<HostDrawOp> ops = {
      Line(0, 1200, 4600, 1200),                            // thinnest line, row 225
      Line(600, 3000, 1200, 3000, 60, HostLineCap::Flat),   // columns 125..224, rows 520..529
      Line(600, 4200, 1200, 4200, 60, HostLineCap::Round),  // caps reach 5 px further
      Line(2400, 5400, 2400, 6000, 12),                     // vertical, column 425
  };
  HostWritePdf(Job({ops}), dir.path() + u"lines.pdf");
  auto g = pdftools::Render(dir.os() + "/lines.pdf", 1, 100, dir.os() + "/lines");
  ASSERT_TRUE(g);
  EXPECT_EQ(g->width, 827);
  std::vector<int> rows = InkRows(*g);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), 225);

  auto inkColumns = [&](int y) {
    int lo = g->width, hi = -1;
    for (int x = 0; x < g->width; ++x)
      if (g->Ink(x, y)) lo = std::min(lo, x), hi = std::max(hi, x);
    return std::pair{lo, hi};
  };
  auto flat = inkColumns(525);
  EXPECT_NEAR(flat.first, 125, 1);
  EXPECT_NEAR(flat.second, 224, 1);
  for (int y : {518, 532}) EXPECT_EQ(inkColumns(y).second, -1) << y;  // 60 px = 10 rows thick
  EXPECT_TRUE(g->Ink(140, 521));
  auto round = inkColumns(725);
  EXPECT_NEAR(round.first, 120, 1);
  EXPECT_NEAR(round.second, 229, 1);
  EXPECT_TRUE(g->Ink(425, 1000));
  EXPECT_FALSE(g->Ink(428, 1000));
  EXPECT_FALSE(g->Ink(422, 1000));
}

TEST(HostPrinters, ClipShapesAndTextAreHonoured) {
  REQUIRE_PDF_TOOLS();
  TempDir dir;
  std::vector<HostDrawOp> ops;
  HostDrawOp clipped = Line(0, 600, 4600, 600, 30);
  clipped.clip = std::make_shared<std::vector<RECT>>(std::vector<RECT>{{1200, 0, 2400, 7000}});
  ops.push_back(clipped);
  HostDrawOp box;
  box.kind = HostDrawKind::Rectangle;
  box.rect = RECT{600, 1800, 1801, 3001};  // pen path 600..1800
  box.pen.width = 12;
  box.brush.color = 0x000000;
  ops.push_back(box);
  HostDrawOp centred;
  centred.kind = HostDrawKind::Text;
  centred.points = {POINT{2300, 4200}};
  centred.font.face = u"Arial";
  centred.font.height = -100;
  centred.text = u"Centred";
  centred.alignH = HostTextH::Centre;
  ops.push_back(centred);
  HostDrawOp right = centred;
  right.points = {POINT{4000, 5400}};
  right.text = u"Right";
  right.alignH = HostTextH::Right;
  right.alignV = HostTextV::Baseline;
  ops.push_back(right);
  HostWritePdf(Job({ops}), dir.path() + u"shapes.pdf");
  std::string pdf = dir.os() + "/shapes.pdf";
  auto g = pdftools::Render(pdf, 1, 100, dir.os() + "/shapes");
  ASSERT_TRUE(g);
  // The clipped line: only between device x 1200 and 2400 (columns 225..424), row 125.
  EXPECT_FALSE(g->Ink(200, 125));
  EXPECT_TRUE(g->Ink(300, 125));
  EXPECT_FALSE(g->Ink(450, 125));
  // The filled box covers columns 125..325 and rows 325..525.
  EXPECT_TRUE(g->Ink(225, 425));
  EXPECT_FALSE(g->Ink(120, 425));
  EXPECT_FALSE(g->Ink(330, 425));
  EXPECT_EQ(pdftools::ImageCount(pdf), 0);

  // Text stays text, placed by its alignment: points = (device + 150) * 72 / 600.
  auto words = pdftools::Words(pdf);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].text, "Centred");
  EXPECT_NEAR((words[0].xMin + words[0].xMax) / 2, (2300 + 150) * 0.12, 3);
  EXPECT_NEAR(words[0].yMin, (4200 + 150) * 0.12, 3);
  EXPECT_EQ(words[1].text, "Right");
  EXPECT_NEAR(words[1].xMax, (4000 + 150) * 0.12, 3);
  EXPECT_LT(words[1].yMin, (5400 + 150) * 0.12);  // above its baseline
}

TEST(HostPrinters, ImagesAreImagesMirroredAsAsked) {
  REQUIRE_PDF_TOOLS();
  TempDir dir;
  auto img = std::make_shared<HostImage>();
  img->width = 2;
  img->height = 1;
  img->pixels = {0x000000, 0xFFFFFF};  // black, white
  HostDrawOp op;
  op.kind = HostDrawKind::Image;
  op.image = img;
  op.rect = RECT{600, 600, 1800, 1200};
  op.source = RECT{0, 0, 2, 1};
  HostDrawOp mirrored = op;
  mirrored.rect = RECT{1799, 1800, 599, 2400};  // negative width: x 600..1799, mirrored
  HostWritePdf(Job({{op, mirrored}}), dir.path() + u"image.pdf");
  std::string pdf = dir.os() + "/image.pdf";
  EXPECT_EQ(pdftools::ImageCount(pdf), 2);
  auto g = pdftools::Render(pdf, 1, 100, dir.os() + "/image");
  ASSERT_TRUE(g);
  EXPECT_TRUE(g->Ink(150, 150));   // left half black
  EXPECT_FALSE(g->Ink(300, 150));  // right half white
  EXPECT_FALSE(g->Ink(150, 350));  // mirrored: left half white
  EXPECT_TRUE(g->Ink(300, 350));
}

TEST(HostPrinters, FailedWritesRaiseAndLeaveNothing) {
  TempDir dir;
  HostPrintJob job = Job({FortyLines()});
  String missing = dir.path() + u"no such folder\\out.pdf";
  try {
    HostWritePdf(job, missing);
    FAIL() << "no exception";
  } catch (const EPrinter& e) {
    EXPECT_NE(ToUtf8(e.Message()).find("out.pdf"), std::string::npos) << e.what();
  }
  // A write the system refuses half-way (a full disk; a folder nobody may write into fails the
  // same way, earlier) names the file and the reason, and leaves neither the file nor its
  // temporary beside it.
  SetWriteFailureForTesting(true);
  try {
    HostWritePdf(job, dir.path() + u"half.pdf");
    ADD_FAILURE() << "no exception";
  } catch (const EPrinter& e) {
    // The file as the system names it.
    EXPECT_EQ(e.Message(), u"Cannot create the file \"" + FromUtf8(dir.os()) + u"/half.pdf\": " +
                               FromUtf8(std::strerror(ENOSPC)));
  }
  SetWriteFailureForTesting(false);
  EXPECT_TRUE(std::filesystem::is_empty(dir.os()));
}

TEST(HostPrinters, BadJobsAndUnknownQueuesRaise) {
  HostPrintJob empty = Job({});
  EXPECT_THROW(HostRenderPdf(empty), EPrinter);
  HostPaper none;
  EXPECT_THROW(HostRenderPdf(Job({{}}, none)), EPrinter);
  EXPECT_THROW(HostSubmitToPrinter(u"No Such Queue 42", Job({FortyLines()})), EPrinter);
}

TEST(HostPrinters, APrivateCupsQueueIsListedAndGetsTheJob) {
  if (!PrivateCups::Installed()) GTEST_SKIP() << "cupsd not installed (or not running as root)";
  PrivateCups cups("Staves_Queue");
  ASSERT_TRUE(cups.Ready());
  std::u16string error;
  std::vector<HostPrinterInfo> printers = HostEnumPrinters(&error);
  ASSERT_EQ(printers.size(), 1u) << ToUtf8(error);
  const HostPrinterInfo& q = printers[0];
  EXPECT_EQ(q.name, u"Staves_Queue");
  EXPECT_GT(q.paper.dpiX, 0);
  EXPECT_LT(q.paper.width, q.paper.height);  // portrait
  EXPECT_GT(q.paper.printable.left, 0);
  EXPECT_LT(q.paper.printable.right, q.paper.width);

  HostPrintJob job = Job({FortyLines(), FortyLines()});
  job.copies = 3;
  job.title = u"Three copies";
  HostSubmitToPrinter(u"Staves_Queue", job);
  ASSERT_TRUE(cups.WaitForJob());
  std::string info = cups.JobInfo();
  EXPECT_EQ(info.rfind("Three copies\n3\n", 0), 0u) << info;
  EXPECT_NE(info.find("media=A4"), std::string::npos) << info;
  if (pdftools::Available()) {
    EXPECT_EQ(pdftools::Pages(cups.Output()), 2);  // the queue makes the copies
    EXPECT_EQ(pdftools::ImageCount(cups.Output()), 0);
  }
  EXPECT_THROW(HostSubmitToPrinter(u"Not There", job), EPrinter);
}

TEST(HostPrinters, APrintServerThatNeverAnswersIsGivenUpOnWithAReason) {
  SilentPrintServer server;
  ASSERT_TRUE(server.Listening());
  std::u16string error;
  auto start = std::chrono::steady_clock::now();
  std::vector<HostPrinterInfo> printers = HostEnumPrinters(&error);
  // Two requests, each given libcups's second and then the 2 s wait.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  EXPECT_TRUE(printers.empty());
  EXPECT_NE(error.find(u"does not answer"), std::u16string::npos) << ToUtf8(error);
  EXPECT_NE(error.find(FromUtf8(server.Path())), std::u16string::npos) << ToUtf8(error);

  // A shorter wait is honoured as well.
  start = std::chrono::steady_clock::now();
  HostEnumPrinters(&error, 300);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4000));
}

TEST(HostPrinters, NoServerListsNothingAndSaysWhy) {
  TempDir dir;
  ScopedEnv server("CUPS_SERVER", dir.os() + "/nobody-listens.sock");
  std::u16string error;
  EXPECT_TRUE(HostEnumPrinters(&error).empty());
  EXPECT_NE(error.find(u"cannot be reached"), std::u16string::npos) << ToUtf8(error);
}

TEST(HostPrinters, HatchesAreLinesAtTheScreensSpacing) {
  REQUIRE_PDF_TOOLS();
  TempDir dir;
  HostDrawOp fill;
  fill.kind = HostDrawKind::Fill;
  fill.rect = RECT{600, 600, 3000, 3000};  // rendered columns and rows 125..525
  fill.brush.color = 0;
  fill.brush.hatch = 0;  // horizontal: one line every 8 / 96 inch
  HostWritePdf(Job({{fill}}), dir.path() + u"hatch.pdf");
  std::string pdf = dir.os() + "/hatch.pdf";
  EXPECT_EQ(pdftools::ImageCount(pdf), 0);
  auto g = pdftools::Render(pdf, 1, 100, dir.os() + "/hatch");
  ASSERT_TRUE(g);
  int lines = 0;
  for (int y = 125; y < 525; ++y) lines += g->Ink(300, y) && !g->Ink(300, y - 1);
  EXPECT_NEAR(lines, 400 / (800 / 96.0), 2);
  EXPECT_FALSE(g->Ink(300, 100));
  EXPECT_FALSE(g->Ink(100, 300));
}
