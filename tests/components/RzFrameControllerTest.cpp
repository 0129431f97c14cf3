#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "RzCommon.h"
#include "Streaming.h"
#include "TestSupport.h"

namespace {

// Stands in for a framed edit: publishes the controller's property names and logs every
// assignment made through the property tables, as "Name=value".
class TFrameProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  String ClassName() const override { return u"TFrameProbe"; }
  std::map<String, std::int64_t> values;
  TSides sides = sdAllSides;
  TRzFrameControllerNotifications accepted = fcnAllNotifications;
  std::vector<String> log;
  int Value(const String& name) { return static_cast<int>(values[name]); }
};

// Publishes only a frame style, and sides in a set type of its own with the same names.
class TSparseProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  String ClassName() const override { return u"TSparseProbe"; }
  TFrameStyle style = fsNone;
  std::uint32_t sideBits = 0;
};

// Stands in for a framed panel, which reads the controller itself.
class TPanelProbe : public TGraphicControl, public IFrameControllerNotify {
 public:
  using TGraphicControl::TGraphicControl;
  String ClassName() const override { return u"TPanelProbe"; }
  void FrameSettingsChanged() override { ++calls; }
  TRzFrameControllerNotifications accepted;
  int calls = 0;
};

const TTypeInfo* OwnSidesType() {
  static const TTypeInfo side =
      TTypeInfo::Enumeration(u"TOwnSide", {u"sdLeft", u"sdTop", u"sdRight", u"sdBottom"});
  static const TTypeInfo sides = TTypeInfo::Set(u"TOwnSides", &side);
  return &sides;
}

void Register() {
  static const bool once = [] {
    RegisterClassLibrary();
    RegisterRzCommonClasses();
    Published<TFrameProbe> probe(u"TFrameProbe", u"TGraphicControl");
    probe.Creatable();
    struct Entry {
      const char16_t* name;
      const TTypeInfo* type;
    };
    for (const Entry& e :
         {Entry{u"Color", TypeInfoTColor()}, Entry{u"FocusColor", TypeInfoTColor()},
          Entry{u"DisabledColor", TypeInfoTColor()}, Entry{u"ReadOnlyColor", TypeInfoTColor()},
          Entry{u"ReadOnlyColorOnFocus", TypeInfoBoolean()},
          Entry{u"ParentColor", TypeInfoBoolean()}, Entry{u"FlatButtonColor", TypeInfoTColor()},
          Entry{u"FlatButtons", TypeInfoBoolean()}, Entry{u"FrameColor", TypeInfoTColor()},
          Entry{u"FrameHotColor", TypeInfoTColor()}, Entry{u"FrameHotTrack", TypeInfoBoolean()},
          Entry{u"FrameHotStyle", TypeInfoTFrameStyle()},
          Entry{u"FrameStyle", TypeInfoTFrameStyle()}, Entry{u"FrameVisible", TypeInfoBoolean()},
          Entry{u"FramingPreference", TypeInfoTFramingPreference()}}) {
      String name = e.name;
      probe.Ord(
          name, e.type, [name](TFrameProbe* p) { return p->values[name]; },
          [name](TFrameProbe* p, std::int64_t v) {
            p->values[name] = v;
            p->log.push_back(name + u"=" + IntToStr(v));
          });
    }
    probe
        .Ord(
            u"FrameSides", TypeInfoTSides(), [](TFrameProbe* p) { return p->sides; },
            [](TFrameProbe* p, TSides v) {
              p->sides = v;
              p->log.push_back(u"FrameSides=" + IntToStr(v.Bits()));
            })
        .Ord(u"FrameControllerNotifications", TypeInfoTRzFrameControllerNotifications(),
             &TFrameProbe::accepted, &TFrameProbe::accepted);
    Published<TSparseProbe>(u"TSparseProbe", u"TGraphicControl")
        .Ord(u"FrameStyle", TypeInfoTFrameStyle(), &TSparseProbe::style, &TSparseProbe::style)
        .Ord(u"FrameSides", OwnSidesType(), &TSparseProbe::sideBits, &TSparseProbe::sideBits);
    Published<TPanelProbe>(u"TPanelProbe", u"TGraphicControl")
        .Ord(u"FrameControllerNotifications", TypeInfoTRzFrameControllerNotifications(),
             &TPanelProbe::accepted, &TPanelProbe::accepted);
    return true;
  }();
  (void)once;
}

constexpr int kWindow = static_cast<std::int32_t>(clWindow);

// The full push of a default controller, in its order.
const std::vector<String> kDefaultPush = {
    u"ParentColor=0",
    u"Color=" + IntToStr(kWindow),
    u"DisabledColor=" + IntToStr(static_cast<std::int32_t>(clBtnFace)),
    u"ReadOnlyColor=" + IntToStr(static_cast<std::int32_t>(clInfoBk)),
    u"ReadOnlyColorOnFocus=0",
    u"FocusColor=" + IntToStr(kWindow),
    u"FlatButtonColor=" + IntToStr(static_cast<std::int32_t>(clBtnFace)),
    u"FlatButtons=1",
    u"FrameColor=" + IntToStr(static_cast<std::int32_t>(clBtnShadow)),
    u"FrameHotColor=" + IntToStr(static_cast<std::int32_t>(clBtnShadow)),
    u"FrameHotTrack=0",
    u"FrameHotStyle=10",
    u"FrameSides=15",
    u"FrameStyle=1",
    u"FrameVisible=0",
    u"FramingPreference=1"};

struct Fixture {
  Fixture() : root(nullptr) {
    Register();
    controller = new TRzFrameController(&root);
    probe = new TFrameProbe(&root);
  }
  TComponent root;
  TRzFrameController* controller;
  TFrameProbe* probe;
};

TEST(RzFrameController, RegistrationPushesEverySettingInOrder) {
  Fixture f;
  f.controller->AddControl(f.probe);
  EXPECT_EQ(f.probe->log, kDefaultPush);
  // A second registration is no registration.
  f.probe->log.clear();
  f.controller->AddControl(f.probe);
  EXPECT_TRUE(f.probe->log.empty());
  EXPECT_EQ(f.controller->ControlCount(), 1);

  // Following the parent's colour: the full push leaves Color alone.
  f.controller->SetParentColor(true);
  f.probe->log.clear();
  f.controller->UpdateControls();
  EXPECT_EQ(f.probe->log.front(), u"ParentColor=1");
  EXPECT_EQ(f.probe->log.size(), kDefaultPush.size() - 1);
  for (const String& line : f.probe->log) EXPECT_NE(line.rfind(u"Color=", 0), 0u);
}

TEST(RzFrameController, EachSetterPushesItsOwnPropertyOnce) {
  Fixture f;
  f.controller->AddControl(f.probe);
  struct Case {
    std::function<void(TRzFrameController*)> change;
    std::vector<String> pushed;
  };
  const std::vector<Case> cases = {
      {[](auto* c) { c->SetFrameColor(clRed); }, {u"FrameColor=255"}},
      {[](auto* c) { c->SetFrameColor(clRed); }, {}},  // unchanged: nothing
      {[](auto* c) { c->SetFrameStyle(fsGroove); }, {u"FrameStyle=2"}},
      {[](auto* c) {
         c->SetFrameSides(TSides{sdLeft, sdBottom});
       },
       {u"FrameSides=9"}},
      {[](auto* c) { c->SetFramingPreference(fpCustomFraming); }, {u"FramingPreference=0"}},
      {[](auto* c) { c->SetReadOnlyColorOnFocus(true); }, {u"ReadOnlyColorOnFocus=1"}},
      // Color equal to FocusColor takes FocusColor along, but pushes only Color.
      {[](auto* c) { c->SetColor(clYellow); }, {u"Color=65535"}},
      {[](auto* c) { c->SetParentColor(true); }, {u"ParentColor=1"}},
      {[](auto* c) { c->SetParentColor(false); }, {u"ParentColor=0", u"Color=65535"}},
      // Hot tracking makes the frame visible first; the sides return to all four silently.
      {[](auto* c) { c->SetFrameHotTrack(true); }, {u"FrameVisible=1", u"FrameHotTrack=1"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    f.probe->log.clear();
    cases[i].change(f.controller);
    EXPECT_EQ(f.probe->log, cases[i].pushed) << "case " << i;
  }
  EXPECT_EQ(f.controller->FocusColor(), clYellow);
  EXPECT_EQ(f.probe->Value(u"FocusColor"), kWindow);  // until the next full push
  EXPECT_EQ(f.controller->FrameSides(), sdAllSides);
  EXPECT_EQ(f.probe->sides, (TSides{sdLeft, sdBottom}));

  // Setting Color clears ParentColor without pushing it.
  f.controller->SetParentColor(true);
  f.probe->log.clear();
  f.controller->SetColor(clAqua);
  EXPECT_FALSE(f.controller->ParentColor());
  EXPECT_EQ(f.probe->log, (std::vector<String>{u"Color=16776960"}));
}

TEST(RzFrameController, ControlsChooseTheSettingsTheyAccept) {
  Fixture f;
  f.probe->accepted = TRzFrameControllerNotifications{fcpFrameStyle, fcpFrameSides};
  f.controller->AddControl(f.probe);
  EXPECT_EQ(f.probe->log, (std::vector<String>{u"FrameSides=15", u"FrameStyle=1"}));
  f.probe->log.clear();
  f.controller->SetFrameColor(clRed);
  f.controller->SetFrameStyle(fsBump);
  EXPECT_EQ(f.probe->log, (std::vector<String>{u"FrameStyle=3"}));

  // Missing names are skipped; sides go by their names into a set type of the control's own.
  auto* sparse = new TSparseProbe(&f.root);
  f.controller->SetFrameSides(TSides{sdTop, sdRight});
  f.controller->AddControl(sparse);
  EXPECT_EQ(sparse->style, fsBump);
  EXPECT_EQ(sparse->sideBits, 6u);

  // A component that is no control is registered but never touched.
  auto* plain = new TComponent(&f.root);
  f.controller->AddControl(plain);
  f.controller->UpdateControls();
  EXPECT_EQ(f.controller->ControlCount(), 3);
}

TEST(RzFrameController, NotifyInterfaceHearsEveryChangeWhateverItAccepts) {
  Fixture f;
  auto* panel = new TPanelProbe(&f.root);
  f.controller->AddControl(panel);
  EXPECT_EQ(panel->calls, 1);
  f.controller->SetFrameColor(clRed);
  EXPECT_EQ(panel->calls, 2);
  f.controller->SetParentColor(true);
  f.controller->SetParentColor(false);
  EXPECT_EQ(panel->calls, 5);  // once for True, twice for False
}

TEST(RzFrameController, UpdateBracketHoldsPushesUntilTheOutermostEnd) {
  Fixture f;
  f.controller->AddControl(f.probe);
  f.probe->log.clear();
  f.controller->BeginUpdate();
  f.controller->BeginUpdate();
  f.controller->SetFrameColor(clRed);
  f.controller->SetFrameVisible(true);
  // A control registered inside the bracket is still told at once.
  auto* late = new TFrameProbe(&f.root);
  f.controller->AddControl(late);
  EXPECT_EQ(late->Value(u"FrameColor"), 255);
  f.controller->EndUpdate();
  EXPECT_TRUE(f.probe->log.empty());
  f.controller->EndUpdate();
  EXPECT_EQ(f.probe->log.size(), kDefaultPush.size());
  EXPECT_EQ(f.probe->Value(u"FrameColor"), 255);
  EXPECT_EQ(f.probe->Value(u"FrameVisible"), 1);

  // An unmatched EndUpdate pushes everything and leaves no bracket open.
  f.probe->log.clear();
  f.controller->EndUpdate();
  EXPECT_EQ(f.probe->log.size(), kDefaultPush.size());
  f.probe->log.clear();
  f.controller->SetFrameStyle(fsBump);
  EXPECT_EQ(f.probe->log, (std::vector<String>{u"FrameStyle=3"}));
}

TEST(RzFrameController, RegistrationsEndByRemovalOrByTheControlGoing) {
  Fixture f;
  auto* second = new TFrameProbe(&f.root);
  f.controller->AddControl(f.probe);
  f.controller->AddControl(second);
  f.controller->RemoveControl(f.probe);
  f.probe->log.clear();
  f.controller->SetFrameStyle(fsBump);
  EXPECT_TRUE(f.probe->log.empty());
  EXPECT_EQ(second->Value(u"FrameStyle"), 3);
  // A control freed without unregistering leaves the list too.
  delete second;
  EXPECT_EQ(f.controller->ControlCount(), 0);
  f.controller->UpdateControls();
  f.controller->RemoveControl(f.probe);  // not registered: nothing
}

TEST(RzFrameController, AssignCopiesSettingsAndPushesOnce) {
  Fixture f;
  TRzFrameController source(nullptr);
  TRzRegIniFile store(nullptr);
  source.SetRegIniFile(&store);
  source.SetFrameStyle(fsRaised);
  source.SetFrameHotTrack(true);
  source.SetFrameSides(TSides{sdLeft});
  source.SetColor(clLime);
  source.SetParentColor(true);
  f.controller->AddControl(f.probe);
  f.probe->log.clear();
  f.controller->Assign(&source);
  EXPECT_EQ(f.probe->log.size(), kDefaultPush.size() - 1);  // ParentColor: Color is left
  EXPECT_EQ(f.controller->FrameStyle(), fsRaised);
  EXPECT_EQ(f.controller->FrameSides(), TSides{sdLeft});
  EXPECT_TRUE(f.controller->FrameVisible());
  EXPECT_EQ(f.controller->Color(), clLime);
  EXPECT_TRUE(f.controller->ParentColor());
  EXPECT_EQ(f.controller->RegIniFile(), nullptr);
  EXPECT_EQ(f.probe->Value(u"FrameStyle"), fsRaised);

  TComponent other(nullptr);
  EXPECT_EQ(MessageOf<EConvertError>([&] { f.controller->Assign(&other); }),
            u"Cannot assign a TComponent to a TRzFrameController");
}

const char16_t* kForm =
    u"object Root: TComponent\n"
    u"  object Store: TRzRegIniFile\n"
    u"  end\n"
    u"  object Frames: TRzFrameController\n"
    u"    FrameHotTrack = True\n"
    u"    FrameSides = [sdLeft, sdRight]\n"
    u"    FrameStyle = fsGroove\n"
    u"    FrameColor = clRed\n"
    u"    RegIniFile = Store\n"
    u"  end\n"
    u"end\n";

TEST(RzFrameController, FormDescriptionLoadsStoresOnlyChangesAndPushesWhenLoaded) {
  Register();
  TComponent root(nullptr);
  ReadComponentText(kForm, u"Frames.form", &root);
  auto* frames = dynamic_cast<TRzFrameController*>(root.FindComponent(u"Frames"));
  auto* store = dynamic_cast<TRzRegIniFile*>(root.FindComponent(u"Store"));
  ASSERT_NE(frames, nullptr);
  // Hot tracking read while loading keeps the stored sides.
  EXPECT_EQ(frames->FrameSides(), (TSides{sdLeft, sdRight}));
  EXPECT_TRUE(frames->FrameVisible());
  EXPECT_EQ(frames->RegIniFile(), store);

  String text = WriteComponentText(&root);
  EXPECT_EQ(text,
            u"object Root: TComponent\n"
            u"  object Store: TRzRegIniFile\n"
            u"  end\n"
            u"  object Frames: TRzFrameController\n"
            u"    FrameColor = clRed\n"
            u"    FrameHotTrack = True\n"
            u"    FrameSides = [sdLeft, sdRight]\n"
            u"    FrameStyle = fsGroove\n"
            u"    FrameVisible = True\n"
            u"    RegIniFile = Store\n"
            u"  end\n"
            u"end\n");

  // The store going away clears the reference.
  delete store;
  EXPECT_EQ(frames->RegIniFile(), nullptr);

  auto* probe = new TFrameProbe(&root);
  frames->AddControl(probe);
  EXPECT_EQ(probe->Value(u"FrameStyle"), fsGroove);
  EXPECT_EQ(probe->sides, (TSides{sdLeft, sdRight}));

  // ParentColor keeps Color out of the description.
  frames->SetColor(clAqua);
  frames->SetParentColor(true);
  EXPECT_EQ(WriteComponentText(&root).find(u"    Color ="), String::npos);
}

TEST(RzFrameController, ObsoleteNamesSetTheirFieldsAndAreNeverWritten) {
  Register();
  struct Case {
    const char16_t* props;
    bool hotTrack;
    TFrameStyle style, hotStyle;
  };
  for (const Case& c : {
           Case{u"FrameFlat = True\n", true, fsStatus, fsLowered},
           Case{u"FrameFlat = False\n", false, fsFlat, fsFlatBold},
           Case{u"FrameFocusStyle = fsButtonUp\n", false, fsFlat, fsButtonUp},
           Case{u"FrameFocusStyle = fsNoSuchStyle\n", false, fsFlat, fsFlatBold},
           Case{u"FrameFlatStyle = fsBump\n", false, fsFlat, fsFlatBold},
           Case{u"FrameFlat = True\n    FrameFocusStyle = fsPopup\n", true, fsStatus, fsPopup},
       }) {
    TComponent root(nullptr);
    String text = String(u"object Root: TComponent\n  object Frames: TRzFrameController\n    ") +
                  c.props + u"  end\nend\n";
    ReadComponentText(text, u"Old.form", &root);
    auto* frames = dynamic_cast<TRzFrameController*>(root.FindComponent(u"Frames"));
    ASSERT_NE(frames, nullptr) << ToUtf8(c.props);
    EXPECT_EQ(frames->FrameHotTrack(), c.hotTrack) << ToUtf8(c.props);
    EXPECT_EQ(frames->FrameStyle(), c.style) << ToUtf8(c.props);
    EXPECT_EQ(frames->FrameHotStyle(), c.hotStyle) << ToUtf8(c.props);
    String written = WriteComponentText(&root);
    for (const char16_t* old : {u"FrameFlat", u"FrameFocusStyle", u"FrameFlatStyle"})
      EXPECT_EQ(written.find(old), String::npos) << ToUtf8(c.props);
  }
}

TEST(RzFrameController, LoadedPushesWhatTheObsoleteNamesSetQuietly) {
  Register();
  TComponent root(nullptr);
  auto* frames = new TRzFrameController(&root);
  auto* probe = new TFrameProbe(&root);
  frames->AddControl(probe);
  probe->log.clear();
  ReadComponentText(u"object Frames: TRzFrameController\n  FrameFlat = True\nend\n", u"Old.form",
                    frames);
  EXPECT_EQ(probe->log.size(), kDefaultPush.size());
  EXPECT_EQ(probe->Value(u"FrameStyle"), fsStatus);
  EXPECT_EQ(probe->Value(u"FrameHotStyle"), fsLowered);
  EXPECT_EQ(probe->Value(u"FrameHotTrack"), 1);
}

}  // namespace
