#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "Exceptions.h"
#include "Files.h"
#include "Registry.h"
#include "TestSupport.h"

namespace {

const char kUserFile[] = "home/.config/korv/registry/HKEY_CURRENT_USER.reg";

// The message of the ERegistryException that Body raises, or "" when it raises none.
template <typename F>
std::string RegistryError(F body) {
  try {
    body();
  } catch (const ERegistryException& e) {
    return ToUtf8(e.Message());
  }
  return "";
}

std::vector<String> Lines(const TStrings& s) { return s.ToVector(); }

}  // namespace

TEST(TRegistry, OpensKeysFromTheRootOrFromTheCurrentKey) {
  SandboxedHome home;
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_EQ(reg.Access(), KEY_ALL_ACCESS);
  EXPECT_FALSE(reg.OpenKey(u"\\Software\\Korv", false));
  EXPECT_EQ(reg.CurrentKey(), 0u);

  ASSERT_TRUE(reg.OpenKey(u"\\Software\\Korv", true));
  EXPECT_EQ(reg.CurrentPath(), u"Software\\Korv");
  ASSERT_TRUE(reg.OpenKey(u"Sub\\Deeper", true));
  EXPECT_EQ(reg.CurrentPath(), u"Software\\Korv\\Sub\\Deeper");
  EXPECT_TRUE(reg.KeyExists(u"\\Software\\Korv\\Sub"));
  EXPECT_FALSE(reg.KeyExists(u"Sub")) << "relative to the current key";

  HKEY before = reg.CurrentKey();
  EXPECT_FALSE(reg.OpenKey(u"\\Missing", false));
  EXPECT_EQ(reg.CurrentKey(), before) << "a failed open keeps the current key";
  EXPECT_TRUE(reg.CreateKey(u"Made"));
  EXPECT_EQ(reg.CurrentPath(), u"Software\\Korv\\Sub\\Deeper") << "CreateKey does not move";
  EXPECT_TRUE(reg.KeyExists(u"Made"));

  reg.WriteString(u"Where", u"user");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_EQ(reg.CurrentPath(), u"");
  EXPECT_FALSE(reg.KeyExists(u"\\Software\\Korv")) << "each root is a store of its own";
  ASSERT_TRUE(reg.OpenKey(u"Software\\Korv\\Sub\\Deeper", true))
      << "no key open: relative to the root";
  reg.WriteString(u"Where", u"machine");
  EXPECT_TRUE(std::filesystem::exists(home.dir().os() +
                                      "/home/.config/korv/registry/HKEY_LOCAL_MACHINE.reg"));
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKeyReadOnly(u"\\Software\\Korv\\Sub\\Deeper"));
  EXPECT_EQ(reg.ReadString(u"where"), u"user");
}

TEST(TRegistry, TypedValuesRoundTripAndWrongTypesRaise) {
  SandboxedHome home;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(u"\\Software\\Korv", true));
  reg.WriteString(u"s", u"text \u00e9");
  reg.WriteExpandString(u"e", u"%HOME%\\x");
  reg.WriteInteger(u"i", -42);
  reg.WriteBool(u"flag", true);
  reg.WriteFloat(u"f", 2.5);
  reg.WriteDateTime(u"when", 45000.75);
  const BYTE blob[] = {0, 1, 254, 255};
  reg.WriteBinaryData(u"blob", blob, sizeof blob);

  EXPECT_EQ(reg.ReadString(u"S"), u"text \u00e9");
  EXPECT_EQ(reg.ReadString(u"e"), u"%HOME%\\x");
  EXPECT_EQ(reg.GetDataType(u"e"), rdExpandString);
  EXPECT_EQ(reg.ReadInteger(u"i"), -42);
  EXPECT_TRUE(reg.ReadBool(u"flag"));
  EXPECT_EQ(reg.ReadFloat(u"f"), 2.5);
  EXPECT_EQ(reg.ReadDate(u"when"), 45000.75);
  EXPECT_EQ(reg.GetDataType(u"f"), rdBinary);
  EXPECT_EQ(reg.GetDataSize(u"f"), 8);
  EXPECT_EQ(reg.GetDataSize(u"s"), 14);
  EXPECT_EQ(reg.GetDataSize(u"nothing"), -1);
  BYTE back[8] = {};
  EXPECT_EQ(reg.ReadBinaryData(u"blob", back, sizeof back), 4);
  EXPECT_EQ(std::memcmp(back, blob, 4), 0);

  EXPECT_EQ(RegistryError([&] { reg.ReadInteger(u"s"); }), "Invalid data type for 's'");
  EXPECT_EQ(RegistryError([&] { reg.ReadString(u"i"); }), "Invalid data type for 'i'");
  EXPECT_EQ(RegistryError([&] { reg.ReadFloat(u"i"); }), "Invalid data type for 'i'");
  EXPECT_EQ(RegistryError([&] { reg.ReadDateTime(u"blob"); }), "Invalid data type for 'blob'")
      << "4 bytes, not 8";
  EXPECT_EQ(RegistryError([&] { reg.ReadBinaryData(u"blob", back, 3); }),
            "Invalid data type for 'blob'");
  EXPECT_EQ(RegistryError([&] { reg.ReadInteger(u"nothing"); }),
            "Failed to get data for 'nothing'");
  EXPECT_EQ(RegistryError([&] { reg.ReadFloat(u"nothing"); }), "Failed to get data for 'nothing'");
  EXPECT_EQ(reg.ReadString(u"nothing"), u"");
  EXPECT_EQ(reg.ReadBinaryData(u"nothing", back, sizeof back), 0);

  EXPECT_TRUE(reg.DeleteValue(u"S"));
  EXPECT_FALSE(reg.ValueExists(u"s"));
  EXPECT_FALSE(reg.DeleteValue(u"s"));
  EXPECT_EQ(reg.LastError(), LONG(ERROR_FILE_NOT_FOUND));
}

TEST(TRegistry, RefusedWritesRaiseAndLeaveTheStoreAlone) {
  SandboxedHome home;
  {
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey(u"\\Software\\Korv", true));
    setup.WriteString(u"v", u"kept");
  }
  std::string before = home.dir().read(kUserFile);

  TRegistry reader(KEY_READ);
  ASSERT_TRUE(reader.OpenKey(u"\\Software\\Korv", false));
  EXPECT_EQ(RegistryError([&] { reader.WriteString(u"v", u"x"); }), "Failed to set data for 'v'");
  EXPECT_EQ(reader.LastError(), LONG(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(reader.DeleteValue(u"v"));

  TRegistry writer;
  ASSERT_TRUE(writer.OpenKeyReadOnly(u"\\Software\\Korv"));
  EXPECT_EQ(writer.Access(), KEY_READ);
  EXPECT_EQ(RegistryError([&] { writer.WriteInteger(u"n", 1); }), "Failed to set data for 'n'");
  EXPECT_EQ(home.dir().read(kUserFile), before);

  // A store that cannot be written fails the same way, saying which file and why, and nothing
  // changes.
  TRegistry full;
  ASSERT_TRUE(full.OpenKey(u"\\Software\\Korv", false));
  SetWriteFailureForTesting(true);
  const std::string why =
      ": cannot write " + home.dir().os() + "/" + kUserFile + ": No space left on device";
  EXPECT_EQ(RegistryError([&] { full.WriteString(u"v", u"lost"); }),
            "Failed to set data for 'v'" + why);
  EXPECT_EQ(RegistryError([&] { full.CreateKey(u"Child"); }), "Failed to create key Child" + why);
  SetWriteFailureForTesting(false);
  EXPECT_EQ(full.ReadString(u"v"), u"kept");
  EXPECT_EQ(home.dir().read(kUserFile), before);
}

TEST(TRegistry, ListsAndDeletesKeysAndValues) {
  SandboxedHome home;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(u"\\Software\\Korv", true));
  for (const char16_t* k : {u"Zeta\\Inner\\Most", u"alpha", u"Beta"}) reg.CreateKey(k);
  reg.WriteString(u"second", u"2");
  reg.WriteString(u"", u"default");
  reg.WriteInteger(u"First", 1);

  TStringList names;
  names.Add(u"stale");
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<String>{u"alpha", u"Beta", u"Zeta"}));
  reg.GetValueNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<String>{u"second", u"", u"First"}));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumSubKeys, 3);
  EXPECT_EQ(info.NumValues, 3);
  EXPECT_EQ(info.MaxValueLen, 6);
  EXPECT_EQ(info.MaxDataLen, 16);
  EXPECT_TRUE(reg.HasSubKeys());

  EXPECT_TRUE(reg.DeleteKey(u"Zeta")) << "with everything below it";
  EXPECT_FALSE(reg.KeyExists(u"\\Software\\Korv\\Zeta\\Inner"));
  EXPECT_TRUE(reg.DeleteKey(u"\\Software\\Korv\\Beta"));
  EXPECT_FALSE(reg.DeleteKey(u"Beta"));
  reg.GetKeyNames(&names);
  EXPECT_EQ(Lines(names), (std::vector<String>{u"alpha"}));

  // Naming no key deletes nothing: not the current key, not the whole root.
  TRegistry atRoot;
  EXPECT_FALSE(atRoot.DeleteKey(u""));
  EXPECT_FALSE(atRoot.DeleteKey(u"\\"));
  EXPECT_FALSE(reg.DeleteKey(u""));
  EXPECT_TRUE(atRoot.KeyExists(u"\\Software\\Korv\\alpha"));

  reg.CloseKey();
  EXPECT_FALSE(reg.GetKeyInfo(info));
  reg.GetValueNames(&names);
  EXPECT_EQ(names.Count(), 0);
}

TEST(TRegistry, SpreadsheetLookupReadsTheDefaultValueOfAMachineKey) {
  SandboxedHome home;
  const String key = u"software\\classes\\applications\\excel.exe\\shell\\open\\command";
  {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey(key, false));
  }
  EXPECT_FALSE(std::filesystem::exists(home.dir().os() + "/home/.config/korv"))
      << "a lookup writes nothing";
  home.dir().write(
      "home/.config/korv/registry/HKEY_LOCAL_MACHINE.reg",
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\EXCEL.EXE\\shell\\open\\command]\n"
      "@=\"\\\"C:\\\\Office\\\\EXCEL.EXE\\\" /dde\"\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Applications\\scalc.exe\\shell\\open\\command]\n"
      "@=dword:00000001\n");
  TRegistry reg(KEY_READ);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(key, false));
  EXPECT_EQ(reg.ReadString(u""), u"\"C:\\Office\\EXCEL.EXE\" /dde");
  ASSERT_TRUE(
      reg.OpenKey(u"\\software\\classes\\applications\\scalc.exe\\shell\\open\\command", false));
  EXPECT_EQ(RegistryError([&] { reg.ReadString(u""); }), "Invalid data type for ''");
}

TEST(TRegIniFile, SectionsAreSubKeysAndEverythingIsText) {
  SandboxedHome home;
  {
    // The colour scheme lookup: a missing value gives the default, the key is made on opening.
    TRegIniFile ini(u"\\Software\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(ini.FileName(), u"\\Software\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(ini.ReadString(u"ThemeManager", u"ColorName", u""), u"");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", true));
    reg.WriteString(u"ColorName", u"Metallic");
    EXPECT_EQ(ini.ReadString(u"ThemeManager", u"ColorName", u""), u"Metallic");
  }
  TRegIniFile ini(u"\\Software\\Korv");
  ini.WriteInteger(u"Window", u"Left", 120);
  ini.WriteBool(u"Window", u"Max", true);
  ini.WriteString(u"Window", u"Title", u"Quillmark");
  ini.WriteString(u"Other", u"Empty", u"");
  EXPECT_EQ(ini.CurrentPath(), u"Software\\Korv") << "section access keeps the current key";

  TRegistry raw;
  ASSERT_TRUE(raw.OpenKey(u"\\Software\\Korv\\Window", false));
  EXPECT_EQ(raw.GetDataType(u"Left"), rdString);
  EXPECT_EQ(raw.ReadString(u"Left"), u"120");
  EXPECT_EQ(ini.ReadInteger(u"Window", u"Left", 0), 120);
  EXPECT_TRUE(ini.ReadBool(u"Window", u"Max", false));
  EXPECT_EQ(ini.ReadInteger(u"Window", u"Missing", 7), 7);
  EXPECT_EQ(ini.ReadInteger(u"Nowhere", u"Left", 8), 8);
  EXPECT_THROW(ini.ReadInteger(u"Window", u"Title", 0), EConvertError);

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"Other", u"Window"}));
  list.Add(u"Title=old");
  ini.ReadSectionValues(u"Window", &list);
  EXPECT_EQ(Lines(list),
            (std::vector<String>{u"Other", u"Window", u"Title=Quillmark", u"Left=120", u"Max=1"}));

  ini.DeleteKey(u"Window", u"Max");
  ini.ReadSection(u"Window", &list);
  EXPECT_EQ(Lines(list), (std::vector<String>{u"Left", u"Title"}));
  ini.EraseSection(u"Window");
  EXPECT_FALSE(ini.KeyExists(u"Window"));
  EXPECT_TRUE(ini.KeyExists(u"Other"));
}

TEST(TRegistryIniFile, ServesTheIniInterfaceWithTypedRegistryValues) {
  SandboxedHome home;
  TRegistryIniFile store(u"\\Software\\Korv", KEY_ALL_ACCESS);
  TCustomIniFile& ini = store;
  ini.WriteInteger(u"Frame", u"Width", 640);
  ini.WriteString(u"Frame", u"Caption", u"Main");
  ini.WriteFloat(u"Frame", u"Zoom", 1.25);
  ini.WriteDate(u"Frame", u"Saved", 45123.0);
  ini.WriteBool(u"Frame", u"Visible", false);
  TMemoryStream bytes;
  const BYTE b[] = {9, 8, 7};
  bytes.Write(b, 3);
  bytes.SetPosition(1);
  ini.WriteBinaryStream(u"Frame", u"Blob", &bytes);

  TRegistry raw;
  ASSERT_TRUE(raw.OpenKey(u"\\Software\\Korv\\Frame", false));
  EXPECT_EQ(raw.GetDataType(u"Width"), rdInteger);
  EXPECT_EQ(raw.GetDataType(u"Caption"), rdString);
  EXPECT_EQ(raw.GetDataType(u"Zoom"), rdBinary);
  EXPECT_EQ(raw.GetDataSize(u"Saved"), 8);
  EXPECT_EQ(raw.GetDataSize(u"Blob"), 2) << "from the stream's position";
  raw.WriteString(u"Text number", u"0x10");

  EXPECT_EQ(ini.ReadInteger(u"Frame", u"Width", 0), 640);
  EXPECT_EQ(ini.ReadInteger(u"Frame", u"Text number", 0), 16);
  EXPECT_EQ(ini.ReadInteger(u"Frame", u"Caption", -1), -1) << "text that is no number";
  EXPECT_EQ(ini.ReadString(u"Frame", u"Caption", u""), u"Main");
  EXPECT_EQ(ini.ReadFloat(u"Frame", u"Zoom", 0), 1.25);
  EXPECT_EQ(ini.ReadDate(u"Frame", u"Saved", 0), 45123.0);
  EXPECT_FALSE(ini.ReadBool(u"Frame", u"Visible", true));
  EXPECT_EQ(ini.ReadFloat(u"Frame", u"Missing", 3.5), 3.5);
  EXPECT_EQ(ini.ReadDateTime(u"Gone", u"Saved", 1.0), 1.0);
  TMemoryStream out;
  out.Write("xy", 2);
  EXPECT_EQ(ini.ReadBinaryStream(u"Frame", u"Blob", &out), 2);
  EXPECT_EQ(out.Position(), 2);
  EXPECT_EQ(std::memcmp(out.Memory(), "xy\x08\x07", 4), 0);
  EXPECT_EQ(ini.ReadBinaryStream(u"Frame", u"Caption", &out), 0);

  EXPECT_TRUE(ini.SectionExists(u"Frame"));
  EXPECT_TRUE(ini.ValueExists(u"Frame", u"zoom"));
  EXPECT_FALSE(ini.SectionExists(u"Gone"));
  TStringList list;
  list.Add(u"stale");
  ini.ReadSection(u"Gone", &list);
  EXPECT_EQ(list.Count(), 0);
  ini.DeleteKey(u"Frame", u"Zoom");
  EXPECT_FALSE(ini.ValueExists(u"Frame", u"Zoom"));
  ini.EraseSection(u"Frame");
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
}

// The settings store's registry kind: an accessor on an empty key name, moved to another root
// and opened on its key, and a listing built from the names, types and data of a section.
TEST(TRegistryIniFile, ReopensOnAnotherRootAndListsASectionsValues) {
  SandboxedHome home;
  TRegistryIniFile store(u"", KEY_READ | KEY_WRITE);
  store.RegIniFile()->SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(store.RegIniFile()->OpenKey(u"\\Software\\Temp\\Demo", true));
  store.WriteString(u"Sect", u"Name", u"text");
  store.WriteInteger(u"Sect", u"Count", 42);
  store.WriteString(u"Sect", u"", u"dflt");
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(u"\\Software\\Temp\\Demo\\Sect", false));
    reg.WriteBinaryData(u"Bytes", nullptr, 0);
  }
  EXPECT_FALSE(std::filesystem::exists(home.dir().os() + "/" + kUserFile));

  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(u"\\Software\\Temp\\Demo\\Sect", false));
  TStringList names;
  names.SetSorted(true);
  reg.GetValueNames(&names);
  ASSERT_EQ(Lines(names), (std::vector<String>{u"", u"Bytes", u"Count", u"Name"}));
  EXPECT_EQ(reg.ReadString(names[0]), u"dflt");
  EXPECT_EQ(reg.GetDataType(u"Bytes"), rdBinary);
  EXPECT_EQ(reg.GetDataSize(u"Bytes"), 0);
  BYTE none[1];
  EXPECT_EQ(reg.ReadBinaryData(u"Bytes", none, 0), 0);
  EXPECT_EQ(reg.GetDataType(u"Count"), rdInteger);
  EXPECT_EQ(reg.ReadInteger(u"Count"), 42);
  EXPECT_EQ(reg.GetDataType(u"Name"), rdString);
  EXPECT_EQ(reg.ReadString(u"Name"), u"text");
}
