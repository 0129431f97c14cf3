// The control button: glyph cells, press and release through real mouse messages, the repeat
// timer on a stopped clock, and its faces in the classic and the themed look.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "RzButton.h"
#include "Streaming.h"
#include "Themes.h"
#include "User.h"
#include "UserDriver.h"

namespace {

struct TestButton : TRzControlButton {
  using TRzControlButton::Paint;
  using TRzControlButton::TRzControlButton;
};

class RzButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserResetForTesting();
    RegisterRzButtonClasses();
    form.reset(CreateBareForm<TForm>(nullptr));
    form->SetBounds(0, 0, 100, 100);
    button = new TestButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 17, 21);
    button->OnClick = [this](TObject*) { ++clicks; };
  }
  void TearDown() override {
    SetThemesEnabledForTesting(true);
    form.reset();
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  // Mouse messages as the parent window routes them: in the button's coordinates.
  void Mouse(UINT msg, int x, int y) {
    const bool held = msg == WM_LBUTTONDOWN || msg == WM_MOUSEMOVE;
    button->Perform(msg, held ? MK_LBUTTON : 0, MAKELPARAM(x, y));
  }
  static void PumpTimers() {
    MSG m;
    while (PeekMessageW(&m, 0, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }

  std::unique_ptr<TForm> form;
  TestButton* button = nullptr;
  int clicks = 0;
};

std::unique_ptr<TBitmap> Strip(int width, int height) {
  auto b = std::make_unique<TBitmap>(width, height);
  return b;
}

TEST_F(RzButtonTest, GlyphStripsOfSquareCellsSetTheCellCount) {
  button->SetGlyph(Strip(48, 16).get());
  EXPECT_EQ(button->NumGlyphs(), 3);
  EXPECT_EQ(button->GlyphCellSize().x, 16);
  button->SetGlyph(Strip(80, 16).get());  // five cells: more than a button shows
  EXPECT_EQ(button->NumGlyphs(), 1);
  button->SetNumGlyphs(2);
  button->SetGlyph(Strip(40, 16).get());  // not whole cells: left alone
  EXPECT_EQ(button->NumGlyphs(), 2);
  EXPECT_EQ(button->GlyphCellSize().x, 20);
  button->SetGlyph(nullptr);
  EXPECT_EQ(button->GlyphCellSize().x, 0);
}

TEST_F(RzButtonTest, ClicksOnlyOnALeftReleaseInside) {
  Mouse(WM_LBUTTONDOWN, 3, 3);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(clicks, 0);
  Mouse(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down());

  // Just outside on either axis: the pressed look ends without a click.
  Mouse(WM_LBUTTONDOWN, 3, 3);
  Mouse(WM_LBUTTONUP, 17, 3);
  Mouse(WM_LBUTTONDOWN, 3, 3);
  Mouse(WM_LBUTTONUP, 3, 21);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down());

  // A double-click is another press; a disabled button takes no press at all.
  Mouse(WM_LBUTTONDBLCLK, 3, 3);
  Mouse(WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(clicks, 2);
  button->SetEnabled(false);
  Mouse(WM_LBUTTONDOWN, 3, 3);
  EXPECT_FALSE(button->Down());
  Mouse(WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(clicks, 2);
}

TEST_F(RzButtonTest, HeldButtonRepeatsAfterTheInitialDelayThenEveryDelay) {
  StopClockForTesting(true);
  button->SetRepeatClicks(true);
  Mouse(WM_LBUTTONDOWN, 3, 3);
  ASSERT_NE(button->RepeatTimer(), nullptr);
  AdvanceClockForTesting(399);
  PumpTimers();
  EXPECT_EQ(clicks, 0);
  AdvanceClockForTesting(1);
  PumpTimers();
  EXPECT_EQ(clicks, 1);
  for (int i = 0; i < 3; ++i) {
    AdvanceClockForTesting(99);
    PumpTimers();
    EXPECT_EQ(clicks, 1 + i);
    AdvanceClockForTesting(1);
    PumpTimers();
    EXPECT_EQ(clicks, 2 + i);
  }
  // Dragged off, it still repeats; the release outside adds no click and stops the timer.
  Mouse(WM_MOUSEMOVE, 40, 3);
  AdvanceClockForTesting(100);
  PumpTimers();
  EXPECT_EQ(clicks, 5);
  Mouse(WM_LBUTTONUP, 40, 3);
  EXPECT_EQ(clicks, 5);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  AdvanceClockForTesting(1000);
  PumpTimers();
  EXPECT_EQ(clicks, 5);

  // A short press clicks once, on release.
  Mouse(WM_LBUTTONDOWN, 3, 3);
  Mouse(WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(clicks, 6);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
}

TEST_F(RzButtonTest, RightPressStartsTheTimerButNeverClicks) {
  StopClockForTesting(true);
  button->SetRepeatClicks(true);
  Mouse(WM_RBUTTONDOWN, 3, 3);
  EXPECT_FALSE(button->Down());
  ASSERT_NE(button->RepeatTimer(), nullptr);
  EXPECT_TRUE(button->RepeatTimer()->Enabled());
  AdvanceClockForTesting(1000);
  PumpTimers();
  EXPECT_EQ(clicks, 0);
  Mouse(WM_RBUTTONUP, 3, 3);
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
}

TEST_F(RzButtonTest, AFailingClickStopsTheRepeatsAndRestoresTheHotState) {
  form->Show();
  StopClockForTesting(true);
  button->SetRepeatClicks(true);
  button->OnClick = [this](TObject*) {
    ++clicks;
    throw Exception(u"handler failed");
  };
  const TPoint over = button->ClientToScreen(TPoint{3, 3});
  SetCursorPos(over.x, over.y);

  // On release: drawn released, the exception passes on, and the timer is stopped anyway.
  Mouse(WM_LBUTTONDOWN, 3, 3);
  EXPECT_THROW(Mouse(WM_LBUTTONUP, 3, 3), Exception);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  EXPECT_TRUE(button->MouseOverButton()) << "the pointer is still over the button";

  // On a repeat: the timer stops before the exception leaves (for the application to report).
  String reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported = e.Message(); };
  Mouse(WM_LBUTTONDOWN, 3, 3);
  AdvanceClockForTesting(400);
  PumpTimers();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(reported, u"handler failed");
  EXPECT_FALSE(button->RepeatTimer()->Enabled());
  AdvanceClockForTesting(1000);
  PumpTimers();
  EXPECT_EQ(clicks, 2);
}

TEST_F(RzButtonTest, HotStateFollowsEnterAndLeaveButNotAtDesignTime) {
  button->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(button->MouseOverButton());
  button->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(button->MouseOverButton());
}

TEST_F(RzButtonTest, PublishesItsDefaultsAndStoresOnlyWhatDiffers) {
  EXPECT_EQ(GetOrdProp(button, u"Width"), 17);
  EXPECT_EQ(GetOrdProp(button, u"Height"), 21);
  EXPECT_EQ(GetEnumProp(button, u"Style"), u"cbsNone");
  EXPECT_EQ(GetOrdProp(button, u"InitialDelay"), 400);
  EXPECT_EQ(GetOrdProp(button, u"Delay"), 100);
  EXPECT_EQ(TColor(GetOrdProp(button, u"Color")), clBtnFace);
  button->SetName(u"B");
  const String fresh = WriteComponentText(button);
  for (const char16_t* name : {u"Color", u"Flat", u"Glyph", u"NumGlyphs", u"Delay", u"InitialDelay",
                               u"RepeatClicks", u"Style", u"ParentColor", u"Caption"})
    EXPECT_EQ(fresh.find(name), String::npos) << ToUtf8(fresh);

  SetEnumProp(button, u"Style", u"cbsDropDown");
  SetOrdProp(button, u"Delay", 50);
  button->SetCaption(u"never drawn");
  const String changed = WriteComponentText(button);
  EXPECT_NE(changed.find(u"Style = cbsDropDown"), String::npos) << ToUtf8(changed);
  EXPECT_NE(changed.find(u"Delay = 50"), String::npos) << ToUtf8(changed);
  EXPECT_NE(changed.find(u"Caption = 'never drawn'"), String::npos) << ToUtf8(changed);
}

// ---- Faces ----

class RzButtonFaceTest : public RzButtonTest {
 protected:
  // The button's face painted into a picture of its size.
  void PaintInto(CanvasPicture& pic) {
    button->Canvas()->SetHandle(pic.dc());
    button->Paint();
    button->Canvas()->SetHandle(0);
  }
  DistinctSystemColors colors;
};

TEST_F(RzButtonFaceTest, ClassicArrowRaisedPressedAndFlat) {
  SetThemesEnabledForTesting(false);
  button->SetStyle(cbsUp);
  button->SetBounds(0, 0, 12, 9);
  const Legend legend = With(SystemLegend(clFuchsia), {{'k', clBlack}, {'r', clRed}});
  button->SetColor(clRed);
  CanvasPicture raised(12, 9, clFuchsia);
  PaintInto(raised);
  EXPECT_TRUE(
      LooksLike(raised, legend,
                {"hhhhhhhhhhhd", "hlllllklllsd", "hlrrrkkkrrsd", "hlrrkkkkkrsd", "hlrkkkkkkksd",
                 "hlrrrrrrrrsd", "hlrrrrrrrrsd", "hssssssssssd", "dddddddddddd"}));
  // Pressed: one shadow ring; the arrow stays where it was.
  Mouse(WM_LBUTTONDOWN, 3, 3);
  CanvasPicture pressed(12, 9, clFuchsia);
  PaintInto(pressed);
  EXPECT_TRUE(
      LooksLike(pressed, legend,
                {"ssssssssssss", "srrrrrkrrrrs", "srrrrkkkrrrs", "srrrkkkkkrrs", "srrkkkkkkkrs",
                 "srrrrrrrrrrs", "srrrrrrrrrrs", "srrrrrrrrrrs", "ssssssssssss"}));
  Mouse(WM_LBUTTONUP, 3, 3);
  // Flat: no frame until hot, and then the face takes the button's own colour.
  button->SetFlat(true);
  CanvasPicture flat(12, 9, clFuchsia);
  PaintInto(flat);
  EXPECT_EQ(flat.Count(clRed) + flat.Count(clBlack), 12 * 9);
  button->Perform(CM_MOUSEENTER);
  CanvasPicture hot(12, 9, clFuchsia);
  PaintInto(hot);
  EXPECT_TRUE(
      LooksLike(hot, legend,
                {"hhhhhhhhhhhs", "hrrrrrkrrrrs", "hrrrrkkkrrrs", "hrrrkkkkkrrs", "hrrkkkkkkkrs",
                 "hrrrrrrrrrrs", "hrrrrrrrrrrs", "hrrrrrrrrrrs", "ssssssssssss"}));
}

}  // namespace
