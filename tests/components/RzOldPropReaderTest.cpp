#include <gtest/gtest.h>

#include "Components.h"
#include "RzOldPropReader.h"
#include "Streaming.h"
#include "TypInfo.h"

namespace {

// Registers obsolete names the way the framed panel and edit classes do: the inherited
// definitions first, then one read-only name per obsolete property.
class TOldPanel : public TComponent {
 public:
  using TComponent::TComponent;
  String ClassName() const override { return u"TOldPanel"; }
  void DefineProperties(TFiler* filer) override {
    TComponent::DefineProperties(filer);
    filer->DefineProperty(u"FrameSides", TRzOldPropReader::ReadOldSetProp, nullptr, false);
    filer->DefineProperty(u"ThemeAware", TRzOldPropReader::ReadOldBooleanProp, nullptr, false);
    // A converter of the class itself: the old value still means something.
    filer->DefineProperty(
        u"UseGradients", [this](TReader* r) { Gradients = r->ReadBoolean(); }, nullptr, false);
  }
  String Caption;
  int BorderWidth = 0;
  bool Gradients = false;
};

// A descendant inherits the registrations through the inherited call and adds its own.
class TOldEdit : public TOldPanel {
 public:
  using TOldPanel::TOldPanel;
  String ClassName() const override { return u"TOldEdit"; }
  void DefineProperties(TFiler* filer) override {
    TOldPanel::DefineProperties(filer);
    filer->DefineProperty(u"FrameFlatStyle", TRzOldPropReader::ReadOldEnumProp, nullptr, false);
    filer->DefineProperty(u"FlatButtonParentColor", TRzOldPropReader::ReadOldBooleanProp, nullptr,
                          false);
    filer->DefineProperty(u"OldIdent", TRzOldPropReader::ReadOldIdentProp, nullptr, false);
    filer->DefineProperty(u"OldCount", TRzOldPropReader::ReadOldIntegerProp, nullptr, false);
    filer->DefineProperty(u"OldText", TRzOldPropReader::ReadOldStringProp, nullptr, false);
    // Registered with the do-nothing writer: still never written, as HasData is false.
    filer->DefineProperty(u"OldWritten", TRzOldPropReader::ReadOldBooleanProp,
                          TRzOldPropReader::WriteOldProp, false);
  }
};

void Register() {
  static const bool once = [] {
    Published<TOldPanel>(u"TOldPanel", u"TComponent")
        .Creatable()
        .Str(u"Caption", &TOldPanel::Caption, &TOldPanel::Caption)
        .Int(u"BorderWidth", &TOldPanel::BorderWidth, &TOldPanel::BorderWidth, 0);
    Published<TOldEdit>(u"TOldEdit", u"TOldPanel").Creatable();
    return true;
  }();
  (void)once;
}

const char16_t* kOld =
    u"object Root: TComponent\n"
    u"  object Panel1: TOldPanel\n"
    u"    Caption = 'Calc'\n"
    u"    FrameSides = [sdLeft, sdTop]\n"
    u"    ThemeAware = True\n"
    u"    BorderWidth = 2\n"
    u"    UseGradients = True\n"
    u"  end\n"
    u"  object Edit1: TOldEdit\n"
    u"    FrameSides = []\n"
    u"    FrameFlatStyle = fsFlatBold\n"
    u"    FlatButtonParentColor = False\n"
    u"    OldIdent = clWindow\n"
    u"    OldCount = -3\n"
    u"    OldText = 'gone'\n"
    u"    OldWritten = True\n"
    u"    Caption = 'after'\n"
    u"  end\n"
    u"end\n";

TEST(RzOldPropReader, ObsoleteNamesLoadAndLeaveTheOwnPropertiesAlone) {
  Register();
  TComponent root(nullptr);
  ReadComponentText(kOld, u"Old.form", &root);
  auto* panel = dynamic_cast<TOldPanel*>(root.FindComponent(u"Panel1"));
  auto* edit = dynamic_cast<TOldEdit*>(root.FindComponent(u"Edit1"));
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(panel->Caption, u"Calc");
  EXPECT_EQ(panel->BorderWidth, 2);
  EXPECT_TRUE(panel->Gradients);
  // The property after the empty set was read: the set took exactly its own value.
  EXPECT_EQ(edit->Caption, u"after");
}

TEST(RzOldPropReader, EmptySetIsOneSetStartAndOneEmptyName) {
  // The same steps the procedure takes, checked one by one on an empty stored set.
  TFormDescription d = ParseFormDescription(u"object R: TOldProbe\n  S = []\nend\n", u"P.form");
  TReader* seen = nullptr;
  struct Probe : TComponent {
    using TComponent::TComponent;
    std::function<void(TReader*)> check;
    void DefineProperties(TFiler* f) override { f->DefineProperty(u"S", check, nullptr, false); }
  } probe(nullptr);
  std::vector<int> steps;
  probe.check = [&](TReader* r) {
    seen = r;
    steps.push_back(r->ReadValue());
    steps.push_back(static_cast<int>(r->ReadStr().size()));
    steps.push_back(r->NextValue());
  };
  TReader reader(d);
  reader.ReadRootComponent(&probe);
  EXPECT_NE(seen, nullptr);
  EXPECT_EQ(steps, (std::vector<int>{vaSet, 0, vaNull}));
}

TEST(RzOldPropReader, ValuesOfAnotherKindFailAsAnyProperty) {
  Register();
  struct Case {
    const char16_t* prop;
    const char16_t* message;
  };
  for (const Case& c :
       {Case{u"ThemeAware = 5", u"Bad.form(3): Invalid property value"},
        Case{u"FrameSides = sdLeft", u"Bad.form(3): Invalid property value"},
        Case{u"OldCount = 'x'", u"Bad.form(3): Invalid property value"},
        Case{u"FrameFlatStyle = [fsNone]", u"Bad.form(3): Invalid property value"},
        Case{u"ThemeAwareness = True", u"Bad.form(3): Property ThemeAwareness does not exist"}}) {
    TComponent root(nullptr);
    String text = String(u"object Root: TComponent\n  object Edit1: TOldEdit\n    ") + c.prop +
                  u"\n  end\nend\n";
    String message;
    try {
      ReadComponentText(text, u"Bad.form", &root);
    } catch (const EReadError& e) {
      message = e.Message();
    }
    EXPECT_EQ(message, c.message) << ToUtf8(c.prop);
    EXPECT_EQ(root.ComponentCount(), 0);
  }
}

TEST(RzOldPropReader, SavingWritesNoObsoleteName) {
  Register();
  TComponent root(nullptr);
  ReadComponentText(kOld, u"Old.form", &root);
  String text = WriteComponentText(&root);
  for (const char16_t* name :
       {u"FrameSides", u"ThemeAware", u"UseGradients", u"FrameFlatStyle", u"FlatButtonParentColor",
        u"OldIdent", u"OldCount", u"OldText", u"OldWritten"})
    EXPECT_EQ(text.find(name), String::npos) << ToUtf8(name);
  EXPECT_NE(text.find(u"BorderWidth = 2"), String::npos);
  EXPECT_NE(text.find(u"Caption = 'after'"), String::npos);
}

}  // namespace
