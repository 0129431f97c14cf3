// Printing through the print dialog, answered from the modal-loop hook.
#include <gtest/gtest.h>

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Files.h"
#include "PreviewTestSupport.h"
#include "PrintDialogs.h"
#include "StdCtrls.h"
#include "TestSupport.h"

namespace {

// What the test picks in the print dialog.
struct Choice {
  const char* range = "All pages";
  const char* from = nullptr;
  const char* to = nullptr;
  String file;
  bool cancel = false;
};

class PreviewPrintTest : public PreviewTest {
 protected:
  // Runs the Print button with the dialog answered as told; returns how often it was shown.
  int Print(const Choice& choice) {
    int shown = 0;
    ModalAnswer answer([&](HWND w) {
      TForm* dialog = form->PrintDialog->Form();
      if (!dialog || w != dialog->Handle()) {
        messages.push_back(ToUtf8(MessageBoxText(w)));
        PressMessageBoxButton(w, IDOK);
        return;
      }
      ++shown;
      auto find = [&](const char16_t* name) { return dialog->FindComponent(name); };
      auto* range = static_cast<TComboBox*>(find(u"RangeComboBox"));
      range->SetItemIndex(range->Items()->IndexOf(FromUtf8(choice.range)));
      if (choice.from) static_cast<TEdit*>(find(u"FromEdit"))->SetText(FromUtf8(choice.from));
      if (choice.to) static_cast<TEdit*>(find(u"ToEdit"))->SetText(FromUtf8(choice.to));
      if (!choice.file.empty()) static_cast<TEdit*>(find(u"FileEdit"))->SetText(choice.file);
      static_cast<TButton*>(find(choice.cancel ? u"CancelButton" : u"OKButton"))->Click();
    });
    form->SBPrintClick(form->SBPrint);
    return shown;
  }

  // The y of every horizontal line of each page of a submitted job, in device pixels.
  static std::vector<std::vector<int>> LineRows(const SubmittedJob& job) {
    std::vector<std::vector<int>> pages;
    for (const GdiRecordOp& op : job.recording.ops) {
      if (op.kind == GdiOpKind::StartPage) pages.emplace_back();
      if (op.kind == GdiOpKind::Polyline && op.points.size() == 2 &&
          op.points[0].y == op.points[1].y) {
        if (pages.empty()) pages.emplace_back();
        pages.back().push_back(op.points[0].y);
      }
    }
    return pages;
  }

  std::vector<std::string> messages;
};

TEST_F(PreviewPrintTest, AOnePageDocumentPrintsPageOneOnceWhateverTheRange) {
  form->begindoc(oPortrait, true);
  form->MoveTo(0, 1440);
  form->LineTo(2880, 1440);
  form->enddoc();
  for (const char* range : {"All pages", "Pages", "Selection"}) {
    printed->jobs.clear();
    Choice c;
    c.range = range;
    c.from = "1";
    c.to = "1";
    EXPECT_EQ(Print(c), 1) << range;
    ASSERT_EQ(printed->jobs.size(), 1u) << range;
    EXPECT_EQ(LineRows(printed->jobs.at(0)), (std::vector<std::vector<int>>{{600}})) << range;
  }
  EXPECT_EQ(form->PrintDialog->MinPage(), 1);
  EXPECT_EQ(form->PrintDialog->MaxPage(), 1);
  EXPECT_FALSE(Printer()->Printing());
}

TEST_F(PreviewPrintTest, ElementsAreConvertedToPrinterPixels) {
  form->begindoc(oPortrait, true);
  form->LineWidth(45);
  form->MoveTo(1440, 2880);
  form->LineTo(4320, 2880);
  form->TextOut(720, 360, u"Staff");
  form->enddoc();
  Print(Choice{});
  ASSERT_EQ(printed->jobs.size(), 1u);
  const GdiRecordOp* line = nullptr;
  const GdiRecordOp* text = nullptr;
  for (const GdiRecordOp& op : printed->jobs.at(0).recording.ops) {
    if (op.kind == GdiOpKind::Polyline) line = &op;
    if (op.kind == GdiOpKind::Text) text = &op;
  }
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->points[0], (POINT{600, 1200}));
  EXPECT_EQ(line->points[1], (POINT{1800, 1200}));
  EXPECT_EQ(line->pen.lopnWidth.x, 18);  // Trunc(45 / 1440 * 600)
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->points[0], (POINT{300, 150}));
  EXPECT_EQ(text->font.lfHeight, -100) << "12 points at 600 pixels per inch";
}

TEST_F(PreviewPrintTest, ARangeOfPagesIsOneJobInAscendingOrder) {
  ThreePages();
  Choice c;
  c.range = "Pages";
  c.from = "2";
  c.to = "3";
  Print(c);
  ASSERT_EQ(printed->jobs.size(), 1u);
  EXPECT_EQ(printed->jobs.at(0).recording.PageCount(), 2);
  EXPECT_EQ(LineRows(printed->jobs.at(0)), (std::vector<std::vector<int>>{{1200}, {1800}}));
  EXPECT_EQ(form->PrintDialog->PrintRange(), prPageNums);

  printed->jobs.clear();
  Print(Choice{});
  ASSERT_EQ(printed->jobs.size(), 1u);
  EXPECT_EQ(LineRows(printed->jobs.at(0)), (std::vector<std::vector<int>>{{600}, {1200}, {1800}}));
}

TEST_F(PreviewPrintTest, TheSelectionIsTheDisplayedPage) {
  ThreePages();
  form->SBNextPageClick(nullptr);
  Choice c;
  c.range = "Selection";
  Print(c);
  ASSERT_EQ(printed->jobs.size(), 1u);
  EXPECT_EQ(LineRows(printed->jobs.at(0)), (std::vector<std::vector<int>>{{1200}}));
}

TEST_F(PreviewPrintTest, AnEmptyRangeOrCancelStartsNoJob) {
  ThreePages();
  Choice c;
  c.range = "Pages";
  c.from = "3";
  c.to = "2";
  EXPECT_EQ(Print(c), 1);
  EXPECT_TRUE(printed->jobs.empty());
  EXPECT_FALSE(Printer()->Printing());
  Choice cancel;
  cancel.cancel = true;
  EXPECT_EQ(Print(cancel), 1);
  EXPECT_TRUE(printed->jobs.empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(PreviewPrintTest, AJobLeftOpenIsAbortedBeforePrinting) {
  form->begindoc(oPortrait, true);
  form->MoveTo(0, 1440);
  form->LineTo(2880, 1440);
  form->enddoc();
  Printer()->BeginDoc();
  Printer()->Canvas()->MoveTo(0, 50);
  Printer()->Canvas()->LineTo(50, 50);
  Print(Choice{});
  ASSERT_EQ(printed->jobs.size(), 1u);
  EXPECT_EQ(LineRows(printed->jobs.at(0)), (std::vector<std::vector<int>>{{600}}));
}

TEST_F(PreviewPrintTest, ExitAndClosingAbortAnOpenJobAndHide) {
  form->begindoc(oPortrait, true);
  form->enddoc();
  form->SBDoneClick(form->SBDone);
  EXPECT_FALSE(form->Visible()) << "Exit without a job only hides";

  form->Show();
  Printer()->BeginDoc();
  form->SBDoneClick(form->SBDone);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(form->Visible());

  form->Show();
  Printer()->BeginDoc();
  form->Close();
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(Application->Terminated()) << "the preview is a secondary window";
  EXPECT_TRUE(printed->jobs.empty());
  // Still usable.
  form->begindoc(oPortrait, true);
  EXPECT_TRUE(form->Visible());
}

TEST_F(PreviewPrintTest, ARefusedJobIsReportedAndThePreviewStaysUsable) {
  ThreePages();
  printed->refuseAll = true;
  // A click on the Print button, as the panel's window receives it.
  HWND panel = form->Panel2->Handle();
  const LPARAM at = MAKELPARAM(form->SBPrint->Left() + 5, form->SBPrint->Top() + 5);
  int shown = 0;
  {
    ModalAnswer answer([&](HWND w) {
      TForm* dialog = form->PrintDialog->Form();
      ASSERT_TRUE(dialog && w == dialog->Handle());
      ++shown;
      static_cast<TButton*>(dialog->FindComponent(u"OKButton"))->Click();
    });
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(panel, WM_LBUTTONUP, 0, at);
  }
  EXPECT_EQ(shown, 1);
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(ToUtf8(handled[0].message), "The queue refused the job");
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_TRUE(printed->jobs.empty());

  printed->refuseAll = false;
  form->SBNextPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 2);
  Print(Choice{});
  ASSERT_EQ(printed->jobs.size(), 1u);
  EXPECT_EQ(printed->jobs.at(0).recording.PageCount(), 3);
}

// ---- Against the PDF printer ----

class PreviewPdfTest : public PreviewPrintTest {
 protected:
  std::vector<TPrinterDevice> DriverPrinters() override { return {}; }
  void SetUp() override {
    PreviewPrintTest::SetUp();
    if (!HaveTool("pdfinfo") || !HaveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils missing";
  }
  std::string PdfPath(const char* name) { return home.dir().os() + "/" + name; }
};

TEST_F(PreviewPdfTest, PagesTwoToThreeGiveATwoPagePdfWithTheLinesInPlace) {
  ThreePages();
  Choice c;
  c.range = "Pages";
  c.from = "2";
  c.to = "3";
  c.file = FromUtf8(PdfPath("range.pdf"));
  Print(c);
  ASSERT_TRUE(FileExists(c.file));
  EXPECT_EQ(PdfPageCount(PdfPath("range.pdf")), 2);
  // A line 2 inches down the printable area, which starts a quarter inch down the paper: at
  // 100 pixels per inch it lies on row 225; page 2 of the file holds the 3-inch line.
  std::vector<int> rows = PdfDarkRows(PdfPath("range.pdf"), 1, 100, 100);
  ASSERT_FALSE(rows.empty());
  EXPECT_GE(rows.front(), 224);
  EXPECT_LE(rows.back(), 227);
  rows = PdfDarkRows(PdfPath("range.pdf"), 2, 100, 100);
  ASSERT_FALSE(rows.empty());
  EXPECT_GE(rows.front(), 324);
  EXPECT_LE(rows.back(), 327);
  // Nothing left of the line's column outside the printable area's start.
  EXPECT_TRUE(PdfDarkRows(PdfPath("range.pdf"), 1, 100, 10).empty());
}

TEST_F(PreviewPdfTest, OnePageAndTheSelectionGiveOnePagePdfs) {
  ThreePages();
  form->SBLastPageClick(nullptr);
  Choice c;
  c.range = "Selection";
  c.file = FromUtf8(PdfPath("selection.pdf"));
  Print(c);
  EXPECT_EQ(PdfPageCount(PdfPath("selection.pdf")), 1);
  std::vector<int> rows = PdfDarkRows(PdfPath("selection.pdf"), 1, 100, 100);
  ASSERT_FALSE(rows.empty());
  EXPECT_GE(rows.front(), 324);
  EXPECT_LE(rows.back(), 327);

  form->begindoc(oPortrait, false);
  form->MoveTo(0, 1440);
  form->LineTo(2880, 1440);
  form->enddoc();
  c.range = "Pages";
  c.file = FromUtf8(PdfPath("one.pdf"));
  Print(c);
  EXPECT_EQ(PdfPageCount(PdfPath("one.pdf")), 1);
  rows = PdfDarkRows(PdfPath("one.pdf"), 1, 100, 100);
  ASSERT_FALSE(rows.empty());
  EXPECT_GE(rows.front(), 124);
  EXPECT_LE(rows.back(), 127);
}

TEST_F(PreviewPdfTest, AnEmptyRangeWritesNoFile) {
  ThreePages();
  Choice c;
  c.range = "Pages";
  c.from = "3";
  c.to = "1";
  c.file = FromUtf8(PdfPath("empty.pdf"));
  Print(c);
  EXPECT_FALSE(FileExists(c.file));
}

TEST_F(PreviewPdfTest, TheMeasuringJobWritesNothing) {
  form->begindoc(oPortrait, true);
  form->begindoc(oLandscape, true);
  std::string out;
  RunCommand("find '" + home.dir().os() + "' -name '*.pdf'", &out);
  EXPECT_EQ(out, "");
}

}  // namespace
