#include <gtest/gtest.h>

#include <string>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "Locale.h"
#include "RzPopups.h"
#include "Streaming.h"
#include "Themes.h"
#include "UserDriver.h"

// A colour no painter uses.
constexpr TColor kBackground = 0x00FF00FF;

namespace {

struct TestCalculator : TRzCalculator {
  using TRzCalculator::Paint;
  using TRzCalculator::TRzCalculator;
  void Draw(CanvasPicture& pic) {
    Canvas()->SetHandle(pic.Canvas()->Handle());
    Paint();
    Canvas()->SetHandle(0);
  }
};

class RzCalculatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClassLibrary();
    saved_ = FormatSettings;
    FormatSettings.DecimalSeparator = u'.';
    form_ = CreateBareForm<TForm>(Application);
    form_->SetBounds(0, 0, 300, 300);
    calc_ = new TestCalculator(form_);
    calc_->SetParent(form_);
    calc_->OnChange = [this](TObject*) { ++changes_; };
    calc_->OnClick = [this](TObject*) { ++clicks_; };
  }
  void TearDown() override {
    FormatSettings = saved_;
    SetThemesEnabledForTesting(true);
    ResetApplicationForTesting();
    UserResetForTesting();
  }

  // Keys as the window receives them: "2+3=" and so on; "C" clears, "." is the separator.
  void Type(const std::string& keys) {
    for (char k : keys) {
      WORD vk = 0;
      switch (k) {
        case '+': vk = VK_ADD; break;
        case '-': vk = VK_SUBTRACT; break;
        case '*': vk = VK_MULTIPLY; break;
        case '/': vk = VK_DIVIDE; break;
        case '=': vk = 0xBB; break;  // the "=" key of the main block
        case '.': vk = 0xBE; break;
        case '\n': vk = VK_RETURN; break;
        default: vk = WORD(k); break;  // digits and letters are their own key codes
      }
      calc_->Perform(WM_KEYDOWN, vk, 0);
    }
  }
  // Presses and releases the left button over an area.
  void Press(TRzCalculatorArea area) { PressAndRelease(area, area); }
  void PressAndRelease(TRzCalculatorArea down, TRzCalculatorArea up) {
    const TRect d = calc_->AreaRect(down), u = calc_->AreaRect(up);
    const TPoint pd = Point((d.left + d.right) / 2, (d.top + d.bottom) / 2);
    const TPoint pu = Point((u.left + u.right) / 2, (u.top + u.bottom) / 2);
    calc_->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pd.x, pd.y));
    if (up != down) {
      const TPoint s = calc_->ClientToScreen(pu);
      calc_->Perform(WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
    }
    calc_->Perform(WM_LBUTTONUP, 0, MAKELPARAM(pu.x, pu.y));
  }
  std::string Display() { return ToUtf8(calc_->DisplayText()); }

  TFormatSettings saved_;
  TForm* form_ = nullptr;
  TestCalculator* calc_ = nullptr;
  int changes_ = 0;
  int clicks_ = 0;
};

TEST_F(RzCalculatorTest, EqualsCompletesAndRepeatsTheLastOperation) {
  EXPECT_EQ(Display(), "0.");
  Type("2+3=");
  EXPECT_EQ(Display(), "5.");
  EXPECT_EQ(calc_->Result(), 5);
  Type("=");
  EXPECT_EQ(Display(), "8.");
  Type("4=");  // the operation stays; the new entry is added to the result
  EXPECT_EQ(Display(), "12.");
  EXPECT_EQ(changes_, 3);

  calc_->Clear();
  Type("2++");  // a second operator applies the pending one to the same entry
  EXPECT_EQ(Display(), "4.");
  Type("C7*3-1=");
  EXPECT_EQ(calc_->Result(), 20);
  Type("C9/4=");
  EXPECT_EQ(Display(), "2.25");
  EXPECT_EQ(changes_, 5);  // operators and clearing fire no change
}

TEST_F(RzCalculatorTest, FractionsKeepTheZerosTyped) {
  Type("0.50");
  EXPECT_EQ(Display(), "0.50");
  Type(".7");  // a second point after a fractional digit is ignored
  EXPECT_EQ(Display(), "0.507");
  Type("C.");
  EXPECT_EQ(Display(), "0.");
  Type("C12");
  EXPECT_EQ(Display(), "12.");
  // The locale's separator is the key and the display's.
  FormatSettings.DecimalSeparator = u',';
  calc_->Clear();
  calc_->Perform(WM_KEYDOWN, VK_DECIMAL, 0);
  Type("25");
  EXPECT_EQ(Display(), "0,25");
}

TEST_F(RzCalculatorTest, ErrorsShowEAndLockUntilCleared) {
  Type("1/0=");
  EXPECT_EQ(Display(), "E");
  Type("5+2=");
  EXPECT_EQ(Display(), "E");
  Type("C");
  EXPECT_EQ(Display(), "0.");
  // Overflow of the extended range, by multiplying and by typing digits.
  calc_->SetResult(1e4930L);
  Type("*");
  calc_->Perform(WM_KEYDOWN, '1', 0);
  Type("0000=");
  EXPECT_TRUE(calc_->ErrorOccurred());
  calc_->SetResult(0);
  std::string many(5000, '9');
  Type(many);
  EXPECT_EQ(Display(), "E");
  // Setting a different Result leaves the error; the same one does not.
  calc_->SetResult(7);
  EXPECT_EQ(Display(), "7.");
}

TEST_F(RzCalculatorTest, ShiftedKeysOfTheMainBlockGiveTheirOperators) {
  BYTE keys[256] = {};
  auto shift = [&](bool down) {
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  Type("6");
  shift(true);
  calc_->Perform(WM_KEYDOWN, '8', 0);  // "*" on the main block
  shift(false);
  Type("7");
  shift(true);
  calc_->Perform(WM_KEYDOWN, 0xBB, 0);  // "+" shares the "=" key
  shift(false);
  Type("1=");
  EXPECT_EQ(calc_->Result(), 43);
}

TEST_F(RzCalculatorTest, SettingTheSameResultKeepsThePendingOperation) {
  Type("6+");
  calc_->SetResult(6);
  Type("1=");
  EXPECT_EQ(calc_->Result(), 7);
  calc_->SetResult(2.5);
  EXPECT_EQ(Display(), "2.5");
  EXPECT_EQ(calc_->IntResult(), 2);  // halves go to the even neighbour
  calc_->SetResult(3.5);
  EXPECT_EQ(calc_->IntResult(), 4);
  calc_->SetResult(1e30);
  EXPECT_EQ(calc_->IntResult(), INT_MAX);
}

TEST_F(RzCalculatorTest, SetButtonAndEnterAcceptInPopupMode) {
  int accepted = 0;
  calc_->OnSetBtnClick = [&](TObject*) { ++accepted; };
  Type("5\n");  // outside popup mode Enter is equals
  EXPECT_EQ(accepted, 0);
  EXPECT_EQ(changes_, 1);

  calc_->SetIsPopup(true);
  calc_->Clear();
  calc_->SetResult(4);
  Type("9");
  Press(ccSet);  // no operator yet: the result stays
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(calc_->Result(), 4);
  Type("C5+3\n");
  EXPECT_EQ(accepted, 2);
  EXPECT_EQ(calc_->Result(), 8);

  // An error has no result to accept.
  Type("/0");
  Press(ccSet);
  EXPECT_EQ(Display(), "E");
  Type("\n");
  EXPECT_EQ(accepted, 2);
}

TEST_F(RzCalculatorTest, ButtonsActWhenReleasedOverThemselves) {
  form_->Show();
  Press(ccBtn7);
  Press(ccAdd);
  Press(ccBtn2);
  Press(ccEqual);
  EXPECT_EQ(Display(), "9.");
  EXPECT_EQ(clicks_, 4);
  PressAndRelease(ccBtn5, ccBtn6);  // let go over another button: nothing at all
  EXPECT_EQ(Display(), "9.");
  EXPECT_EQ(clicks_, 4);
  Press(ccClear);
  Press(ccDecimal);
  Press(ccBtn0);
  Press(ccBtn5);
  EXPECT_EQ(Display(), "0.05");
  EXPECT_TRUE(calc_->Focused());  // a click outside popup mode takes the focus
}

TEST_F(RzCalculatorTest, AutoSizeIsASquareFromTheDigitHeight) {
  // The grid of five rows of (height + 12) and the margins.
  auto digitHeight = [&] {
    TCanvas canvas;
    HDC dc = GetDC(0);
    canvas.SetHandle(dc);
    canvas.SetFont(calc_->Font());
    const int h = canvas.TextHeight(u"0");
    canvas.SetHandle(0);
    ReleaseDC(0, dc);
    return h;
  };
  EXPECT_EQ(calc_->Height(), (digitHeight() + 12) * 5 + 24);
  EXPECT_EQ(calc_->Width(), calc_->Height());
  calc_->Font()->SetHeight(-20);
  EXPECT_EQ(calc_->Height(), (digitHeight() + 12) * 5 + 24);
  EXPECT_EQ(calc_->Width(), calc_->Height());
  // Never smaller than the square, even when asked.
  calc_->SetAutoSize(false);
  calc_->SetBounds(0, 0, 40, 40);
  EXPECT_EQ(calc_->Width(), (digitHeight() + 12) * 5 + 24);
}

TEST_F(RzCalculatorTest, LayoutOfDisplayAndButtonsAtAutoSize) {
  SetThemesEnabledForTesting(false);
  DistinctSystemColors colors;
  // With an 8-pixel digit the calculator is 124 pixels square: buttons of 20 at 6, 30, 54,
  // 78 and 102 inside the lowered border.
  calc_->Font()->SetHeight(-7);
  const int size = calc_->Width();
  const int b = (size - 4 - 24) / 5 + 1;
  auto p = [&](int k) { return 6 + k * (b + 4); };
  EXPECT_RECT(calc_->AreaRect(ccValue), p(0), p(0), p(4) + b, p(0) + b);
  EXPECT_RECT(calc_->AreaRect(ccBtn7), p(0), p(1), p(0) + b, p(1) + b);
  EXPECT_RECT(calc_->AreaRect(ccClear), p(4), p(1), p(4) + b, p(2) + b);
  EXPECT_RECT(calc_->AreaRect(ccEqual), p(4), p(3), p(4) + b, p(4) + b);
  EXPECT_RECT(calc_->AreaRect(ccBtn0), p(0), p(4), p(1) + b, p(4) + b);
  EXPECT_RECT(calc_->AreaRect(ccSet), 0, 0, 0, 0);
  EXPECT_EQ(calc_->HitTest(p(1) + 1, p(2) + 1), ccBtn5);
  EXPECT_EQ(calc_->HitTest(p(1) - 1, p(2) + 1), ccValue);  // the gap between buttons

  CanvasPicture pic(size, size, kBackground);
  calc_->Draw(pic);
  // Down the first column, left of the captions: the lowered border, a gap, the display's
  // outline in the flat colour and its inside, then a raised button per row, gaps between.
  const std::string down = pic.Column(p(0) + 2, SystemLegend(kBackground));
  EXPECT_EQ(down.substr(0, 2), "sd") << down;
  EXPECT_EQ(down.substr(std::size_t(size - 2)), "lh") << down;
  EXPECT_EQ(down[p(0)], 's') << down;
  EXPECT_EQ(down[p(0) + 1], 'w') << down;
  for (int row = 1; row <= 4; ++row) {
    EXPECT_EQ(down[p(row)], 'h') << "row " << row;      // raised button's light edge
    EXPECT_EQ(down[p(row) + 3], 'f') << "row " << row;  // its face
    EXPECT_EQ(down[p(row) - 1], 'w') << "row " << row;  // the gap shows the control's colour
  }

  // In popup mode the display gives its last column to the set button.
  calc_->SetIsPopup(true);
  EXPECT_RECT(calc_->AreaRect(ccValue), p(0), p(0), p(3) + b, p(0) + b);
  EXPECT_RECT(calc_->AreaRect(ccSet), p(4), p(0), p(4) + b, p(0) + b);
}

}  // namespace

namespace {

TEST_F(RzCalculatorTest, StoredCalculatorKeepsItsBorderColoursAndResult) {
  calc_->SetName(u"Calc1");
  calc_->SetResult(12.5);
  calc_->CalculatorColors()->SetColor(TRzCalculatorColors::ciOperatorBtns, clRed);
  calc_->SetBoldButtons(true);
  const String text = WriteComponentText(calc_);
  // Its lowered border differs from the declared fsStatus, so it is always written.
  EXPECT_NE(text.find(u"BorderOuter = fsLowered"), String::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(u"FlatColorAdjustment"), String::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(u"ThemeAware"), String::npos);

  TestCalculator back(nullptr);
  ReadComponentText(text, u"calc.form", &back);
  EXPECT_EQ(back.Result(), 12.5L);
  EXPECT_EQ(back.BorderOuter(), fsLowered);
  EXPECT_TRUE(back.BoldButtons());
  EXPECT_EQ(back.CalculatorColors()->OperatorBtns(), clRed);
  EXPECT_EQ(back.CalculatorColors()->NumberBtns(), clBtnFace);
}

TEST_F(RzCalculatorTest, StoredPopupPanelAlwaysWritesItsPopupBorder) {
  auto* panel = new TRzPopupPanel(form_);
  panel->SetName(u"Popup1");
  const String text = WriteComponentText(panel);
  EXPECT_NE(text.find(u"BorderOuter = fsPopup"), String::npos) << ToUtf8(text);
  EXPECT_NE(text.find(u"BorderWidth = 2"), String::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(u"Alignment"), String::npos);
  TRzPopupPanel back(nullptr);
  ReadComponentText(text, u"popup.form", &back);
  EXPECT_EQ(back.BorderOuter(), fsPopup);
  EXPECT_EQ(back.BorderWidth(), 2);
  EXPECT_EQ(back.Alignment(), taRightJustify);
  EXPECT_FALSE(back.Visible());
}

TEST_F(RzCalculatorTest, ThemedLookOutlinesTheControlAndDrawsPushButtons) {
  SetThemesEnabledForTesting(true);
  const int size = calc_->Width();
  CanvasPicture pic(size, size, kBackground);
  calc_->Draw(pic);
  const TColor border = ColorToRGB(ThemedPartColor(tckEditBorder));
  EXPECT_EQ(pic.At(0, 0), border);
  EXPECT_EQ(pic.At(size - 1, size / 2), border);
  EXPECT_EQ(pic.At(2, 2), ColorToRGB(clWindow));
  // A themed push button is not the classic raised face: its middle row differs from the
  // classic picture of the same button.
  const TRect seven = calc_->AreaRect(ccBtn7);
  const COLORREF themedEdge = pic.At(seven.left + 1, seven.top + 1);
  SetThemesEnabledForTesting(false);
  CanvasPicture classic(size, size, kBackground);
  calc_->Draw(classic);
  EXPECT_NE(themedEdge, classic.At(seven.left + 1, seven.top + 1));
  // Without ThemeAware the classic look is drawn even while styles are on.
  SetThemesEnabledForTesting(true);
  calc_->SetThemeAware(false);
  CanvasPicture unaware(size, size, kBackground);
  calc_->Draw(unaware);
  EXPECT_TRUE(SamePixels(unaware, classic));
}

}  // namespace
