#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "Files.h"
#include "Forms.h"
#include "GraphicsTypeInfo.h"
#include "Registry.h"
#include "RzCommon.h"
#include "Streaming.h"
#include "SysInfo.h"
#include "TestSupport.h"

namespace {

// A sandboxed home with its configuration folder made, and the executable pretended to live in
// bin/tool.exe inside it.
struct Sandbox {
  Sandbox() {
    ::mkdir((home.dir().os() + "/home").c_str(), 0700);
    ::mkdir((home.dir().os() + "/home/.config").c_str(), 0700);
    ::mkdir((home.dir().os() + "/bin").c_str(), 0700);
    ::mkdir((home.dir().os() + "/data").c_str(), 0700);
    SetExeNameForTesting(Dir() + u"bin\\tool.exe");
  }
  ~Sandbox() { SetExeNameForTesting(String()); }
  String Dir() const { return home.dir().path(); }
  std::string Read(const std::string& name) const { return home.dir().read(name); }
  SandboxedHome home;
};

String RegistryText(HKEY root, const String& key, const String& name) {
  TRegistry reg;
  reg.SetRootKey(root);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return u"<none>";
  return reg.GetDataType(name) == rdInteger ? IntToStr(reg.ReadInteger(name))
                                            : reg.ReadString(name);
}

TEST(RzRegIniFile, IniFileNamesResolveAgainstTheExecutableOrASpecialFolder) {
  Sandbox box;
  const String dir = box.Dir();
  struct Case {
    String path;
    TRzSpecialFolder folder;
    String resolved;
  };
  for (const Case& c : {
           Case{u"", sfNone, dir + u"bin\\tool.ini"},
           Case{u"Settings", sfNone, dir + u"bin\\Settings.ini"},
           Case{u"Settings.cfg", sfNone, dir + u"bin\\Settings.ini"},
           Case{dir + u"data\\app.cfg", sfNone, dir + u"data\\app.cfg"},
           Case{u"Acme\\Tool\\app", sfUserAppDataRoaming,
                dir + u"home\\.config\\Acme\\Tool\\app.ini"},
           Case{u"", sfUserAppDataRoaming, dir + u"home\\.config\\tool.ini"},
       }) {
    TRzRegIniFile store(nullptr);
    store.SetPath(c.path);
    store.SetSpecialFolder(c.folder);
    EXPECT_EQ(store.Path(), c.path);
    store.WriteInteger(u"S", u"K", 1);
    EXPECT_EQ(store.Path(), c.resolved) << ToUtf8(c.path);
    EXPECT_TRUE(FileExists(c.resolved)) << ToUtf8(c.resolved);
  }
  // Reopening after a change starts from the resolved name and stays in the same file.
  {
    TRzRegIniFile store(nullptr);
    store.SetSpecialFolder(sfUserAppDataRoaming);
    store.SetPath(u"Acme\\app");
    store.WriteInteger(u"S", u"K", 2);
    store.SetFileEncoding(feUTF8);
    EXPECT_EQ(store.ReadInteger(u"S", u"K", 0), 2);
    EXPECT_EQ(store.Path(), dir + u"home\\.config\\Acme\\app.ini");
  }
  // A system without special folders: the executable's folder instead.
  const int major = Win32MajorVersion;
  Win32MajorVersion = 4;
  TRzRegIniFile store(nullptr);
  store.SetPath(u"Settings");
  store.SetSpecialFolder(sfUserAppDataLocal);
  store.ReadInteger(u"S", u"K", 0);
  Win32MajorVersion = major;
  EXPECT_EQ(store.Path(), dir + u"bin\\Settings.ini");
}

TEST(RzRegIniFile, EveryChangeRewritesTheFileInTheChosenEncoding) {
  Sandbox box;
  TRzRegIniFile store(nullptr);
  store.SetPath(box.Dir() + u"s.ini");
  store.WriteInteger(u"Main", u"Count", 7);
  EXPECT_EQ(box.Read("s.ini"), "[Main]\r\nCount=7\r\n");
  store.SetFileEncoding(feUTF8);
  store.WriteString(u"Main", u"Name", u"Zoë");
  EXPECT_EQ(box.Read("s.ini"), "\xEF\xBB\xBF[Main]\r\nCount=7\r\nName=Zo\xC3\xAB\r\n");
  store.SetFileEncoding(feUnicode);
  store.DeleteKey(u"Main", u"Name");
  EXPECT_EQ(box.Read("s.ini"), std::string("\xFF\xFE[\0M\0a\0i\0n\0]\0\r\0\n\0C\0o\0u\0n\0t\0="
                                           "\0"
                                           "7\0\r\0\n\0",
                                           2 + 2 * 17));
  store.EraseSection(u"Main");
  EXPECT_EQ(box.Read("s.ini"), "\xFF\xFE");
}

TEST(RzRegIniFile, IniOperationsReadBackWhatWasWritten) {
  Sandbox box;
  TRzRegIniFile store(nullptr);
  store.SetPath(box.Dir() + u"ops.ini");
  store.WriteBool(u"A", u"Flag", true);
  store.WriteFloat(u"A", u"Ratio", 0.25);
  store.WriteDateTime(u"A", u"When", 45000.5);
  store.WriteDate(u"A", u"Day", 45000);
  store.WriteTime(u"A", u"At", 0.75);
  TMemoryStream bytes;
  bytes.Write("\x0A\xFF", 2);
  bytes.SetPosition(0);
  store.WriteBinaryStream(u"B", u"Blob", &bytes);
  store.WriteString(u"B", u"Text", u"x");

  EXPECT_TRUE(store.ReadBool(u"A", u"Flag", false));
  EXPECT_DOUBLE_EQ(store.ReadFloat(u"A", u"Ratio", 0), 0.25);
  EXPECT_DOUBLE_EQ(store.ReadDateTime(u"A", u"When", 0), 45000.5);
  EXPECT_DOUBLE_EQ(store.ReadDate(u"A", u"Day", 0), 45000);
  EXPECT_DOUBLE_EQ(store.ReadTime(u"A", u"At", 0), 0.75);
  EXPECT_EQ(store.ReadInteger(u"A", u"Missing", -4), -4);
  TMemoryStream back;
  EXPECT_EQ(store.ReadBinaryStream(u"B", u"Blob", &back), 2);
  EXPECT_TRUE(store.SectionExists(u"B"));
  EXPECT_TRUE(store.ValueExists(u"B", u"Text"));
  EXPECT_FALSE(store.ValueExists(u"B", u"Nope"));
  TStringList list;
  store.ReadSections(&list);
  EXPECT_EQ(list.Text(), u"A\nB\n");
  store.ReadSection(u"B", &list);
  EXPECT_EQ(list.Text(), u"Blob\nText\n");
  store.ReadSectionValues(u"B", &list);
  EXPECT_EQ(list.Text(), u"Blob=0AFF\nText=x\n");

  // Another store on the same file sees what the first flushed.
  TRzRegIniFile other(nullptr);
  other.SetPath(box.Dir() + u"ops.ini");
  EXPECT_EQ(other.ReadString(u"B", u"Text", u""), u"x");
}

TEST(RzRegIniFile, RegistryKeyComesFromPathOrTheApplicationTitle) {
  Sandbox box;
  Application->SetTitle(u"Demo");
  TRzRegIniFile store(nullptr);
  store.SetPathType(ptRegistry);
  store.WriteInteger(u"Sec", u"Count", -16777211);
  store.WriteString(u"Sec", u"Name", u"n");
  Application->SetTitle(u"");
  EXPECT_EQ(store.Path(), u"\\Software\\Temp\\Demo");
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, u"\\Software\\Temp\\Demo\\Sec", u"Count"),
            u"-16777211");
  EXPECT_EQ(store.ReadInteger(u"Sec", u"Count", 0), -16777211);

  // A change of root reopens under the new root.
  store.SetRegKey(hkeyLocalMachine);
  store.SetPath(u"\\Software\\Acme");
  store.WriteBool(u"Sec", u"On", true);
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, u"\\Software\\Acme\\Sec", u"On"), u"1");
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, u"\\Software\\Acme\\Sec", u"On"), u"<none>");
  store.EraseSection(u"Sec");
  EXPECT_FALSE(store.SectionExists(u"Sec"));

  EXPECT_EQ(RegAccessMask(TRzRegAccess{keyRead, keyWrite}), 0x2001Fu);
  EXPECT_EQ(RegAccessMask(TRzRegAccess()), 0u);
  EXPECT_EQ(RegAccessMask(TRzRegAccess(keyAllAccess)), 0xF003Fu);
  EXPECT_EQ(RegKeyRoot(hkeyDynData), 0x80000006u);
}

TEST(RzRegIniFile, RegistrySectionValuesListEachTypeSortedByName) {
  Sandbox box;
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Acme\\Values", true));
    reg.WriteString(u"name", u"text");
    reg.WriteInteger(u"Count", -5);
    reg.WriteBinaryData(u"empty", nullptr, 0);
    const BYTE two[] = {10, 255};
    reg.WriteBinaryData(u"Bytes", two, 2);
    reg.WriteString(u"", u"unnamed");
    const BYTE q[8] = {1};
    ASSERT_EQ(RegSetValueExW(reg.CurrentKey(), u"Wide", 0, REG_QWORD, q, 8), ERROR_SUCCESS);
  }
  for (const char16_t* path : {u"\\Software\\Acme", u"\\Software\\Acme\\"}) {
    TRzRegIniFile store(nullptr);
    store.SetPathType(ptRegistry);
    store.SetPath(path);
    TStringList lines;
    lines.Add(u"stale");
    store.ReadSectionValues(u"Values", &lines);
    EXPECT_EQ(lines.Text(),
              u"Default=unnamed\nBytes=0A FF \nCount=-5\nempty=\nname=text\n"
              u"Wide=Unknown Data Type\n")
        << ToUtf8(path);
    store.ReadSectionValues(u"NoSuchSection", &lines);
    EXPECT_EQ(lines.Count(), 0);
  }
}

TEST(RzRegIniFile, KeyThatCannotBeOpenedRaisesAndWritesNothingElsewhere) {
  Sandbox box;
  TRzRegIniFile store(nullptr);
  store.SetPathType(ptRegistry);
  store.SetPath(u"\\Software\\\\Broken");  // an empty key name: never opens
  EXPECT_EQ(MessageOf<ERegistryException>([&] { store.WriteInteger(u"Sec", u"X", 1); }),
            u"Failed to open or create key \\Software\\\\Broken");
  EXPECT_THROW(store.ReadInteger(u"Sec", u"X", 0), ERegistryException);
  TRegistry reg;
  EXPECT_FALSE(reg.KeyExists(u"\\Sec"));
  // Put right, the store opens on the next operation.
  store.SetPath(u"\\Software\\Fixed");
  store.WriteInteger(u"Sec", u"X", 1);
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, u"\\Software\\Fixed\\Sec", u"X"), u"1");
}

TEST(RzRegIniFile, PublishedPropertiesStoreOnlyWhatDiffers) {
  RegisterRzCommonClasses();
  TComponent root(nullptr);
  auto* store = new TRzRegIniFile(&root);
  store->SetName(u"Store");
  EXPECT_EQ(WriteComponentText(&root),
            u"object TComponent\n  object Store: TRzRegIniFile\n  end\nend\n");
  const char16_t* form =
      u"object Root: TComponent\n"
      u"  object Store: TRzRegIniFile\n"
      u"    FileEncoding = feUnicode\n"
      u"    Path = 'Acme\\Tool'\n"
      u"    PathType = ptRegistry\n"
      u"    RegKey = hkeyLocalMachine\n"
      u"    RegAccess = [keyRead, keyWrite]\n"
      u"    SpecialFolder = sfProgramData\n"
      u"  end\n"
      u"end\n";
  TComponent loaded(nullptr);
  ReadComponentText(form, u"Store.form", &loaded);
  auto* s = dynamic_cast<TRzRegIniFile*>(loaded.FindComponent(u"Store"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->RegAccess(), (TRzRegAccess{keyRead, keyWrite}));
  EXPECT_EQ(s->SpecialFolder(), sfProgramData);
  EXPECT_EQ(WriteComponentText(&loaded), form);
}

// ---- The frame controller's settings in a store ----

class TProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  String ClassName() const override { return u"TStoreProbe"; }
  TFrameStyle style = fsNone;
  TColor disabled = clNone;
  int pushes = 0;
};

void RegisterProbe() {
  static const bool once = [] {
    RegisterClassLibrary();
    RegisterRzCommonClasses();
    Published<TProbe>(u"TStoreProbe", u"TGraphicControl")
        .Ord(u"FrameStyle", TypeInfoTFrameStyle(), &TProbe::style,
             [](TProbe* p, TFrameStyle v) {
               p->style = v;
               ++p->pushes;
             })
        .Ord(u"DisabledColor", TypeInfoTColor(), &TProbe::disabled, &TProbe::disabled);
    return true;
  }();
  (void)once;
}

void Customise(TRzFrameController& c) {
  c.SetColor(clAqua);
  c.SetFlatButtonColor(clGray);
  c.SetFlatButtons(false);
  c.SetDisabledColor(clSilver);
  c.SetReadOnlyColor(clYellow);
  c.SetReadOnlyColorOnFocus(true);
  c.SetFocusColor(clWhite);
  c.SetFrameColor(clRed);
  c.SetFrameHotColor(clBlue);
  c.SetFrameHotStyle(fsGroove);
  c.SetFrameHotTrack(true);
  c.SetFrameSides(TSides{sdTop, sdBottom});
  c.SetFrameStyle(fsFlatBold);
  c.SetFramingPreference(fpCustomFraming);
}

void ExpectCustomised(const TRzFrameController& c, const char* where) {
  EXPECT_EQ(c.Color(), clAqua) << where;
  EXPECT_EQ(c.FlatButtonColor(), clGray) << where;
  EXPECT_FALSE(c.FlatButtons()) << where;
  EXPECT_EQ(c.DisabledColor(), clSilver) << where;
  EXPECT_EQ(c.ReadOnlyColor(), clYellow) << where;
  EXPECT_TRUE(c.ReadOnlyColorOnFocus()) << where;
  EXPECT_EQ(c.FocusColor(), clWhite) << where;
  EXPECT_EQ(c.FrameColor(), clRed) << where;
  EXPECT_EQ(c.FrameHotColor(), clBlue) << where;
  EXPECT_EQ(c.FrameHotStyle(), fsGroove) << where;
  EXPECT_TRUE(c.FrameHotTrack()) << where;
  EXPECT_EQ(c.FrameSides(), (TSides{sdTop, sdBottom})) << where;
  EXPECT_EQ(c.FrameStyle(), fsFlatBold) << where;
  EXPECT_TRUE(c.FrameVisible()) << where;
  EXPECT_EQ(c.FramingPreference(), fpCustomFraming) << where;
}

void ExpectDefaultsButDisabledColor(const TRzFrameController& c, const char* where) {
  TRzFrameController fresh(nullptr);
  EXPECT_EQ(c.Color(), fresh.Color()) << where;
  EXPECT_EQ(c.DisabledColor(), clWindow) << where;
  EXPECT_EQ(c.FrameStyle(), fresh.FrameStyle()) << where;
  EXPECT_EQ(c.FrameHotStyle(), fresh.FrameHotStyle()) << where;
  EXPECT_EQ(c.FrameSides(), fresh.FrameSides()) << where;
  EXPECT_EQ(c.FlatButtons(), fresh.FlatButtons()) << where;
  EXPECT_EQ(c.FramingPreference(), fresh.FramingPreference()) << where;
  EXPECT_EQ(c.FrameVisible(), fresh.FrameVisible()) << where;
}

TEST(RzFrameControllerStore, WithoutAStoreLoadAndSaveRefuse) {
  TRzFrameController c(nullptr);
  EXPECT_EQ(MessageOf<ENoRegIniFile>([&] { c.Load(u"Framing"); }),
            u"Cannot load Custom Framing settings--No TRzRegIniFile component specified");
  EXPECT_EQ(MessageOf<ENoRegIniFile>([&] { c.Save(u"Framing"); }),
            u"Cannot save Custom Framing settings--No TRzRegIniFile component specified");
}

TEST(RzFrameControllerStore, SaveThenLoadRoundTripsThroughEachKindOfStore) {
  Sandbox box;
  RegisterProbe();
  struct Case {
    const char* name;
    TRzPathType type;
    TRzIniFileEncoding encoding;
  };
  for (const Case& k :
       {Case{"ini default", ptIniFile, feDefault}, Case{"ini utf-8", ptIniFile, feUTF8},
        Case{"ini utf-16", ptIniFile, feUnicode}, Case{"registry", ptRegistry, feDefault}}) {
    TComponent root(nullptr);
    auto* store = new TRzRegIniFile(&root);
    store->SetPathType(k.type);
    store->SetFileEncoding(k.encoding);
    store->SetPath(k.type == ptRegistry ? String(u"\\Software\\Quill") : box.Dir() + u"f.ini");
    auto* saved = new TRzFrameController(&root);
    Customise(*saved);
    saved->SetRegIniFile(store);
    saved->Save(u"Framing");

    auto* loaded = new TRzFrameController(&root);
    loaded->SetRegIniFile(store);
    auto* probe = new TProbe(&root);
    loaded->AddControl(probe);
    probe->pushes = 0;
    loaded->Load(u"Framing");
    ExpectCustomised(*loaded, k.name);
    EXPECT_EQ(probe->pushes, 1) << k.name;
    EXPECT_EQ(probe->style, fsFlatBold) << k.name;
    EXPECT_EQ(probe->disabled, clSilver) << k.name;

    // A section that is not there gives the defaults, but a window-coloured DisabledColor.
    loaded->Load(u"Nothing");
    ExpectDefaultsButDisabledColor(*loaded, k.name);
  }
  // The last INI kind wrote UTF-16 over the UTF-8 file.
  std::string text = box.Read("f.ini");
  std::string line;
  for (char ch : std::string("\r\nColor=16776960\r\n")) line += std::string{ch, '\0'};
  EXPECT_EQ(text.substr(0, 2), "\xFF\xFE");
  EXPECT_NE(text.find(line), std::string::npos);
}

TEST(RzFrameControllerStore, SavedIniFileHoldsTheEighteenKeysInOrder) {
  Sandbox box;
  TRzRegIniFile store(nullptr);
  store.SetPath(box.Dir() + u"keys.ini");
  TRzFrameController c(nullptr);
  c.SetRegIniFile(&store);
  c.Save(u"F");
  EXPECT_EQ(box.Read("keys.ini"),
            "[F]\r\nColor=-16777211\r\nFlatButtonColor=-16777201\r\nFlatButtons=1\r\n"
            "DisabledColor=-16777201\r\nReadOnlyColor=-16777192\r\nReadOnlyColorOnFocus=0\r\n"
            "FocusColor=-16777211\r\nFrameColor=-16777200\r\nFrameHotColor=-16777200\r\n"
            "FrameHotStyle=10\r\nFrameHotTrack=0\r\nFrameSides_Left=1\r\nFrameSides_Top=1\r\n"
            "FrameSides_Right=1\r\nFrameSides_Bottom=1\r\nFrameStyle=1\r\nFrameVisible=0\r\n"
            "FramingPreference=1\r\n");
}

TEST(RzFrameControllerStore, UnreadableValuesTakeTheirDefaultsAndTheRestLoads) {
  Sandbox box;
  box.home.dir().write("bad.ini",
                       "[F]\r\nColor=255\r\nFrameStyle=258\r\nFrameHotStyle=12\r\n"
                       "FramingPreference=7\r\nFrameColor=red\r\nFrameSides_Top=no\r\n"
                       "FrameVisible=1\r\ngarbage line\r\n[F\r\n");
  TRzRegIniFile store(nullptr);
  store.SetPath(box.Dir() + u"bad.ini");
  TRzFrameController c(nullptr);
  c.SetRegIniFile(&store);
  c.Load(u"F");
  EXPECT_EQ(c.Color(), clRed);
  EXPECT_EQ(c.FrameStyle(), fsGroove);       // 258 keeps its low byte: 2
  EXPECT_EQ(c.FrameHotStyle(), fsFlatBold);  // 12 is no frame style: the default
  EXPECT_EQ(c.FramingPreference(), fpXPThemes);
  EXPECT_EQ(c.FrameColor(), clBtnShadow);
  EXPECT_EQ(c.FrameSides(), sdAllSides);
  EXPECT_TRUE(c.FrameVisible());

  // The registry keeps types: text where a number belongs, bytes where a flag belongs.
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Typed\\F", true));
    reg.WriteString(u"Color", u"not a number");
    reg.WriteInteger(u"FrameStyle", 4);
    const BYTE b[] = {1, 2, 3};
    reg.WriteBinaryData(u"FrameVisible", b, 3);
  }
  TRzRegIniFile reg(nullptr);
  reg.SetPathType(ptRegistry);
  reg.SetPath(u"\\Software\\Typed");
  c.SetRegIniFile(&reg);
  c.Load(u"F");
  EXPECT_EQ(c.Color(), clWindow);
  EXPECT_EQ(c.FrameStyle(), fsLowered);
  EXPECT_FALSE(c.FrameVisible());

  // A registry file that does not parse reads as an empty root: the defaults, whole.
  {
    std::ofstream out(ToOsPath(RegistryFileName(HKEY_CURRENT_USER)), std::ios::binary);
    out << "not a registry file\n[HKEY_CURRENT_USER\n\"FrameStyle\"=dword:";
  }
  c.Load(u"F");
  EXPECT_EQ(c.FrameStyle(), fsFlat);
  EXPECT_EQ(c.Color(), clWindow);
}

TEST(RzFrameControllerStore, StoreThatFailsLeavesTheControlsWithTheOldSettings) {
  Sandbox box;
  RegisterProbe();
  TComponent root(nullptr);
  auto* c = new TRzFrameController(&root);
  Customise(*c);
  auto* probe = new TProbe(&root);
  c->AddControl(probe);
  // A file that is there but cannot be read.
  auto* ini = new TRzRegIniFile(&root);
  ini->SetPath(u"\\proc\\self\\mem");
  auto* reg = new TRzRegIniFile(&root);
  reg->SetPathType(ptRegistry);
  reg->SetPath(u"\\Software\\\\Broken");
  for (TRzRegIniFile* store : {ini, reg}) {
    c->SetRegIniFile(store);
    probe->pushes = 0;
    EXPECT_ANY_THROW(c->Load(u"Framing"));
    ExpectCustomised(*c, ToUtf8(store->Path()).c_str());
    EXPECT_EQ(probe->style, fsFlatBold);
    EXPECT_EQ(probe->disabled, clSilver);
    // The bracket closed: later changes reach the control again.
    c->SetFrameStyle(fsBump);
    EXPECT_EQ(probe->style, fsBump);
    c->SetFrameStyle(fsFlatBold);
  }
}

}  // namespace
