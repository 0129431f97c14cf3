#include <gtest/gtest.h>

#include <cmath>

#include "GraphicsTypeInfo.h"
#include "Streaming.h"
#include "TestComponents.h"
#include "TestSupport.h"

namespace {

const char* kForm = R"(object TestForm: TTestForm
  Caption = 'Print Preview - ' +
    'Korvane'
  Color = clBtnFace
  Font.Name = 'MS Sans Serif'
  Font.Height = -11
  Font.Style = [fsBold]
  OnClick = FormCreate
  object Panel1: TTestPanel
    Align = talTop
    Sides = [tsLeft, tsTop]
    FocusControl = Button1
    object Button1: TTestButton
      Left = 9
      Caption = 'It''s'#13#10'done'
      Value = 0.71
      OnClick = ButtonClick
      OnMouse = MouseDown
      Items.Strings = (
        '35%'
        '50%')
    end
  end
  object Timer: TTestTimer
    Left = 16
    Top = 8
  end
end
)";

String MessageOfRead(const char* text, TComponent* root, const String& file = u"Form1.form") {
  try {
    ReadComponentText(FromUtf8(text), file, root);
  } catch (const EReadError& e) {
    return e.Message();
  }
  return u"<no exception>";
}

class Streaming : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestComponents();
    TestLog().clear();
  }
};

TEST_F(Streaming, ReadsNestedComponentsOwnedByTheRootAndParentedByTheirBlock) {
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  EXPECT_EQ(form.Name(), u"TestForm");
  EXPECT_EQ(form.Caption, u"Print Preview - Korvane");
  EXPECT_EQ(form.Font()->Name(), u"MS Sans Serif");
  EXPECT_EQ(form.Font()->Height(), -11);
  EXPECT_TRUE(form.Font()->Style().Contains(fsBold));
  ASSERT_EQ(form.ComponentCount(), 3);
  ASSERT_NE(form.Panel1, nullptr);
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Owner(), &form);
  EXPECT_EQ(form.Button1->Parent(), form.Panel1);
  EXPECT_EQ(form.Panel1->Parent(), &form);
  EXPECT_EQ(form.Panel1->Align, talTop);
  EXPECT_EQ(form.Panel1->Sides, (TTestSides{tsLeft, tsTop}));
  // A reference to a component described later is resolved after everything is read.
  EXPECT_EQ(form.Panel1->FocusControl(), form.Button1);
  EXPECT_EQ(form.Button1->Caption, u"It's\r\ndone");
  EXPECT_EQ(form.Button1->Value, 0.71L);
  EXPECT_EQ(form.Button1->Items()->ToVector(), (std::vector<String>{u"35%", u"50%"}));
  auto* timer = form.FindComponent(u"Timer");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->DesignInfo(), (8 << 16) | 16);
  for (TComponent* c : {static_cast<TComponent*>(&form), timer})
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
}

TEST_F(Streaming, EventsAreBoundToTheRootsMethodsByName) {
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  form.Button1->OnClick(form.Button1);
  form.Button1->OnMouse(form.Button1, 1);
  form.OnClick(&form);
  EXPECT_EQ(form.Calls,
            (std::vector<std::string>{"ButtonClick Button1", "MouseDown 1", "FormCreate"}));
}

TEST_F(Streaming, LoadedRunsOnceForEveryComponentUnderCsLoadingRootFirst) {
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  EXPECT_EQ(TestLog(),
            (std::vector<std::string>{"Loaded TestForm loading=1", "Loaded Panel1 loading=1",
                                      "Loaded Button1 loading=1"}));
}

TEST_F(Streaming, ReaderCreatesTheRootFromItsClassWhenNoneIsGiven) {
  TComponent* root = ReadComponentText(FromUtf8(kForm), u"Test.form", nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->ClassName(), u"TTestForm");
  EXPECT_EQ(root->ComponentCount(), 3);
  delete root;
}

TEST_F(Streaming, BadInputNamesFileAndLineAndFreesWhatWasCreated) {
  struct Case {
    const char* text;
    const char16_t* message;
  };
  const Case cases[] = {
      {"object F: TTestForm\n  Colour = 1\nend\n",
       u"Form1.form(2): Property Colour does not exist"},
      {"object F: TTestForm\n  object B: TTestButton\n    Font.Nme = 'x'\n  end\nend\n",
       u"Form1.form(3): Property Font.Nme does not exist"},
      {"object F: TTestForm\n  object B: TNoSuchButton\n  end\nend\n",
       u"Form1.form(2): Class TNoSuchButton not found"},
      {"object F: TTestForm\n  Align = talClent\nend\n",
       u"Form1.form(2): Invalid property value talClent for Align"},
      {"object F: TTestForm\n  Left = 'ten'\nend\n", u"Form1.form(2): Invalid property value"},
      {"object F: TTestForm\n  Caption = 10\nend\n", u"Form1.form(2): Invalid property value"},
      {"object F: TTestForm\n  Visible = 1\nend\n", u"Form1.form(2): Invalid property value"},
      {"object F: TTestForm\n  Sides = [tsLeft, tsMiddle]\nend\n",
       u"Form1.form(2): Invalid property element: tsMiddle"},
      {"object F: TTestForm\n  Left = 4294967296\nend\n",
       u"Form1.form(2): Invalid property value 4294967296 for Left"},
      {"object F: TTestForm\n  Color = clPlaid\nend\n",
       u"Form1.form(2): Invalid property value clPlaid for Color"},
      {"object F: TTestForm\n  OnClick = Missing\nend\n",
       u"Form1.form(2): Method Missing not found"},
      {"object F: TTestForm\n  OnClick = MouseDown\nend\n",
       u"Form1.form(2): The MouseDown method referenced by OnClick has an incompatible parameter "
       u"list"},
      {"object F: TTestForm\n  object A: TTestButton\n  end\n  object a: TTestButton\n  end\nend\n",
       u"Form1.form(4): A component named a already exists"},
      {"object F: TTestForm\n  object A: TTestButton\n    FocusControl = Nobody\n  end\nend\n",
       u"Form1.form(3): Reference to unknown component Nobody"},
      {"object F: TTestForm\n  object A: TTestButton\n    Numbers = (1 'two')\n  end\nend\n",
       u"Form1.form(3): Invalid property value"},
      {"object F: TTestForm\n  object A: TTestButton\n    Left = 1\n",
       u"Form1.form(3): Unexpected end of file: 'end' expected"},
      {"object F: TTestForm\n  Caption = 'open\nend\n", u"Form1.form(2): Unterminated string"},
      {"object F: TTestForm\n  inherited Gone: TTestButton\n  end\nend\n",
       u"Form1.form(2): Ancestor for 'Gone' not found"},
  };
  for (const Case& c : cases) {
    TTestForm form(nullptr);
    EXPECT_EQ(MessageOfRead(c.text, &form), c.message) << c.text;
    // Components the failed read made are gone again, and their fields with them.
    EXPECT_EQ(form.ComponentCount(), 0) << c.text;
    EXPECT_EQ(form.Button1, nullptr);
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  }
  // A root the reader made itself goes too (ASan reports a leak otherwise).
  EXPECT_THROW(
      ReadComponentText(u"object F: TTestForm\n  object B: TTestButton\n    Top = x\n  end\nend\n",
                        u"Form1.form", nullptr),
      EDescriptionError);
}

TEST_F(Streaming, DefinedPropertiesAreReadAndOnlyThoseWithDataWritten) {
  TTestForm form(nullptr);
  ReadComponentText(
      u"object F: TTestForm\n  OldValue = 3\n  Numbers = (1 2 -3)\n"
      u"  Blob = {\n    00FF10}\nend\n",
      u"F.form", &form);
  EXPECT_EQ(form.OldValuesSeen, 1);
  EXPECT_EQ(form.Numbers, (std::vector<int>{1, 2, -3}));
  EXPECT_EQ(form.Blob, (std::vector<std::uint8_t>{0x00, 0xFF, 0x10}));
  String text = WriteComponentText(&form);
  EXPECT_EQ(text.find(u"OldValue"), String::npos);
  EXPECT_NE(text.find(u"Numbers = (\n    1\n    2\n    -3)"), String::npos) << ToUtf8(text);
  EXPECT_NE(text.find(u"Blob = {\n    00FF10}"), String::npos) << ToUtf8(text);
}

TEST_F(Streaming, WriterSkipsDefaultsAndUnstoredValues) {
  TTestForm form(nullptr);
  form.SetName(u"F");
  auto* panel = new TTestPanel(&form);
  panel->SetName(u"Panel1");
  panel->SetParentComponent(&form);
  String text = WriteComponentText(&form);
  // Nodefault integers are always written; defaults, empty strings and zero floats are not.
  EXPECT_EQ(
      text,
      u"object F: TTestForm\n  Left = 0\n  Top = 0\n  Width = 0\n  Font.Charset = DEFAULT_CHARSET\n"
      u"  Font.Color = clWindowText\n  Font.Height = -11\n  Font.Name = 'Tahoma'\n"
      u"  Font.Style = []\n  object Panel1: TTestPanel\n    Left = 0\n    Top = 0\n"
      u"    Width = 0\n    Font.Charset = DEFAULT_CHARSET\n    Font.Color = clWindowText\n"
      u"    Font.Height = -11\n    Font.Name = 'Tahoma'\n    Font.Style = []\n  end\nend\n");
  // The panel's redeclared default is the one compared.
  panel->Color = clBtnFace;
  panel->Visible = false;
  panel->SetTag(7);
  EXPECT_NE(WriteComponentText(&form).find(u"    Color = clBtnFace\n    Visible = False\n"),
            String::npos);
  // The stored rule beats a non-default value.
  panel->Caption = u"hidden";
  EXPECT_EQ(WriteComponentText(&form).find(u"Visible"), String::npos);
  EXPECT_NE(WriteComponentText(&form).find(u"Tag = 7"), String::npos);
}

TEST_F(Streaming, RoundTripKeepsTheTextAfterNormalisation) {
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  form.Button1->Value = 1.0L / 3.0L;
  form.Button1->PasswordChar = u'*';
  form.Panel1->Color = 0x00123456;
  form.Button1->Caption = String(70, u'x') + u"\u00e9'";
  auto* item = static_cast<TTestItem*>(form.Button1->Columns()->Add());
  item->Caption = u"First";
  item->Width = 80;
  form.Button1->Columns()->Add();
  String first = WriteComponentText(&form);

  TTestForm again(nullptr);
  ReadComponentText(first, u"Again.form", &again);
  EXPECT_EQ(again.Button1->Value, 1.0L / 3.0L);  // exact in extended precision
  ASSERT_EQ(again.Button1->Columns()->Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(again.Button1->Columns()->Items(0))->Width, 80);
  String second = WriteComponentText(&again);
  EXPECT_EQ(first, second);
  // Normalising the original text and writing the loaded form agree on what both state.
  EXPECT_NE(first.find(u"FocusControl = Button1"), String::npos);
  EXPECT_NE(first.find(u"OnClick = ButtonClick"), String::npos);
  EXPECT_NE(first.find(u"Items.Strings = (\n        '35%'\n        '50%')"), String::npos)
      << ToUtf8(first);
  EXPECT_NE(
      first.find(u"Columns = <\n        item\n          Caption = 'First'\n          Width = 80\n"
                 u"        end\n        item\n        end>"),
      String::npos)
      << ToUtf8(first);
  EXPECT_NE(first.find(u"Color = 1193046"), String::npos);
}

TEST_F(Streaming, InheritedBlocksUpdateExistingComponents) {
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  TestLog().clear();
  ReadComponentText(
      u"inherited TestForm: TTestForm\n  inherited Button1: TTestButton\n"
      u"    Left = 99\n  end\nend\n",
      u"Derived.form", &form);
  EXPECT_EQ(form.Button1->Left, 99);
  EXPECT_EQ(form.ComponentCount(), 3);
  EXPECT_EQ(TestLog(),
            (std::vector<std::string>{"Loaded TestForm loading=1", "Loaded Button1 loading=1"}));
}

TEST_F(Streaming, FilesOnDiskAndTheirErrors) {
  TempDir dir;
  TTestForm form(nullptr);
  ReadComponentText(FromUtf8(kForm), u"Test.form", &form);
  String path = dir.path() + u"Saved.form";
  WriteComponentResFile(path, &form);
  TTestForm loaded(nullptr);
  ReadComponentResFile(path, &loaded);
  EXPECT_EQ(WriteComponentText(&loaded), WriteComponentText(&form));
  EXPECT_THROW(ReadComponentResFile(dir.path() + u"Missing.form", &loaded), EFOpenError);
  EXPECT_THROW(ReadComponentRes(u"TNoSuchForm", &loaded), EResNotFound);
}

}  // namespace

namespace {

// Floats with each kind of declaration: none (always written), a default of 0, another default,
// and a stored rule without a default.
class TFloatHolder : public TComponent {
 public:
  explicit TFloatHolder(TComponent* owner) : TComponent(owner) {}
  String ClassName() const override { return u"TFloatHolder"; }
  Extended Always = 0;
  Extended Zeroed = 0;
  double Scale = 2.5;
  float Kept = 0;
  bool KeepIt = false;
};

void RegisterFloatHolder() {
  static const bool once = [] {
    Published<TFloatHolder>(u"TFloatHolder", u"TComponent")
        .Creatable()
        .Float(u"Always", &TFloatHolder::Always, &TFloatHolder::Always)
        .Float(u"Zeroed", &TFloatHolder::Zeroed, &TFloatHolder::Zeroed, 0.0)
        .Float(u"Scale", &TFloatHolder::Scale, &TFloatHolder::Scale, 2.5)
        .Float(u"Kept", &TFloatHolder::Kept, &TFloatHolder::Kept)
        .StoredIf([](TFloatHolder* h) { return h->KeepIt; });
    return true;
  }();
  (void)once;
}

}  // namespace

TEST_F(Streaming, FloatsFollowTheirDeclaredDefaultAndStoredRuleNotZero) {
  RegisterFloatHolder();
  TFloatHolder holder(nullptr);
  holder.SetName(u"H");
  // Zero is written where it is not the default; the default is not written even when not zero.
  holder.Scale = 0;
  EXPECT_EQ(WriteComponentText(&holder),
            u"object H: TFloatHolder\n  Always = 0.0\n  Scale = 0.0\nend\n");
  TFloatHolder back(nullptr);
  ReadComponentText(WriteComponentText(&holder), u"H.form", &back);
  EXPECT_EQ(back.Scale, 0.0);

  holder.Always = -1.5L;
  holder.Zeroed = 4;
  holder.Scale = 2.5;
  holder.Kept = 3;
  String text = WriteComponentText(&holder);
  EXPECT_EQ(text, u"object H: TFloatHolder\n  Always = -1.5\n  Zeroed = 4.0\nend\n");
  // The stored rule decides, whatever the value.
  EXPECT_EQ(text.find(u"Kept"), String::npos);
  holder.KeepIt = true;
  holder.Kept = 0;
  EXPECT_NE(WriteComponentText(&holder).find(u"  Kept = 0.0s\n"), String::npos)
      << ToUtf8(WriteComponentText(&holder));
  // A property declared without a default again: always written.
  EXPECT_EQ(FindClassInfo(u"TFloatHolder")->FindProp(u"Always")->FloatDefault, std::nullopt);
  EXPECT_EQ(FindClassInfo(u"TFloatHolder")->FindProp(u"Scale")->FloatDefault, 2.5);
}
