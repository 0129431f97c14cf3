#include <gtest/gtest.h>

#include <cmath>

#include "FormDescriptions.h"
#include "Streaming.h"
#include "TestComponents.h"

namespace {

TDescriptionValue ValueOf(const char* valueText) {
  String text = u"object A: T\n  P = " + FromUtf8(valueText) + u"\nend\n";
  return ParseFormDescription(text, u"v.form").Root.Properties.at(0).Value;
}

String ParseError(const char* text) {
  try {
    ParseFormDescription(FromUtf8(text), u"Bad.form");
  } catch (const EDescriptionError& e) {
    return e.Message();
  }
  return u"<no exception>";
}

TEST(FormDescriptionParser, ScalarValues) {
  EXPECT_EQ(ValueOf("-11").Int, -11);
  EXPECT_EQ(ValueOf("-11").Type, vaInt8);
  EXPECT_EQ(ValueOf("300").Type, vaInt16);
  EXPECT_EQ(ValueOf("70000").Type, vaInt32);
  EXPECT_EQ(ValueOf("5000000000").Type, vaInt64);
  EXPECT_EQ(ValueOf("$FF").Int, 255);
  EXPECT_EQ(ValueOf("$FFFFFFFF").Int, -1);  // eight digits are a 32-bit pattern
  EXPECT_EQ(ValueOf("$100000000").Int, 0x100000000LL);
  EXPECT_EQ(ValueOf("1.5").Float, 1.5L);
  EXPECT_EQ(ValueOf("1.5E3").Float, 1500.0L);
  EXPECT_EQ(ValueOf("-2.5e-2").Float, -0.025L);
  EXPECT_EQ(ValueOf("1E2").Type, vaExtended);
  EXPECT_EQ(ValueOf("2.5s").Type, vaSingle);
  EXPECT_EQ(ValueOf("2.5c").Type, vaCurrency);
  EXPECT_EQ(ValueOf("0.71").Float, 0.71L);  // read in extended precision, not via double
  EXPECT_EQ(ValueOf("clBtnFace").Type, vaIdent);
  EXPECT_EQ(ValueOf("true").Type, vaTrue);
  EXPECT_EQ(ValueOf("nil").Type, vaNil);
  EXPECT_EQ(ValueOf("Form2.Edit1").Text, u"Form2.Edit1");
}

TEST(FormDescriptionParser, Strings) {
  EXPECT_EQ(ValueOf("'It''s'").Text, u"It's");
  EXPECT_EQ(ValueOf("'a'#13#10'b'").Text, u"a\r\nb");
  EXPECT_EQ(ValueOf("#$41#66").Text, u"AB");
  EXPECT_EQ(ValueOf("#128512").Text, u"\U0001F600");
  EXPECT_EQ(ValueOf("''").Text, u"");
  TDescriptionValue joined = ValueOf("\n    'first ' +\n    'second'");
  EXPECT_EQ(joined.Text, u"first second");
  EXPECT_EQ(joined.Line, 3);
  EXPECT_EQ(ValueOf("'caf\xC3\xA9'").Text, u"caf\u00e9");
  EXPECT_EQ(ValueOf("'\xC3\xA9'").Type, vaString);
  EXPECT_EQ(ValueOf("'\xE2\x82\xAC'").Type, vaWString);
  EXPECT_EQ(ValueOf(("'" + std::string(300, 'x') + "'").c_str()).Type, vaLString);
}

TEST(FormDescriptionParser, CompoundValuesAndBlocks) {
  TDescriptionValue set = ValueOf("[sdLeft, sdTop]");
  EXPECT_EQ(set.Type, vaSet);
  EXPECT_EQ(set.Elements, (std::vector<String>{u"sdLeft", u"sdTop"}));
  EXPECT_TRUE(ValueOf("[]").Elements.empty());
  TDescriptionValue list = ValueOf("(\n 1\n 'two'\n (3))");
  ASSERT_EQ(list.Items.size(), 3u);
  EXPECT_EQ(list.Items[2].Items.at(0).Int, 3);
  TDescriptionValue coll = ValueOf("<\n item\n  Width = 5\n end\n item [2]\n end>");
  ASSERT_EQ(coll.Collection.size(), 2u);
  EXPECT_EQ(coll.Collection[0].Properties.at(0).Name, u"Width");
  EXPECT_TRUE(coll.Collection[1].HasOrder);
  EXPECT_EQ(ValueOf("{\n 0aFF\n 10 }").Bytes, (std::vector<std::uint8_t>{0x0A, 0xFF, 0x10}));

  TFormDescription d = ParseFormDescription(
      u"inherited F: TF\n  Font.Name = 'x'\n  inline Frame1: TFrame1 [3]\n  end\n  object TTimer\n"
      u"  end\n  object = 1\nend",
      u"d.form");
  EXPECT_EQ(d.Root.Block, TDescriptionBlock::Inherited);
  EXPECT_EQ(d.Root.Properties.at(0).Name, u"Font.Name");
  ASSERT_EQ(d.Root.Children.size(), 2u);
  EXPECT_EQ(d.Root.Children[0].Block, TDescriptionBlock::Inline);
  EXPECT_EQ(d.Root.Children[0].ChildPos, 3);
  EXPECT_EQ(d.Root.Children[0].Line, 3);
  EXPECT_EQ(d.Root.Children[1].Name, u"");
  EXPECT_EQ(d.Root.Children[1].ClassName, u"TTimer");
  // A property that happens to be called like a keyword is still a property.
  EXPECT_EQ(d.Root.Properties.at(1).Name, u"object");
}

TEST(FormDescriptionParser, ErrorsNameFileAndLine) {
  EXPECT_EQ(ParseError(""), u"Bad.form(1): Unexpected end of file: object expected");
  EXPECT_EQ(ParseError("object A: T\n  X = 1\n"),
            u"Bad.form(2): Unexpected end of file: 'end' expected");
  EXPECT_EQ(ParseError("object A: T\n  X =\nend\n"), u"Bad.form(3): Value expected");
  EXPECT_EQ(ParseError("object A: T\n  X = [a b]\nend"), u"Bad.form(2): ',' expected");
  EXPECT_EQ(ParseError("object A: T\n  X = 'a' +\nend"), u"Bad.form(3): String expected");
  EXPECT_EQ(ParseError("object A: T\n  X = {0F 1}\nend"), u"Bad.form(2): Invalid binary value");
  EXPECT_EQ(ParseError("object A: T\n  X = {0F\n"),
            u"Bad.form(2): Unexpected end of file in binary value");
  EXPECT_EQ(ParseError("object A: T\n  X = 99999999999999999999\nend"),
            u"Bad.form(2): Invalid integer value 99999999999999999999");
  EXPECT_EQ(ParseError("object A: T\n  X = 12ab\nend"), u"Bad.form(2): Invalid number");
  EXPECT_EQ(ParseError("object A: T\n  X = #\nend"), u"Bad.form(2): Invalid character code");
  EXPECT_EQ(ParseError("object A: T\nend\nend"), u"Bad.form(3): End of file expected");
  EXPECT_EQ(ParseError("object A: T\n  X = (1\nend"), u"Bad.form(3): Value expected");
  std::string deep = "object A: T\n  X = ";
  for (int i = 0; i < 300; ++i) deep += "(";
  EXPECT_EQ(ParseError(deep.c_str()), u"Bad.form(2): Description nested too deeply");
}

TEST(FormDescriptionText, FormatIsStableAndSplitsLongValues) {
  TFormDescription d;
  d.Root.Name = u"F";
  d.Root.ClassName = u"TF";
  d.Root.Properties.push_back(
      {u"Caption", 0, TDescriptionValue::StringValue(String(70, u'a') + u"\n")});
  d.Root.Properties.push_back({u"Ratio", 0, TDescriptionValue::FloatValue(0.2L)});
  TDescriptionValue bin;
  bin.Type = vaBinary;
  bin.Bytes.assign(40, 0xAB);
  d.Root.Properties.push_back({u"Data", 0, bin});
  String text = FormDescriptionToText(d);
  auto ab = [](int n) {
    String s;
    for (int i = 0; i < n; ++i) s += u"AB";
    return s;
  };
  EXPECT_EQ(text, u"object F: TF\n  Caption =\n    '" + String(64, u'a') + u"' +\n    '" +
                      String(6, u'a') + u"'#10\n  Ratio = 0.2\n  Data = {\n    " + ab(32) +
                      u"\n    " + ab(8) + u"}\nend\n");
  // Text -> tree -> text is a fixed point.
  EXPECT_EQ(FormDescriptionToText(ParseFormDescription(text, u"t.form")), text);
}

TEST(FormDescriptionText, FloatsAreShortestAndExact) {
  EXPECT_EQ(DescriptionFloatToText(15), u"15.0");
  EXPECT_EQ(DescriptionFloatToText(0.2L), u"0.2");
  EXPECT_EQ(DescriptionFloatToText(-1.5e-20L), u"-1.5E-20");
  EXPECT_EQ(DescriptionFloatToText(1e25L), u"1.0E25");
  for (Extended v : {1.0L / 3.0L, 0.1L, 2.0L / 7.0L * 1e-300L, 123456789.123456789L}) {
    TDescriptionValue back = ValueOf(ToUtf8(DescriptionFloatToText(v)).c_str());
    EXPECT_EQ(back.Float, v) << ToUtf8(DescriptionFloatToText(v));
  }
  EXPECT_THROW(DescriptionFloatToText(INFINITY), EWriteError);
}

// Other tests of this executable embed forms of their own classes, which they check
// themselves; only the test family's descriptions are loaded here.
std::vector<String> OfTestFamily(std::vector<String> failures) {
  std::erase_if(failures, [](const String& f) {
    return f.rfind(u"SampleForm.form", 0) != 0 && f.rfind(u"Broken.form", 0) != 0;
  });
  return failures;
}

TEST(EmbeddedDescriptions, FoundByClassOrFileNameAndLoadable) {
  RegisterTestComponents();
  const TEmbeddedDescription* byClass = FindFormDescription(u"ttestform");
  ASSERT_NE(byClass, nullptr);
  EXPECT_EQ(byClass->FileName, u"SampleForm.form");
  EXPECT_EQ(FindFormDescription(u"SAMPLEFORM.FORM"), byClass);
  EXPECT_EQ(FindFormDescription(u"TOther"), nullptr);
  // Every embedded description loads against the tables, with a root from the registry or
  // one the caller makes.
  EXPECT_EQ(OfTestFamily(CheckEmbeddedDescriptions()), std::vector<String>{});
  int made = 0;
  EXPECT_EQ(OfTestFamily(CheckEmbeddedDescriptions([&](const TEmbeddedDescription&) -> TComponent* {
              ++made;
              return new TTestForm(nullptr);
            })),
            std::vector<String>{});
  EXPECT_EQ(made, static_cast<int>(EmbeddedFormDescriptions().size()));
  TTestForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form, u"TTestControl"));
  EXPECT_EQ(form.Caption, u"Embedded");
  ASSERT_NE(form.Button1, nullptr);
  form.Button1->OnClick(form.Button1);
  EXPECT_EQ(form.Calls, (std::vector<std::string>{"ButtonClick Button1"}));
  // A broken one is reported with its file and line, and leaves nothing behind.
  static const char kBroken[] = "object X: TTestForm\n  Colour = 1\nend\n";
  RegisterFormDescription("Broken.form", kBroken, sizeof kBroken - 1);
  EXPECT_EQ(FindFormDescription(u"Broken.form")->ResourceName, u"TTestForm");
  EXPECT_EQ(OfTestFamily(CheckEmbeddedDescriptions()),
            std::vector<String>{u"Broken.form(2): Property Colour does not exist"});
}

}  // namespace
