// The hidden preview: the main window measures through it at start, so until it is shown it
// builds no page bitmap and no window surface; shown, its page is what drawing it visibly gives.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "PreviewTestSupport.h"
#include "StdCtrls.h"

namespace {

using PreviewHiddenTest = PreviewTest;

// Two pages: staves, text in every alignment, a colour and line widths on the first.
void DrawDocument(TPreviewForm* form, TOrientation orientation, bool withShow) {
  form->begindoc(orientation, withShow);
  form->Colour(clBlack);
  for (int s = 0; s < 4; ++s)
    for (int k = 0; k < 5; ++k) {
      form->MoveTo(0, 1440 + s * 2000 + k * 120);
      form->LineTo(form->PageWidth(), 1440 + s * 2000 + k * 120);
    }
  form->LineWidth(45);
  form->DrawBox(700, 700, 3000, 1200);
  form->Colour(clRed);
  form->FontSize(20);
  form->TextOut(1440, 9000, u"Left");
  form->CentreText(4000, 9500, u"Centre");
  form->RightText(6000, 10000, u"Right");
  form->NewPage();
  form->MoveTo(0, 0);
  form->LineTo(2000, 2000);
  form->enddoc();
}

std::vector<TColor> Snapshot(TBitmap* bitmap) {
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x)
      pixels.push_back(bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF);
  return pixels;
}

TEST_F(PreviewHiddenTest, NothingIsBuiltBeforeTheWindowIsShown) {
  EXPECT_EQ(form->ScreenRes, (TPoint{96, 96}));  // from the screen, not the window
  EXPECT_FALSE(form->HandleAllocated());
  // What the main window does at start: a document measured, its orientation applied.
  DrawDocument(form, oPortrait, false);
  form->SetOrientation(oLandscape);
  EXPECT_GT(form->PageHeight(), 0);
  EXPECT_EQ(Bitmap()->Width(), 0);
  EXPECT_EQ(Bitmap()->Height(), 0);
  EXPECT_FALSE(form->HandleAllocated());

  form->Show();
  EXPECT_EQ(Bitmap()->Width(), 1008);  // 10.5 inches across at 96 pixels per inch
  EXPECT_EQ(Bitmap()->Height(), 768);
}

TEST_F(PreviewHiddenTest, ShownItHasThePixelsDrawingItVisiblyGives) {
  for (TOrientation o : {oPortrait, oLandscape}) {
    DrawDocument(form, o, true);
    const int width = Bitmap()->Width(), height = Bitmap()->Height();
    const std::vector<TColor> visible = Snapshot(Bitmap());
    ASSERT_FALSE(DarkRows(96).empty());
    form->SBDoneClick(nullptr);
    ASSERT_FALSE(form->Visible());

    // Again while hidden (the zoom changed meanwhile, to be restored by begindoc).
    form->ZoomComboBox->SetItemIndex(0);
    form->SetZoom(form->ZoomComboBox->Text());
    DrawDocument(form, o, false);
    form->Show();
    EXPECT_EQ(Bitmap()->Width(), width);
    EXPECT_EQ(Bitmap()->Height(), height);
    EXPECT_TRUE(Snapshot(Bitmap()) == visible) << "orientation " << int(o);

    // Pages turned while hidden are drawn once shown, too.
    form->SBDoneClick(nullptr);
    form->SBNextPageClick(nullptr);
    form->Show();
    EXPECT_EQ(DisplayedPage, 2);
    EXPECT_EQ(Pixel(0, 0), clRed);  // the diagonal from the top-left corner
    EXPECT_EQ(Pixel(96, 0), clWhite);
    form->SBDoneClick(nullptr);
  }
}

}  // namespace
