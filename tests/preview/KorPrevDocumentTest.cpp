// The document, the drawing interface and the printer measurement.
#include <gtest/gtest.h>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Numbers.h"
#include "PreviewTestSupport.h"
#include "StdCtrls.h"

namespace {

void ExpectElement(const TPrintElement& e, TPrintOp op, int x, int y, const String& s = String()) {
  EXPECT_EQ(e.PrintOperation, op);
  EXPECT_EQ(e.Coordinates.x, x);
  EXPECT_EQ(e.Coordinates.y, y);
  EXPECT_EQ(ToUtf8(e.Contents), ToUtf8(s));
}

void ExpectOpening(const TPageItems& page) {
  ASSERT_GE(page.size(), 2u);
  ExpectElement(page[0], poFontSize, 12, 0);
  ExpectElement(page[1], poLineWidth, 20, 0);
}

using PreviewDocumentTest = PreviewTest;

TEST_F(PreviewDocumentTest, CreatedWindowHoldsOneEmptyPageAndNoCounts) {
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_TRUE(Pages[0].empty());
  EXPECT_EQ(CurrentPage, 0);
  EXPECT_EQ(PageCount, 0);
  EXPECT_EQ(DisplayedPage, 0);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->ScreenRes, (TPoint{96, 96}));
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "Page 1 of 1");
}

TEST_F(PreviewDocumentTest, BeginDocStartsOnePageWithItsOpeningElements) {
  form->begindoc(oPortrait, false);
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_EQ(Pages[0].size(), 2u);
  ExpectOpening(Pages[0]);
  EXPECT_EQ(CurrentPage, 1);
  EXPECT_EQ(PageCount, 1);
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_FALSE(form->SBPrint->Enabled());
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->UpDown1->Max(), 1);
  EXPECT_EQ(ToUtf8(form->ZoomComboBox->Text()), "100%");
  form->enddoc();
  EXPECT_TRUE(form->SBPrint->Enabled());

  // A second document replaces the first whole.
  form->LineTo(100, 100);
  form->NewPage();
  form->begindoc(oPortrait, true);
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_EQ(Pages[0].size(), 2u);
  EXPECT_EQ(PageCount, 1);
  EXPECT_FALSE(form->SBPrint->Enabled());
  EXPECT_TRUE(form->Visible());
}

TEST_F(PreviewDocumentTest, NewPageStartsAFreshListWhateverThePreviousPageSet) {
  form->begindoc(oPortrait, false);
  form->FontSize(30);
  form->LineWidth(45);
  form->Colour(clRed);
  form->NewPage();
  EXPECT_EQ(Pages.size(), 2u);
  EXPECT_EQ(CurrentPage, 2);
  EXPECT_EQ(PageCount, 2);
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_EQ(Pages[0].size(), 5u);
  EXPECT_EQ(Pages[1].size(), 2u);
  ExpectOpening(Pages[1]);
  EXPECT_EQ(form->UpDown1->Max(), 2);
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "1 of 2");

  form->MoveTo(5, 6);
  form->NewPage();
  EXPECT_EQ(Pages[1].size(), 3u) << "drawing goes to the last page";
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "1 of 3");
  EXPECT_EQ(Pages.size(), static_cast<std::size_t>(PageCount));
  EXPECT_EQ(CurrentPage, PageCount);
}

TEST_F(PreviewDocumentTest, DrawingCallsAppendTheirElementsUnchanged) {
  form->begindoc(oPortrait, false);
  form->MoveTo(-5, 7);
  form->LineTo(2147483647, -2147483647);
  form->TextOut(10, 20, u"Staff");
  form->CentreText(30, 40, u"Title");
  form->RightText(50, 60, u"Right");
  form->FontName(u"Arial");
  form->FontSize(-3);
  form->LineWidth(0);
  form->Colour(static_cast<TColor>(0x12345678));
  const TPageItems& p = Pages[0];
  ASSERT_EQ(p.size(), 11u);
  ExpectElement(p[2], poMoveTo, -5, 7);
  ExpectElement(p[3], poLineTo, 2147483647, -2147483647);
  ExpectElement(p[4], poTextOut, 10, 20, u"Staff");
  ExpectElement(p[5], poCentreText, 30, 40, u"Title");
  ExpectElement(p[6], poRightText, 50, 60, u"Right");
  ExpectElement(p[7], poFontName, 0, 0, u"Arial");
  ExpectElement(p[8], poFontSize, -3, 0);
  ExpectElement(p[9], poLineWidth, 0, 0);
  ExpectElement(p[10], poColour, 0x12345678, 0);
}

TEST_F(PreviewDocumentTest, DrawBoxIsFiveElementsEndingAtItsStart) {
  form->begindoc(oPortrait, false);
  form->DrawBox(100, 200, 300, 400);
  const TPageItems& p = Pages[0];
  ASSERT_EQ(p.size(), 7u);
  ExpectElement(p[2], poMoveTo, 100, 200);
  ExpectElement(p[3], poLineTo, 300, 200);
  ExpectElement(p[4], poLineTo, 300, 400);
  ExpectElement(p[5], poLineTo, 100, 400);
  ExpectElement(p[6], poLineTo, 100, 200);
}

TEST_F(PreviewDocumentTest, DrawingBeforeAnyDocumentIsRefused) {
  EXPECT_THROW(form->LineTo(1, 1), EInvalidOperation);
  EXPECT_THROW(form->NewPage(), EInvalidOperation);
  EXPECT_TRUE(Pages[0].empty());
}

TEST_F(PreviewDocumentTest, TwipsPerMillimetreIsTheFixedFactor) {
  EXPECT_EQ(form->TwipsPerMM(), 56.7);
  EXPECT_EQ(Trunc(10 * static_cast<Extended>(form->TwipsPerMM())), 567);
  EXPECT_NEAR(297 * form->TwipsPerMM(), 16839.9, 1e-9);
}

TEST_F(PreviewDocumentTest, FontSizeMeasuresAtOnceAndFontNameDoesNot) {
  form->begindoc(oPortrait, false);
  EXPECT_EQ(form->TextWidth(u""), 0);
  TFont* font = Printer()->Canvas()->Font();
  const String name = font->Name();
  form->FontSize(12);
  EXPECT_EQ(font->Size(), 12);
  const int w12 = form->TextWidth(u"Quillmark");
  const int h12 = form->TextHeight(u"Quillmark");
  // Pixels of the 600-per-inch printer, in twips, rounded.
  const int px = Printer()->Canvas()->TextWidth(u"Quillmark");
  EXPECT_EQ(w12, static_cast<int>(static_cast<Extended>(px) / 600 * 1440 + 0.5L));
  EXPECT_GT(h12, 200) << "a 12-point text line is about a sixth of an inch";
  EXPECT_LT(h12, 400);
  form->FontSize(24);
  EXPECT_GT(form->TextWidth(u"Quillmark"), w12 * 3 / 2);
  EXPECT_GT(form->TextHeight(u"Quillmark"), h12 * 3 / 2);
  form->FontName(u"Courier");
  EXPECT_EQ(ToUtf8(font->Name()), ToUtf8(name));
  EXPECT_EQ(font->Size(), 24);
}

// ---- Measuring the printer ----

TEST_F(PreviewDocumentTest, MeasuresThePrinterInPortrait) {
  form->begindoc(oPortrait, false);
  EXPECT_EQ(form->PrinterRes, (TPoint{600, 600}));
  EXPECT_DOUBLE_EQ(form->FPageWidth, 8.0);
  EXPECT_DOUBLE_EQ(form->FPageHeight, 10.5);
  EXPECT_EQ(form->PageWidth(), 11520);
  EXPECT_EQ(form->PageHeight(), 15120);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_TRUE(printed->jobs.empty()) << "the measuring job sends nothing";
}

TEST_F(PreviewDocumentTest, AnyOrientationButPortraitMeasuresInLandscape) {
  form->begindoc(oLandscape, false);
  EXPECT_DOUBLE_EQ(form->FPageWidth, 10.5);
  EXPECT_DOUBLE_EQ(form->FPageHeight, 8.0);
  EXPECT_EQ(form->PageWidth(), 15120);
  form->begindoc(oPortrait, false);
  EXPECT_DOUBLE_EQ(form->FPageWidth, 8.0);
  form->begindoc(static_cast<TOrientation>(7), false);
  EXPECT_DOUBLE_EQ(form->FPageWidth, 10.5);
  EXPECT_EQ(Printer()->Orientation(), poLandscape);
  EXPECT_TRUE(printed->jobs.empty());
}

class PreviewA4Test : public PreviewTest {
 protected:
  std::vector<TPrinterDevice> DriverPrinters() override {
    return {FakePrinter(u"Fake A4", 600, 4960, 7016, true)};
  }
};

TEST_F(PreviewA4Test, AWidthOf4960PixelsAt600PerInchIs11904Twips) {
  form->begindoc(oPortrait, false);
  EXPECT_DOUBLE_EQ(form->FPageWidth, 4960.0 / 600);
  EXPECT_EQ(form->PageWidth(), 11904);
  EXPECT_EQ(form->PageHeight(), 16838);  // Trunc(7016 / 600 * 1440) = Trunc(16838.4)
  form->begindoc(oLandscape, false);
  EXPECT_EQ(form->PageHeight(), 11904);
}

// A job a failed print left open: the printer refuses a new one, the message says so, and the
// measurement goes on and aborts the open job.
TEST_F(PreviewDocumentTest, APrinterThatCannotStartAJobIsReportedAndMeasuringGoesOn) {
  Printer()->BeginDoc();
  Printer()->Canvas()->MoveTo(0, 0);
  Printer()->Canvas()->LineTo(100, 100);
  std::vector<std::string> texts, captions;
  ModalAnswer answer([&](HWND w) {
    texts.push_back(ToUtf8(MessageBoxText(w)));
    captions.push_back(ToUtf8(WindowCaption(w)));
    PressMessageBoxButton(w, IDOK);
  });
  form->begindoc(oLandscape, true);
  EXPECT_EQ(texts, (std::vector<std::string>{"Unable to Open Printer"}));
  EXPECT_EQ(captions, (std::vector<std::string>{"Error"}));
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(form->PrinterRes, (TPoint{600, 600}));
  EXPECT_DOUBLE_EQ(form->FPageWidth, 10.5);
  EXPECT_EQ(Pages[0].size(), 2u);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(printed->jobs.empty());
}

TEST_F(PreviewDocumentTest, SetOrientationEmptiesTheShownDocumentAndEnablesPrinting) {
  form->begindoc(oPortrait, true);
  form->LineWidth(45);
  form->MoveTo(0, 1440);
  form->LineTo(1440, 1440);
  form->NewPage();
  form->enddoc();
  form->SBNextPageClick(nullptr);
  ASSERT_EQ(DisplayedPage, 2);
  form->begindoc(oPortrait, true);  // disables printing again
  form->LineTo(1440, 1440);
  ASSERT_FALSE(form->SBPrint->Enabled());

  form->SetOrientation(oLandscape);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->SBPrint->Enabled());
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_EQ(Pages[0].size(), 2u);
  EXPECT_EQ(PageCount, 1);
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_EQ(ToUtf8(form->PageEdit->Text()), "1");
  // The landscape page, all white.
  EXPECT_EQ(Bitmap()->Width(), 1008);
  EXPECT_EQ(Bitmap()->Height(), 768);
  EXPECT_TRUE(DarkRows(96).empty());
  EXPECT_TRUE(DarkRows(10).empty());
}

}  // namespace
