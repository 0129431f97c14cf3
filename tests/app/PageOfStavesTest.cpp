// "Preview" with the default settings: the page's display list, what the preview window shows,
// and the PDF printed from it.
#include <gtest/gtest.h>

#include <vector>

#include "Buttons.h"
#include "ClassLibTestSupport.h"
#include "ExtCtrls.h"
#include "PdfTools.h"
#include "PrintDialogs.h"
#include "Printers.h"
#include "QuillmarkTestSupport.h"
#include "RzEdit.h"
#include "RzSpnEdt.h"
#include "StdCtrls.h"
#include "User.h"

namespace {

// A4 portrait on the PDF printer: 4661 x 6716 printable pixels at 600 per inch.
constexpr int kPageWidthTwips = 4661 * 1440 / 600;

struct Line {
  int y;
  int x0, x1;
};

std::vector<Line> LinesOf(const TPageItems& items) {
  std::vector<Line> lines;
  TPoint at;
  for (const TPrintElement& e : items) {
    if (e.PrintOperation == poMoveTo) at = e.Coordinates;
    if (e.PrintOperation == poLineTo) {
      EXPECT_EQ(at.y, e.Coordinates.y) << "a line that is not horizontal";
      lines.push_back({e.Coordinates.y, at.x, e.Coordinates.x});
      at = e.Coordinates;
    }
  }
  return lines;
}

// The centre rows of the dark runs of one column.
std::vector<double> RunCentres(const pdftools::GrayPage& page, int x) {
  std::vector<double> centres;
  int start = -1;
  for (int y = 0; y <= page.height; ++y) {
    bool ink = y < page.height && page.Ink(x, y);
    if (ink && start < 0) start = y;
    if (!ink && start >= 0) {
      centres.push_back((start + y - 1) / 2.0);
      start = -1;
    }
  }
  return centres;
}

using PageOfStavesTest = QuillmarkTest;

TEST_F(PageOfStavesTest, PreviewDrawsFortyLinesAcrossThePrintableWidth) {
  Start();
  ShowMain();
  ASSERT_EQ(form->PageWidth, kPageWidthTwips);
  form->Button1Click(form->Button1);
  ASSERT_TRUE(PreviewForm->Visible());
  ASSERT_EQ(Pages.size(), 1u);
  std::vector<Line> lines = LinesOf(Pages[0]);
  ASSERT_EQ(lines.size(), 40u);
  const int firstStave[] = {567, 708, 850, 992, 1134};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(lines[std::size_t(k)].y, firstStave[k]) << k;
  // Stave 8 starts 150 mm down; its last line is the space required, 160 mm.
  EXPECT_EQ(lines[35].y, 8505);
  EXPECT_EQ(lines[39].y, 9072);
  for (const Line& l : lines) {
    EXPECT_EQ(l.x0, 0);
    EXPECT_EQ(l.x1, kPageWidthTwips);
  }
  // The pen: 0.2 mm is 11 twips, set once before the first line.
  int widths = 0;
  for (const TPrintElement& e : Pages[0])
    if (e.PrintOperation == poLineWidth && e.Coordinates.x == 11) ++widths;
  EXPECT_EQ(widths, 1);
  // The window shows the lines at 100%: 96 pixels per inch, the first at 567 / 15 = 37.8.
  TBitmap* shown = PreviewForm->Image1->Picture()->Bitmap();
  ASSERT_GT(shown->Height(), 100);
  int dark = 0;
  for (int y = 30; y < 45; ++y) dark += (shown->Canvas()->Pixels(100, y) & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_GE(dark, 1);
  EXPECT_EQ(shown->Canvas()->Pixels(100, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PageOfStavesTest, AfterAnotherPrinterWasChosenThePreviewFitsThatPrintersPage) {
  // The PDF printer and a narrower one of 5 x 8 printable inches.
  SetPrinterDriverForTesting(std::make_unique<FakePrinterDriver>(
      std::vector<TPrinterDevice>{FakePrinter(u"Narrow", 600, 3000, 4800, false)}));
  Printer()->SetPrinterIndex(0);
  Start();
  ShowMain();
  ASSERT_EQ(PageText(), "284");
  // What the print dialog leaves behind when the user picked the other printer.
  Printer()->SetPrinterIndex(1);
  form->Button1Click(form->Button1);
  std::vector<Line> lines = LinesOf(Pages.at(0));
  ASSERT_EQ(lines.size(), 40u);
  EXPECT_EQ(lines[0].x1, 7200);  // 5 inches, not the PDF printer's width
  EXPECT_EQ(form->PageWidth, 7200);
  EXPECT_EQ(PageText(), "203");  // 8 inches
}

TEST_F(PageOfStavesTest, ThePrintedPdfHasOnePageOfFortyVectorLinesWhereTheyBelong) {
  if (!pdftools::Available()) GTEST_SKIP() << "poppler-utils are missing";
  Start();
  ShowMain();
  form->Button1Click(form->Button1);
  TempDir out;
  const std::string pdf = out.os() + "/staves.pdf";
  ModalLoopHook previous = SetModalLoopHook([&](HWND w) {
    TForm* dialog = PreviewForm->PrintDialog->Form();
    if (!dialog || w != dialog->Handle()) return;
    static_cast<TEdit*>(dialog->FindComponent(u"FileEdit"))->SetText(FromUtf8(pdf));
    static_cast<TButton*>(dialog->FindComponent(u"OKButton"))->Click();
  });
  PreviewForm->SBPrintClick(PreviewForm->SBPrint);
  SetModalLoopHook(previous);

  ASSERT_EQ(pdftools::Pages(pdf), 1);
  EXPECT_EQ(pdftools::ImageCount(pdf), 0);  // drawn, not pasted in as a picture
  auto page = pdftools::Render(pdf, 1, 144, out.os() + "/page");
  ASSERT_TRUE(page);
  // The page is A4 at 144 per inch; the printable area starts a quarter inch in.
  ASSERT_NEAR(page->height, 1684, 2);
  std::vector<double> rows = RunCentres(*page, page->width / 2);
  ASSERT_EQ(rows.size(), 40u);
  const int firstStave[] = {567, 708, 850, 992, 1134};
  for (int k = 0; k < 5; ++k)
    EXPECT_NEAR(rows[std::size_t(k)], (0.25 + firstStave[k] / 1440.0) * 144, 1.5) << k;
  EXPECT_NEAR(rows[39], (0.25 + 9072 / 1440.0) * 144, 1.5);
  // The lines run the printable width: ink at a quarter inch and a bit in, none at the edge.
  EXPECT_GT(page->InkInColumn(40), 30);
  EXPECT_EQ(page->InkInColumn(30), 0);
}

}  // namespace
