// What the spin buttons and the control button look like: the arrow faces stacked and side by
// side in the classic look, the themed states against the visual style's own parts, glyph
// cells, and the button face inside a spin edit.
#include <gtest/gtest.h>

#include <memory>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "RzSpnEdt.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

class RzSpinFacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserResetForTesting();
    RegisterRzSpnEdtClasses();
    form.reset(CreateBareForm<TForm>(nullptr));
    form->SetBounds(0, 0, 200, 100);
    form->SetColor(clBtnFace);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    form.reset();
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  TRzSpinButtons* Spin(int width, int height, RzSpnEdt::TOrientation orientation) {
    auto* spin = new TRzSpinButtons(form.get());
    spin->SetParent(form.get());
    spin->SetOrientation(orientation);
    spin->SetBounds(0, 0, width, height);
    return spin;
  }
  // A windowless control paints on the device context its parent hands it.
  static void Paint(TControl* c, CanvasPicture& pic) { c->Perform(WM_PAINT, WPARAM(pic.dc()), 0); }
  // The visual style's part as drawn straight onto a picture of the same size.
  static std::unique_ptr<CanvasPicture> Part(TThemedSpin part, int w, int h) {
    auto pic = std::make_unique<CanvasPicture>(w, h, clFuchsia);
    ThemeServices()->DrawElement(pic->dc(), ThemeServices()->GetElementDetails(part),
                                 RECT{0, 0, w, h});
    return pic;
  }
  std::unique_ptr<TForm> form;
  DistinctSystemColors colors;
};

TEST_F(RzSpinFacesTest, ClassicArrowsStackedAndSideBySide) {
  SetThemesEnabledForTesting(false);
  TRzSpinButtons* spin = Spin(13, 22, orVertical);
  CanvasPicture pic(13, 22, clFuchsia);
  spin->PaintTo(pic.dc(), 0, 0);
  const Legend legend = With(SystemLegend(clFuchsia), {{'k', clBlack}});
  EXPECT_TRUE(LooksLike(
      pic, legend,
      {"hhhhhhhhhhhhd", "hllllllllllsd", "hlffffkffffsd", "hlfffkkkfffsd", "hlffkkkkkffsd",
       "hlfkkkkkkkfsd", "hlfffffffffsd", "hlfffffffffsd", "hlfffffffffsd", "hsssssssssssd",
       "ddddddddddddd", "hhhhhhhhhhhhd", "hllllllllllsd", "hlfffffffffsd", "hlfkkkkkkkfsd",
       "hlffkkkkkffsd", "hlfffkkkfffsd", "hlffffkffffsd", "hlfffffffffsd", "hlfffffffffsd",
       "hsssssssssssd", "ddddddddddddd"}));
  // Side by side, left and right: the down/left button on the left.
  spin->SetDirection(sdLeftRight);
  spin->SetOrientation(orHorizontal);
  spin->SetBounds(0, 0, 26, 11);
  CanvasPicture side(26, 11, clFuchsia);
  spin->PaintTo(side.dc(), 0, 0);
  EXPECT_TRUE(LooksLike(
      side, legend,
      {"hhhhhhhhhhhhdhhhhhhhhhhhhd", "hllllllllllsdhllllllllllsd", "hlfffffkfffsdhlffkffffffsd",
       "hlffffkkfffsdhlffkkfffffsd", "hlfffkkkfffsdhlffkkkffffsd", "hlffkkkkfffsdhlffkkkkfffsd",
       "hlfffkkkfffsdhlffkkkffffsd", "hlffffkkfffsdhlffkkfffffsd", "hlfffffkfffsdhlffkffffffsd",
       "hsssssssssssdhsssssssssssd", "dddddddddddddddddddddddddd"}));
}

TEST_F(RzSpinFacesTest, ThemedStatesDrawTheStylesSpinParts) {
  TRzSpinButtons* spin = Spin(16, 24, orVertical);
  TRzControlButton* up = spin->UpRightButton();
  TRzControlButton* down = spin->DownLeftButton();
  // The states look different, so a wrong choice shows.
  ASSERT_FALSE(SamePixels(*Part(tsUpNormal, 16, 12), *Part(tsUpHot, 16, 12)));
  ASSERT_FALSE(SamePixels(*Part(tsUpHot, 16, 12), *Part(tsUpPressed, 16, 12)));
  auto painted = [&](TRzControlButton* b) {
    auto pic = std::make_unique<CanvasPicture>(b->Width(), b->Height(), clFuchsia);
    Paint(b, *pic);
    return pic;
  };
  EXPECT_TRUE(SamePixels(*painted(up), *Part(tsUpNormal, 16, 12)));
  EXPECT_TRUE(SamePixels(*painted(down), *Part(tsDownNormal, 16, 12)));
  up->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(SamePixels(*painted(up), *Part(tsUpHot, 16, 12)));
  up->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_TRUE(SamePixels(*painted(up), *Part(tsUpPressed, 16, 12)));
  up->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
  spin->SetEnabled(false);
  EXPECT_TRUE(SamePixels(*painted(down), *Part(tsDownDisabled, 16, 12)));

  // Side by side and left/right, the horizontal parts: the left arrow is the "down" one.
  spin->SetEnabled(true);
  spin->SetDirection(sdLeftRight);
  spin->SetOrientation(orHorizontal);
  spin->SetBounds(0, 0, 32, 16);
  EXPECT_TRUE(SamePixels(*painted(down), *Part(tsDownHorzNormal, 16, 16)));
  EXPECT_TRUE(SamePixels(*painted(up), *Part(tsUpHorzNormal, 16, 16)));
}

TEST_F(RzSpinFacesTest, ThemedButtonLowerThanTenGetsABorderLineOnTop) {
  TRzSpinButtons* spin = Spin(12, 16, orVertical);
  TRzControlButton* up = spin->UpRightButton();
  CanvasPicture pic(12, 8, clFuchsia);
  Paint(up, pic);
  auto expected = Part(tsUpNormal, 12, 8);
  expected->Canvas()->Pen()->SetColor(ThemedPartColor(tckSpinBorder));
  expected->Canvas()->MoveTo(1, 0);
  expected->Canvas()->LineTo(11, 0);
  EXPECT_TRUE(SamePixels(pic, *expected));
  // From ten pixels up the part stands alone.
  spin->SetHeight(20);
  CanvasPicture tall(12, 10, clFuchsia);
  Paint(up, tall);
  EXPECT_TRUE(SamePixels(tall, *Part(tsUpNormal, 12, 10)));
  // Flat and not hot: the edit's colour with the arrow of the current look.
  spin->SetFlat(true);
  spin->SetColor(clWhite);
  CanvasPicture flat(12, 10, clFuchsia);
  Paint(up, flat);
  EXPECT_EQ(flat.Count(clFuchsia), 0);
  EXPECT_GT(flat.Count(clWhite), 12 * 10 / 2);
}

// A strip of three 6 x 6 cells, red, green and blue inside a lime key.
std::unique_ptr<TBitmap> ThreeCells() {
  auto b = std::make_unique<TBitmap>(18, 6);
  b->Canvas()->Brush()->SetColor(clLime);
  b->Canvas()->FillRect(Rect(0, 0, 18, 6));
  const TColor colours[] = {clRed, clGreen, clBlue};
  for (int i = 0; i < 3; ++i) {
    b->Canvas()->Brush()->SetColor(colours[i]);
    b->Canvas()->FillRect(Rect(i * 6 + 1, 1, i * 6 + 5, 5));
  }
  return b;
}

TEST_F(RzSpinFacesTest, GlyphCellsForNormalDisabledAndPressed) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed ? "themed" : "classic");
    SetThemesEnabledForTesting(themed);
    auto* b = new TRzControlButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(0, 0, 16, 16);
    b->SetGlyph(ThreeCells().get());
    ASSERT_EQ(b->NumGlyphs(), 3);
    auto paint = [&] {
      auto pic = std::make_unique<CanvasPicture>(16, 16, clFuchsia);
      Paint(b, *pic);
      return pic;
    };
    const auto normal = paint();
    EXPECT_EQ(normal->Count(clLime), 0) << "the key lets the face through";
    EXPECT_EQ(normal->Count(clRed), 16);
    const RECT red = normal->Find(clRed);

    b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    const auto pressed = paint();
    EXPECT_EQ(pressed->Count(clRed), 0);
    RECT blue = pressed->Find(clBlue);
    OffsetRect(&blue, -1, themed ? 0 : -1);  // pressed glyphs move down only without styles
    EXPECT_RECT(blue, red.left, red.top, red.right, red.bottom);
    b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(30, 30));

    b->SetEnabled(false);
    const auto disabled = paint();
    EXPECT_EQ(disabled->Count(clRed), 0);
    const RECT green = disabled->Find(clGreen);
    EXPECT_RECT(green, red.left, red.top, red.right, red.bottom);
    delete b;
  }
}

TEST_F(RzSpinFacesTest, ClassicArrowsOfASpinEditKeepTheButtonFace) {
  SetThemesEnabledForTesting(false);
  auto* edit = new TRzSpinEdit(form.get());
  edit->SetParent(form.get());
  edit->SetColor(clRed);
  TRzControlButton* up = edit->UpRightButton();
  EXPECT_EQ(up->Color(), clRed);
  CanvasPicture inEdit(up->Width(), up->Height(), clFuchsia);
  Paint(up, inEdit);
  EXPECT_EQ(inEdit.Count(clRed), 0);
  EXPECT_GT(inEdit.Count(clBtnFace), 0);

  // Alone on a form, the same button shows its own colour.
  TRzSpinButtons* spin = Spin(16, 24, orVertical);
  spin->SetColor(clRed);
  CanvasPicture alone(16, 12, clFuchsia);
  Paint(spin->UpRightButton(), alone);
  EXPECT_GT(alone.Count(clRed), 0);
  EXPECT_EQ(alone.Count(clBtnFace), 0);
}

}  // namespace
