// The spin buttons: layout in both orientations, arrows against custom glyphs, the focus rule
// of a press, and keys, all through real messages to the control's window.
#include <gtest/gtest.h>

#include <memory>

#include "Forms.h"
#include "RzSpnEdt.h"
#include "StdCtrls.h"
#include "Streaming.h"
#include "User.h"
#include "UserDriver.h"

namespace {

class RzSpinButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserResetForTesting();
    RegisterRzSpnEdtClasses();
    form.reset(CreateBareForm<TForm>(nullptr));
    form->SetBounds(0, 0, 200, 100);
    spin = new TRzSpinButtons(form.get());
    spin->SetParent(form.get());
    spin->SetLeft(100);
    spin->OnUpRightClick = [this](TObject* sender) {
      EXPECT_EQ(sender, spin);
      ++ups;
    };
    spin->OnDownLeftClick = [this](TObject*) { ++downs; };
  }
  void TearDown() override {
    form.reset();
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  // A left click at the centre of one button, sent to the control's window.
  void ClickOn(TRzControlButton* b) {
    const int x = b->Left() + b->Width() / 2, y = b->Top() + b->Height() / 2;
    try {
      SendMessageW(spin->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    } catch (const EAbort&) {
      // An abandoned press, when no application reports it.
    }
    SendMessageW(spin->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  static String Bounds(TControl* c) {
    return IntToStr(c->Left()) + u"," + IntToStr(c->Top()) + u" " + IntToStr(c->Width()) + u"x" +
           IntToStr(c->Height());
  }

  std::unique_ptr<TForm> form;
  TRzSpinButtons* spin = nullptr;
  int ups = 0, downs = 0;
};

TEST_F(RzSpinButtonsTest, StackedTheLowerButtonTakesTheOddPixel) {
  EXPECT_EQ(spin->Width(), 16);
  EXPECT_EQ(spin->Height(), 25);
  EXPECT_EQ(Bounds(spin->UpRightButton()), u"0,0 16x12");
  EXPECT_EQ(Bounds(spin->DownLeftButton()), u"0,12 16x13");
}

TEST_F(RzSpinButtonsTest, SideBySideDownLeftIsOnTheLeft) {
  spin->SetOrientation(orHorizontal);
  EXPECT_EQ(spin->Width(), 32);
  spin->SetWidth(33);
  EXPECT_EQ(Bounds(spin->DownLeftButton()), u"0,0 16x25");
  EXPECT_EQ(Bounds(spin->UpRightButton()), u"16,0 17x25");
  spin->SetWidth(32);
  spin->SetOrientation(orVertical);
  EXPECT_EQ(spin->Width(), 16);
  EXPECT_EQ(Bounds(spin->UpRightButton()), u"0,0 16x12");
  // A real resize of the window lays them out again.
  SetWindowPos(spin->Handle(), 0, 0, 0, 16, 41, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Bounds(spin->DownLeftButton()), u"0,20 16x21");
}

TEST_F(RzSpinButtonsTest, CustomGlyphsReplaceArrowsUntilTheDirectionChanges) {
  EXPECT_EQ(spin->UpRightButton()->Style(), cbsUp);
  EXPECT_EQ(spin->DownLeftButton()->Style(), cbsDown);
  TBitmap glyph(16, 8);
  spin->SetGlyphUpRight(&glyph);
  EXPECT_TRUE(spin->CustomUpRightGlyph());
  EXPECT_EQ(spin->UpRightButton()->Style(), cbsNone);
  EXPECT_EQ(spin->NumGlyphsUpRight(), 2) << "a glyph routed to the buttons keeps its count";
  // Even an empty bitmap counts as the user's own.
  TBitmap empty;
  spin->SetGlyphDownLeft(&empty);
  EXPECT_TRUE(spin->CustomDownLeftGlyph());
  EXPECT_EQ(spin->DownLeftButton()->Style(), cbsNone);

  spin->SetDirection(sdLeftRight);
  EXPECT_FALSE(spin->CustomUpRightGlyph());
  EXPECT_FALSE(spin->CustomDownLeftGlyph());
  EXPECT_TRUE(spin->GlyphUpRight()->Empty());
  EXPECT_EQ(spin->UpRightButton()->Style(), cbsRight);
  EXPECT_EQ(spin->DownLeftButton()->Style(), cbsLeft);

  // A glyph drawn on in place is noticed too.
  spin->GlyphDownLeft()->SetSize(8, 8);
  EXPECT_TRUE(spin->CustomDownLeftGlyph());
  EXPECT_EQ(spin->DownLeftButton()->Style(), cbsNone);
}

TEST_F(RzSpinButtonsTest, StoresGlyphsOnlyWhenTheyAreTheUsersOwn) {
  spin->SetName(u"Spin");
  String text = WriteComponentText(spin);
  for (const char16_t* name : {u"GlyphUpRight", u"NumGlyphsUpRight", u"Direction", u"Orientation",
                               u"Delay", u"Flat", u"TabStop"})
    EXPECT_EQ(text.find(name), String::npos) << ToUtf8(text);
  spin->SetNumGlyphsUpRight(3);
  spin->SetInitialDelay(250);
  text = WriteComponentText(spin);
  EXPECT_EQ(text.find(u"NumGlyphsUpRight"), String::npos) << ToUtf8(text);
  TBitmap glyph(16, 8);
  spin->SetGlyphUpRight(&glyph);
  spin->SetNumGlyphsUpRight(3);
  text = WriteComponentText(spin);
  EXPECT_NE(text.find(u"NumGlyphsUpRight = 3"), String::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(u"object"), text.rfind(u"object")) << "the buttons are part of the control";
  EXPECT_NE(text.find(u"InitialDelay = 250"), String::npos) << ToUtf8(text);
  EXPECT_EQ(spin->DownLeftButton()->InitialDelay(), 250);
}

TEST_F(RzSpinButtonsTest, PressesClickTheirEventAndBringTheFocusToTheFocusControl) {
  auto* edit = new TEdit(form.get());
  edit->SetParent(form.get());
  spin->SetFocusControl(edit);
  form->Show();
  ClickOn(spin->UpRightButton());
  EXPECT_EQ(ups, 1);
  EXPECT_TRUE(edit->Focused());
  ClickOn(spin->DownLeftButton());
  EXPECT_EQ(downs, 1);

  // A focus control that will not keep the focus abandons the press.
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetFocus();
  edit->OnEnter = [&](TObject*) { other->SetFocus(); };
  ClickOn(spin->UpRightButton());
  EXPECT_EQ(ups, 1);
  EXPECT_FALSE(spin->UpRightButton()->Down());

  // One that cannot take it at all is passed over, and the press clicks.
  edit->SetEnabled(false);
  ClickOn(spin->UpRightButton());
  EXPECT_EQ(ups, 2);

  // Freed, it is forgotten.
  delete edit;
  EXPECT_EQ(spin->FocusControl(), nullptr);
  ClickOn(spin->DownLeftButton());
  EXPECT_EQ(downs, 2);
}

TEST_F(RzSpinButtonsTest, UpAndDownKeysClickOncePerKeyMessage) {
  form->Show();
  spin->SetTabStop(true);
  spin->SetFocus();
  EXPECT_EQ(SendMessageW(spin->Handle(), WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS));
  WORD seen = 0;
  spin->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen = key; };
  for (int i = 0; i < 3; ++i) SendMessageW(spin->Handle(), WM_KEYDOWN, VK_UP, 0);
  SendMessageW(spin->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(spin->Handle(), WM_KEYDOWN, VK_LEFT, 0);
  SendMessageW(spin->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(ups, 3);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(seen, VK_RIGHT) << "keys go on to the key handler";
}

TEST_F(RzSpinButtonsTest, ColourEnabledAndFlatReachBothButtons) {
  spin->SetColor(clRed);
  spin->SetFlat(true);
  spin->SetEnabled(false);
  for (TRzControlButton* b : {spin->UpRightButton(), spin->DownLeftButton()}) {
    EXPECT_EQ(b->Color(), clRed);
    EXPECT_TRUE(b->Flat());
    EXPECT_FALSE(b->Enabled());
  }
  // The parent's colour reaches them as well.
  spin->SetParentColor(true);
  form->SetColor(clBlue);
  EXPECT_EQ(spin->UpRightButton()->Color(), clBlue);
}

}  // namespace
