#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ClassLibTestSupport.h"
#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "InputSupport.h"
#include "Mask.h"
#include "StdCtrls.h"
#include "Streaming.h"
#include "SystemControls.h"  // the platform window classes
#include "TestSupport.h"
#include "Themes.h"
#include "Timer.h"
#include "UserDriver.h"

// The form of descriptions/StdCtrlsForm.form.
class TStdCtrlsTestForm : public TForm {
 public:
  explicit TStdCtrlsTestForm(TComponent* owner) : TForm(owner) {}
  String ClassName() const override { return u"TStdCtrlsTestForm"; }

  TLabel* Label1 = nullptr;
  TEdit* Edit1 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TButton* OkButton = nullptr;
  TButton* CancelButton = nullptr;
  TEdit* BannerEdit = nullptr;
  TTimer* Timer1 = nullptr;

  std::vector<std::string> log;
  int timerTicks = 0;
  void Edit1Change(TObject*) { log.push_back("Edit1Change " + ToUtf8(Edit1->Text())); }
  void ComboBox1Change(TObject*) {
    log.push_back("ComboBox1Change " + ToUtf8(ComboBox1->Text()) + " " +
                  std::to_string(ComboBox1->ItemIndex()));
  }
  void ComboBox1Select(TObject*) { log.push_back("ComboBox1Select"); }
  void OkButtonClick(TObject*) { log.push_back("OkButtonClick"); }
  void ControlEnter(TObject* sender) {
    log.push_back("Enter " + ToUtf8(static_cast<TComponent*>(sender)->Name()));
  }
  void ControlExit(TObject* sender) {
    log.push_back("Exit " + ToUtf8(static_cast<TComponent*>(sender)->Name()));
  }
  void Timer1Timer(TObject*) { ++timerTicks; }
};

namespace {

void RegisterTestForm() {
  static bool done = false;
  if (done) return;
  done = true;
  Published<TStdCtrlsTestForm>(u"TStdCtrlsTestForm", u"TForm")
      .Creatable()
      .Field(u"Label1", &TStdCtrlsTestForm::Label1)
      .Field(u"Edit1", &TStdCtrlsTestForm::Edit1)
      .Field(u"ComboBox1", &TStdCtrlsTestForm::ComboBox1)
      .Field(u"OkButton", &TStdCtrlsTestForm::OkButton)
      .Field(u"CancelButton", &TStdCtrlsTestForm::CancelButton)
      .Field(u"BannerEdit", &TStdCtrlsTestForm::BannerEdit)
      .Field(u"Timer1", &TStdCtrlsTestForm::Timer1)
      .Method(u"Edit1Change", &TStdCtrlsTestForm::Edit1Change)
      .Method(u"ComboBox1Change", &TStdCtrlsTestForm::ComboBox1Change)
      .Method(u"ComboBox1Select", &TStdCtrlsTestForm::ComboBox1Select)
      .Method(u"OkButtonClick", &TStdCtrlsTestForm::OkButtonClick)
      .Method(u"ControlEnter", &TStdCtrlsTestForm::ControlEnter)
      .Method(u"ControlExit", &TStdCtrlsTestForm::ControlExit)
      .Method(u"Timer1Timer", &TStdCtrlsTestForm::Timer1Timer);
}

struct TestMaskEdit : TMaskEdit {
  using TMaskEdit::KeyDown;
  using TMaskEdit::KeyPress;
  using TMaskEdit::TMaskEdit;
};

struct TestLabel : TLabel {
  using TLabel::Paint;
  using TLabel::TLabel;
};

LONG Style(HWND h) { return GetWindowLongW(h, GWL_STYLE); }
LONG ExStyle(HWND h) { return GetWindowLongW(h, GWL_EXSTYLE); }

class StdCtrlsTest : public ::testing::Test, public HostInput {
 protected:
  void SetUp() override {
    UserResetForTesting();
    RegisterClassLibrary();
    RegisterStdCtrlsClasses();
    RegisterTestForm();
  }
  void TearDown() override {
    ResetApplicationForTesting();
    UserResetForTesting();
  }

  // A bare, shown form to put controls on.
  TForm* BareForm() { return ShownBareForm(10, 10, 400, 300); }
  TStdCtrlsTestForm* DescribedForm() {
    auto* form = CreateNewForm<TStdCtrlsTestForm>(Application);
    form->Show();
    Application->ProcessMessages();
    return form;
  }

  static void ShiftTab() { Key(VK_TAB, u"", kHostShift); }
};

// ---- Edit: state without a window, and all of it in the window once it appears ----

TEST_F(StdCtrlsTest, EditKeepsItsStateUntilTheWindowAppears) {
  TForm* form = BareForm();
  auto* edit = new TEdit(form);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetMaxLength(8);
  edit->SetPasswordChar(u'*');
  edit->SetReadOnly(true);
  edit->SetAlignment(taRightJustify);
  edit->SetTextHint(u"hint");
  edit->SetText(u"secret");
  EXPECT_EQ(changes, 1);  // a code write without a window reports the change itself
  edit->SetSelStart(2);
  edit->SetSelLength(3);
  EXPECT_EQ(edit->SelText(), u"cre");
  EXPECT_FALSE(edit->HandleAllocated());

  edit->SetParent(form);
  HWND h = edit->Handle();
  ASSERT_TRUE(IsWindow(h));
  EXPECT_EQ(changes, 1);  // pushing the text in is no change
  EXPECT_TRUE(Style(h) & ES_RIGHT);
  EXPECT_TRUE(Style(h) & ES_READONLY);
  EXPECT_TRUE(Style(h) & ES_PASSWORD);
  EXPECT_TRUE(ExStyle(h) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageW(h, EM_GETLIMITTEXT, 0, 0), 8);
  EXPECT_EQ(SendMessageW(h, EM_GETPASSWORDCHAR, 0, 0), u'*');
  WCHAR cue[16] = {};
  SendMessageW(h, EM_GETCUEBANNER, WPARAM(cue), 16);
  EXPECT_EQ(String(cue), u"hint");
  EXPECT_EQ(edit->Text(), u"secret");
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 3);

  // Changes made later go to the window; style changes recreate it with the text kept.
  edit->SetReadOnly(false);
  EXPECT_FALSE(Style(edit->Handle()) & ES_READONLY);
  edit->SetAlignment(taCenter);
  EXPECT_TRUE(Style(edit->Handle()) & ES_CENTER);
  EXPECT_EQ(edit->Text(), u"secret");
  edit->SetBorderStyle(bsNone);
  EXPECT_FALSE(ExStyle(edit->Handle()) & WS_EX_CLIENTEDGE);
  edit->SetNumbersOnly(true);
  edit->SetHideSelection(false);
  edit->SetOEMConvert(true);
  edit->SetCharCase(ecLowerCase);
  LONG style = Style(edit->Handle());
  EXPECT_TRUE(style & ES_NUMBER);
  EXPECT_TRUE(style & ES_NOHIDESEL);
  EXPECT_TRUE(style & ES_OEMCONVERT);
  EXPECT_TRUE(style & ES_LOWERCASE);
  EXPECT_FALSE(style & ES_MULTILINE);
  EXPECT_EQ(changes, 1);  // none of the recreations is a change
}

TEST_F(StdCtrlsTest, EditSelectionAndEditingWithoutAWindow) {
  TEdit edit(nullptr);
  edit.SetText(u"hello world");
  edit.SetSelStart(6);
  edit.SetSelLength(5);
  EXPECT_EQ(edit.SelText(), u"world");
  edit.SetSelText(u"there");
  EXPECT_EQ(edit.Text(), u"hello there");
  EXPECT_EQ(edit.SelStart(), 11);
  EXPECT_TRUE(edit.Modified());
  edit.SelectAll();
  EXPECT_EQ(edit.SelLength(), 11);
  edit.ClearSelection();
  EXPECT_EQ(edit.Text(), u"");
  edit.SetText(u"abc");
  EXPECT_FALSE(edit.Modified());  // a code write is no modification
  edit.SetCharCase(ecUpperCase);
  EXPECT_EQ(edit.Text(), u"ABC");
  edit.SetMaxLength(3);
  edit.SetSelStart(3);
  edit.SetSelText(u"D");  // would exceed the limit
  EXPECT_EQ(edit.Text(), u"ABC");
  // Out-of-range selections are clipped to the text.
  edit.SetSelStart(10);
  EXPECT_EQ(edit.SelStart(), 3);
  EXPECT_EQ(edit.SelLength(), 0);
}

TEST_F(StdCtrlsTest, EditClipboardAndUndoThroughTheWindow) {
  TForm* form = BareForm();
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetText(u"copy me");
  edit->SelectAll();
  edit->CopyToClipboard();
  edit->SetSelStart(7);
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), u"copy mecopy me");
  EXPECT_TRUE(edit->Modified());
  EXPECT_TRUE(edit->CanUndo());
  edit->Undo();
  EXPECT_EQ(edit->Text(), u"copy me");
  edit->SetSelStart(0);
  edit->SetSelLength(5);
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), u"me");
  edit->SetModified(false);
  EXPECT_FALSE(edit->Modified());
  // A hidden text is never copied.
  edit->SetPasswordChar(u'#');
  edit->SelectAll();
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), u"me");
}

TEST_F(StdCtrlsTest, EditHeightFollowsTheFontWithTheBorder) {
  TForm* form = BareForm();
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->Font()->SetHeight(-20);
  edit->HandleNeeded();
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, edit->Font()->Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  EXPECT_EQ(edit->Height(), int(tm.tmHeight) + 8 * GetSystemMetrics(SM_CYBORDER));
  edit->SetAutoSize(false);
  edit->SetHeight(50);
  EXPECT_EQ(edit->Height(), 50);
}

TEST_F(StdCtrlsTest, ReadOnlyEditIsPaintedInItsColor) {
  TStdCtrlsTestForm* form = DescribedForm();
  HWND h = form->BannerEdit->Handle();
  UpdateWindow(h);
  RECT r;
  GetClientRect(h, &r);
  // Away from the text: the control's own colour, not the platform's grey of read-only edits.
  EXPECT_EQ(ClientPixel(h, r.right - 3, r.bottom - 2), ColorToRGB(clMoneyGreen));
  form->BannerEdit->SetColor(clYellow);
  UpdateWindow(h);
  EXPECT_EQ(ClientPixel(h, r.right - 3, r.bottom - 2), ColorToRGB(clYellow));
}

// A disabled box must not look as if it took input: grey text on the button face, in both
// looks, and the themed frame in its disabled state.
TEST_F(StdCtrlsTest, DisabledEditLooksDisabled) {
  for (bool themed : {false, true}) {
    SCOPED_TRACE(themed ? "themed" : "classic");
    SetThemesEnabledForTesting(themed);
    TForm* form = BareForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 60, 21);
    edit->SetText(u"88");
    HWND h = edit->Handle();
    UpdateWindow(h);
    edit->SetEnabled(false);  // as the print dialog turns off its page boxes
    UpdateWindow(h);
    RECT r;
    GetClientRect(h, &r);
    EXPECT_EQ(ClientPixel(h, r.right - 3, r.bottom - 2), GetSysColor(COLOR_BTNFACE));
    // The glyphs' edges blend the grey into the face: nothing is darker than the grey.
    int ink = 0, darker = 0;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        COLORREF c = ClientPixel(h, x, y);
        if (c != GetSysColor(COLOR_BTNFACE)) ++ink;
        if (GetGValue(c) < GetGValue(GetSysColor(COLOR_GRAYTEXT))) ++darker;
      }
    EXPECT_GT(ink, 10) << "the digits are drawn";
    EXPECT_EQ(darker, 0);
    if (themed) {
      TColor border = clNone, fill = clNone;
      auto d = ThemeServices()->GetElementDetails(teEditTextDisabled);
      ThemeServices()->GetThemeColor(d, TMT_BORDERCOLOR, border);
      ThemeServices()->GetThemeColor(d, TMT_FILLCOLOR, fill);
      EXPECT_EQ(WindowPixel(h, 0, 8), ColorToRGB(border));
      EXPECT_EQ(WindowPixel(h, 1, 8), ColorToRGB(fill));
    }
    delete form;
  }
  SetThemesEnabledForTesting(true);
}

// ---- Masked edit ----

TEST_F(StdCtrlsTest, MaskedEditWithoutAMaskIsAPlainEdit) {
  TestMaskEdit edit(nullptr);
  EXPECT_FALSE(edit.IsMasked());
  edit.SetText(u"free text");
  EXPECT_EQ(edit.EditText(), u"free text");
  EXPECT_NO_THROW(edit.ValidateEdit());
  Char c = u'x';
  edit.KeyPress(c);
  EXPECT_EQ(c, u'x');  // left to the edit
}

TEST_F(StdCtrlsTest, MaskedEditFollowsItsMask) {
  TestMaskEdit edit(nullptr);
  edit.SetEditMask(u"00/99;0;_");
  EXPECT_TRUE(edit.IsMasked());
  EXPECT_EQ(edit.EditText(), u"__/__");
  edit.SetSelStart(0);
  for (Char c : std::u16string(u"1x2")) {
    Char k = c;
    edit.KeyPress(k);
    EXPECT_EQ(k, 0);  // the mask handles every character itself
  }
  EXPECT_EQ(edit.EditText(), u"12/__");  // "x" refused, the caret skipped the literal
  EXPECT_EQ(edit.SelStart(), 3);
  EXPECT_EQ(edit.Text(), u"12");         // literals are not saved with ";0"
  EXPECT_NO_THROW(edit.ValidateEdit());  // the 9 positions are optional
  Char bs = 8;
  edit.SetSelStart(3);
  edit.KeyPress(bs);
  EXPECT_EQ(edit.EditText(), u"1_/__");
  try {
    edit.ValidateEdit();
    FAIL() << "an empty required position must fail";
  } catch (const EDBEditError& e) {
    EXPECT_EQ(e.Message(), u"Invalid input value.  Use escape key to abandon changes");
  }
  // Text written from code is laid over the mask; with literals saved it keeps them.
  edit.SetEditMask(u">LL-00;1;*");
  edit.SetText(u"ab-12");
  EXPECT_EQ(edit.EditText(), u"AB-12");
  EXPECT_EQ(edit.Text(), u"AB-12");
  edit.SetEditMask(u"");
  EXPECT_FALSE(edit.IsMasked());
}

// ---- Combo box ----

TEST_F(StdCtrlsTest, ComboBoxKeepsItemsAndSelectionBeforeAndAfterTheWindow) {
  TForm* form = BareForm();
  auto* combo = new TComboBox(form);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->Items()->Add(u"35%");
  combo->Items()->Add(u"50%");
  combo->Items()->Add(u"100%");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), u"50%");
  combo->SetText(u"100%");
  EXPECT_EQ(combo->ItemIndex(), 2);  // the text selects its item
  combo->SetText(u"77%");
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetText(u"100%");

  combo->SetParent(form);
  HWND h = combo->Handle();
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(h, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(combo->Text(), u"100%");
  EXPECT_EQ(Style(h) & CBS_TYPEMASK, LONG(CBS_DROPDOWN));

  // Item changes are forwarded; code writes fire nothing.
  combo->Items()->Insert(0, u"25%");
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(combo->ItemIndex(), 3);
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), u"25%");
  combo->SetText(u"portrait");  // no such item
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetText(u"50%");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->Items()->Delete(0);
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(changes, 0);
  combo->Items()->Clear();
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(combo->Text(), u"50%");  // emptying the list keeps the text

  // Recreating the window keeps items, selection and text.
  combo->Items()->SetText(u"Portrait\nLandscape");
  combo->SetText(u"Landscape");
  combo->SetStyle(csDropDownList);
  h = combo->Handle();
  EXPECT_EQ(Style(h) & CBS_TYPEMASK, LONG(CBS_DROPDOWNLIST));
  EXPECT_EQ(SendMessageW(h, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), u"Landscape");
  EXPECT_EQ(changes, 0);
}

TEST_F(StdCtrlsTest, SortedComboBoxKeepsItsOrder) {
  TComboBox combo(nullptr);
  combo.Items()->Add(u"pear");
  combo.Items()->Add(u"Apple");
  combo.SetText(u"pear");
  combo.SetSorted(true);
  EXPECT_EQ(combo.Items()->Strings(0), u"Apple");
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Items()->Add(u"banana"), 1);
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_THROW(combo.Items()->Insert(0, u"zz"), EStringListError);
}

// ---- Buttons ----

TEST_F(StdCtrlsTest, ButtonClickSetsTheFormsModalResult) {
  TForm* form = BareForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetModalResult(mrRetry);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form->ModalResult(), mrRetry);
  button->SetDefault(true);
  EXPECT_EQ(Style(button->Handle()) & BS_TYPEMASK, LONG(BS_DEFPUSHBUTTON));
  // A click on the window comes back through BN_CLICKED.
  form->SetModalResult(mrNone);
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 2);
}

// ---- Label ----

TEST_F(StdCtrlsTest, LabelSizesItselfToItsText) {
  TForm* form = BareForm();
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(100, 10, 10, 10);
  label->SetCaption(u"Top Margin (mm)");
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, label->Font()->Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, u"Top Margin (mm)", 15, &size);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  EXPECT_EQ(label->Width(), size.cx);
  EXPECT_EQ(label->Height(), size.cy);
  EXPECT_EQ(label->Left(), 100);
  // Right-justified text keeps its right edge; fixed-size labels keep their bounds.
  int right = label->Left() + label->Width();
  label->SetAlignment(taRightJustify);
  label->SetCaption(u"Zoom");
  EXPECT_EQ(label->Left() + label->Width(), right);
  label->SetAutoSize(false);
  label->SetBounds(288, 14, 41, 18);
  label->SetCaption(u"Page #");
  EXPECT_EQ(label->Width(), 41);
  EXPECT_EQ(label->Height(), 18);
  // "&&" is a plain ampersand; with ShowAccelChar off every "&" is drawn.
  label->SetAutoSize(true);
  label->SetCaption(u"A&&B");
  int withPrefix = label->Width();
  label->SetShowAccelChar(false);
  EXPECT_GT(label->Width(), withPrefix);
}

// Text is anti-aliased, so the checks look at ink (anything but the background) and at
// colour families rather than exact colours.
TRect BoxOf(const PixelCanvas& t, int w, int h, const std::function<bool(COLORREF)>& pick) {
  TRect box{w, h, 0, 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (pick(t.At(x, y))) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

TEST_F(StdCtrlsTest, LabelPaintsItsLayoutAndDisabledLook) {
  SetThemesEnabledForTesting(false);
  TestLabel label(nullptr);
  label.SetAutoSize(false);
  label.SetBounds(0, 0, 60, 40);
  label.SetColor(clWhite);
  label.Font()->SetColor(clBlack);
  label.SetCaption(u"Ag");
  const COLORREF white = ColorToRGB(clWhite), navy = ColorToRGB(clNavy);
  auto paint = [&](PixelCanvas& target) {
    PaintInto(label.Canvas(), target, [&] { label.Paint(); });
  };
  auto inkOn = [](COLORREF background) {
    return [background](COLORREF c) { return c != background; };
  };
  TRect top, bottom;
  {
    PixelCanvas target(60, 40, clNavy);
    paint(target);
    EXPECT_EQ(target.Count(navy), 0);  // opaque: the whole client is filled
    top = BoxOf(target, 60, 40, inkOn(white));
    EXPECT_LT(top.top, 8);
  }
  label.SetLayout(tlBottom);
  {
    PixelCanvas target(60, 40, clNavy);
    paint(target);
    bottom = BoxOf(target, 60, 40, inkOn(white));
    EXPECT_GT(bottom.bottom, 34);
    EXPECT_EQ(RectHeight(bottom), RectHeight(top));  // the same text, moved down
  }
  label.SetLayout(tlCenter);
  label.SetTransparent(true);
  label.SetEnabled(false);
  {
    PixelCanvas target(60, 40, clNavy);
    paint(target);
    EXPECT_EQ(target.At(0, 0), navy);  // transparent: the background stays
    TRect ink = BoxOf(target, 60, 40, inkOn(navy));
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 20, 3);
    auto red = [](COLORREF c) { return int(c & 0xFF); };
    auto blue = [](COLORREF c) { return int((c >> 16) & 0xFF); };
    // Engraved: a light copy one pixel down and right beneath the grey one, no black ink.
    TRect light = BoxOf(target, 60, 40, [&](COLORREF c) { return red(c) > 0xD0; });
    TRect grey = BoxOf(target, 60, 40, [&](COLORREF c) {
      return red(c) > 0x60 && red(c) < 0xA0 && blue(c) > 0x70 && blue(c) < 0xA0;
    });
    EXPECT_FALSE(IsRectEmpty(&light));
    EXPECT_FALSE(IsRectEmpty(&grey));
    EXPECT_GT(light.left, grey.left);
    EXPECT_GT(light.top, grey.top);
    EXPECT_EQ(BoxOf(target, 60, 40, [&](COLORREF c) { return c == 0; }).right, 0);
  }
  SetThemesEnabledForTesting(true);
}

// ---- The described form ----

TEST_F(StdCtrlsTest, DescribedFormLoadsAndWritesBack) {
  auto* form = CreateNewForm<TStdCtrlsTestForm>(Application);
  ASSERT_NE(form->ComboBox1, nullptr);
  EXPECT_EQ(form->Edit1->TextHint(), u"Your name");
  EXPECT_EQ(form->ComboBox1->Items()->Count(), 2);
  EXPECT_EQ(form->ComboBox1->ItemIndex(), 0);  // the text found its item after loading
  EXPECT_TRUE(form->OkButton->Default());
  EXPECT_EQ(form->OkButton->ModalResult(), mrOk);
  EXPECT_EQ(form->Label1->FocusControl(), form->Edit1);
  EXPECT_TRUE(form->BannerEdit->ReadOnly());
  EXPECT_EQ(form->BannerEdit->Color(), clMoneyGreen);
  EXPECT_TRUE(form->log.empty());  // loading fires no change
  String text = WriteComponentText(form);
  ASSERT_NE(text.find(u"Items.Strings = ("), String::npos);
  EXPECT_EQ(text.find(u"Items.Strings", text.find(u"Items.Strings") + 1), String::npos);
  EXPECT_NE(text.find(u"FocusControl = Edit1"), String::npos);
  EXPECT_NE(text.find(u"OnChange = Edit1Change"), String::npos);
  EXPECT_EQ(text.find(u"AutoSize"), String::npos);  // defaults are not written
  EXPECT_EQ(text.find(u"PasswordChar"), String::npos);
  // What was written reads back into an equal form.
  delete form;
  auto* again = CreateBareForm<TStdCtrlsTestForm>(Application);
  ReadComponentText(text, u"Written.form", again);
  ASSERT_NE(again->ComboBox1, nullptr);
  EXPECT_EQ(again->ComboBox1->Items()->Text(), u"Portrait\nLandscape\n");
  EXPECT_EQ(again->ComboBox1->Text(), u"Portrait");
  EXPECT_EQ(again->Label1->FocusControl(), again->Edit1);
  EXPECT_EQ(again->CancelButton->ModalResult(), mrCancel);
  EXPECT_EQ(WriteComponentText(again), text);

  // A misspelt value names the file and line.
  const String bad =
      u"object F: TForm\n  object C: TComboBox\n    Style = csDropDownLst\n  end\nend\n";
  try {
    TComponent* f = ReadComponentText(bad, u"Bad.form", nullptr);
    delete f;
    FAIL() << "the misspelt style must not load";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find(u"Bad.form(3)"), String::npos) << ToUtf8(e.Message());
  }
}

TEST_F(StdCtrlsTest, TypingIntoAnEditChangesItPerKeystroke) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->Edit1->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(GetFocus(), form->Edit1->Handle());
  form->log.clear();
  Type(u"abc");
  EXPECT_EQ(form->Edit1->Text(), u"abc");
  EXPECT_EQ(form->log,
            (std::vector<std::string>{"Edit1Change a", "Edit1Change ab", "Edit1Change abc"}));
  Key(VK_BACK);
  EXPECT_EQ(form->Edit1->Text(), u"ab");
  EXPECT_TRUE(form->Edit1->Modified());
}

TEST_F(StdCtrlsTest, ComboBoxPicksByMouseAndByKeys) {
  TStdCtrlsTestForm* form = DescribedForm();
  TComboBox* combo = form->ComboBox1;
  form->log.clear();
  // A text from code selects its item (as a restored setting does), silently.
  combo->SetText(u"Landscape");
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), u"Portrait");
  EXPECT_EQ(form->log, std::vector<std::string>{});
  // The field is painted in the control's colour.
  combo->SetColor(clYellow);
  HWND edit = combo->EditHandle();
  ASSERT_TRUE(IsWindow(edit));
  RedrawWindow(combo->Handle(), nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT er;
  GetClientRect(edit, &er);
  EXPECT_EQ(ClientPixel(edit, er.right - 2, er.bottom - 2), ColorToRGB(clYellow));
  COMBOBOXINFO info;
  ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
  form->log.clear();
  // Open the list with the drop button and click the second item.
  ClickClient(combo->Handle(), (info.rcButton.left + info.rcButton.right) / 2,
              (info.rcButton.top + info.rcButton.bottom) / 2);
  ASSERT_TRUE(combo->DroppedDown());
  RECT item{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 1, LPARAM(&item));
  ClickClient(info.hwndList, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->Text(), u"Landscape");
  EXPECT_EQ(form->log, (std::vector<std::string>{"Exit Edit1", "Enter ComboBox1", "ComboBox1Select",
                                                 "ComboBox1Change Landscape 1"}));
  // Up in the closed box picks the previous item: one change.
  form->log.clear();
  Key(VK_UP);
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Text(), u"Portrait");
  EXPECT_EQ(form->log, (std::vector<std::string>{"ComboBox1Select", "ComboBox1Change Portrait 0"}));
  // Typing edits the text: a change per key, and no item once the text matches none.
  form->log.clear();
  combo->SelectAll();
  Type(u"x");
  EXPECT_EQ(combo->Text(), u"x");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(form->log, (std::vector<std::string>{"ComboBox1Change x -1"}));
  // Enter in the open list picks the item; it is no dialog key for the default button.
  form->log.clear();
  combo->SetDroppedDown(true);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_GE(combo->ItemIndex(), 0);
  EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "OkButtonClick"), 0);
  EXPECT_EQ(form->ModalResult(), mrNone);
}

TEST_F(StdCtrlsTest, ClickingAButtonAndClosingAModalForm) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->log.clear();
  ClickClient(form->OkButton->Handle(), 10, 10);
  EXPECT_EQ(form->log, (std::vector<std::string>{"Exit Edit1", "Enter OkButton", "OkButtonClick"}));
  form->Hide();
  Application->ProcessMessages();

  // The modal loop answered by a click on OK, then by Enter (default) and Escape (cancel).
  int step = 0;
  SetModalLoopHook([&](HWND) {
    ++step;
    if (step == 1) ClickClient(form->OkButton->Handle(), 10, 10);
  });
  form->SetModalResult(mrNone);
  EXPECT_EQ(form->ShowModal(), mrOk);
  SetModalLoopHook([&](HWND) {
    form->Edit1->SetFocus();
    Key(VK_RETURN);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  SetModalLoopHook([&](HWND) {
    form->Edit1->SetFocus();
    Key(VK_ESCAPE);
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  SetModalLoopHook(ModalLoopHook());
}

TEST_F(StdCtrlsTest, TabAndShiftTabFollowTheTabOrder) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->Edit1->SetFocus();
  Application->ProcessMessages();
  form->log.clear();
  Key(VK_TAB);
  EXPECT_TRUE(form->ComboBox1->Focused());
  Key(VK_TAB);
  EXPECT_TRUE(form->OkButton->Focused());
  EXPECT_EQ(GetFocus(), form->OkButton->Handle());
  ShiftTab();
  EXPECT_TRUE(form->ComboBox1->Focused());
  EXPECT_EQ(form->log,
            (std::vector<std::string>{"Exit Edit1", "Enter ComboBox1", "Exit ComboBox1",
                                      "Enter OkButton", "Exit OkButton", "Enter ComboBox1"}));
  // The focused button is the one Enter clicks; away from buttons, the default one.
  form->CancelButton->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(form->CancelButton->Active());
  EXPECT_FALSE(form->OkButton->Active());
  form->Edit1->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(form->OkButton->Active());
  EXPECT_EQ(Style(form->OkButton->Handle()) & BS_TYPEMASK, LONG(BS_DEFPUSHBUTTON));
}

TEST_F(StdCtrlsTest, EditSelectsAllWhenTheKeyboardBringsTheFocus) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->ComboBox1->SetFocus();
  Application->ProcessMessages();
  form->Edit1->SetText(u"select me");
  ShiftTab();
  ASSERT_TRUE(form->Edit1->Focused());
  EXPECT_EQ(form->Edit1->SelStart(), 0);
  EXPECT_EQ(form->Edit1->SelLength(), 9);
}

TEST_F(StdCtrlsTest, MaskedEditTakesTypedKeysThroughItsWindow) {
  TForm* form = BareForm();
  auto* edit = new TMaskEdit(form);
  edit->SetParent(form);
  edit->SetEditMask(u"00/00;1;_");
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetSelStart(0);
  Type(u"12a34");
  EXPECT_EQ(edit->EditText(), u"12/34");
  EXPECT_EQ(edit->Text(), u"12/34");
  EXPECT_GE(changes, 4);
  EXPECT_TRUE(edit->Modified());
  // Escape gives back the text the edit had when it was entered.
  Key(VK_ESCAPE, u"\x1b");
  EXPECT_EQ(edit->EditText(), u"__/__");
}

TEST_F(StdCtrlsTest, IncompleteMaskKeepsTheFocusAndReportsTheError) {
  TForm* form = BareForm();
  auto* edit = new TMaskEdit(form);
  edit->SetParent(form);
  edit->SetEditMask(u"000;0;_");
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetTop(40);
  String reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported = e.Message(); };
  edit->SetFocus();
  Application->ProcessMessages();
  Type(u"12");
  Key(VK_TAB);
  EXPECT_EQ(reported, u"Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(edit->Focused());
  // Completed, it lets the focus go.
  reported.clear();
  edit->SetSelStart(2);
  Type(u"3");
  Key(VK_TAB);
  EXPECT_EQ(reported, u"");
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(edit->Text(), u"123");
  Application->OnException = nullptr;
}

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsControl) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->OkButton->SetFocus();
  Application->ProcessMessages();
  Key('N', u"n", kHostAlt);
  EXPECT_TRUE(form->Edit1->Focused());
}

TEST_F(StdCtrlsTest, ComboBoxEditLimitAndSelection) {
  TStdCtrlsTestForm* form = DescribedForm();
  TComboBox* combo = form->ComboBox1;
  combo->SetMaxLength(4);
  combo->SetFocus();
  Application->ProcessMessages();
  combo->SetSelStart(0);
  combo->SetSelLength(4);
  EXPECT_EQ(combo->SelText(), u"Port");
  combo->SetText(u"");
  Type(u"abcdef");
  EXPECT_EQ(combo->Text(), u"abcd");
  combo->SetDropDownCount(3);
  EXPECT_EQ(SendMessageW(combo->Handle(), CB_GETMINVISIBLE, 0, 0), 3);
  combo->SetDroppedDown(true);
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  EXPECT_FALSE(combo->DroppedDown());
}

TEST_F(StdCtrlsTest, TimerFiresUnderTheLoop) {
  TStdCtrlsTestForm* form = DescribedForm();
  form->Timer1->SetEnabled(true);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (form->timerTicks < 2 && std::chrono::steady_clock::now() < deadline)
    Application->HandleMessage();
  EXPECT_GE(form->timerTicks, 2);
}

// ---- A real window under a real X server ----

// Runs itself again under Xvfb (or with the xcb platform when a display exists) and checks a
// pixel of the screen where the form shows a coloured edit.
TEST(StdCtrlsScreenTest, ColouredEditShowsOnTheScreen) {
  if (!std::getenv("KORV_XVFB_CHILD")) {
    std::string self = "/proc/self/exe";
    char path[4096] = {};
    ssize_t n = readlink(self.c_str(), path, sizeof path - 1);
    ASSERT_GT(n, 0);
    std::string cmd;
    std::string filter = " --gtest_filter=StdCtrlsScreenTest.ColouredEditShowsOnTheScreen";
    if (std::getenv("DISPLAY")) {
      cmd = "KORV_XVFB_CHILD=1 QT_QPA_PLATFORM=xcb '" + std::string(path) + "'" + filter;
    } else {
      if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is not installed";
      cmd = XvfbRun() + " env KORV_XVFB_CHILD=1 QT_QPA_PLATFORM=xcb '" + std::string(path) + "'" +
            filter;
    }
    cmd += " > /dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return;
  }
  UserResetForTesting();
  RegisterClassLibrary();
  RegisterStdCtrlsClasses();
  TForm* form = CreateBareForm<TForm>(Application);
  form->SetBorderStyle(bsNone);
  form->SetPosition(poDesigned);
  form->SetBounds(100, 100, 200, 120);
  form->SetColor(clBtnFace);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBorderStyle(bsNone);
  edit->SetAutoSize(false);
  edit->SetBounds(20, 30, 100, 40);
  edit->SetColor(clRed);
  form->Show();
  std::vector<std::uint32_t> pixels;
  RECT spot{100 + 100, 100 + 60, 100 + 101, 100 + 61};  // inside the edit, away from text
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool seen = false;
  while (!seen && std::chrono::steady_clock::now() < deadline) {
    Application->ProcessMessages();
    UserFlushSurfaces();
    UserGetHostDriver()->ProcessEvents(20);
    seen = HostGrabScreenForTesting(spot, &pixels) && !pixels.empty() &&
           (pixels[0] & 0xFFFFFF) == 0xFF0000;
  }
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFF0000u);
  // Beside the edit the form's own colour shows.
  RECT beside{100 + 5, 100 + 5, 100 + 6, 100 + 6};
  ASSERT_TRUE(HostGrabScreenForTesting(beside, &pixels));
  COLORREF face = ColorToRGB(clBtnFace);
  EXPECT_EQ(pixels[0] & 0xFFFFFF,
            std::uint32_t(GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face)));
  ResetApplicationForTesting();
  UserResetForTesting();
}

}  // namespace
