#include <gtest/gtest.h>

#include <memory>

#include "Buttons.h"
#include "ClassLibTestSupport.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

struct TestButton : TSpeedButton {
  using TSpeedButton::Paint;
  using TSpeedButton::TSpeedButton;
};

// A glyph strip of n square images of size s: image i is filled with colours[i] on a lime
// key (the bottom-left pixel stays lime).
std::unique_ptr<TBitmap> Strip(int s, std::initializer_list<TColor> colours) {
  auto b = std::make_unique<TBitmap>(s * int(colours.size()), s);
  b->Canvas()->Brush()->SetColor(clLime);
  b->Canvas()->FillRect(Rect(0, 0, b->Width(), s));
  int i = 0;
  for (TColor c : colours) {
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(Rect(i * s + 1, 1, i * s + s - 1, s - 1));
    ++i;
  }
  return b;
}

class ButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    RegisterButtonsClasses();
    SetThemesEnabledForTesting(false);
  }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  static void Paint(TestButton& b, PixelCanvas& t) {
    PaintInto(b.Canvas(), t, [&] { b.Paint(); });
  }
  static void Mouse(TControl& c, UINT msg, int x, int y) {
    c.Perform(msg, msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
};

TEST_F(ButtonsTest, ClickFiresOnReleaseInsideOnly) {
  // Capturing the mouse needs a parent window.
  std::unique_ptr<TForm> parent(CreateBareForm<TForm>(nullptr));
  TestButton button(nullptr);
  button.SetParent(parent.get());
  button.SetBounds(0, 0, 20, 20);
  int clicks = 0;
  button.OnClick = [&](TObject*) { ++clicks; };

  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(button.State(), bsDown);
  EXPECT_EQ(clicks, 0);
  Mouse(button, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.State(), bsUp);

  // Dragged off before the release: no click, and it pops up while outside.
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  Mouse(button, WM_MOUSEMOVE, 30, 5);
  EXPECT_EQ(button.State(), bsUp);
  Mouse(button, WM_LBUTTONUP, 30, 5);
  EXPECT_EQ(clicks, 1);

  // Off and back on again: a click.
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  Mouse(button, WM_MOUSEMOVE, -3, 5);
  Mouse(button, WM_MOUSEMOVE, 6, 6);
  EXPECT_EQ(button.State(), bsDown);
  Mouse(button, WM_LBUTTONUP, 6, 6);
  EXPECT_EQ(clicks, 2);

  // Its caption's accelerator clicks it too.
  button.SetCaption(u"&Go");
  parent->Show();
  EXPECT_EQ(button.Perform(CM_DIALOGCHAR, u'g'), 1);
  EXPECT_EQ(button.Perform(CM_DIALOGCHAR, u'o'), 0);
  EXPECT_EQ(clicks, 3);

  // A disabled button ignores the mouse.
  button.SetEnabled(false);
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  Mouse(button, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(button.Perform(CM_DIALOGCHAR, u'g'), 0);
  EXPECT_EQ(clicks, 3);
  button.SetParent(nullptr);
}

TEST_F(ButtonsTest, GlyphIsCentredTransparentAndShiftsWhenPressed) {
  TestButton button(nullptr);
  button.SetBounds(0, 0, 27, 27);
  auto glyph = Strip(16, {clRed});
  button.SetGlyph(glyph.get());
  EXPECT_EQ(button.NumGlyphs(), 1);
  {
    PixelCanvas t(27, 27, clBlue);
    Paint(button, t);
    EXPECT_EQ(t.Find(ColorToRGB(clRed)), Rect(7, 7, 21, 21));
    EXPECT_EQ(t.Count(ColorToRGB(clLime)), 0);
  }
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  {
    PixelCanvas t(27, 27, clBlue);
    Paint(button, t);
    EXPECT_EQ(t.Find(ColorToRGB(clRed)), Rect(8, 8, 22, 22));
  }
  Mouse(button, WM_LBUTTONUP, 5, 5);
}

TEST_F(ButtonsTest, DisabledStateDrawsTheDisabledImage) {
  TestButton button(nullptr);
  button.SetBounds(0, 0, 24, 24);
  auto pair = Strip(16, {clRed, clBlue});
  button.SetGlyph(pair.get());
  EXPECT_EQ(button.NumGlyphs(), 2);
  {
    PixelCanvas t(24, 24, clBlack);
    Paint(button, t);
    EXPECT_GT(t.Count(ColorToRGB(clRed)), 0);
    EXPECT_EQ(t.Count(ColorToRGB(clBlue)), 0);
  }
  button.SetEnabled(false);
  {
    PixelCanvas t(24, 24, clBlack);
    Paint(button, t);
    EXPECT_EQ(t.Count(ColorToRGB(clRed)), 0);
    EXPECT_EQ(t.Find(ColorToRGB(clBlue)), Rect(5, 5, 19, 19));
  }
  // A single image is embossed: the dark red square turns to shadow over a highlight.
  auto single = Strip(16, {clMaroon});
  button.SetFlat(true);  // no frame, whose shadow would mix with the glyph's
  button.SetGlyph(single.get());
  button.SetNumGlyphs(1);
  {
    PixelCanvas t(24, 24, clBlack);
    Paint(button, t);
    EXPECT_EQ(t.Count(ColorToRGB(clMaroon)), 0);
    EXPECT_EQ(t.Find(ColorToRGB(clBtnShadow)), Rect(5, 5, 19, 19));
    EXPECT_EQ(t.At(19, 19), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(t.At(19, 6), ColorToRGB(clBtnHighlight));
  }
}

TEST_F(ButtonsTest, DisabledGlyphHelperEmbossesDarkPixelsOnly) {
  TBitmap glyph(4, 3);
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect(Rect(0, 0, 4, 3));
  glyph.Canvas()->SetPixels(1, 0, clBlack);
  glyph.Canvas()->SetPixels(2, 0, clWhite);  // light: vanishes
  TBitmap out(4, 3);
  out.Canvas()->Brush()->SetColor(clBlue);
  out.Canvas()->FillRect(Rect(0, 0, 4, 3));
  DrawDisabledGlyph(&glyph, Rect(0, 0, 4, 3), out.Canvas(), 0, 0, clLime);
  EXPECT_EQ(out.Canvas()->Pixels(1, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(out.Canvas()->Pixels(2, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(out.Canvas()->Pixels(2, 0), ColorToRGB(clBlue));
  EXPECT_EQ(out.Canvas()->Pixels(0, 0), ColorToRGB(clBlue));
}

TEST_F(ButtonsTest, FlatButtonShowsAFrameOnlyWhenHot) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed ? "themed" : "classic");
    SetThemesEnabledForTesting(themed);
    TestButton button(nullptr);
    button.SetBounds(0, 0, 20, 20);
    button.SetFlat(true);
    {
      PixelCanvas t(20, 20, clLime);
      Paint(button, t);
      EXPECT_EQ(t.Count(ColorToRGB(clLime)), 400);
    }
    button.Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_TRUE(button.MouseInControl());
    {
      PixelCanvas t(20, 20, clLime);
      Paint(button, t);
      EXPECT_NE(t.At(10, 0), ColorToRGB(clLime));
      EXPECT_NE(t.At(0, 10), ColorToRGB(clLime));
      EXPECT_NE(t.At(19, 10), ColorToRGB(clLime));
    }
    button.Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(&button));
    {
      PixelCanvas t(20, 20, clLime);
      Paint(button, t);
      EXPECT_EQ(t.Count(ColorToRGB(clLime)), 400);
    }
    // A raised button has its frame all the time.
    button.SetFlat(false);
    {
      PixelCanvas t(20, 20, clLime);
      Paint(button, t);
      EXPECT_NE(t.At(10, 0), ColorToRGB(clLime));
      EXPECT_NE(t.At(10, 10), ColorToRGB(clLime));
    }
  }
}

TEST_F(ButtonsTest, ClassicFramesRaiseAndSink) {
  TestButton button(nullptr);
  button.SetBounds(0, 0, 10, 10);
  PixelCanvas up(10, 10, clLime);
  Paint(button, up);
  Mouse(button, WM_LBUTTONDOWN, 5, 5);
  PixelCanvas down(10, 10, clLime);
  Paint(button, down);
  Mouse(button, WM_LBUTTONUP, 5, 5);
  // Light top-left when up, dark when pressed.
  auto light = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
  EXPECT_GT(light(up.At(0, 5)), light(up.At(9, 5)));
  EXPECT_LT(light(down.At(0, 5)), light(down.At(9, 5)));
  EXPECT_GT(light(up.At(5, 0)), light(up.At(5, 9)));
  EXPECT_LT(light(down.At(5, 0)), light(down.At(5, 9)));
}

TEST_F(ButtonsTest, GroupKeepsOneButtonDown) {
  std::unique_ptr<TForm> parent(CreateBareForm<TForm>(nullptr));
  TestButton a(nullptr), b(nullptr), c(nullptr), other(nullptr);
  for (TestButton* x : {&a, &b, &c, &other}) {
    x->SetParent(parent.get());
    x->SetBounds(0, 0, 20, 20);
  }
  a.SetGroupIndex(1);
  b.SetGroupIndex(1);
  c.SetGroupIndex(1);
  other.SetGroupIndex(2);
  other.SetDown(true);

  a.SetDown(true);
  EXPECT_TRUE(a.Down());
  b.SetDown(true);
  EXPECT_FALSE(a.Down());
  EXPECT_TRUE(b.Down());
  EXPECT_TRUE(other.Down());
  // The last one down stays down.
  b.SetDown(false);
  EXPECT_TRUE(b.Down());
  Mouse(b, WM_LBUTTONDOWN, 5, 5);
  Mouse(b, WM_LBUTTONUP, 5, 5);
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(b.State(), bsExclusive);
  // A click puts another down.
  int clicks = 0;
  c.OnClick = [&](TObject*) { ++clicks; };
  Mouse(c, WM_LBUTTONDOWN, 5, 5);
  Mouse(c, WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(c.Down());
  EXPECT_FALSE(b.Down());
  // With AllowAllUp (shared by the group) it can come up again.
  a.SetAllowAllUp(true);
  EXPECT_TRUE(c.AllowAllUp());
  Mouse(c, WM_LBUTTONDOWN, 5, 5);
  Mouse(c, WM_LBUTTONUP, 5, 5);
  EXPECT_FALSE(a.Down() || b.Down() || c.Down());
  EXPECT_TRUE(other.Down());

  // Without a group a button never stays down.
  TestButton plain(nullptr);
  plain.SetDown(true);
  EXPECT_FALSE(plain.Down());
  for (TestButton* x : {&a, &b, &c, &other}) x->SetParent(nullptr);
}

TEST_F(ButtonsTest, CaptionBesideTheGlyph) {
  TestButton button(nullptr);
  button.SetBounds(0, 0, 80, 24);
  button.Font()->SetColor(clBlack);
  button.SetCaption(u"Go");
  auto glyph = Strip(16, {clRed});
  button.SetGlyph(glyph.get());
  button.SetMargin(2);
  button.SetFlat(true);  // the classic frame has black in it too
  PixelCanvas t(80, 24, clLime);
  Paint(button, t);
  TRect red = t.Find(ColorToRGB(clRed));
  TRect text = t.InkBox(ColorToRGB(clLime), Rect(red.right + 1, 0, 80, 24));
  EXPECT_EQ(red.left, 3);
  // The glyph's key-coloured rim is not drawn: the glyph spans 2..18, the spacing 4 follows.
  EXPECT_EQ(t.InkBox(ColorToRGB(clLime), Rect(0, 0, red.right + 1, 24)), Rect(3, 5, 17, 19));
  EXPECT_GE(text.left, 18 + 4);
  EXPECT_LE(text.left, 18 + 4 + 2);
  button.SetLayout(blGlyphRight);
  PixelCanvas t2(80, 24, clLime);
  Paint(button, t2);
  EXPECT_EQ(t2.Find(ColorToRGB(clRed)).right, 80 - 3);
  EXPECT_LE(t2.InkBox(ColorToRGB(clLime), Rect(0, 0, 60, 24)).right, 80 - 2 - 16 - 4);
}

TEST_F(ButtonsTest, HintComesThroughTheApplication) {
  std::unique_ptr<TForm> form(CreateBareForm<TForm>(nullptr));
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetShowHint(true);
  auto* button = new TSpeedButton(form.get());
  button->SetParent(panel);
  button->SetBounds(9, 9, 27, 27);
  button->SetHint(u"Zoom In");
  EXPECT_TRUE(button->ShowHint());  // from the panel
  form->Show();
  TMessage move{WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0};
  Application->HintMouseMessage(button, move);
  EXPECT_EQ(Application->HintControl(), button);
  Application->ActivateHint(Point(20, 20));
  ASSERT_NE(Application->HintWindow(), nullptr);
  EXPECT_EQ(Application->HintWindow()->GetText(), u"Zoom In");
  Application->CancelHint();
}

}  // namespace
