// The stave settings as a form description: six spin edits and two read-only numeric boxes
// load with their bounds, formats and values, show their starting texts and write back the
// same description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormDescriptions.h"
#include "Forms.h"
#include "RzSpnEdt.h"
#include "Streaming.h"
#include "UserDriver.h"

namespace {

class TStaveSettingsForm : public TForm {
 public:
  explicit TStaveSettingsForm(TComponent* owner) : TForm(owner) {}
  String ClassName() const override { return u"TStaveSettingsForm"; }

  TRzSpinEdit* StavesSpin = nullptr;
  TRzSpinEdit* GroupsSpin = nullptr;
  TRzSpinEdit* StaveHeightSpin = nullptr;
  TRzSpinEdit* LineWidthSpin = nullptr;
  TRzNumericEdit* PageLengthEdit = nullptr;
  TRzSpinEdit* GapHeightSpin = nullptr;
  TRzNumericEdit* SpaceRequiredEdit = nullptr;
  TRzSpinEdit* TopMarginSpin = nullptr;

  std::vector<std::string> changes;
  void SpinChange(TObject* sender) {
    changes.push_back(ToUtf8(static_cast<TComponent*>(sender)->Name()));
  }
};

void RegisterStaveSettingsForm() {
  static const bool registered = [] {
    RegisterRzSpnEdtClasses();
    Published<TStaveSettingsForm>(u"TStaveSettingsForm", u"TForm")
        .Creatable()
        .Field(u"StavesSpin", &TStaveSettingsForm::StavesSpin)
        .Field(u"GroupsSpin", &TStaveSettingsForm::GroupsSpin)
        .Field(u"StaveHeightSpin", &TStaveSettingsForm::StaveHeightSpin)
        .Field(u"LineWidthSpin", &TStaveSettingsForm::LineWidthSpin)
        .Field(u"PageLengthEdit", &TStaveSettingsForm::PageLengthEdit)
        .Field(u"GapHeightSpin", &TStaveSettingsForm::GapHeightSpin)
        .Field(u"SpaceRequiredEdit", &TStaveSettingsForm::SpaceRequiredEdit)
        .Field(u"TopMarginSpin", &TStaveSettingsForm::TopMarginSpin)
        .Method(u"SpinChange", &TStaveSettingsForm::SpinChange);
    return true;
  }();
  (void)registered;
}

class RzSpinEditDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UserResetForTesting();
    FormatSettings.DecimalSeparator = u'.';
    RegisterStaveSettingsForm();
  }
  void TearDown() override {
    ResetApplicationForTesting();
    UserResetForTesting();
  }
};

TEST_F(RzSpinEditDescriptionTest, LoadsWithTheStartingTexts) {
  auto* form = CreateNewForm<TStaveSettingsForm>(Application);
  ASSERT_NE(form->StavesSpin, nullptr);
  EXPECT_EQ(form->StavesSpin->Text(), u"8");
  EXPECT_EQ(form->GroupsSpin->Text(), u"1");
  EXPECT_EQ(form->StaveHeightSpin->Text(), u"10.0");
  EXPECT_EQ(form->LineWidthSpin->Text(), u"0.20");
  EXPECT_EQ(form->GapHeightSpin->Text(), u"10.0");
  EXPECT_EQ(form->TopMarginSpin->Text(), u"10");
  EXPECT_TRUE(form->GapHeightSpin->IntegersOnly());
  EXPECT_DOUBLE_EQ(double(form->LineWidthSpin->Increment()), 0.05);
  EXPECT_EQ(form->StaveHeightSpin->Width(), 73);
  for (TRzNumericEdit* box : {form->PageLengthEdit, form->SpaceRequiredEdit}) {
    EXPECT_TRUE(box->ReadOnly());
    EXPECT_EQ(box->DisplayFormat(), u",0;(,0)");
  }
  form->Show();
  Application->ProcessMessages();
  // The change handlers are bound: one step of each reaches the form.
  form->changes.clear();
  form->StavesSpin->StepUp(1);
  form->LineWidthSpin->StepUp(form->LineWidthSpin->Increment());
  EXPECT_EQ(form->LineWidthSpin->Text(), u"0.25");
  EXPECT_EQ(form->changes, (std::vector<std::string>{"StavesSpin", "LineWidthSpin"}));
}

TEST_F(RzSpinEditDescriptionTest, WritesBackTheSameDescription) {
  const TEmbeddedDescription* source = FindFormDescription(u"StaveSettingsForm.form");
  ASSERT_NE(source, nullptr);
  auto* form = CreateNewForm<TStaveSettingsForm>(Application);
  // Auto-sized from the font's cell, the edits keep the 21 pixels they were designed with.
  EXPECT_EQ(form->StavesSpin->Height(), 21);
  const std::string written = ToUtf8(WriteComponentText(form));
  EXPECT_EQ(written, std::string(source->Text));

  // What was written reads back to the same values and writes again unchanged.
  delete form;
  auto* again = CreateBareForm<TStaveSettingsForm>(Application);
  ReadComponentText(FromUtf8(written), u"written", again);
  EXPECT_EQ(again->LineWidthSpin->Text(), u"0.20");
  EXPECT_EQ(ToUtf8(WriteComponentText(again)), written);
}

TEST_F(RzSpinEditDescriptionTest, ObsoleteNamesLoadAndAreNeverWrittenAgain) {
  auto* form = CreateBareForm<TForm>(Application);
  ReadComponentText(
      u"object F: TForm\n"
      u"  object Old: TRzSpinEdit\n"
      u"    FlatButtonParentColor = True\n"
      u"    FrameFlat = True\n"
      u"    Max = 50.0\n"
      u"    Value = 60.0\n"
      u"  end\n"
      u"end\n",
      u"Old.form", form);
  auto* spin = static_cast<TRzSpinEdit*>(form->FindComponent(u"Old"));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->Text(), u"50") << "the value is read under the bound written before it";
  const String written = WriteComponentText(form);
  EXPECT_EQ(written.find(u"FlatButtonParentColor"), String::npos) << ToUtf8(written);
  EXPECT_EQ(written.find(u"FrameFlat"), String::npos) << ToUtf8(written);
  EXPECT_EQ(written.find(u"About"), String::npos) << ToUtf8(written);
}

// The block of one spin edit named Spin as the writer gives it, without its position.
String SpinBlock(const String& form) {
  std::size_t from = form.find(u"  object Spin: ");
  std::size_t to = form.find(u"  end\n", from);
  return from == String::npos ? String() : form.substr(from, to + 6 - from);
}

TEST_F(RzSpinEditDescriptionTest, ZeroBoundsAndStepsAreWrittenAndReadBack) {
  auto* form = CreateBareForm<TForm>(Application);
  form->SetName(u"F");
  auto* spin = new TRzSpinEdit(form);
  spin->SetName(u"Spin");
  spin->SetParent(form);
  spin->SetMin(-50);
  spin->SetMax(0);
  spin->SetValue(-20);
  spin->SetPageSize(0);
  spin->SetIncrement(0);
  auto* edit = new TRzNumericEdit(form);
  edit->SetName(u"Numeric");
  edit->SetParent(form);
  edit->SetMin(-5);
  edit->SetMax(0);
  edit->SetCheckRange(true);
  const String written = WriteComponentText(form);
  EXPECT_NE(SpinBlock(written).find(u"    Increment = 0.0\n"), String::npos) << ToUtf8(written);
  EXPECT_NE(SpinBlock(written).find(u"    Max = 0.0\n"), String::npos) << ToUtf8(written);
  EXPECT_NE(SpinBlock(written).find(u"    PageSize = 0.0\n"), String::npos) << ToUtf8(written);

  delete form;
  auto* again = CreateBareForm<TForm>(Application);
  ReadComponentText(written, u"written", again);
  auto* back = static_cast<TRzSpinEdit*>(again->FindComponent(u"Spin"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Min(), -50);
  EXPECT_EQ(back->Max(), 0);
  EXPECT_EQ(back->PageSize(), 0);
  EXPECT_EQ(back->Increment(), 0);
  EXPECT_EQ(back->Value(), -20);
  auto* numeric = static_cast<TRzNumericEdit*>(again->FindComponent(u"Numeric"));
  ASSERT_NE(numeric, nullptr);
  EXPECT_EQ(numeric->Min(), -5);
  EXPECT_EQ(numeric->Max(), 0);
  EXPECT_EQ(WriteComponentText(again), written);
}

TEST_F(RzSpinEditDescriptionTest, ADefaultSpinEditWritesOnlyWhatItAlwaysWrote) {
  auto* form = CreateBareForm<TForm>(Application);
  form->SetName(u"F");
  auto* spin = new TRzSpinEdit(form);
  spin->SetName(u"Spin");
  spin->SetParent(form);
  // Max alone is written whatever its value; the other floats are at their defaults.
  EXPECT_EQ(SpinBlock(WriteComponentText(form)),
            u"  object Spin: TRzSpinEdit\n    Left = 0\n    Top = 0\n    Width = 47\n"
            u"    Height = 21\n    TabOrder = 0\n    Max = 100.0\n  end\n");
}

}  // namespace
