#include <gtest/gtest.h>

#include <vector>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "UserDriver.h"

namespace {

class ComCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    RegisterComCtrlsClasses();
  }
  void TearDown() override {
    delete form_;
    ResetApplicationForTesting();
    UserResetForTesting();
  }

  // A shown form holding PageEdit and UpDown1 as the preview window has them.
  void MakePreviewPair(SmallInt min, SmallInt max, SmallInt position) {
    form_ = CreateBareForm<TForm>(nullptr);
    form_->SetBounds(0, 0, 300, 200);
    edit_ = new TEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(459 - 400, 12, 54, 22);
    edit_->SetText(u"1");
    upDown_ = new TUpDown(form_);
    upDown_->SetBounds(513 - 400, 12, 15, 22);
    upDown_->SetParent(form_);
    upDown_->SetMin(min);
    upDown_->SetMax(max);
    upDown_->SetPosition(position);
    upDown_->SetAssociate(edit_);
    upDown_->OnClick = [this](TObject*, TUDBtnType b) { clicks_.push_back(b); };
    form_->Show();
  }
  // A press and release on one arrow half of the up-down's window.
  void Press(bool up) {
    HWND h = upDown_->Handle();
    RECT r{};
    GetClientRect(h, &r);
    LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
  }

  TForm* form_ = nullptr;
  TEdit* edit_ = nullptr;
  TUpDown* upDown_ = nullptr;
  std::vector<TUDBtnType> clicks_;
};

TEST_F(ComCtrlsTest, SitsAgainstItsAssociateAndForgetsItWhenFreed) {
  TPanel panel(nullptr);
  auto* edit = new TEdit(nullptr);
  edit->SetParent(&panel);
  edit->SetBounds(459, 12, 54, 22);
  TUpDown upDown(nullptr);
  upDown.SetBounds(0, 0, 15, 30);
  upDown.SetAssociate(edit);
  EXPECT_EQ(upDown.Parent(), &panel);
  EXPECT_EQ(upDown.BoundsRect(), Rect(513, 12, 528, 34));
  EXPECT_EQ(edit->Width(), 54);
  upDown.SetAlignButton(udLeft);
  EXPECT_EQ(upDown.BoundsRect(), Rect(444, 12, 459, 34));
  delete edit;
  EXPECT_EQ(upDown.Associate(), nullptr);
  upDown.SetParent(nullptr);
}

TEST_F(ComCtrlsTest, ArrowsStepTheAssociatesNumberWithinTheRange) {
  MakePreviewPair(1, 3, 1);
  ASSERT_TRUE(upDown_->HandleAllocated());
  EXPECT_EQ(edit_->Text(), u"1");
  Press(true);
  EXPECT_EQ(upDown_->Position(), 2);
  EXPECT_EQ(edit_->Text(), u"2");
  Press(true);
  Press(true);
  EXPECT_EQ(upDown_->Position(), 3);
  EXPECT_EQ(edit_->Text(), u"3");
  Press(false);
  EXPECT_EQ(edit_->Text(), u"2");
  Press(false);
  Press(false);
  EXPECT_EQ(edit_->Text(), u"1");
  ASSERT_GE(clicks_.size(), 4u);
  EXPECT_EQ(clicks_.front(), btNext);
  EXPECT_EQ(clicks_.back(), btPrev);

  // The position follows what was typed; setting it from code is kept within the range.
  edit_->SetText(u"2");
  EXPECT_EQ(upDown_->Position(), 2);
  upDown_->SetPosition(9);
  EXPECT_EQ(upDown_->Position(), 3);
  EXPECT_EQ(edit_->Text(), u"3");
}

TEST_F(ComCtrlsTest, MaximumBelowMinimumUntilTheDocumentSetsIt) {
  MakePreviewPair(1, 0, 1);
  EXPECT_EQ(edit_->Text(), u"1");
  // The upper arrow moves towards Max, here below Min; the other back to Min and no further.
  Press(true);
  EXPECT_EQ(upDown_->Position(), 0);
  Press(false);
  Press(false);
  EXPECT_EQ(upDown_->Position(), 1);
  EXPECT_EQ(edit_->Text(), u"1");
  // The document's page count arrives: an ordinary range from then on.
  upDown_->SetMax(3);
  Press(true);
  EXPECT_EQ(edit_->Text(), u"2");
}

TEST_F(ComCtrlsTest, ArrowKeysInTheAssociateStepToo) {
  MakePreviewPair(1, 3, 1);
  SendMessageW(edit_->Handle(), WM_KEYDOWN, VK_UP, 0);
  SendMessageW(edit_->Handle(), WM_KEYUP, VK_UP, 0);
  EXPECT_EQ(edit_->Text(), u"2");
  SendMessageW(edit_->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(edit_->Handle(), WM_KEYUP, VK_DOWN, 0);
  EXPECT_EQ(upDown_->Position(), 1);
}

TEST_F(ComCtrlsTest, OnChangingCanRefuseAStep) {
  MakePreviewPair(0, 10, 5);
  int asked = 0;
  SmallInt proposed = 0;
  upDown_->OnChanging = [&](TObject*, bool& allow) {
    ++asked;
    allow = false;
  };
  upDown_->OnChangingEx = [&](TObject*, bool& allow, SmallInt value, TUpDownDirection) {
    proposed = value;
    (void)allow;
  };
  Press(true);
  EXPECT_GE(asked, 1);
  EXPECT_EQ(proposed, 6);
  EXPECT_EQ(upDown_->Position(), 5);
  EXPECT_EQ(edit_->Text(), u"5");
  upDown_->OnChanging = nullptr;
  Press(true);
  EXPECT_EQ(upDown_->Position(), 6);
}

}  // namespace
