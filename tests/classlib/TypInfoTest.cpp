#include <gtest/gtest.h>

#include <algorithm>

#include "GraphicsTypeInfo.h"
#include "TestComponents.h"
#include "TestSupport.h"
#include "TypInfo.h"

namespace {

class TypInfo : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestComponents(); }
  TTestForm form{nullptr};
  TTestPanel* panel = new TTestPanel(&form);
};

TEST_F(TypInfo, LookupByNameAndKind) {
  EXPECT_NE(GetPropInfo(panel, u"caption"), nullptr);
  EXPECT_EQ(GetPropInfo(panel, u"Colour"), nullptr);
  EXPECT_TRUE(IsPublishedProp(panel, u"Tag"));                // inherited from TComponent
  EXPECT_TRUE(PropIsType(panel, u"Visible", tkEnumeration));  // Boolean is an enumeration
  EXPECT_TRUE(PropIsType(panel, u"Sides", tkSet));
  EXPECT_TRUE(PropIsType(panel, u"Value", tkFloat));
  EXPECT_TRUE(PropIsType(panel, u"Font", tkClass));
  EXPECT_TRUE(PropIsType(panel, u"OnClick", tkMethod));
  EXPECT_EQ(GetPropInfo(panel, u"Caption", tkInteger), nullptr);
  EXPECT_EQ(MessageOf<EPropertyError>([&] { PropIsType(panel, u"Colour", tkInteger); }),
            u"Property Colour does not exist");
  // The font's own table.
  EXPECT_TRUE(PropIsType(panel->Font(), u"Style", tkSet));
}

TEST_F(TypInfo, OrdinalsEnumsAndSetsByName) {
  SetOrdProp(panel, u"Left", 17);
  EXPECT_EQ(panel->Left, 17);
  // Colours read as the platform's signed 32-bit values; either form can be written.
  panel->Color = clBtnFace;
  EXPECT_EQ(GetOrdProp(panel, u"Color"), -16777201);
  SetOrdProp(panel, u"Color", std::int64_t{clInfoBk});
  EXPECT_EQ(panel->Color, clInfoBk);
  // Integers are cut to their type's size.
  SetOrdProp(panel, u"Left", 0x100000005LL);
  EXPECT_EQ(panel->Left, 5);
  SetEnumProp(panel, u"Align", u"TALCLIENT");
  EXPECT_EQ(panel->Align, talClient);
  EXPECT_EQ(GetEnumProp(panel, u"Align"), u"talClient");
  EXPECT_THROW(SetEnumProp(panel, u"Align", u"talMiddle"), EPropertyConvertError);
  EXPECT_THROW(SetOrdProp(panel, u"Align", 4), ERangeError);
  EXPECT_EQ(panel->Align, talClient);
  SetOrdProp(panel, u"Visible", 0);
  EXPECT_FALSE(panel->Visible);
  panel->Sides = TTestSides{tsLeft, tsBottom};
  EXPECT_EQ(GetSetProp(panel, u"Sides"), u"tsLeft,tsBottom");
  EXPECT_EQ(GetSetProp(panel, u"Sides", true), u"[tsLeft,tsBottom]");
  EXPECT_EQ(GetOrdProp(panel, u"Sides"), 9);
  SetSetProp(panel, u"Sides", u"[ tsTop , tsRight ]");
  EXPECT_EQ(panel->Sides, (TTestSides{tsTop, tsRight}));
  SetSetProp(panel, u"Sides", u"");
  EXPECT_TRUE(panel->Sides.Empty());
  EXPECT_EQ(
      MessageOf<EPropertyConvertError>([&] { SetSetProp(panel, u"Sides", u"tsLeft,tsMiddle"); }),
      u"Invalid property element: tsMiddle");
  EXPECT_THROW(SetOrdProp(panel, u"Sides", 16), ERangeError);
  SetOrdProp(panel, u"PasswordChar", u'*');
  EXPECT_EQ(panel->PasswordChar, u'*');
  // Wrong kinds are refused, not converted.
  EXPECT_THROW(GetOrdProp(panel, u"Caption"), EPropertyConvertError);
  EXPECT_THROW(GetStrProp(panel, u"Left"), EPropertyConvertError);
  EXPECT_THROW(GetSetProp(panel, u"Align"), EPropertyConvertError);
}

TEST_F(TypInfo, FloatsKeepExtendedPrecisionAndStringsRoundTrip) {
  const Extended third = 1.0L / 3.0L;
  SetFloatProp(panel, u"Value", third);
  EXPECT_EQ(GetFloatProp(panel, u"Value"), third);
  EXPECT_NE(static_cast<double>(third), third);  // the value really needs extended precision
  SetFloatProp(panel, u"Ratio", third);          // a Double property rounds to double
  EXPECT_EQ(GetFloatProp(panel, u"Ratio"), static_cast<Extended>(static_cast<double>(third)));
  SetStrProp(panel, u"Caption", u"Zoom \u00e9");
  EXPECT_EQ(GetStrProp(panel, u"Caption"), u"Zoom \u00e9");
  SetStrProp(panel, u"Name", u"Panel9");
  EXPECT_EQ(panel->Name(), u"Panel9");
}

TEST_F(TypInfo, ObjectsAndComponentReferences) {
  EXPECT_EQ(GetObjectProp(panel, u"Font"), panel->Font());
  auto* button = new TTestButton(&form);
  SetObjectProp(panel, u"FocusControl", button);
  EXPECT_EQ(panel->FocusControl(), button);
  auto* timer = new TTestTimer(&form);
  EXPECT_THROW(SetObjectProp(panel, u"FocusControl", timer), EInvalidCast);
  EXPECT_EQ(panel->FocusControl(), button);
  EXPECT_THROW(SetObjectProp(panel, u"Columns", nullptr), EPropReadOnly);
  delete button;
  EXPECT_EQ(GetObjectProp(panel, u"FocusControl"), nullptr);
}

TEST_F(TypInfo, EventsBindToPublishedMethodsByName) {
  auto* button = new TTestButton(&form);
  button->SetName(u"Button1");
  SetMethodProp(button, u"OnClick", &form, u"buttonclick");
  EXPECT_EQ(GetMethodProp(button, u"OnClick"), u"ButtonClick");
  button->OnClick(button);
  SetMethodProp(button, u"OnMouse", &form, u"MouseDown");
  button->OnMouse(button, 2);
  EXPECT_EQ(form.Calls, (std::vector<std::string>{"ButtonClick Button1", "MouseDown 2"}));
  // A handler assigned in code has no published name.
  button->OnClick = [](TObject*) {};
  EXPECT_EQ(GetMethodProp(button, u"OnClick"), u"");
  EXPECT_THROW(SetMethodProp(button, u"OnClick", &form, u"NoSuchMethod"), EMethodNotFound);
  EXPECT_THROW(SetMethodProp(button, u"OnClick", &form, u"MouseDown"), EPropertyConvertError);
  SetMethodProp(button, u"OnClick", &form, u"");
  EXPECT_FALSE(button->OnClick);
}

TEST_F(TypInfo, TablesChainAndRedeclarationsKeepTheirPlace) {
  const TPropInfo* color = GetPropInfo(panel, u"Color");
  EXPECT_EQ(color->Default, static_cast<std::int32_t>(clWindow));
  TTestButton button(nullptr);
  EXPECT_EQ(GetPropInfo(&button, u"Color")->Default, static_cast<std::int32_t>(clBtnFace));
  std::vector<String> names;
  for (const TPropInfo* p : GetPropList(panel)) names.push_back(p->Name);
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(names[0], u"Name");
  EXPECT_EQ(names[1], u"Tag");
  EXPECT_EQ(names[2], u"Left");
  // The panel's Color replaced the control's at the control's position, not at the end.
  EXPECT_EQ(names[6], u"Color");
  EXPECT_EQ(std::count(names.begin(), names.end(), u"Color"), 1);
  // A class without a table of its own uses its nearest registered base's.
  struct TUnlisted : TTestPanel {
    using TTestPanel::TTestPanel;
    String ClassName() const override { return u"TUnlisted"; }
  } unlisted(nullptr);
  EXPECT_EQ(GetPropInfo(&unlisted, u"Color"), color);
  TTestTimer timer(nullptr);
  EXPECT_TRUE(IsPublishedProp(&timer, u"Tag"));
}

TEST_F(TypInfo, ClassRegistryCreatesByName) {
  TComponentClass cls = FindClass(u"ttestbutton");
  TComponent* made = cls->Create(&form);
  EXPECT_EQ(made->ClassName(), u"TTestButton");
  EXPECT_EQ(made->Owner(), &form);
  EXPECT_TRUE(cls->InheritsFrom(u"TTestControl"));
  EXPECT_FALSE(cls->InheritsFrom(FindClass(u"TTestPanel")));
  EXPECT_NE(GetClass(u"TTestTimer"), nullptr);  // registered without a table
  EXPECT_EQ(GetClass(u"TNoSuchClass"), nullptr);
  EXPECT_EQ(MessageOf<EClassNotFound>([] { FindClass(u"TNoSuchClass"); }),
            u"Class TNoSuchClass not found");
  // A table without a factory is not a creatable class.
  EXPECT_EQ(GetClass(u"TFont"), nullptr);
}

TEST(TypInfoTypes, EnumSetAndColourText) {
  const TTypeInfo* sides = TypeInfoTTestSides();
  EXPECT_EQ(GetEnumName(sides->CompType(), 3), u"tsBottom");
  EXPECT_EQ(GetEnumName(sides->CompType(), 4), u"");
  EXPECT_EQ(GetEnumValue(sides->CompType(), u"TSRIGHT"), 2);
  EXPECT_EQ(GetEnumValue(sides->CompType(), u"tsMiddle"), -1);
  EXPECT_EQ(StringToSet(sides, u"tsLeft,tsTop"), 3u);
  EXPECT_EQ(SetToString(sides, 0, true), u"[]");
  EXPECT_THROW(StringToSet(sides, u"tsLeft,,tsTop"), EPropertyConvertError);
  EXPECT_EQ(ColorToString(clBtnFace), u"clBtnFace");
  EXPECT_EQ(ColorToString(0x00123456), u"$00123456");
  EXPECT_EQ(ColorToString(clLtGray), u"clSilver");  // same value, the first name wins
  EXPECT_EQ(StringToColor(u"clinfobk"), clInfoBk);
  EXPECT_EQ(StringToColor(u"$FF"), 0xFFu);
  EXPECT_THROW(StringToColor(u"clPlaid"), EConvertError);
}

}  // namespace
