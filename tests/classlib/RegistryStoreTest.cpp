#include <gtest/gtest.h>

#include <filesystem>

#include "Files.h"
#include "RegistryStore.h"
#include "TestSupport.h"

namespace {

const char kUserFile[] = "home/.config/korv/registry/HKEY_CURRENT_USER.reg";
const char kHeader[] = "Windows Registry Editor Version 5.00\n";

std::vector<BYTE> Bytes(std::initializer_list<int> b) {
  return std::vector<BYTE>(b.begin(), b.end());
}

std::vector<BYTE> Text(const String& s) {
  std::vector<BYTE> d;
  for (Char c : s) {
    d.push_back(BYTE(c & 0xFF));
    d.push_back(BYTE(c >> 8));
  }
  d.insert(d.end(), {0, 0});
  return d;
}

LONG SetSz(HKEY k, const char16_t* name, const String& text) {
  auto d = Text(text);
  return RegSetValueExW(k, name, 0, REG_SZ, d.data(), static_cast<DWORD>(d.size()));
}

String GetSz(HKEY k, const char16_t* name) {
  BYTE buf[512];
  DWORD size = sizeof buf, type = 0;
  if (RegQueryValueExW(k, name, nullptr, &type, buf, &size) != ERROR_SUCCESS || type != REG_SZ)
    return u"<none>";
  return String(reinterpret_cast<const Char*>(buf), size / 2 - 1);
}

HKEY Create(HKEY base, const char16_t* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY k = 0;
  EXPECT_EQ(RegCreateKeyExW(base, path, 0, nullptr, 0, access, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  return k;
}

std::vector<std::string> CorruptCopies(const SandboxedHome& home) {
  std::vector<std::string> found;
  for (auto& e :
       std::filesystem::directory_iterator(home.dir().os() + "/home/.config/korv/registry"))
    if (e.path().filename().string().find(".corrupt-") != std::string::npos)
      found.push_back(e.path().string());
  std::sort(found.begin(), found.end());
  return found;
}

std::string ReadOs(const std::string& path) {
  std::string bytes;
  ReadFileBytes(FromOsPath(path), bytes);
  return bytes;
}

}  // namespace

TEST(RegistryFile, EveryValueTypeRoundTripsThroughTheText) {
  regfile::Key root;
  regfile::Key* k = root.AddKey(u"Software")->AddKey(u"Korv \"Tools\"");
  k->SetValue(u"", REG_SZ, Text(u"default text"));
  k->SetValue(u"path \\ \"q\"", REG_SZ, Text(u"C:\\dir\\\"x\" \u00e9\u20ac"));
  k->SetValue(u"empty", REG_SZ, Text(u""));
  k->SetValue(u"n", REG_DWORD, Bytes({0x2a, 0, 0, 0}));
  k->SetValue(u"b", REG_BINARY, Bytes({0x0a, 0xff}));
  k->SetValue(u"none", REG_BINARY, {});
  k->SetValue(u"e", REG_EXPAND_SZ, Text(u"%HOME%"));
  k->SetValue(u"m", REG_MULTI_SZ, Bytes({'a', 0, 0, 0, 0, 0}));
  k->SetValue(u"q", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  k->SetValue(u"z", REG_NONE, {});
  // Text that a quoted line cannot carry must still come back byte for byte.
  k->SetValue(u"lines", REG_SZ, Text(u"one\r\ntwo"));
  k->SetValue(u"unterminated", REG_SZ, Bytes({'a', 0}));
  k->SetValue(u"short dword", REG_DWORD, Bytes({1, 2}));
  std::vector<BYTE> big(100);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = BYTE(i * 7);
  k->SetValue(u"big", REG_BINARY, big);
  root.AddKey(u"Empty key");

  std::string text = regfile::Serialize(root, u"HKEY_CURRENT_USER");
  EXPECT_EQ(text.rfind(kHeader, 0), 0u);
  for (const char* line :
       {"[HKEY_CURRENT_USER\\Software\\Korv \"Tools\"]\n", "@=\"default text\"\n",
        "\"path \\\\ \\\"q\\\"\"=\"C:\\\\dir\\\\\\\"x\\\" \xC3\xA9\xE2\x82\xAC\"\n",
        "\"empty\"=\"\"\n", "\"n\"=dword:0000002a\n", "\"b\"=hex:0a,ff\n", "\"none\"=hex:\n",
        "\"e\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n",
        "\"q\"=hex(b):01,02,03,04,05,06,07,08\n", "\"z\"=hex(0):\n",
        "\"short dword\"=hex(4):01,02\n", "[HKEY_CURRENT_USER\\Empty key]\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin:\n" << text;
  EXPECT_NE(text.find("\"big\"=hex:00,07,0e,"), std::string::npos);
  EXPECT_NE(text.find(",\\\n  "), std::string::npos) << "long byte lists go on over lines";
  std::size_t longest = 0, start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    longest = std::max(longest, end - start);
  EXPECT_LE(longest, 80u);

  regfile::Key back;
  std::string error;
  ASSERT_TRUE(regfile::Parse(text, u"HKEY_CURRENT_USER", back, &error)) << error;
  EXPECT_TRUE(back == root);
  EXPECT_EQ(regfile::Serialize(back, u"HKEY_CURRENT_USER"), text);
}

TEST(RegistryFile, ReadsRegeditExportsAndMergesKeysWithoutRegardToCase) {
  // What regedit writes: UTF-16 with a byte-order mark, CR LF, indented continuation lines.
  String src =
      u"Windows Registry Editor Version 5.00\r\n\r\n; exported\r\n"
      u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n\"Bin\"=hex:01,02,\\\r\n  03,04\r\n"
      u"[hkey_local_machine\\software\\classes\\Sub]\r\n@=\"x\"\r\n\"N\"=DWORD:ff\r\n";
  std::string bytes = "\xFF\xFE";
  for (Char c : src) bytes += {char(c & 0xFF), char(c >> 8)};
  regfile::Key root;
  std::string error;
  ASSERT_TRUE(regfile::Parse(bytes, u"HKEY_LOCAL_MACHINE", root, &error)) << error;
  regfile::Key* classes = root.FindKey(u"software")->FindKey(u"CLASSES");
  ASSERT_NE(classes, nullptr);
  EXPECT_EQ(root.keys.size(), 1u);
  EXPECT_EQ(classes->name, u"Classes") << "the first spelling is kept";
  EXPECT_EQ(classes->FindValue(u"bin")->data, Bytes({1, 2, 3, 4}));
  regfile::Key* sub = classes->FindKey(u"sub");
  EXPECT_EQ(sub->FindValue(u"")->data, Text(u"x"));
  EXPECT_EQ(sub->FindValue(u"n")->data, Bytes({0xff, 0, 0, 0}));
}

TEST(RegistryFile, TextThatDoesNotParseReadsAsNothing) {
  const std::string h = kHeader;
  for (const std::string& bad : {
           std::string("[HKEY_CURRENT_USER\\A]\n"),                // no header
           h + "[HKEY_CURRENT_USER\\A]\nnot a value\n",            // stray line
           h + "\"v\"=\"before any key\"\n",                       // value outside a key
           h + "[HKEY_LOCAL_MACHINE\\A]\n",                        // another root's key
           h + "[HKEY_CURRENT_USER\\A\\\\B]\n",                    // empty key name
           h + "[HKEY_CURRENT_USER\\A\n",                          // unclosed key
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=\"C:\\dir\"\n",      // unknown escape
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=\"open\n",           // unterminated text
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\" junk\n",       // text after the value
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n",  // nine digits
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=hex:0g\n",           // not a byte
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\n",          // missing byte
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=hex:01,\\\n",        // continued past the end
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=-\n",                // deletion syntax
           h + "[HKEY_CURRENT_USER\\A]\n\"v\"=\"\xC3\x28\"\n",     // not UTF-8
       }) {
    regfile::Key root;
    root.AddKey(u"stale");
    EXPECT_FALSE(regfile::Parse(bad, u"HKEY_CURRENT_USER", root)) << bad;
    EXPECT_TRUE(root.keys.empty() && root.values.empty()) << bad;
  }
}

TEST(RegistryStore, ChangesReachTheFileAtOnceAndEditsOnDiskAreSeen) {
  SandboxedHome home;
  EXPECT_EQ(RegistryFileName(HKEY_CURRENT_USER),
            FromOsPath(home.dir().os() + "/home/.config/korv/registry/HKEY_CURRENT_USER.reg"));
  HKEY k = 0;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(home.dir().os() + "/home/.config/korv"))
      << "reading creates nothing";

  k = Create(HKEY_CURRENT_USER, u"Software\\Korv");
  ASSERT_EQ(SetSz(k, u"Name", u"first"), ERROR_SUCCESS);
  EXPECT_NE(
      home.dir().read(kUserFile).find("[HKEY_CURRENT_USER\\Software\\Korv]\n\"Name\"=\"first\"\n"),
      std::string::npos);

  // Another program replaces the file: the next call sees its contents, through the same handle.
  home.dir().write(kUserFile, std::string(kHeader) +
                                  "\n[HKEY_CURRENT_USER\\Software\\Korv]\n\"Name\"=\"second\"\n");
  EXPECT_EQ(GetSz(k, u"NAME"), u"second");
  // An edit in place of the same size is seen by its modification time.
  std::string same =
      std::string(kHeader) + "\n[HKEY_CURRENT_USER\\Software\\Korv]\n\"Name\"=\"third!\"\n";
  std::filesystem::path file = home.dir().os() + "/" + kUserFile;
  auto before = std::filesystem::last_write_time(file);
  home.dir().write(kUserFile, same);
  std::filesystem::last_write_time(file, before + std::chrono::seconds(2));
  EXPECT_EQ(GetSz(k, u"Name"), u"third!");
  // The key went away on disk: the handle reports it.
  home.dir().write(kUserFile, kHeader);
  EXPECT_EQ(SetSz(k, u"Name", u"x"), LONG(ERROR_KEY_DELETED));
  RegCloseKey(k);
  EXPECT_EQ(RegCloseKey(k), LONG(ERROR_INVALID_HANDLE));
}

TEST(RegistryStore, ACorruptFileIsSetAsideWholeBeforeTheNextWrite) {
  SandboxedHome home;
  const std::string bad =
      std::string(kHeader) + "[HKEY_CURRENT_USER\\Software]\n\"v\"=\"good\"\ngarbage\n";
  home.dir().write(kUserFile, bad);
  HKEY k = 0;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND)
      << "a file that does not parse reads as empty";
  EXPECT_TRUE(CorruptCopies(home).empty()) << "reading alone moves nothing";

  k = Create(HKEY_CURRENT_USER, u"Fresh");
  auto copies = CorruptCopies(home);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(ReadOs(copies[0]), bad);
  std::string now = home.dir().read(kUserFile);
  EXPECT_NE(now.find("[HKEY_CURRENT_USER\\Fresh]"), std::string::npos);
  EXPECT_EQ(now.find("good"), std::string::npos);
  RegCloseKey(k);

  // A second bad file within the same second gets a name of its own.
  home.dir().write(kUserFile, "rubbish");
  k = Create(HKEY_CURRENT_USER, u"Again");
  copies = CorruptCopies(home);
  ASSERT_EQ(copies.size(), 2u);
  EXPECT_EQ(ReadOs(copies[0]) + ReadOs(copies[1]), bad + "rubbish");
  RegCloseKey(k);
}

TEST(RegistryStore, AFailedWriteChangesNothingOnDiskOrInMemory) {
  SandboxedHome home;
  HKEY k = Create(HKEY_CURRENT_USER, u"Software");
  ASSERT_EQ(SetSz(k, u"v", u"old"), ERROR_SUCCESS);
  std::string before = home.dir().read(kUserFile);
  SetWriteFailureForTesting(true);
  EXPECT_NE(SetSz(k, u"v", u"new"), LONG(ERROR_SUCCESS));
  HKEY sub = 0;
  EXPECT_NE(RegCreateKeyExW(k, u"Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
            LONG(ERROR_SUCCESS));
  SetWriteFailureForTesting(false);
  EXPECT_EQ(home.dir().read(kUserFile), before);
  EXPECT_EQ(GetSz(k, u"v"), u"old");
  EXPECT_EQ(RegOpenKeyExW(k, u"Sub", 0, KEY_READ, &sub), ERROR_FILE_NOT_FOUND);
  RegCloseKey(k);

  // A root file that cannot be read is never replaced.
  std::filesystem::create_directories(home.dir().os() +
                                      "/home/.config/korv/registry/HKEY_USERS.reg");
  EXPECT_EQ(
      RegCreateKeyExW(HKEY_USERS, u"X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
      LONG(ERROR_ACCESS_DENIED));
}

TEST(RegistryStore, AccessMasksRefuseWhatTheHandleWasNotOpenedFor) {
  SandboxedHome home;
  HKEY full = Create(HKEY_CURRENT_USER, u"Software\\Korv\\Child");
  ASSERT_EQ(SetSz(full, u"v", u"kept"), ERROR_SUCCESS);
  std::string before = home.dir().read(kUserFile);

  HKEY ro = 0, wo = 0, made = 0;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Korv", 0, KEY_READ, &ro), ERROR_SUCCESS);
  EXPECT_EQ(SetSz(ro, u"v", u"x"), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteValueW(ro, u"v"), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteKeyW(ro, u"Child"), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteTreeW(ro, u"Child"), LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegCreateKeyExW(ro, u"New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr),
            LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegCreateKeyExW(ro, u"Child", 0, nullptr, 0, KEY_READ, nullptr, &made, nullptr),
            ERROR_SUCCESS)
      << "opening an existing key creates nothing";
  EXPECT_EQ(home.dir().read(kUserFile), before);

  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Korv\\Child", 0, KEY_WRITE, &wo),
            ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(wo, u"v", nullptr, nullptr, nullptr, &size),
            LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegEnumKeyExW(wo, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr),
            LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(SetSz(wo, u"v", u"written"), ERROR_SUCCESS);
  EXPECT_EQ(GetSz(full, u"v"), u"written");
  for (HKEY h : {full, ro, wo, made}) RegCloseKey(h);
}

TEST(RegistryStore, QueriesEnumerationAndDeletionFollowThePlatform) {
  SandboxedHome home;
  HKEY k = Create(HKEY_CURRENT_USER, u"Software\\Korv");
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma"}) RegCloseKey(Create(k, name));
  ASSERT_EQ(SetSz(k, u"z", u"last"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(k, nullptr, u"default"), ERROR_SUCCESS);
  ASSERT_EQ(SetSz(k, u"Z", u"again"), ERROR_SUCCESS);  // same value, other case

  Char name[16];
  std::vector<String> keys, values;
  for (DWORD i = 0;; ++i) {
    DWORD len = 16;
    if (RegEnumKeyExW(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    keys.emplace_back(name, len);
  }
  for (DWORD i = 0;; ++i) {
    DWORD len = 16;
    if (RegEnumValueW(k, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    values.emplace_back(name, len);
  }
  EXPECT_EQ(keys, (std::vector<String>{u"Alpha", u"beta", u"gamma"}));
  EXPECT_EQ(values, (std::vector<String>{u"z", u""}));
  EXPECT_EQ(GetSz(k, u""), u"default");

  DWORD len = 3;  // "Alpha" needs 6 with its terminating zero
  EXPECT_EQ(RegEnumKeyExW(k, 0, name, &len, nullptr, nullptr, nullptr, nullptr),
            LONG(ERROR_MORE_DATA));
  BYTE small[4];
  DWORD size = sizeof small, type = 0;
  EXPECT_EQ(RegQueryValueExW(k, u"z", nullptr, &type, small, &size), LONG(ERROR_MORE_DATA));
  EXPECT_EQ(size, 12u);
  EXPECT_EQ(type, REG_SZ);
  DWORD subKeys = 0, maxKey = 0, count = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subKeys, &maxKey, nullptr, &count,
                             &maxName, &maxData, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::vector<DWORD>({subKeys, maxKey, count, maxName, maxData}),
            std::vector<DWORD>({3, 5, 2, 1, 16}));

  HKEY bad = 0;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"\\Software", 0, KEY_READ, &bad),
            LONG(ERROR_BAD_PATHNAME));
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\\\Korv", 0, KEY_READ, &bad),
            LONG(ERROR_BAD_PATHNAME));
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\KORV\\", 0, KEY_READ, &bad),
            ERROR_SUCCESS);
  RegCloseKey(bad);

  HKEY alpha = 0;
  ASSERT_EQ(RegOpenKeyExW(k, u"alpha", 0, KEY_ALL_ACCESS, &alpha), ERROR_SUCCESS);
  RegCloseKey(Create(alpha, u"Inner"));
  EXPECT_EQ(RegDeleteKeyW(k, u"Alpha"), LONG(ERROR_ACCESS_DENIED)) << "a key with sub-keys stays";
  EXPECT_EQ(RegDeleteKeyW(k, u"missing"), LONG(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegDeleteTreeW(k, u"Alpha"), ERROR_SUCCESS);
  EXPECT_EQ(SetSz(alpha, u"v", u"x"), LONG(ERROR_KEY_DELETED));
  EXPECT_EQ(RegDeleteKeyW(k, u"beta"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u""), LONG(ERROR_ACCESS_DENIED)) << "a root cannot go";
  EXPECT_EQ(home.dir().read(kUserFile).find("lpha"), std::string::npos);
  for (HKEY h : {k, alpha}) RegCloseKey(h);
}

namespace {

const std::string kRegistryFolder = "home/.config/korv/registry";

// In a child with an alarm, so a reader that waits on a FIFO fails instead of hanging.
TEST(RegistryStore, WhatIsNoFileReadsAsEmptyAndIsNeverReplaced) {
  for (NotASettingsFile kind : kNotSettingsFiles) {
    SCOPED_TRACE(NameOf(kind));
    SandboxedHome home;
    std::filesystem::create_directories(home.dir().os() + "/" + kRegistryFolder);
    const std::string file = home.dir().os() + "/" + kUserFile;
    ASSERT_TRUE(MakeNotASettingsFile(kind, file));
    std::string result = InChild(5, [&] {
      HKEY k = 0;
      if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Previous", 0, KEY_READ, &k) != ERROR_FILE_NOT_FOUND)
        return std::string("read");
      if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &k, nullptr) != ERROR_ACCESS_DENIED)
        return std::string("written");
      return ToUtf8(RegistryFileProblem());
    });
    const std::string expected = "cannot write " + file + ": it could not be read (";
    EXPECT_EQ(result.substr(0, expected.size()), expected);
    EXPECT_EQ(KindAt(file), NameOf(kind));
  }
}

// As permission bits would, for anyone but root (the tests run as root).
TEST(RegistryStore, ARootFileThatCannotBeReadIsNeverReplaced) {
  SandboxedHome home;
  const std::string text =
      std::string(kHeader) + "\n[HKEY_CURRENT_USER\\Software]\n\"v\"=\"kept\"\n";
  home.dir().write(kUserFile, text);
  SetReadFailureForTesting(true);
  HKEY k = 0;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Other", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            nullptr),
            LONG(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ToUtf8(RegistryFileProblem()),
            "cannot write " + home.dir().os() + "/" + kUserFile +
                ": it could not be read (Permission denied), so it is left as it is");
  SetReadFailureForTesting(false);
  EXPECT_EQ(home.dir().read(kUserFile), text);
}

TEST(RegistryStore, ARootFileThatIsALinkStaysOneEvenWhenCorrupt) {
  SandboxedHome home;
  const std::string folder = home.dir().os() + "/" + kRegistryFolder;
  std::filesystem::create_directories(folder);
  home.dir().write("dotfiles/user.reg", "rubbish");
  std::filesystem::create_symlink(home.dir().os() + "/dotfiles/user.reg",
                                  home.dir().os() + "/" + kUserFile);
  HKEY k = Create(HKEY_CURRENT_USER, u"Software");
  ASSERT_EQ(SetSz(k, u"v", u"linked"), ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_EQ(KindAt(home.dir().os() + "/" + kUserFile),
            "link to " + home.dir().os() + "/dotfiles/user.reg");
  EXPECT_NE(home.dir().read("dotfiles/user.reg").find("\"v\"=\"linked\""), std::string::npos);
  // The corrupt text was copied aside, beside the link, whole.
  auto copies = CorruptCopies(home);
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(ReadOs(copies[0]), "rubbish");
}

}  // namespace
