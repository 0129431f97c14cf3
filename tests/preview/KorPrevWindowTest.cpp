// Screen rendering, zoom, page navigation and the window description.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "Buttons.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "ExtCtrls.h"
#include "PreviewTestSupport.h"
#include "PrintDialogs.h"
#include "StdCtrls.h"
#include "Streaming.h"
#include "SystemControls.h"  // the platform window classes

namespace {

using PreviewWindowTest = PreviewTest;

// A page with a horizontal line 1 inch down (20 twips wide) and one 2 inches down (45 twips).
void DrawTwoLines(TPreviewForm* form) {
  form->MoveTo(0, 1440);
  form->LineTo(2880, 1440);
  form->LineWidth(45);
  form->MoveTo(0, 2880);
  form->LineTo(2880, 2880);
  form->LineWidth(20);
}

TEST_F(PreviewWindowTest, TheDescriptionBuildsTheWindow) {
  EXPECT_EQ(ToUtf8(form->Caption()), "Print Preview - Korvane");
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_EQ(form->Panel2->Align(), alTop);
  EXPECT_EQ(form->Panel2->Height(), 45);
  struct Button {
    TSpeedButton* button;
    int left, width;
    const char* hint;
    bool visible;
  };
  const Button buttons[] = {
      {form->SBZoomIn, 9, 27, "Zoom In", true},
      {form->SBZoomOut, 36, 27, "Zoom Out", true},
      {form->SBZoomPageWidth, 62, 28, "Zoom Page Width", false},
      {form->SBZoomPage, 89, 27, "Zoom Whole Page", false},
      {form->SBFirstPage, 116, 27, "First Page", true},
      {form->SBPrevPage, 142, 28, "Previous Page", true},
      {form->SBNextPage, 169, 27, "Next Page", true},
      {form->SBLastPage, 196, 27, "Last Page", true},
      {form->SBPrint, 222, 28, "Print", true},
      {form->SBDone, 249, 27, "Exit", true},
  };
  for (const Button& b : buttons) {
    ASSERT_NE(b.button, nullptr) << b.hint;
    EXPECT_EQ(b.button->Left(), b.left) << b.hint;
    EXPECT_EQ(b.button->Top(), 9) << b.hint;
    EXPECT_EQ(b.button->Width(), b.width) << b.hint;
    EXPECT_EQ(b.button->Height(), 27) << b.hint;
    EXPECT_EQ(ToUtf8(b.button->Hint()), b.hint);
    EXPECT_EQ(b.button->Visible(), b.visible) << b.hint;
    EXPECT_EQ(b.button->Parent(), form->Panel2) << b.hint;
    EXPECT_EQ(b.button->NumGlyphs(), 2) << b.hint;
    EXPECT_EQ(b.button->Glyph()->Width(), 32) << b.hint;
    EXPECT_EQ(b.button->Glyph()->Height(), 16) << b.hint;
  }
  EXPECT_FALSE(static_cast<bool>(form->SBZoomPage->OnClick));
  EXPECT_TRUE(static_cast<bool>(form->SBDone->OnClick));

  ASSERT_EQ(form->ZoomComboBox->Items()->Count(), 6);
  const char* items[] = {"35%", "50%", "71%", "100%", "141%", "200%"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ToUtf8(form->ZoomComboBox->Items()->Strings(i)), items[i]);
  EXPECT_EQ(ToUtf8(form->ZoomComboBox->Text()), "100%");
  EXPECT_EQ(ToUtf8(form->PageEdit->Text()), "1");
  EXPECT_EQ(ToUtf8(form->PageEdit->Hint()), "Current page");
  EXPECT_EQ(form->UpDown1->Associate(), form->PageEdit);
  EXPECT_EQ(form->UpDown1->Min(), 1);
  EXPECT_EQ(form->UpDown1->Max(), 0);
  EXPECT_EQ(ToUtf8(form->Label1->Caption()), "Zoom");
  EXPECT_EQ(form->Label1->Alignment(), taRightJustify);
  EXPECT_EQ(ToUtf8(form->Label2->Caption()), "Page #");
  EXPECT_EQ(form->PageEdit->TabOrder(), 0);
  EXPECT_EQ(form->ZoomComboBox->TabOrder(), 1);
  EXPECT_EQ(form->UpDown1->TabOrder(), 2);
  EXPECT_EQ(form->ScrollBox1->Align(), alClient);
  EXPECT_EQ(form->ScrollBox1->Color(), clSkyBlue);
  EXPECT_EQ(form->Image1->Parent(), form->ScrollBox1);
  EXPECT_EQ(form->Image1->Width(), 1000);
  EXPECT_EQ(form->Image1->Height(), 435);
  EXPECT_EQ(form->PrintDialog->Copies(), 1);
  EXPECT_EQ(form->PrintDialog->Options(),
            (TPrintDialogOptions{poPrintToFile, poPageNums, poSelection, poWarning}));
}

TEST_F(PreviewWindowTest, TheDescriptionLoadsAndWritesBack) {
  EXPECT_TRUE(CheckEmbeddedDescriptions().empty());
  const std::string text = ToUtf8(WriteComponentText(form));
  for (const char* part : {"Caption = 'Print Preview - Korvane'", "OnClick = SBZoomInClick",
                           "Associate = PageEdit", "Max = 0", "OnMouseDown = Image1MouseDown",
                           "Options = [poPrintToFile, poPageNums, poSelection, poWarning]"})
    EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST_F(PreviewWindowTest, APageOf8By10HalfInchesIs768By1008At100Percent) {
  form->begindoc(oPortrait, true);
  EXPECT_EQ(form->ZoomFactor, 1.0);
  EXPECT_EQ(Bitmap()->Width(), 768);
  EXPECT_EQ(Bitmap()->Height(), 1008);
  EXPECT_EQ(form->Image1->Width(), 768);
  EXPECT_EQ(form->Image1->Height(), 1008);
  // Cleared to white.
  EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(767, 1007), 0xFFFFFFu);
}

TEST_F(PreviewWindowTest, SeventyOnePercentScalesCoordinatesFontAndImage) {
  form->begindoc(oPortrait, true);
  DrawTwoLines(form);
  form->SetZoom(u"71%");
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 0.71);
  EXPECT_EQ(Bitmap()->Width(), 545);   // Trunc(8.0 * 0.71 * 96)
  EXPECT_EQ(Bitmap()->Height(), 715);  // Trunc(10.5 * 0.71 * 96)
  EXPECT_EQ(form->Image1->Width(), 545);
  EXPECT_EQ(form->Image1->Height(), 715);
  // 1440 twips is Trunc(68.16) = 68 pixels and the 20-twip pen is the thinnest; 2880 twips is
  // Trunc(136.32) = 136 and the 45-twip pen Trunc(2.13) = 2 pixels wide.
  std::vector<int> rows = DarkRows(50);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], 68);
  EXPECT_TRUE(rows[1] == 136 || rows[2] == 136);
  EXPECT_EQ(rows[2] - rows[1], 1);
  EXPECT_EQ(form->Image1->Canvas()->Font()->Size(), 8);  // 12 points at 71%

  form->SetZoom(u"no percent sign");
  EXPECT_EQ(form->ZoomFactor, 1.0);
  EXPECT_EQ(Bitmap()->Width(), 768);
  EXPECT_EQ(Bitmap()->Height(), 1008);
  EXPECT_EQ(DarkRows(50).front(), 96);
}

TEST_F(PreviewWindowTest, PenWidthsScaleLikeCoordinates) {
  form->begindoc(oPortrait, true);
  TPen* pen = form->Image1->Canvas()->Pen();
  EXPECT_EQ(pen->Width(), 1);  // 20 twips at 96 pixels per inch
  form->LineWidth(11);
  EXPECT_EQ(pen->Width(), 0);  // the thinnest pen
  form->MoveTo(0, 1440);
  form->LineTo(1440, 1440);
  EXPECT_EQ(DarkRows(10), (std::vector<int>{96}));
  form->LineWidth(45);
  EXPECT_EQ(pen->Width(), 3);
  form->MoveTo(0, 2880);
  form->LineTo(1440, 2880);
  std::vector<int> rows = DarkRows(10);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3] - rows[1], 2);
  EXPECT_TRUE(rows[1] <= 192 && rows[3] >= 192);
  form->Colour(clRed);
  EXPECT_EQ(pen->Color(), clRed);
  form->FontSize(20);
  EXPECT_EQ(form->Image1->Canvas()->Font()->Size(), 20);
}

TEST_F(PreviewWindowTest, TextIsPlacedByItsAlignment) {
  form->begindoc(oPortrait, true);
  TCanvas* c = form->Image1->Canvas();
  const int w = c->TextWidth(u"Mmm");
  auto firstDarkColumn = [&](int top, int bottom) {
    for (int x = 0; x < Bitmap()->Width(); ++x)
      for (int y = top; y < bottom; ++y)
        if (Pixel(x, y) != 0xFFFFFF) return x;
    return -1;
  };
  form->TextOut(1440, 1440, u"Mmm");  // (96, 96)
  const int left = firstDarkColumn(96, 120);
  EXPECT_GE(left, 96);
  EXPECT_LE(left, 98);
  form->CentreText(1440, 2880, u"Mmm");  // centred on x 96
  EXPECT_EQ(firstDarkColumn(192, 216) - left, -(w / 2));
  form->RightText(1440, 4320, u"Mmm");  // ends at x 96
  EXPECT_EQ(firstDarkColumn(288, 312) - left, -w);
}

TEST_F(PreviewWindowTest, ZoomStepsStopAtBothEndsButRedraw) {
  form->begindoc(oPortrait, true);
  DrawTwoLines(form);
  TComboBox* zoom = form->ZoomComboBox;
  ASSERT_EQ(zoom->ItemIndex(), 3);
  form->SBZoomInClick(nullptr);
  EXPECT_EQ(zoom->ItemIndex(), 4);
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 1.41);
  form->SBZoomInClick(nullptr);
  EXPECT_EQ(ToUtf8(zoom->Text()), "200%");
  EXPECT_EQ(Bitmap()->Width(), 1536);
  Bitmap()->Canvas()->SetPixels(5, 5, clRed);
  form->SBZoomInClick(nullptr);
  EXPECT_EQ(zoom->ItemIndex(), 5);
  EXPECT_EQ(form->ZoomFactor, 2.0);
  EXPECT_EQ(Pixel(5, 5), 0xFFFFFFu) << "redrawn";
  std::vector<int> rows = DarkRows(50);
  EXPECT_NE(std::find(rows.begin(), rows.end(), 192), rows.end());

  for (int i = 0; i < 5; ++i) form->SBZoomOutClick(nullptr);
  EXPECT_EQ(ToUtf8(zoom->Text()), "35%");
  Bitmap()->Canvas()->SetPixels(5, 5, clRed);
  form->SBZoomOutClick(nullptr);
  EXPECT_EQ(zoom->ItemIndex(), 0);
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 0.35);
  EXPECT_EQ(Pixel(5, 5), 0xFFFFFFu);
  EXPECT_EQ(Bitmap()->Width(), 268);  // Trunc(8.0 * 0.35 * 96)

  // Nothing chosen: Zoom In takes the first step.
  zoom->SetItemIndex(-1);
  form->SBZoomInClick(nullptr);
  EXPECT_EQ(ToUtf8(zoom->Text()), "35%");
}

TEST_F(PreviewWindowTest, MouseButtonsOnThePageZoom) {
  form->begindoc(oPortrait, true);
  TImage* image = form->Image1;
  auto click = [&](UINT down, UINT up, WPARAM keys) {
    image->Perform(down, keys, MAKELPARAM(20, 20));
    image->Perform(up, 0, MAKELPARAM(20, 20));
  };
  click(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
  EXPECT_EQ(ToUtf8(form->ZoomComboBox->Text()), "71%");
  click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
  click(WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(ToUtf8(form->ZoomComboBox->Text()), "141%");
  click(WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  EXPECT_EQ(ToUtf8(form->ZoomComboBox->Text()), "141%");
}

TEST_F(PreviewWindowTest, AnUnreadableZoomChangesNothingAndReachesTheHandler) {
  form->begindoc(oPortrait, true);
  DrawTwoLines(form);
  form->SetZoom(u"50%");
  EXPECT_THROW(form->SetZoom(u"big%"), EConvertError);
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 0.5);
  EXPECT_EQ(Bitmap()->Width(), 384);
  EXPECT_EQ(DarkRows(50).front(), 48);

  // Typed into the box: the change notice runs under the window's dispatch.
  form->ZoomComboBox->SetText(u"x5%");
  SendMessageW(form->ZoomComboBox->Handle(), CN_COMMAND, MAKEWPARAM(0, CBN_EDITCHANGE),
               LPARAM(form->ZoomComboBox->Handle()));
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_TRUE(handled[0].convertError);
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 0.5);

  // A pick from the list applies that step.
  form->ZoomComboBox->SetItemIndex(0);
  SendMessageW(form->ZoomComboBox->Handle(), CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               LPARAM(form->ZoomComboBox->Handle()));
  EXPECT_DOUBLE_EQ(form->ZoomFactor, 0.35);
  EXPECT_EQ(Bitmap()->Width(), 268);
  EXPECT_EQ(handled.size(), 1u);
}

// ---- Pages ----

class PreviewPagesTest : public PreviewTest {
 protected:
  // The edit's own change notice runs the handler, as typing does.
  void Type(const String& text) { form->PageEdit->SetText(text); }
};

TEST_F(PreviewPagesTest, DrawingShowsAtOnceOnlyOnTheDisplayedPage) {
  form->begindoc(oPortrait, true);
  form->MoveTo(0, 1440);
  form->LineTo(2880, 1440);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{96})) << "drawn as it was added";
  form->NewPage();
  form->MoveTo(0, 2880);
  form->LineTo(2880, 2880);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{96})) << "page 2 is not displayed";
  form->SBNextPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 2);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{192}));
  // Page 2 is now both displayed and current: it grows on the screen.
  form->MoveTo(0, 4320);
  form->LineTo(2880, 4320);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{192, 288}));
}

TEST_F(PreviewPagesTest, ButtonsStepThroughThePagesAndStopAtTheEnds) {
  ThreePages();
  EXPECT_EQ(form->UpDown1->Max(), 3);
  form->SBPrevPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "1 of 3") << "unchanged since NewPage";
  form->SBLastPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 3);
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "3 of 3");
  EXPECT_EQ(ToUtf8(form->PageEdit->Text()), "3");
  EXPECT_EQ(DarkRows(50), (std::vector<int>{288}));
  Bitmap()->Canvas()->SetPixels(5, 5, clRed);
  form->SBNextPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 3);
  EXPECT_EQ(Pixel(5, 5), static_cast<TColor>(0x0000FF)) << "nothing happens on the last page";
  form->SBPrevPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 2);
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "2 of 3");
  EXPECT_EQ(DarkRows(50), (std::vector<int>{192}));
  form->SBFirstPageClick(nullptr);
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_EQ(ToUtf8(form->PageEdit->Text()), "1");
}

TEST_F(PreviewPagesTest, ThePageBoxClampsToTheDocument) {
  ThreePages();
  TEdit* edit = form->PageEdit;
  Type(u"2");
  EXPECT_EQ(DisplayedPage, 2);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{192}));
  Type(u"0");
  EXPECT_EQ(ToUtf8(edit->Text()), "1");
  EXPECT_EQ(DisplayedPage, 1);
  EXPECT_EQ(DarkRows(50), (std::vector<int>{96}));
  Type(u"17");
  EXPECT_EQ(ToUtf8(edit->Text()), "3");
  EXPECT_EQ(DisplayedPage, 3);
  EXPECT_EQ(ToUtf8(form->PageLabel->Caption()), "3 of 3");
  EXPECT_TRUE(handled.empty());

  // Not a number (an empty box too): a conversion error for the application's handler.
  Type(u"two");
  Type(u"");
  EXPECT_EQ(handled.size(), 2u);
  for (const auto& h : handled) EXPECT_TRUE(h.convertError) << ToUtf8(h.message);
  EXPECT_EQ(DisplayedPage, 3);
}

TEST_F(PreviewPagesTest, EveryWayOfChangingThePageDrawsItOnce) {
  ThreePages();
  // Drawing on the page's canvas is counted; a zoom change draws the page once, and every page
  // holds as much as the first.
  TCanvas* canvas = Bitmap()->Canvas();
  int changes = 0;
  TNotifyEvent own = canvas->OnChange;
  canvas->OnChange = [&](TObject* sender) {
    ++changes;
    if (own) own(sender);
  };
  form->SetZoom(u"100%");
  const int oneDraw = changes;
  ASSERT_GT(oneDraw, 0);
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"next button", [&] { form->SBNextPageClick(nullptr); }},
      {"last button", [&] { form->SBLastPageClick(nullptr); }},
      {"first button", [&] { form->SBFirstPageClick(nullptr); }},
      {"typed number", [&] { Type(u"2"); }},
      {"up-down", [&] { form->UpDown1->SetPosition(3); }},
      {"ShowPage", [&] { form->ShowPage(1); }},
      {"typed beyond the end", [&] { Type(u"9"); }}};
  int page = 1;
  for (const auto& [way, change] : ways) {
    changes = 0;
    change();
    EXPECT_NE(DisplayedPage, page) << way;
    EXPECT_EQ(changes, oneDraw) << way << ": the page was drawn " << double(changes) / oneDraw
                                << " times";
    page = DisplayedPage;
  }
  canvas->OnChange = own;
}

TEST_F(PreviewPagesTest, TheUpDownStepsThePageBox) {
  ThreePages();
  TUpDown* updown = form->UpDown1;
  updown->SetPosition(2);
  EXPECT_EQ(ToUtf8(form->PageEdit->Text()), "2");
  EXPECT_EQ(DisplayedPage, 2) << "the buddy's change notice shows the page";
}

}  // namespace
