#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "RzEditTestSupport.h"
#include "RzPopups.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "UserDriver.h"

namespace {

// A windowed child that counts what reaches it.
class TCountingChild : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  String ClassName() const override { return u"TCountingChild"; }
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_LBUTTONDOWN) ++clicks;
    if (m.Msg == WM_CHAR) chars += char(m.WParam);
    TCustomControl::WndProc(m);
  }
  int clicks = 0;
  std::string chars;
};

// A form of 300 x 200 at (100, 100), and a clean window system and hook afterwards.
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    form_ = CreateBareForm<TForm>(Application);
    form_->SetPosition(poDesigned);
    form_->SetBounds(100, 100, 300, 200);
  }
  void TearDown() override {
    SetModalLoopHook(ModalLoopHook());
    ResetApplicationForTesting();
    UserResetForTesting();
  }
  TForm* form_ = nullptr;
};

class RzPopupTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    form_->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++formClicks_; };
    edit_ = new TEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(20, 20, 120, 21);
    panel_ = new TRzPopupPanel(form_);
    panel_->SetParent(form_);
    first_ = new TCountingChild(panel_);
    first_->SetBounds(0, 0, 80, 40);
    first_->SetParent(panel_);
    second_ = new TCountingChild(panel_);
    second_->SetBounds(0, 40, 80, 20);
    second_->SetParent(panel_);
    form_->Show();
    edit_->SetFocus();
  }
  // Opens the popup under the edit and runs whenever the loop starts.
  bool PopupWith(std::function<void(HWND popup)> whileOpen) {
    SetModalLoopHook([this, whileOpen](HWND popup) {
      popup_ = popup;
      GetWindowRect(popup, &shown_);
      whileOpen(popup);
    });
    const bool result = panel_->Popup(edit_);
    SetModalLoopHook(ModalLoopHook());
    return result;
  }
  TRect EditRect() {
    TRect r;
    GetWindowRect(edit_->Handle(), &r);
    return r;
  }

  TEdit* edit_ = nullptr;
  TRzPopupPanel* panel_ = nullptr;
  TCountingChild* first_ = nullptr;
  TCountingChild* second_ = nullptr;
  HWND popup_ = 0;
  TRect shown_{0, 0, 0, 0};
  int formClicks_ = 0;
};

TEST(RzPopupPlace, BelowAboveAndInsideTheWorkArea) {
  const TRect work{0, 0, 1000, 700};
  const TRect c{100, 200, 220, 221};
  // Below, by alignment; centred halves truncate.
  EXPECT_EQ(TRzPopup::PlaceFor(c, 50, 60, taLeftJustify, -1, -1, work), Point(100, 221));
  EXPECT_EQ(TRzPopup::PlaceFor(c, 50, 60, taRightJustify, -1, -1, work), Point(170, 221));
  EXPECT_EQ(TRzPopup::PlaceFor(c, 51, 60, taCenter, -1, -1, work), Point(134, 221));
  // Offsets from the control's corner.
  EXPECT_EQ(TRzPopup::PlaceFor(c, 50, 60, taLeftJustify, 5, 7, work), Point(105, 207));
  // Near the right edge: the right edges line up.
  const TRect right{960, 200, 990, 221};
  EXPECT_EQ(TRzPopup::PlaceFor(right, 80, 60, taLeftJustify, -1, -1, work), Point(920, 221));
  // No room below: above the control, offsets or not.
  const TRect low{100, 660, 220, 681};
  EXPECT_EQ(TRzPopup::PlaceFor(low, 50, 60, taLeftJustify, -1, -1, work), Point(100, 600));
  EXPECT_EQ(TRzPopup::PlaceFor(low, 50, 60, taLeftJustify, 3, 30, work), Point(103, 600));
  // Exactly fitting: its bottom on the area's bottom stays below; its right edge on the area's
  // right edge stays where its alignment puts it.
  const TRect fits{100, 619, 220, 640};
  EXPECT_EQ(TRzPopup::PlaceFor(fits, 50, 60, taLeftJustify, -1, -1, work), Point(100, 640));
  EXPECT_EQ(TRzPopup::PlaceFor(fits, 50, 61, taLeftJustify, -1, -1, work), Point(100, 558));
  const TRect edge{920, 200, 1000, 221};
  EXPECT_EQ(TRzPopup::PlaceFor(edge, 80, 60, taLeftJustify, -1, -1, work), Point(920, 221));
  EXPECT_EQ(TRzPopup::PlaceFor(edge, 81, 60, taLeftJustify, -1, -1, work), Point(919, 221));
  // Off the left edge, and larger than the whole area: the left and top edges win.
  const TRect left{-40, 200, 10, 221};
  EXPECT_EQ(TRzPopup::PlaceFor(left, 50, 60, taLeftJustify, -1, -1, work), Point(0, 221));
  EXPECT_EQ(TRzPopup::PlaceFor(c, 1200, 900, taLeftJustify, -1, -1, work), Point(0, 0));
}

TEST_F(RzPopupTest, EscapeDismissesAndTheChildrenComeBackInOrder) {
  int popups = 0, closes = 0;
  panel_->OnPopup = [&](TObject*) { ++popups; };
  panel_->OnClose = [&](TObject*) { ++closes; };
  bool activeInside = false;
  const bool accepted = PopupWith([&](HWND popup) {
    activeInside = panel_->Active();
    EXPECT_EQ(panel_->PopupControl(), edit_);
    EXPECT_EQ(first_->Parent(), FindControl(popup));
    EXPECT_TRUE(IsWindowVisible(popup));
    PostMessageW(edit_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  EXPECT_FALSE(accepted);
  EXPECT_TRUE(activeInside);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(panel_->Active());
  EXPECT_EQ(panel_->PopupControl(), nullptr);
  ASSERT_EQ(panel_->ControlCount(), 2);
  EXPECT_EQ(panel_->Controls(0), first_);
  EXPECT_EQ(panel_->Controls(1), second_);
  EXPECT_FALSE(IsWindowVisible(popup_));
  // Right-aligned below the edit, as large as the panel fitted round its children.
  const TRect e = EditRect();
  EXPECT_EQ(shown_.top, e.bottom);
  EXPECT_EQ(shown_.right, e.right);
  EXPECT_EQ(RectWidth(shown_), panel_->Width());
  EXPECT_GE(panel_->Width(), 80);
  // The edit has the focus again.
  EXPECT_TRUE(edit_->Focused());
}

TEST_F(RzPopupTest, NoRoomBelowOpensAboveTheControlInsideTheWorkArea) {
  const TRect work = Screen->MonitorFromPoint(Point(10, 10), mdNearest)->WorkareaRect();
  // The form's edit ends just above the bottom of the work area, near its right edge.
  form_->SetBounds(work.right - 150, work.bottom - 80, 150, 80);
  EXPECT_FALSE(PopupWith([&](HWND) { PostMessageW(edit_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }));
  const TRect e = EditRect();
  EXPECT_EQ(shown_.bottom, e.top);
  EXPECT_LE(shown_.right, work.right);
  EXPECT_GE(shown_.left, work.left);
}

TEST_F(RzPopupTest, ThemedPopupIsOneDisabledEditFaceClassicOneIsFramed) {
  struct Shown : TRzPopupPanel {
    using TRzPopupPanel::Paint;
    using TRzPopupPanel::TRzPopupPanel;
  };
  Shown panel(nullptr);
  panel.SetBounds(0, 0, 20, 12);
  const TColor face = 0x00D0E0F0;
  panel.SetColor(face);
  CanvasPicture classic(20, 12, 0x00FF00FF);
  SetThemesEnabledForTesting(false);
  panel.Canvas()->SetHandle(classic.Canvas()->Handle());
  panel.Paint();
  panel.Canvas()->SetHandle(0);
  // The popup border's light outer ring, then the band in the border colour, then the face.
  EXPECT_EQ(classic.At(0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(classic.At(19, 11), ColorToRGB(clBtnShadow));
  EXPECT_EQ(classic.At(10, 6), ColorToRGB(face));

  SetThemesEnabledForTesting(true);
  CanvasPicture themed(20, 12, 0x00FF00FF);
  panel.Canvas()->SetHandle(themed.Canvas()->Handle());
  panel.Paint();
  panel.Canvas()->SetHandle(0);
  CanvasPicture element(20, 12, 0x00FF00FF);
  ThemeServices()->DrawElement(element.dc(), ThemeServices()->GetElementDetails(teEditTextDisabled),
                               RECT{0, 0, 20, 12});
  EXPECT_TRUE(SamePixels(themed, element));
}

TEST_F(RzPopupTest, ClosedPopupsStayWithThePanelDismissedOnesFreeThemselves) {
  const int owned = panel_->ComponentCount();
  // Accepted: the loop ends on the queued request, which then finds no window; the popup
  // object stays with its owner.
  EXPECT_TRUE(PopupWith([&](HWND) { panel_->Close(nullptr); }));
  Application->ProcessMessages();
  EXPECT_EQ(panel_->ComponentCount(), owned + 1);
  // Dismissed by deactivation: hidden first, then its own request frees it once the loop
  // has returned.
  EXPECT_FALSE(PopupWith([&](HWND) { PostMessageW(form_->Handle(), WM_ACTIVATEAPP, 0, 0); }));
  EXPECT_EQ(panel_->ComponentCount(), owned + 2);
  Application->ProcessMessages();
  EXPECT_EQ(panel_->ComponentCount(), owned + 1);
}

TEST_F(RzPopupTest, OpeningTakesTheMouseFromTheWindowHoldingIt) {
  SetCapture(edit_->Handle());
  HWND capture = edit_->Handle();
  EXPECT_TRUE(PopupWith([&](HWND) {
    capture = GetCapture();
    panel_->Close(nullptr);
  }));
  EXPECT_EQ(capture, HWND(0));
}

TEST_F(RzPopupTest, KeysGoToTheLastEnabledWindowedChild) {
  PopupWith([&](HWND) {
    PostMessageW(form_->Handle(), WM_CHAR, 'a', 0);
    PostMessageW(edit_->Handle(), WM_CHAR, 'b', 0);
    panel_->Close(nullptr);
  });
  EXPECT_EQ(second_->chars, "ab");
  EXPECT_EQ(first_->chars, "");
  EXPECT_EQ(edit_->Text(), u"");
}

TEST_F(RzPopupTest, AClickOutsideDismissesAndReachesNobody) {
  EXPECT_FALSE(PopupWith([&](HWND) {
    PostMessageW(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 150));
  }));
  Application->ProcessMessages();
  EXPECT_EQ(formClicks_, 0);

  // A click inside is delivered as usual and the popup stays open.
  EXPECT_TRUE(PopupWith([&](HWND) {
    PostMessageW(first_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(first_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    panel_->Close(nullptr);
  }));
  EXPECT_EQ(first_->clicks, 1);
}

TEST_F(RzPopupTest, SystemCommandsDismiss) {
  EXPECT_FALSE(PopupWith([&](HWND popup) { PostMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0); }));
}

TEST_F(RzPopupTest, ANestedPopupOfTheSamePanelIsRefused) {
  bool nested = true;
  EXPECT_TRUE(PopupWith([&](HWND) {
    nested = panel_->Popup(edit_);
    panel_->Close(nullptr);
  }));
  EXPECT_FALSE(nested);
}

TEST_F(RzPopupTest, ThePanelsWindowGoingAwayDismisses) {
  EXPECT_FALSE(PopupWith([&](HWND) { panel_->DestroyHandle(); }));
  EXPECT_EQ(panel_->ControlCount(), 2);
}

TEST_F(RzPopupTest, ThePanelFreedInsideTheLoopEndsItSafely) {
  TRzPopupPanel* panel = panel_;
  panel_ = nullptr;
  SetModalLoopHook([&](HWND) {
    delete panel;
    PostMessageW(form_->Handle(), WM_NULL, 0, 0);
  });
  EXPECT_FALSE(panel->Popup(edit_));
  SetModalLoopHook(ModalLoopHook());
  Application->ProcessMessages();
  EXPECT_TRUE(edit_->HandleAllocated());
}

TEST_F(RzPopupTest, TheControlFreedInsideTheLoopIsForgotten) {
  EXPECT_TRUE(PopupWith([&](HWND) {
    delete edit_;
    edit_ = nullptr;
    delete second_;  // the keyboard's target
    second_ = nullptr;
    PostMessageW(form_->Handle(), WM_CHAR, 'x', 0);
    panel_->Close(nullptr);
  }));
  EXPECT_EQ(first_->chars, "");
  EXPECT_EQ(panel_->ControlCount(), 1);
}

}  // namespace

namespace {

class RzCalculatorDropDownTest : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    edit_ = new TRzNumericEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(20, 20, 120, 21);
    edit_->SetCalculatorVisible(true);
    edit_->OnChange = [this](TObject*) { ++changes_; };
    form_->Show();
    edit_->SetFocus();
  }
  // Answers the calculator with keys as they reach the popup; '\n' is Enter, '\x1b' Escape.
  void AnswerWith(const std::string& keys) {
    SetModalLoopHook([this, keys](HWND popup) {
      popup_ = popup;
      calculator_ = dynamic_cast<TRzCalculator*>(FindControl(popup)->Controls(0));
      for (char k : keys) {
        WPARAM vk = k == '\n'     ? VK_RETURN
                    : k == '\x1b' ? VK_ESCAPE
                    : k == '+'    ? VK_ADD
                    : k == '/'    ? VK_DIVIDE
                    : k == '*'    ? VK_MULTIPLY
                                  : WPARAM(k);
        PostMessageW(edit_->Handle(), WM_KEYDOWN, vk, 0);
      }
    });
  }

  TRzNumericEdit* edit_ = nullptr;
  TRzCalculator* calculator_ = nullptr;
  HWND popup_ = 0;
  int changes_ = 0;
};

TEST_F(RzCalculatorDropDownTest, F4OpensBelowTheEditAndEnterWritesTheResult) {
  edit_->SetValue(2);
  changes_ = 0;
  AnswerWith("+3\n");
  edit_->Perform(WM_KEYDOWN, VK_F4, 0);
  ASSERT_NE(calculator_, nullptr);
  EXPECT_EQ(edit_->Value(), 5);
  EXPECT_EQ(edit_->Text(), u"5");
  EXPECT_EQ(changes_, 1);
  // The panel went with the calculator; the edit has the focus back.
  EXPECT_EQ(edit_->ComponentCount(), 0);
  EXPECT_TRUE(edit_->Focused());
}

TEST_F(RzCalculatorDropDownTest, AltDownOpensItAndEscapeLeavesTheValueAlone) {
  edit_->SetValue(7);
  changes_ = 0;
  AnswerWith("9\x1b");
  edit_->Perform(WM_SYSKEYDOWN, VK_DOWN, LPARAM(1) << 29);
  ASSERT_NE(calculator_, nullptr);
  EXPECT_EQ(edit_->Value(), 7);
  EXPECT_EQ(changes_, 0);
}

TEST_F(RzCalculatorDropDownTest, ResultsOutsideTheRangeAreCorrectedAndErrorsNeverArrive) {
  edit_->SetMin(0);
  edit_->SetMax(10);
  edit_->SetCheckRange(true);
  AnswerWith("5*10\n");
  edit_->Perform(WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ(edit_->Value(), 10);

  // Division by zero: Enter accepts nothing, Escape then closes; the value stays.
  edit_->SetValue(4);
  AnswerWith("/0\n\x1b");
  edit_->Perform(WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ(edit_->Value(), 4);
  EXPECT_TRUE(std::isfinite(edit_->Value()));
}

TEST_F(RzCalculatorDropDownTest, AReadOnlyEditOpensNothing) {
  edit_->SetReadOnly(true);
  bool opened = false;
  SetModalLoopHook([&](HWND) { opened = true; });
  edit_->Perform(WM_KEYDOWN, VK_F4, 0);
  EXPECT_FALSE(opened);
}

}  // namespace

namespace {

// Real input: the pointer and buttons as the host reports them, and handlers that pump
// messages themselves inside the popup's loop.
class RzCalculatorInputTest : public RzEditTest {};

TEST_F(RzCalculatorInputTest, ClicksThroughTheDropButtonAndTheCalculator) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 20, 20);
  edit->SetCalculatorVisible(true);
  edit->SetFocus();
  bool opened = false;
  SetModalLoopHook([&](HWND popup) {
    opened = true;
    auto* calc = dynamic_cast<TRzCalculator*>(FindControl(popup)->Controls(0));
    ASSERT_NE(calc, nullptr);
    // Each click pumps the queue itself, as a handler inside the loop may.
    for (TRzCalculatorArea a : {ccBtn7, ccAdd, ccBtn1, ccSet}) {
      const TRect r = calc->AreaRect(a);
      Click(calc->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
  });
  // The drop button's strip at the right end of the edit.
  MoveTo(edit->Handle(), edit->Width() - 6, edit->Height() / 2);
  Click(edit->Handle(), edit->Width() - 6, edit->Height() / 2);
  SetModalLoopHook(ModalLoopHook());
  EXPECT_TRUE(opened);
  EXPECT_EQ(edit->Value(), 8);
  EXPECT_EQ(edit->ComponentCount(), 0);
}

}  // namespace
