// The spin edit, driven as a user drives it: host key, character, mouse and wheel input through
// the window system's queue to a shown form, and the repeat timer on a stopped clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Numbers.h"
#include "RzEditTestSupport.h"
#include "RzSpnEdt.h"
#include "StdCtrls.h"
#include "SystemControls.h"

namespace {

class RzSpinEditTest : public RzEditTest {
 protected:
  void SetUp() override {
    RzEditTest::SetUp();
    RegisterRzSpnEdtClasses();
    form = BareForm();
    spin = new TRzSpinEdit(form);
    spin->SetParent(form);
    spin->SetBounds(20, 20, 80, 21);
    next = new TEdit(form);
    next->SetParent(form);
    next->SetBounds(20, 60, 80, 21);
    spin->OnChanging = [this](TObject*, Extended v, bool& allow) {
      log.push_back("changing " + ToUtf8(FloatToStr(v)));
      allow = !veto;
    };
    spin->OnChange = [this](TObject*) { log.push_back("change " + ToUtf8(spin->Text())); };
    spin->OnButtonClick = [this](TObject*, TSpinButtonType b) {
      log.push_back(b == sbUp ? "button up" : "button down");
    };
    spin->SetFocus();
    Application->ProcessMessages();
    log.clear();
  }

  // The pointer over the middle of one of the buttons, pressed or released.
  void Mouse(TRzControlButton* b, HostEventType type) {
    const HWND h = spin->Buttons()->Handle();
    const int x = b->Left() + b->Width() / 2, y = b->Top() + b->Height() / 2;
    MoveTo(h, x, y);
    HostEvent e = ClientPointerAt(h, x, y);
    e.type = type;
    e.button = kHostLeftButton;
    e.buttons = type == HostEventType::MouseDown ? kHostLeftButton : 0;
    UserHandleHostEvent(e);
    Application->ProcessMessages();
  }
  void Press(TRzControlButton* b) { Mouse(b, HostEventType::MouseDown); }
  void Release(TRzControlButton* b) { Mouse(b, HostEventType::MouseUp); }
  void ClickOn(TRzControlButton* b) {
    Press(b);
    Release(b);
  }
  void Wheel(int notches, unsigned mods = 0) { WheelAt(spin->Handle(), 5, 5, notches, mods); }
  void WheelAt(HWND h, int x, int y, int notches, unsigned mods = 0) {
    HostEvent e = ClientPointerAt(h, x, y);
    e.type = HostEventType::Wheel;
    e.wheelDelta = 120 * notches;
    e.modifiers = mods;
    UserHandleHostEvent(e);
    Application->ProcessMessages();
  }
  String Text() { return spin->Text(); }

  TForm* form = nullptr;
  TRzSpinEdit* spin = nullptr;
  TEdit* next = nullptr;
  std::vector<std::string> log;
  bool veto = false;
};

using Log = std::vector<std::string>;

TEST_F(RzSpinEditTest, StepsByTheUpKeyToMaxThenHoldsThere) {
  EXPECT_EQ(Text(), u"0");
  Key(VK_UP);
  EXPECT_EQ(Text(), u"1");
  EXPECT_EQ(log, (Log{"changing 1", "change 1", "button up"}));
  for (int i = 0; i < 99; ++i) Key(VK_UP);
  EXPECT_EQ(Text(), u"100");
  log.clear();
  Key(VK_UP);
  EXPECT_EQ(Text(), u"100");
  EXPECT_EQ(log, (Log{"changing 101", "button up"})) << "clamped: no change, still a click";
  Key(VK_DOWN);
  EXPECT_EQ(Text(), u"99");
}

TEST_F(RzSpinEditTest, ButtonsStepByIncrementWithFixedDecimals) {
  spin->SetIntegersOnly(false);
  spin->SetMin(0.2);
  spin->SetMax(0.8);
  spin->SetIncrement(0.05);
  spin->SetDecimals(2);
  spin->SetValue(0.2);
  EXPECT_EQ(Text(), u"0.20");
  std::vector<String> shown;
  for (int i = 0; i < 14; ++i) {
    ClickOn(spin->UpRightButton());
    shown.push_back(Text());
  }
  const std::vector<String> expected = {u"0.25", u"0.30", u"0.35", u"0.40", u"0.45",
                                        u"0.50", u"0.55", u"0.60", u"0.65", u"0.70",
                                        u"0.75", u"0.80", u"0.80", u"0.80"};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(spin->Focused()) << "a press brings the focus into the edit";
  ClickOn(spin->DownLeftButton());
  EXPECT_EQ(Text(), u"0.75");
  // The locale's separator is the one shown.
  FormatSettings.DecimalSeparator = u',';
  spin->SetValue(0.5);
  EXPECT_EQ(Text(), u"0,50");
}

TEST_F(RzSpinEditTest, PageKeysAndTheWheelWithCtrlStepAPage) {
  spin->SetValue(50);
  Key(VK_PRIOR);
  EXPECT_EQ(Text(), u"60");
  Key(VK_NEXT);
  Key(VK_NEXT);
  EXPECT_EQ(Text(), u"40");
  Wheel(1);
  EXPECT_EQ(Text(), u"41");
  Wheel(-1);
  Wheel(-1);
  EXPECT_EQ(Text(), u"39");
  Wheel(1, kHostControl);
  EXPECT_EQ(Text(), u"49");
  // A wheel handler that reports the event handled does not stop the step.
  spin->OnMouseWheelUp = [](TObject*, TShiftState, TPoint, bool& handled) { handled = true; };
  Wheel(1);
  EXPECT_EQ(Text(), u"50");
}

TEST_F(RzSpinEditTest, TheWheelStepsTheSpinEditUnderThePointerNotTheFocusedControl) {
  spin->SetValue(50);
  next->SetFocus();
  Application->ProcessMessages();
  Wheel(1);
  EXPECT_EQ(Text(), u"51");
  // Over its buttons, a window of their own that hands the wheel to the spin edit.
  WheelAt(spin->Buttons()->Handle(), 2, 2, 1);
  EXPECT_EQ(Text(), u"52");
  // Over the focused edit, which does not use it: the spin edit is left alone.
  spin->SetFocus();
  Application->ProcessMessages();
  WheelAt(next->Handle(), 5, 5, 1);
  EXPECT_EQ(Text(), u"52");
}

TEST_F(RzSpinEditTest, ChangingCanVetoAStep) {
  spin->SetValue(5);
  log.clear();
  veto = true;
  Key(VK_UP);
  ClickOn(spin->UpRightButton());
  EXPECT_EQ(Text(), u"5");
  EXPECT_EQ(log, (Log{"changing 6", "changing 6"}));
}

TEST_F(RzSpinEditTest, BoundsClampAndReclampAtOnce) {
  spin->SetCheckRange(true);  // bounds pushed together stay a range
  spin->SetValue(-5);
  EXPECT_EQ(Text(), u"0");
  spin->SetValue(1e6);
  EXPECT_EQ(Text(), u"100");
  spin->SetMin(150);  // above Max: Max follows, and the text with it
  EXPECT_EQ(spin->Max(), 150);
  EXPECT_EQ(Text(), u"150");
  spin->SetMax(-3);
  EXPECT_EQ(spin->Min(), -3);
  EXPECT_EQ(Text(), u"-3");
  // Equal bounds are no range at all, unless CheckRange asks for one.
  spin->SetCheckRange(false);
  spin->SetMin(0);
  spin->SetMax(0);
  spin->SetValue(1234);
  EXPECT_EQ(Text(), u"1234");
  spin->SetCheckRange(true);
  EXPECT_EQ(Text(), u"0");
}

TEST_F(RzSpinEditTest, ReadingAnEmptyOrBadText) {
  spin->SetIntegersOnly(false);
  spin->SetDecimals(2);
  spin->SetValue(0.126);
  EXPECT_EQ(Text(), u"0.13");
  EXPECT_DOUBLE_EQ(double(spin->Value()), 0.13);

  spin->SetMin(0.2);
  spin->SetText(u"");
  log.clear();
  EXPECT_DOUBLE_EQ(double(spin->Value()), 0.2);
  EXPECT_EQ(Text(), u"0.2") << "the shortest form of Min, not the fixed one";
  EXPECT_EQ(log, (Log{"change 0.2"}));

  spin->SetAllowBlank(true);
  spin->SetBlankValue(7);
  spin->SetText(u"");
  EXPECT_DOUBLE_EQ(double(spin->Value()), 7);
  EXPECT_EQ(Text(), u"");
  spin->SetMax(100);
  Key(VK_UP);
  EXPECT_EQ(Text(), u"8.00") << "a step starts from the blank value";

  spin->SetText(u"12abc");
  EXPECT_DOUBLE_EQ(double(spin->Value()), 0.2);
}

TEST_F(RzSpinEditTest, WithoutKeyEditOnlyControlCharactersPass) {
  const int beeps = host()->beeps;
  spin->SetValue(5);
  Type(u"7-");
  Key(VK_BACK, u"\b");
  Key(VK_DELETE);
  EXPECT_EQ(Text(), u"5");
  EXPECT_EQ(host()->beeps - beeps, 4);
  EXPECT_TRUE(spin->IsKeyAccepted(Char(27)));  // Escape
  EXPECT_TRUE(spin->IsKeyAccepted(Char(3)));   // Ctrl+C
  EXPECT_FALSE(spin->IsKeyAccepted(Char(13)));
  // Paste and cut do nothing, without a beep.
  SetClipboardTextW(u"42");
  spin->SelectAll();
  SendMessageW(spin->Handle(), WM_PASTE, 0, 0);
  SendMessageW(spin->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(Text(), u"5");
  EXPECT_EQ(host()->beeps - beeps, 4);
}

TEST_F(RzSpinEditTest, KeyEditFiltersSignsAndSeparators) {
  spin->SetAllowKeyEdit(true);
  spin->SetText(u"");
  Type(u"12");
  EXPECT_EQ(Text(), u"12");
  Type(u".");
  EXPECT_EQ(Text(), u"12") << "integers only: no separator";
  Type(u"-");
  EXPECT_EQ(Text(), u"12") << "a sign only at the start";
  spin->SetSelStart(0);
  spin->SetSelLength(0);
  Type(u"-");
  EXPECT_EQ(Text(), u"-12");
  spin->SetSelStart(0);
  Type(u"+");
  EXPECT_EQ(Text(), u"-12") << "one sign only";
  spin->SelectAll();
  Type(u"+");
  EXPECT_EQ(Text(), u"+") << "unless it replaces the whole text";

  spin->SetIntegersOnly(false);
  spin->SetText(u"1.5");
  spin->SetSelStart(3);
  spin->SetSelLength(0);
  Type(u".");
  EXPECT_EQ(Text(), u"1.5");
  spin->SetSelStart(1);
  spin->SetSelLength(1);  // the separator itself is selected
  Type(u".");
  EXPECT_EQ(Text(), u"1.5");
}

TEST_F(RzSpinEditTest, TypedTextIsClampedOnlyOnLeaving) {
  spin->SetAllowKeyEdit(true);
  String seenOnExit;
  spin->OnExit = [&](TObject*) { seenOnExit = spin->Text(); };
  spin->SelectAll();
  Type(u"250");
  EXPECT_EQ(Text(), u"250");
  EXPECT_DOUBLE_EQ(double(spin->Value()), 250) << "reading never clamps";
  next->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(seenOnExit, u"250");
  EXPECT_EQ(Text(), u"100");

  // Pasted text that is no number becomes Min on leaving; so does one that reads as NaN.
  for (const char16_t* pasted : {u"abc", u"NAN", u"1e99999"}) {
    spin->SetFocus();
    SetClipboardTextW(pasted);
    spin->SelectAll();
    SendMessageW(spin->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(Text(), String(pasted));
    next->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(Text(), u"0") << ToUtf8(pasted);
  }
}

TEST_F(RzSpinEditTest, EnterMovesOnLikeTab) {
  spin->SetTabOnEnter(true);
  Key(VK_RETURN, u"\r");
  EXPECT_TRUE(next->Focused());
}

TEST_F(RzSpinEditTest, CaretFollowsTheTextLength) {
  spin->SetValue(9);
  spin->SetSelStart(1);
  spin->SetSelLength(0);
  Key(VK_UP);
  EXPECT_EQ(Text(), u"10");
  EXPECT_EQ(spin->SelStart(), 2);
  // At the start of a text that shrinks the caret stays at 0, never before it.
  spin->SetSelStart(0);
  spin->SetSelLength(0);
  Key(VK_DOWN);
  EXPECT_EQ(Text(), u"9");
  EXPECT_EQ(spin->SelStart(), 0);
}

TEST_F(RzSpinEditTest, DecimalsAreLimitedToWhatTheFixedFormatShows) {
  spin->SetIntegersOnly(false);
  spin->SetDecimals(40);
  EXPECT_EQ(spin->Decimals(), TRzSpinEdit::MaxDecimals);
  spin->SetValue(0.5);
  EXPECT_EQ(Text(), u"0.500000000000000000");
  EXPECT_DOUBLE_EQ(double(spin->Value()), 0.5);
  // IntValue rounds halves to even; IntegersOnly brings the decimals back to none.
  spin->SetValue(2.5);
  EXPECT_EQ(spin->IntValue(), 2);
  spin->SetValue(3.5);
  EXPECT_EQ(spin->IntValue(), 4);
  spin->SetValue(2.4);
  spin->SetIntegersOnly(true);
  EXPECT_EQ(Text(), u"2");
  // A value past the 64-bit range reads as its end rather than failing.
  spin->SetMax(1e30);
  spin->SetValue(1e30);
  EXPECT_EQ(spin->IntValue(), INT64_MAX);
}

TEST_F(RzSpinEditTest, IntegersOnlyStillShowsSteppedFractions) {
  spin->SetIncrement(0.5);
  spin->SetDecimals(1);
  spin->SetValue(10);
  EXPECT_EQ(Text(), u"10.0");
  Key(VK_UP);
  EXPECT_EQ(Text(), u"10.5");
}

TEST_F(RzSpinEditTest, ReadOnlyHidesTheButtonsAndRefusesSteps) {
  const int beeps = host()->beeps;
  spin->SetReadOnly(true);
  EXPECT_FALSE(spin->Buttons()->Visible());
  EXPECT_EQ(SendMessageW(spin->Handle(), EM_GETMARGINS, 0, 0), 0);
  Key(VK_UP);
  spin->StepDown(1);
  EXPECT_EQ(Text(), u"0");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(host()->beeps - beeps, 2);
  spin->SetReadOnly(false);
  EXPECT_TRUE(spin->Buttons()->Visible());
  EXPECT_EQ(HIWORD(SendMessageW(spin->Handle(), EM_GETMARGINS, 0, 0)),
            spin->Buttons()->Width() + 2);
}

TEST_F(RzSpinEditTest, HeldButtonRepeatsAfter400ThenEvery100Milliseconds) {
  StopClockForTesting(true);
  Press(spin->UpRightButton());
  auto after = [&](DWORD ms) {
    AdvanceClockForTesting(ms);
    Application->ProcessMessages();
    return Text();
  };
  EXPECT_EQ(after(399), u"0");
  EXPECT_EQ(after(1), u"1");
  EXPECT_EQ(after(99), u"1");
  EXPECT_EQ(after(1), u"2");
  EXPECT_EQ(after(100), u"3");
  Release(spin->UpRightButton());
  EXPECT_EQ(Text(), u"4") << "the release inside clicks once more";
  EXPECT_EQ(after(1000), u"4");
}

TEST_F(RzSpinEditTest, FlatButtonsLightUpWhileTheEditIsActive) {
  spin->SetFlatButtons(true);
  EXPECT_TRUE(spin->Buttons()->Flat());  // the edit has the focus, but nothing told it yet
  next->SetFocus();
  spin->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(spin->Buttons()->Flat()) << "focused: raised";
  next->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(spin->Buttons()->Flat());
  spin->Perform(CM_MOUSEENTER);
  EXPECT_FALSE(spin->Buttons()->Flat()) << "hovered: raised";
  spin->Perform(CM_MOUSELEAVE);
  EXPECT_TRUE(spin->Buttons()->Flat());

  // Without visual styles they keep their look and take the flat button colour instead.
  SetThemesEnabledForTesting(false);
  spin->SetColor(clWhite);
  spin->SetFlatButtonColor(clYellow);
  spin->Perform(CM_MOUSEENTER);
  EXPECT_EQ(spin->UpRightButton()->Color(), clYellow);
  spin->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(spin->UpRightButton()->Color(), clWhite);
}

TEST_F(RzSpinEditTest, ButtonsSitInsideTheRightEdge) {
  // Themed, on this platform's version, without a visible frame: three pixels in, full height
  // less three.
  EXPECT_EQ(spin->Buttons()->Left(), 80 - 17 - 3);
  EXPECT_EQ(spin->Buttons()->Top(), 0);
  EXPECT_EQ(spin->Buttons()->Height(), spin->Height() - 3);
  spin->SetButtonWidth(-4);
  EXPECT_EQ(spin->ButtonWidth(), 0);
  spin->SetButtonWidth(12);
  spin->SetOrientation(orHorizontal);
  EXPECT_EQ(spin->Buttons()->Width(), 24);
  EXPECT_EQ(spin->Buttons()->Left(), 80 - 24 - 3);
  EXPECT_EQ(spin->Buttons()->Top(), -1);
}

}  // namespace
