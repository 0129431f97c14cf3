// The numeric edit: formatting and reading back, the typing filter through real keys, the range
// check on leaving, and the stored form.
#include "RzEditTestSupport.h"
#include "RzPopups.h"
#include "Streaming.h"
#include "SystemControls.h"

namespace {

// Reaches the parser with any text.
Extended ParseOf(TRzNumericEdit& edit, const String& text, bool scientific = true) {
  edit.SetAllowScientificNotation(scientific);
  edit.SetText(text);
  return edit.ParseNumber();
}

}  // namespace

TEST_F(RzEditTest, AccountingFormatShowsAndReadsBackBothSigns) {
  TRzNumericEdit edit(nullptr);
  EXPECT_EQ(edit.Text(), u"0");
  EXPECT_EQ(edit.Alignment(), taRightJustify);
  edit.SetValue(1234);
  EXPECT_EQ(edit.Text(), u"1,234");
  EXPECT_EQ(edit.Value(), 1234);
  edit.SetValue(-1234);
  EXPECT_EQ(edit.Text(), u"(1,234)");
  EXPECT_EQ(edit.Value(), -1234);

  FormatSettings.DecimalSeparator = u',';
  FormatSettings.ThousandSeparator = u'.';
  edit.SetValue(1234567);
  EXPECT_EQ(edit.Text(), u"1.234.567") << "the locale's separators";
  EXPECT_EQ(edit.Value(), 1234567);
}

TEST_F(RzEditTest, ParsingKeepsWhatANumberCanBe) {
  TRzNumericEdit edit(nullptr);
  struct Case {
    const char16_t* text;
    bool scientific;
    Extended value;
  } cases[] = {
      {u"(1,234)", true, -1234},
      {u"-1,234", true, -1234},
      {u"(12", true, 12},
      {u"12 mm", true, 12},
      {u"1E-3", true, 0.001L},
      {u"1E-3", false, 0},
      {u"", true, 0},
      {u"abc", true, 0},
      {u"  \t7\r", true, 7},
      {u"+5", true, 5},
      {u"1.5", true, 1.5L},
      {u"(0.5)", true, -0.5L},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseOf(edit, c.text, c.scientific), c.value)
        << ToUtf8(c.text) << (c.scientific ? " with exponents" : " without exponents");
  }
}

TEST_F(RzEditTest, ValueWritesOnlyAChangedTextAndReadingBlankFillsInMin) {
  TRzNumericEdit edit(nullptr);
  int changes = 0;
  edit.OnChange = [&](TObject*) { ++changes; };
  edit.SetValue(0);
  EXPECT_EQ(changes, 0) << "the value already shown";
  edit.SetValue(7);
  EXPECT_EQ(changes, 1);
  edit.SetValue(7);
  EXPECT_EQ(changes, 1);

  edit.SetMin(3);
  edit.SetMax(9);
  edit.SetText(u"");
  EXPECT_EQ(edit.Value(), 3);
  EXPECT_EQ(edit.Text(), u"3") << "reading a blank wrote the formatted Min";
  edit.SetAllowBlank(true);
  edit.SetBlankValue(-1);
  edit.SetText(u"");
  EXPECT_EQ(edit.Value(), -1);
  EXPECT_EQ(edit.Text(), u"");

  edit.SetMin(10);
  EXPECT_EQ(edit.Max(), 10) << "Min above Max carries Max along";
  edit.SetMax(2);
  EXPECT_EQ(edit.Min(), 2);

  edit.SetText(u"2.5");
  EXPECT_EQ(edit.IntValue(), 2) << "halves to even";
  edit.SetText(u"3.5");
  EXPECT_EQ(edit.IntValue(), 4);
  edit.SetIntegersOnly(false);
  edit.SetDisplayFormat(u"0.00");
  EXPECT_EQ(edit.Text(), u"3.50");
  edit.SetIntegersOnly(true);
  EXPECT_EQ(edit.Text(), u"4.00");
}

// ---- Typing ----

TEST_F(RzEditTest, IntegerTypingKeepsSignsInFront) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetText(u"");
  Type(u"5-");
  EXPECT_EQ(edit->Text(), u"5");
  EXPECT_EQ(host()->beeps, 1) << "a sign after the first digit";
  Key(VK_HOME);
  Type(u"-");
  EXPECT_EQ(edit->Text(), u"-5");
  Key(VK_HOME);
  Type(u"3(.a");
  EXPECT_EQ(edit->Text(), u"-5") << "nothing goes in front of the sign";
  EXPECT_EQ(host()->beeps, 5);
  Key(VK_END);
  Type(u"0");
  EXPECT_EQ(edit->Text(), u"-50");
  Key(VK_RETURN, u"\r");
  EXPECT_EQ(host()->beeps, 6) << "Enter that reaches the edit is refused";

  edit->SelectAll();
  Type(u"+");
  EXPECT_EQ(edit->Text(), u"+") << "a sign replaces a whole selection";
  edit->SetBeepOnInvalidKey(false);
  Type(u"x");
  EXPECT_EQ(host()->beeps, 6);
}

TEST_F(RzEditTest, DecimalTypingTakesOneSeparatorAndSignsOnlyWhereANumberHasThem) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  edit->SetIntegersOnly(false);
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetText(u"");
  Type(u"12-3");
  EXPECT_EQ(edit->Text(), u"123") << "no sign inside the digits";
  Type(u".4.");
  EXPECT_EQ(edit->Text(), u"123.4") << "a second separator is refused";
  edit->SetSelStart(3);
  edit->SetSelLength(2);
  Type(u".");
  EXPECT_EQ(edit->Text(), u"123.") << "unless the selection holds the first";
  Type(u"5e-2");
  EXPECT_EQ(edit->Text(), u"123.5e-2") << "a sign after the exponent letter";
  Key(VK_HOME);
  Type(u"-");
  EXPECT_EQ(edit->Text(), u"-123.5e-2");
  Key(VK_END);
  Type(u"+");
  EXPECT_EQ(edit->Text(), u"-123.5e-2");

  FormatSettings.DecimalSeparator = u',';
  FormatSettings.ThousandSeparator = u'.';
  edit->SetText(u"7");
  Key(VK_END);
  Key(VK_DECIMAL, u".", kHostKeypad);
  EXPECT_EQ(edit->Text(), u"7,") << "the keypad key types the locale's separator";
}

TEST_F(RzEditTest, PasteAndCutLeaveAReadOnlyEditAlone) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  edit->SetValue(42);
  SetClipboardTextW(u"99");
  edit->SetReadOnly(true);
  edit->SelectAll();
  SendMessageW(edit->Handle(), WM_PASTE, 0, 0);
  SendMessageW(edit->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(edit->Text(), u"42");
  edit->SetReadOnly(false);
  edit->SelectAll();
  SendMessageW(edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(edit->Text(), u"99");
}

// ---- Leaving ----

TEST_F(RzEditTest, LeavingChecksTheRangeAndReformats) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  auto* other = Place<TRzEdit>(form, 10, 40);
  edit->SetMin(0);
  edit->SetMax(100);
  int exits = 0;
  edit->OnExit = [&](TObject*) { ++exits; };
  edit->SetFocus();
  Application->ProcessMessages();

  edit->SetText(u"2500");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"100") << "corrected to Max without a handler";
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(exits, 1);

  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetText(u"abc");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"0") << "no digits read as 0, which is in range";

  std::vector<Extended> reported;
  edit->OnRangeError = [&](TObject*, Extended entered, Extended adjusted, bool& autoCorrect) {
    reported = {entered, adjusted};
    autoCorrect = false;
  };
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetText(u"-5 kg");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(reported, (std::vector<Extended>{-5, 0}));
  EXPECT_TRUE(edit->Focused()) << "kept in the control";
  EXPECT_EQ(edit->Text(), u"-5 kg") << "left as typed";
  EXPECT_EQ(exits, 2) << "no OnExit";

  edit->OnRangeError = [](TObject*, Extended, Extended, bool&) {
    throw Exception(u"handler failed");
  };
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"0") << "a failing handler gives Min";
  EXPECT_FALSE(edit->Focused());
}

TEST_F(RzEditTest, RangeCheckRunsOnlyWithABoundOrWhenAsked) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  auto* other = Place<TRzEdit>(form, 10, 40);
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetText(u"-1234");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"(1,234)") << "Min = Max = 0: no check";
  EXPECT_TRUE(edit->Modified());

  edit->SetCheckRange(true);
  edit->SetFocus();
  Application->ProcessMessages();
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"0") << "with CheckRange every value but 0 is out of range";
}

// ---- Stored form ----

TEST_F(RzEditTest, NumericBoxesRoundTripThroughTheirDescription) {
  const String description =
      u"object Form1: TForm\n"
      u"  Left = 0\n"
      u"  Top = 0\n"
      u"  Caption = 'Boxes'\n"
      u"  object Space: TRzNumericEdit\n"
      u"    Left = 8\n"
      u"    Top = 8\n"
      u"    Width = 65\n"
      u"    Height = 21\n"
      u"    TabStop = False\n"
      u"    Color = clInfoBk\n"
      u"    ReadOnly = True\n"
      u"    TabOrder = 0\n"
      u"    Value = 1234.000000000000000000\n"
      u"  end\n"
      u"  object Margin: TRzNumericEdit\n"
      u"    Left = 8\n"
      u"    Top = 40\n"
      u"    Width = 65\n"
      u"    Height = 21\n"
      u"    ReadOnly = True\n"
      u"    TabOrder = 1\n"
      u"    DisplayFormat = '0.0'\n"
      u"    Value = -10.000000000000000000\n"
      u"    CalculatorColors.Display = clYellow\n"
      u"  end\n"
      u"end\n";
  TComponent* root = ReadComponentText(description, u"Boxes.form", nullptr);
  std::unique_ptr<TComponent> owner(root);
  auto* space = dynamic_cast<TRzNumericEdit*>(root->FindComponent(u"Space"));
  auto* margin = dynamic_cast<TRzNumericEdit*>(root->FindComponent(u"Margin"));
  ASSERT_NE(space, nullptr);
  ASSERT_NE(margin, nullptr);
  EXPECT_EQ(space->Text(), u"1,234");
  EXPECT_EQ(margin->Text(), u"-10.0") << "rebuilt with the final format";
  EXPECT_EQ(margin->CalculatorColors()->Display(), clYellow);
  EXPECT_EQ(space->Color(), clInfoBk);
  String written = WriteComponentText(root);
  EXPECT_EQ(written.find(u" Text ="), String::npos) << "the text is never stored\n"
                                                    << ToUtf8(written);
  EXPECT_EQ(written.find(u"Alignment"), String::npos) << "right-justified is the default";
  TComponent* again = ReadComponentText(written, u"Written.form", nullptr);
  std::unique_ptr<TComponent> secondOwner(again);
  EXPECT_EQ(WriteComponentText(again), written);
}

TEST_F(RzEditTest, ReadOnlyCalculatorButtonShowsButOpensNothing) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10, 80);
  edit->SetReadOnly(true);
  edit->SetCalculatorVisible(true);
  EXPECT_TRUE(edit->ShowDropButton()) << "wanted and shown even while read-only";
  std::vector<std::string> log;
  edit->OnDropDown = [&](TObject*) { log.push_back("drop"); };
  edit->OnCloseUp = [&](TObject*) { log.push_back("close"); };
  edit->SetValue(5);
  Click(edit->Handle(), 80 - 8, 10);
  EXPECT_EQ(log, std::vector<std::string>{"close"}) << "the sequence runs, the drop-down not";
  EXPECT_EQ(edit->Value(), 5);
}

TEST_F(RzEditTest, NoTextEverRaisesOrLeavesTheRangeOnExit) {
  TForm* form = BareForm();
  auto* edit = Place<TRzNumericEdit>(form, 10, 10);
  auto* other = Place<TRzEdit>(form, 10, 40);
  edit->SetIntegersOnly(false);
  edit->SetDisplayFormat(u"0.###");
  edit->SetMin(-50);
  edit->SetMax(50);
  const String texts[] = {u"-",    u"(",       u")",         u"E",
                          u"e-",   u"1E99999", u"-1E99999",  u"1E-99999",
                          u"--5",  u"((1))",   u"1,2,3.4.5", u"\u0661\u0662",
                          u"NaN",  u"INF",     u"-0",        String(400, u'9'),
                          u"0x1F", u"$FF",     u"1e",        u"\t\r\n"};
  for (const String& text : texts) {
    SCOPED_TRACE(ToUtf8(text));
    edit->SetFocus();
    Application->ProcessMessages();
    edit->SetText(text);
    EXPECT_NO_THROW({
      other->SetFocus();
      Application->ProcessMessages();
    });
    Extended v = edit->Value();
    EXPECT_TRUE(v >= -50 && v <= 50) << double(v) << " from " << ToUtf8(edit->Text());
  }
}
