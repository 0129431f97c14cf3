#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "Files.h"
#include "IniDocument.h"
#include "IniFiles.h"
#include "Locale.h"
#include "ScopeGuard.h"
#include "TestSupport.h"

namespace {

using namespace std::string_literals;
using V = std::vector<String>;

std::string Utf16(const String& s, bool bigEndian) {
  std::string out;
  for (Char c : s) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

V Section(TCustomIniFile& ini, const String& name) {
  TStringList l;
  ini.ReadSection(name, &l);
  return l.ToVector();
}

V Sections(TCustomIniFile& ini) {
  TStringList l;
  ini.ReadSections(&l);
  return l.ToVector();
}

V SectionValues(TCustomIniFile& ini, const String& name) {
  TStringList l;
  ini.ReadSectionValues(name, &l);
  return l.ToVector();
}

struct WriteFailure {
  WriteFailure() { SetWriteFailureForTesting(true); }
  ~WriteFailure() { SetWriteFailureForTesting(false); }
};

struct LocaleScope {
  TFormatSettings saved = FormatSettings;
  ~LocaleScope() { FormatSettings = saved; }
};

std::size_t FilesIn(const TempDir& dir) {
  auto it = std::filesystem::directory_iterator(dir.os());
  return static_cast<std::size_t>(std::distance(it, std::filesystem::directory_iterator()));
}

enum class Kind { Profile, Memory };

// The rules every INI class shares, run against both.
class AnyIni : public ::testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<TCustomIniFile> Open(const std::string& bytes) {
    path_ = dir_.write("t.ini", bytes);
    return Reopen();
  }
  std::unique_ptr<TCustomIniFile> Reopen() {
    if (GetParam() == Kind::Profile) return std::make_unique<TIniFile>(path_);
    return std::make_unique<TMemIniFile>(path_);
  }
  TempDir dir_;
  String path_;
};

const char kMixed[] =
    "orphan=before any section\n"
    "[Main]\n"
    "; comment=not a key\n"
    "  Key One  =   spaced value   \n"
    "Quoted=\"  keep inner blanks  \"\n"
    "Single='x'\n"
    "Mismatch=\"open\n"
    "Lone=\"\n"
    "Empty=\n"
    "dup=first\n"
    "DUP=second\n"
    "no equals sign here\n"
    "[abc\n"
    "[ main ]\n"
    "late=hidden by the first section\n"
    "[\xC3\x84rger]\n"
    "x=1\n";

TEST_P(AnyIni, ReadingRules) {
  auto ini = Open(kMixed);
  EXPECT_EQ(ini->ReadString(u"main", u" key one ", u"d"), u"spaced value");
  EXPECT_EQ(ini->ReadString(u"Main", u"Quoted", u"d"), u"  keep inner blanks  ");
  EXPECT_EQ(ini->ReadString(u"Main", u"Single", u"d"), u"x");
  EXPECT_EQ(ini->ReadString(u"Main", u"Mismatch", u"d"), u"\"open");
  EXPECT_EQ(ini->ReadString(u"Main", u"Lone", u"d"), u"\"");
  EXPECT_EQ(ini->ReadString(u"Main", u"Empty", u"d"), u"");
  EXPECT_EQ(ini->ReadString(u"Main", u"Dup", u"d"), u"first");
  EXPECT_EQ(ini->ReadString(u"Main", u"late", u"d"), u"d");
  EXPECT_EQ(ini->ReadString(u"Main", u"no equals sign here", u"d"), u"d");
  EXPECT_EQ(ini->ReadString(u"Main", u"; comment", u"d"), u"d");
  EXPECT_EQ(ini->ReadString(u"", u"orphan", u"d"), u"d");
  EXPECT_EQ(ini->ReadString(u"ärger", u"X", u"d"), u"1");
  EXPECT_EQ(ini->ReadString(u"Nowhere", u"x", u"d"), u"d");

  EXPECT_EQ(Sections(*ini), (V{u"Main", u"Ärger"}));
  // Only keys are listed: comments and lines without "=" are not.
  EXPECT_EQ(Section(*ini, u"MAIN"),
            (V{u"Key One", u"Quoted", u"Single", u"Mismatch", u"Lone", u"Empty", u"dup"}));
  EXPECT_EQ(SectionValues(*ini, u"main")[0], u"Key One=spaced value");
  EXPECT_EQ(SectionValues(*ini, u"main")[6], u"dup=first");
  EXPECT_TRUE(ini->ValueExists(u"main", u"EMPTY"));
  EXPECT_FALSE(ini->ValueExists(u"main", u"no equals sign here"));
  EXPECT_TRUE(ini->SectionExists(u"ÄRGER"));
  EXPECT_FALSE(ini->SectionExists(u"abc"));

  DeleteFile(path_);
  auto missing = Reopen();
  EXPECT_EQ(missing->ReadString(u"Main", u"Quoted", u"gone"), u"gone");
  EXPECT_TRUE(Sections(*missing).empty());
}

TEST_P(AnyIni, SectionOperations) {
  auto ini = Open("[A]\nk=1\n; note\nk=2\nj=3\n[Empty]\n[B]\nz=9\n[a]\nlater=4\n");
  EXPECT_TRUE(ini->SectionExists(u"empty"));  // a header without keys still counts
  ini->DeleteKey(u"a", u"K");  // every key of the name goes, so no older value shows through
  EXPECT_EQ(ini->ReadString(u"A", u"k", u"d"), u"d");
  EXPECT_EQ(Section(*ini, u"A"), V{u"j"});
  ini->EraseSection(u"A");  // both sections named A, comment included
  ini->UpdateFile();
  auto again = Reopen();
  EXPECT_EQ(Sections(*again), (V{u"Empty", u"B"}));
  EXPECT_EQ(again->ReadString(u"a", u"later", u"d"), u"d");
  EXPECT_EQ(dir_.read("t.ini").find("note"), std::string::npos);
}

TEST_P(AnyIni, WrittenValuesCannotAddLines) {
  auto ini = Open("");
  ini->WriteString(u"S", u"k", u"a\r\n[Evil]\nx=1");
  ini->WriteString(u"S\n", u"two\rlines", u"v");
  ini->WriteString(u"Odd]Name", u"k", u"1");  // the last "]" closes a header
  ini->UpdateFile();
  auto again = Reopen();
  EXPECT_EQ(Sections(*again), (V{u"S", u"Odd]Name"}));
  EXPECT_EQ(again->ReadString(u"odd]name", u"k", u""), u"1");
  EXPECT_EQ(again->ReadString(u"S", u"k", u""), u"a  [Evil] x=1");
  EXPECT_EQ(again->ReadString(u"S", u"two lines", u""), u"v");
}

TEST_P(AnyIni, BadInputNeverBreaksReadingOrWriting) {
  const std::string samples[] = {
      ""s,
      "["s,
      "[abc"s,
      "]\n=\n[\n"s,
      "[]\n=v\n"s,
      "\x80\xFF\xFE\x01[S]\r\rk=\x9D\n"s,
      "\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0X"s,  // UTF-16 with an odd byte at the end
      "\xFE\xFF\0["s,
      "\xEF\xBB\xBF\xC3"s,
      "[S]\nk="s + std::string(1 << 20, 'x') + "\n",
  };
  for (const std::string& bytes : samples) {
    SCOPED_TRACE(bytes.substr(0, 40));
    auto ini = Open(bytes);
    for (const String& s : Sections(*ini)) {
      Section(*ini, s);
      SectionValues(*ini, s);
    }
    ini->ReadString(u"S", u"k", u"d");
    ini->WriteString(u"New", u"key", u"value");
    ini->UpdateFile();
    EXPECT_EQ(Reopen()->ReadString(u"new", u"KEY", u"d"), u"value");
  }
  EXPECT_EQ(Open(samples[4])->ReadString(u"", u"", u"d"), u"v");
  EXPECT_EQ(Open(samples[6])->ReadString(u"S", u"k", u"d"), u"v");
  auto big = Open(samples[9]);
  std::size_t expected = GetParam() == Kind::Profile ? 2047 : 1u << 20;
  EXPECT_EQ(big->ReadString(u"S", u"k", u"").size(), expected);
}

TEST_P(AnyIni, FailedWriteKeepsTheOldFile) {
  const std::string before = "; keep me\n[S]\nk=old\n";
  auto ini = Open(before);
  String message;
  {
    WriteFailure fail;
    try {
      ini->WriteString(u"S", u"k", u"new");
      ini->UpdateFile();
    } catch (const EIniFileException& e) {
      message = e.Message();
    }
  }
  // The file as the system names it, and why.
  EXPECT_EQ(ToUtf8(message), "Unable to write to " + dir_.os() + "/t.ini: No space left on device");
  EXPECT_EQ(dir_.read("t.ini"), before);
  EXPECT_EQ(FilesIn(dir_), 1u);  // no temporary file left behind
}

TEST_P(AnyIni, TypedValues) {
  LocaleScope locale;
  auto ini = Open(
      "[T]\nhex=0x1F\ndollar=$10\nneg=-12\nbad=12abc\nblank=\n"
      "yes=yes\ntwo=2\nzero=0\nfloat=2.5e3\nhuge=1e400\n");
  EXPECT_EQ(ini->ReadInteger(u"T", u"hex", 7), 31);
  EXPECT_EQ(ini->ReadInteger(u"T", u"dollar", 7), 16);
  EXPECT_EQ(ini->ReadInteger(u"T", u"neg", 7), -12);
  EXPECT_EQ(ini->ReadInteger(u"T", u"bad", 7), 7);
  EXPECT_EQ(ini->ReadInteger(u"T", u"blank", 7), 7);
  EXPECT_TRUE(ini->ReadBool(u"T", u"two", false));
  EXPECT_FALSE(ini->ReadBool(u"T", u"zero", true));
  EXPECT_TRUE(ini->ReadBool(u"T", u"yes", true));  // not a number: the default
  EXPECT_DOUBLE_EQ(ini->ReadFloat(u"T", u"float", 1), 2500);
  EXPECT_DOUBLE_EQ(ini->ReadFloat(u"T", u"huge", 1), 1);
  EXPECT_DOUBLE_EQ(ini->ReadFloat(u"T", u"bad", 1), 1);

  FormatSettings.DecimalSeparator = u',';
  ini->WriteFloat(u"Previous", u"LineWidth", 0.35);
  ini->WriteBool(u"Previous", u"On", true);
  ini->WriteInteger(u"Previous", u"Staves", -12);
  const TDateTime when = EncodeDate(2013, 5, 9) + EncodeTime(14, 5, 30, 0);
  ini->WriteDate(u"Previous", u"Day", when);
  ini->WriteTime(u"Previous", u"At", when);
  ini->WriteDateTime(u"Previous", u"Stamp", when);
  ini->UpdateFile();
  auto again = Reopen();
  EXPECT_EQ(again->ReadString(u"Previous", u"LineWidth", u""), u"0,35");
  EXPECT_EQ(again->ReadString(u"Previous", u"On", u""), u"1");
  EXPECT_DOUBLE_EQ(again->ReadFloat(u"Previous", u"LineWidth", 0), 0.35);
  EXPECT_DOUBLE_EQ(again->ReadFloat(u"T", u"float", 1), 1);  // "." is not the separator now
  EXPECT_EQ(again->ReadInteger(u"Previous", u"Staves", 0), -12);
  EXPECT_DOUBLE_EQ(again->ReadDate(u"Previous", u"Day", 0), EncodeDate(2013, 5, 9));
  EXPECT_NEAR(again->ReadTime(u"Previous", u"At", 0), EncodeTime(14, 5, 30, 0), 1e-9);
  EXPECT_NEAR(again->ReadDateTime(u"Previous", u"Stamp", 0), when, 1e-9);
  EXPECT_DOUBLE_EQ(again->ReadDate(u"T", u"bad", 42), 42);
  EXPECT_DOUBLE_EQ(again->ReadTime(u"T", u"blank", 42), 42);
}

TEST_P(AnyIni, BinaryStreams) {
  auto ini = Open("[B]\nlower=0aff\nbroken=0AFZ12\nodd=ABC\n");
  TMemoryStream src;
  src.WriteBuffer("\x00\x0A\xFF\x7B", 4);
  src.SetPosition(1);
  ini->WriteBinaryStream(u"B", u"data", &src);
  EXPECT_EQ(src.Position(), 4);
  EXPECT_EQ(ini->ReadString(u"B", u"data", u""), u"0AFF7B");

  TMemoryStream dst;
  dst.WriteBuffer("ab", 2);
  dst.SetPosition(1);
  EXPECT_EQ(ini->ReadBinaryStream(u"B", u"data", &dst), 3);
  EXPECT_EQ(dst.Position(), 1);  // left where the bytes begin
  ASSERT_EQ(dst.Size(), 4);
  EXPECT_EQ(std::string(static_cast<const char*>(dst.Memory()), 4), "a\x0A\xFF\x7B");

  TMemoryStream m;
  EXPECT_EQ(ini->ReadBinaryStream(u"B", u"lower", &m), 2);
  EXPECT_EQ(ini->ReadBinaryStream(u"B", u"broken", &m), 1);
  EXPECT_EQ(ini->ReadBinaryStream(u"B", u"odd", &m), 1);
  EXPECT_EQ(ini->ReadBinaryStream(u"B", u"missing", &m), 0);
  EXPECT_EQ(m.Size(), 2);
}

INSTANTIATE_TEST_SUITE_P(Ini, AnyIni, ::testing::Values(Kind::Profile, Kind::Memory),
                         [](const auto& info) {
                           return info.param == Kind::Profile ? "TIniFile" : "TMemIniFile";
                         });

TEST(IniFile, WritingKeepsEveryOtherLine) {
  TempDir dir;
  String path = dir.write("p.ini", "; top comment\n[A]\nk = old ; kept\n\n[B]\r\nx=1");
  TIniFile ini(path);
  ini.WriteString(u"a", u"K", u"new");
  ini.WriteString(u"A", u"n", u"2");
  ini.WriteString(u"C", u"y", u"3");
  EXPECT_EQ(dir.read("p.ini"), "; top comment\n[A]\nk = new\nn=2\n\n[B]\r\nx=1\n[C]\ny=3\n");
  ini.EraseSection(u"missing");
  ini.DeleteKey(u"B", u"missing");
  EXPECT_EQ(dir.read("p.ini"), "; top comment\n[A]\nk = new\nn=2\n\n[B]\r\nx=1\n[C]\ny=3\n");

  TIniFile none(dir.path() + u"none.ini");
  none.EraseSection(u"A");
  EXPECT_FALSE(FileExists(none.FileName()));  // nothing to change, nothing written
  none.WriteString(u"S", u"k", u"é");
  EXPECT_EQ(dir.read("none.ini"), "[S]\r\nk=\xC3\xA9\r\n");  // a new file is UTF-8, no mark
}

TEST(IniFile, KeepsTheEncodingTheFileHad) {
  TempDir dir;
  const String body = u"[S]\r\nk=v\r\n";
  const String after = u"[S]\r\nk=Ω\r\n";
  const struct {
    const char* name;
    std::string bom;
    bool big;
  } unicode[] = {{"le", "\xFF\xFE", false}, {"be", "\xFE\xFF", true}};
  for (const auto& u : unicode) {
    TIniFile ini(dir.write(u.name, u.bom + Utf16(body, u.big)));
    EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"v");
    ini.WriteString(u"S", u"k", u"Ω");
    EXPECT_EQ(dir.read(u.name), u.bom + Utf16(after, u.big)) << u.name;
  }
  TIniFile bom(dir.write("bom", "\xEF\xBB\xBF[S]\r\nk=v\r\n"));
  bom.WriteString(u"S", u"k", u"Ω");
  EXPECT_EQ(dir.read("bom"), "\xEF\xBB\xBF[S]\r\nk=\xCE\xA9\r\n");

  TIniFile ansi(dir.write("ansi", "[S]\r\nname=Caf\xE9\r\n"));
  EXPECT_EQ(ansi.ReadString(u"S", u"name", u""), u"Café");
  ansi.WriteString(u"S", u"cur", u"€");
  EXPECT_EQ(dir.read("ansi"), "[S]\r\nname=Caf\xE9\r\ncur=\x80\r\n");
  // Outside the code page: the whole file moves to UTF-8 rather than lose a character.
  ansi.WriteString(u"S", u"greek", u"Ω");
  EXPECT_EQ(dir.read("ansi"), "[S]\r\nname=Caf\xC3\xA9\r\ncur=\xE2\x82\xAC\r\ngreek=\xCE\xA9\r\n");
  EXPECT_EQ(ansi.ReadString(u"S", u"name", u""), u"Café");
}

TEST(IniFile, LinesNobodyWritesKeepEvenBytesTheirEncodingCannotRead) {
  TempDir dir;
  // Bytes that are not UTF-8 in a file marked as UTF-8: readers see U+FFFD, and a write
  // elsewhere leaves them as they were.
  const std::string marked = "\xEF\xBB\xBF[A\xFF]\r\nbad=\xC3(\xFE \xE2\x82\xAC\r\n[B]\r\nk=1\r\n";
  TIniFile utf8(dir.write("marked.ini", marked));
  EXPECT_EQ(utf8.ReadString(u"A\uFFFD", u"bad", u""), u"\uFFFD(\uFFFD \u20AC");
  EXPECT_EQ(Sections(utf8), (V{u"A\uFFFD", u"B"}));
  utf8.WriteString(u"B", u"k", u"2");
  EXPECT_EQ(dir.read("marked.ini"),
            "\xEF\xBB\xBF[A\xFF]\r\nbad=\xC3(\xFE \xE2\x82\xAC\r\n[B]\r\nk=2\r\n");
  utf8.WriteString(u"a\uFFFD", u"BAD", u"ok");
  EXPECT_EQ(dir.read("marked.ini"), "\xEF\xBB\xBF[A\xFF]\r\nbad=ok\r\n[B]\r\nk=2\r\n");

  // The stray last byte of an odd-length UTF-16 file stays its last byte.
  for (bool big : {false, true}) {
    const std::string bom = big ? "\xFE\xFF" : "\xFF\xFE";
    TIniFile odd(dir.write("odd.ini", bom + Utf16(u"[S]\r\nk=v\r\n", big) + "\x7F"));
    EXPECT_EQ(odd.ReadString(u"S", u"k", u""), u"v");
    odd.WriteString(u"S", u"n", u"w");
    EXPECT_EQ(dir.read("odd.ini"), bom + Utf16(u"[S]\r\nk=v\r\nn=w\r\n", big) + "\x7F") << big;
  }
}

TEST(IniText, EveryFileEncodesBackToItsOwnBytes) {
  const std::string samples[] = {
      "\xEF\xBB\xBFk=\xC3\xA9\xF0\x9F\x8E\xB5\xED\xA0\x80\xC0\xAF\xF8\x80"s,  // bad after good
      "\xEF\xBB\xBF\xF0\x9F\x8E"s,                                            // cut short
      "\xEF\xBB\xBF\xED\xB2\x80\xDC"s,                                        // surrogates in UTF-8
      "\xFF\xFE" + Utf16(u"[S]\r\n\xDC80", false) + "X"s,                     // odd, lone surrogate
      "\xFE\xFF\0"s,
      "[S]\r\nname=Caf\xE9 \x81\x8D\x8F\x90\x9D\r\n"s,  // Windows-1252
      "[S]\nk=\xCE\xA9"s,
  };
  for (const std::string& bytes : samples) {
    korv_ini::TextEncoding encoding;
    std::string tail, again;
    const String text = korv_ini::DecodeText(bytes, encoding, &tail);
    ASSERT_TRUE(korv_ini::EncodeText(text, encoding, again, tail));
    EXPECT_EQ(again, bytes);
  }
}

TEST(MemIniFile, WritesInTheChosenEncodingOnlyOnUpdate) {
  TempDir dir;
  const struct {
    TIniEncoding encoding;
    std::string bytes;
  } cases[] = {
      {TIniEncoding::Default, "[Sec]\r\nk=\xCE\xA9\xC3\xA9\r\n"},
      {TIniEncoding::UTF8, "\xEF\xBB\xBF[Sec]\r\nk=\xCE\xA9\xC3\xA9\r\n"},
      {TIniEncoding::Unicode, "\xFF\xFE" + Utf16(u"[Sec]\r\nk=Ωé\r\n", false)},
  };
  for (const auto& c : cases) {
    String path = dir.path() + u"m.ini";
    DeleteFile(path);
    TMemIniFile ini(path, c.encoding);
    EXPECT_EQ(ini.Encoding(), c.encoding);
    ini.WriteString(u"Sec", u"k", u"Ωé");
    EXPECT_FALSE(FileExists(path));
    ini.UpdateFile();
    EXPECT_EQ(dir.read("m.ini"), c.bytes);
    EXPECT_EQ(TMemIniFile(path).ReadString(u"sec", u"K", u""), u"Ωé");
  }
  // Read as UTF-16, written as the encoding now set, with "\r\n" throughout.
  TMemIniFile ini(dir.write("u.ini", "\xFF\xFE" + Utf16(u"; c\n[S]\nk=v\n", false)));
  EXPECT_EQ(ini.Encoding(), TIniEncoding::Default);
  ini.UpdateFile();
  EXPECT_EQ(dir.read("u.ini"), "; c\r\n[S]\r\nk=v\r\n");
  ini.SetEncoding(TIniEncoding::UTF8);
  ini.UpdateFile();
  EXPECT_EQ(dir.read("u.ini"), "\xEF\xBB\xBF; c\r\n[S]\r\nk=v\r\n");
}

TEST(MemIniFile, StringsRenameAndUnreadableFiles) {
  TempDir dir;
  TMemIniFile ini(dir.write("a.ini", "[A]\nx=1\n"));
  TStringList lines;
  ini.GetStrings(&lines);
  EXPECT_EQ(lines.ToVector(), (V{u"[A]", u"x=1"}));
  lines.SetText(u"[B]\ny = 2");
  ini.SetStrings(&lines);
  EXPECT_EQ(ini.ReadInteger(u"b", u"y", 0), 2);
  EXPECT_FALSE(ini.SectionExists(u"A"));

  dir.write("c.ini", "[C]\nz=3\n");
  ini.Rename(dir.path() + u"c.ini", false);
  EXPECT_EQ(ini.ReadInteger(u"B", u"y", 0), 2);
  ini.Rename(dir.path() + u"c.ini", true);
  EXPECT_EQ(Sections(ini), V{u"C"});
  ini.Clear();
  EXPECT_TRUE(Sections(ini).empty());

  // A folder in the file's place reads as no file and is never replaced.
  std::filesystem::create_directory(dir.os() + "/d.ini");
  TMemIniFile memFolder(dir.path() + u"d.ini");
  EXPECT_TRUE(Sections(memFolder).empty());
  memFolder.WriteString(u"S", u"k", u"v");
  EXPECT_THROW(memFolder.UpdateFile(), EIniFileException);
  TIniFile folder(dir.path() + u"d.ini");
  EXPECT_EQ(folder.ReadString(u"S", u"k", u"d"), u"d");
  EXPECT_THROW(folder.WriteString(u"S", u"k", u"v"), EIniFileException);
}

}  // namespace

namespace {

// In a child with an alarm, so a reader that waits on a FIFO fails instead of hanging.
TEST_P(AnyIni, WhatIsNoFileReadsAsMissingAndIsNeverWrittenOver) {
  for (NotASettingsFile kind : kNotSettingsFiles) {
    SCOPED_TRACE(NameOf(kind));
    const std::string os = dir_.os() + "/case" + std::to_string(int(kind));
    path_ = FromOsPath(os);
    ASSERT_TRUE(MakeNotASettingsFile(kind, os));
    const bool memoryRefusesAtOnce =
        GetParam() == Kind::Memory && kind == NotASettingsFile::Oversized;
    std::string result = InChild(5, [&] {
      try {
        auto ini = Reopen();
        if (ini->ReadString(u"Previous", u"Staves", u"d") != u"d") return std::string("read");
        ini->WriteString(u"Previous", u"Staves", u"9");
        ini->UpdateFile();
      } catch (const EIniFileException& e) {
        return std::string(e.what());
      } catch (const EFOpenError& e) {
        return std::string(e.what());
      }
      return std::string("written");
    });
    const std::string file = "\"" + os + "\": ";
    if (memoryRefusesAtOnce)
      EXPECT_EQ(result,
                "Cannot open file " + file + "larger than 16 MB, too large for a settings file");
    else EXPECT_EQ(result.substr(0, 20 + os.size()), "Unable to write to " + os + ":");
    EXPECT_EQ(KindAt(os), NameOf(kind));
  }
}

// As permission bits would, for anyone but root (the tests run as root).
TEST_P(AnyIni, AFileThatIsThereButCannotBeReadIsNeverWrittenOver) {
  const std::string before = "[S]\nk=old\nother=keep\n";
  auto ini = Open(before);
  SetReadFailureForTesting(true);
  const std::string why = "it could not be read (Permission denied), so it is left as it is";
  if (GetParam() == Kind::Profile) {
    EXPECT_EQ(ini->ReadString(u"S", u"k", u"d"), u"d");
    EXPECT_EQ(ToUtf8(MessageOf<EIniFileException>([&] { ini->WriteString(u"S", u"k", u"new"); })),
              "Unable to write to " + dir_.os() + "/t.ini: " + why);
    EXPECT_THROW(ini->DeleteKey(u"S", u"k"), EIniFileException);
    EXPECT_THROW(ini->EraseSection(u"S"), EIniFileException);
    // Within an update too.
    EXPECT_THROW(
        {
          UpdateScope<TCustomIniFile> update(ini.get());
          ini->WriteString(u"S", u"k", u"new");
        },
        EIniFileException);
  } else {
    EXPECT_EQ(ToUtf8(MessageOf<EFOpenError>([&] { Reopen(); })),
              "Cannot open file \"" + dir_.os() + "/t.ini\": Permission denied");
  }
  SetReadFailureForTesting(false);
  EXPECT_EQ(dir_.read("t.ini"), before);
}

TEST(IniFile, AnUpdateReadsOnceAndWritesOnceAndNotAtAllWhenItFails) {
  TempDir dir;
  String path = dir.write("u.ini", "; mine\n[S]\nk=old\n");
  RenameCounter renames(dir.os());
  TIniFile ini(path);
  {
    UpdateScope<TCustomIniFile> update(&ini);
    ini.WriteString(u"S", u"k", u"1");
    ini.WriteInteger(u"S", u"n", 2);
    {
      UpdateScope<TCustomIniFile> inner(&ini);
      ini.WriteBool(u"T", u"b", true);
    }
    ini.DeleteKey(u"S", u"gone");
    EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"1");  // the update's own copy
    EXPECT_EQ(dir.read("u.ini"), "; mine\n[S]\nk=old\n");
  }
  EXPECT_EQ(dir.read("u.ini"), "; mine\n[S]\nk=1\nn=2\n[T]\nb=1\n");
  EXPECT_EQ(renames.Count("u.ini"), 1);
  // UpdateFile writes sooner; the end of the update then has nothing left to write.
  {
    UpdateScope<TCustomIniFile> update(&ini);
    ini.WriteString(u"S", u"k", u"3");
    ini.UpdateFile();
    EXPECT_EQ(renames.Count("u.ini"), 2);
  }
  EXPECT_EQ(renames.Count("u.ini"), 2);
  // Left by an exception: nothing of the update reaches the file.
  EXPECT_THROW(
      {
        UpdateScope<TCustomIniFile> update(&ini);
        ini.WriteString(u"S", u"k", u"half");
        throw EIniFileException(u"cut short");
      },
      EIniFileException);
  EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"3");
  EXPECT_EQ(renames.Count("u.ini"), 2);
  // Outside an update every change is a write of its own, as before.
  ini.WriteString(u"S", u"a", u"1");
  ini.WriteString(u"S", u"b", u"2");
  EXPECT_EQ(renames.Count("u.ini"), 4);
}

TEST(IniText, Utf16WithoutAMarkIsReadAndWrittenInItsOwnEncoding) {
  TempDir dir;
  for (bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian" : "little-endian");
    const std::string bytes = Utf16(u"[Previous]\r\nOrientation=Landscape\r\nName=Ωé\r\n", big);
    korv_ini::TextEncoding encoding;
    korv_ini::DecodeText(bytes, encoding);
    EXPECT_EQ(encoding,
              big ? korv_ini::TextEncoding::Utf16BENoMark : korv_ini::TextEncoding::Utf16LENoMark);
    TIniFile ini(dir.write("w.ini", bytes));
    EXPECT_EQ(ini.ReadString(u"Previous", u"Orientation", u""), u"Landscape");
    EXPECT_EQ(ini.ReadString(u"Previous", u"Name", u""), u"Ωé");
    ini.WriteInteger(u"Previous", u"Staves", 12);
    EXPECT_EQ(dir.read("w.ini"),
              Utf16(u"[Previous]\r\nOrientation=Landscape\r\nName=Ωé\r\nStaves=12\r\n", big));
    EXPECT_EQ(TMemIniFile(ini.FileName()).ReadString(u"Previous", u"Staves", u""), u"12");
  }
  // A few zero bytes in other text do not make it UTF-16; such bytes are no text at all, so the
  // file reads as empty and is never written over.
  for (const std::string& bytes :
       {"\0\0\0[\0]\0"s, "\x80\xFF\xFE\x00\x01[S]\r\rk=\x9D\n"s, "[S]\nk=v\0w\n"s}) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    TIniFile ini(dir.write("bin.ini", bytes));
    EXPECT_EQ(ini.ReadString(u"S", u"k", u"d"), u"d");
    EXPECT_EQ(ToUtf8(MessageOf<EIniFileException>([&] { ini.WriteString(u"S", u"k", u"x"); })),
              "Unable to write to " + dir.os() +
                  "/bin.ini: it could not be read (not text in an encoding this program reads), "
                  "so it is left as it is");
    EXPECT_EQ(dir.read("bin.ini"), bytes);
    EXPECT_THROW(TMemIniFile{ini.FileName()}, EFOpenError);
  }
}

}  // namespace
