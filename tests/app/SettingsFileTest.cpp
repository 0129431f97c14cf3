// "Quillmark.ini": the seven keys read with fallbacks, written in order, and numbers written
// under another locale.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "Files.h"
#include "IniFiles.h"
#include "Locale.h"
#include "QuillmarkSettings.h"
#include "TestSupport.h"

namespace {

TQuillmarkSettings WindowDefaults() {
  TQuillmarkSettings d;
  d.Orientation = u"Portrait";
  d.TopMargin = 10;
  d.Staves = 8;
  d.Groups = 1;
  d.StaveHeight = 10;
  d.GapHeight = 10;
  d.LineWidth = 0.2L;
  return d;
}

void ExpectSame(const TQuillmarkSettings& a, const TQuillmarkSettings& b) {
  EXPECT_EQ(ToUtf8(a.Orientation), ToUtf8(b.Orientation));
  EXPECT_EQ(a.TopMargin, b.TopMargin);
  EXPECT_EQ(a.Staves, b.Staves);
  EXPECT_EQ(a.Groups, b.Groups);
  EXPECT_DOUBLE_EQ(double(a.StaveHeight), double(b.StaveHeight));
  EXPECT_DOUBLE_EQ(double(a.GapHeight), double(b.GapHeight));
  EXPECT_DOUBLE_EQ(double(a.LineWidth), double(b.LineWidth));
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { saved = FormatSettings; }
  void TearDown() override { FormatSettings = saved; }
  TQuillmarkSettings Read(const std::string& bytes) {
    TIniFile ini(dir.write("Quillmark.ini", bytes));
    return ReadQuillmarkSettings(ini, WindowDefaults());
  }
  TempDir dir;
  TFormatSettings saved;
};

TEST_F(SettingsFileTest, UnreadableFilesGiveTheWindowsOwnValues) {
  const std::string cases[] = {
      "",
      "[Other]\nStaves=12\n",
      "Staves=12\n",  // before any section
      "garbage \x01\x02\xff\xfe\x00 more\n[Prev",
      std::string("\x00\x01\x02\x03[Previous]\x00", 15),
      "[Previous]\nTopMargin=ten\nStaves=\nGroups=1.5\nStaveHeight=abc\nGapHeight=nan\n"
      "LineWidth=inf\n",
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(testing::PrintToString(bytes));
    ExpectSame(Read(bytes), WindowDefaults());
  }
  // No file at all.
  TIniFile missing(dir.path() + u"none.ini");
  ExpectSame(ReadQuillmarkSettings(missing, WindowDefaults()), WindowDefaults());
}

TEST_F(SettingsFileTest, WritesTheSevenKeysInOrderAndReadsThemBack) {
  FormatSettings.DecimalSeparator = u'.';
  TQuillmarkSettings s = WindowDefaults();
  s.Orientation = u"Landscape";
  s.Staves = 12;
  s.LineWidth = 0.35L;
  s.StaveHeight = 7.5L;
  {
    TIniFile ini(dir.path() + u"Quillmark.ini");
    WriteQuillmarkSettings(ini, s);
  }
  EXPECT_EQ(dir.read("Quillmark.ini"),
            "[Previous]\r\nOrientation=Landscape\r\nTopMargin=10\r\nStaves=12\r\nGroups=1\r\n"
            "StaveHeight=7.5\r\nGapHeight=10\r\nLineWidth=0.35\r\n");
  TIniFile ini(dir.path() + u"Quillmark.ini");
  ExpectSame(ReadQuillmarkSettings(ini, WindowDefaults()), s);
}

TEST_F(SettingsFileTest, NumbersWrittenWithTheOtherDecimalSeparatorStillRead) {
  for (Char sep : {u'.', u','}) {
    FormatSettings.DecimalSeparator = sep;
    FormatSettings.ThousandSeparator = sep == u'.' ? u',' : u'.';
    for (const char* text : {"0.35", "0,35"}) {
      std::string file = std::string("[Previous]\nLineWidth=") + text + "\n";
      EXPECT_DOUBLE_EQ(double(Read(file).LineWidth), 0.35) << text << " with " << char(sep);
    }
  }
}

TEST_F(SettingsFileTest, AFailedWriteRaisesWithTheFileNameAndKeepsTheOldFileWhole) {
  const std::string old = "[Previous]\nStaves=12\n";
  const String file = dir.write("Quillmark.ini", old);
  SetWriteFailureForTesting(true);  // as a full disk fails
  String message = MessageOf<EIniFileException>([&] {
    TIniFile ini(file);
    WriteQuillmarkSettings(ini, WindowDefaults());
  });
  SetWriteFailureForTesting(false);
  EXPECT_EQ(ToUtf8(message),
            "Unable to write to " + dir.os() + "/Quillmark.ini: No space left on device");
  EXPECT_EQ(dir.read("Quillmark.ini"), old);
}

TEST_F(SettingsFileTest, TheSevenKeysReachTheFileInOneReplacementAndNoTemporaryStays) {
  FormatSettings.DecimalSeparator = u'.';
  dir.write("Quillmark.ini", "; by hand\n[Previous]\nStaves=12\n[Other]\nx=1\n");
  // A temporary of a save that was killed: its process is gone.
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  dir.write("Quillmark.ini.korv-tmp-" + std::to_string(gone) + "-AbCdEf", "[Previous]\nSt");
  RenameCounter renames(dir.os());
  {
    TIniFile ini(dir.path() + u"Quillmark.ini");
    WriteQuillmarkSettings(ini, WindowDefaults());
  }
  EXPECT_EQ(renames.Count("Quillmark.ini"), 1);
  EXPECT_EQ(dir.read("Quillmark.ini"),
            "; by hand\n[Previous]\nStaves=8\nOrientation=Portrait\nTopMargin=10\nGroups=1\n"
            "StaveHeight=10\nGapHeight=10\nLineWidth=0.2\n[Other]\nx=1\n");
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(dir.os()))
    names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"Quillmark.ini"});
}

TEST_F(SettingsFileTest, ASettingsFileThatIsALinkStaysOneAndItsTargetGetsTheKeys) {
  FormatSettings.DecimalSeparator = u'.';
  dir.write("dotfiles/Quillmark.ini", "[Previous]\nStaves=12\n");
  std::filesystem::create_directories(dir.os() + "/conf");
  std::filesystem::create_symlink("../dotfiles/Quillmark.ini", dir.os() + "/conf/Quillmark.ini");
  TIniFile ini(dir.path() + u"conf\\Quillmark.ini");
  EXPECT_EQ(ReadQuillmarkSettings(ini, WindowDefaults()).Staves, 12);
  WriteQuillmarkSettings(ini, WindowDefaults());
  EXPECT_EQ(KindAt(dir.os() + "/conf/Quillmark.ini"), "link to ../dotfiles/Quillmark.ini");
  EXPECT_EQ(dir.read("dotfiles/Quillmark.ini"),
            "[Previous]\nStaves=8\nOrientation=Portrait\nTopMargin=10\nGroups=1\n"
            "StaveHeight=10\nGapHeight=10\nLineWidth=0.2\n");
  // A dangling link is left alone, with a message saying so.
  std::filesystem::create_symlink("../dotfiles/gone.ini", dir.os() + "/conf/dangling.ini");
  TIniFile dangling(dir.path() + u"conf\\dangling.ini");
  EXPECT_EQ(
      ToUtf8(MessageOf<EIniFileException>(
          [&] { WriteQuillmarkSettings(dangling, WindowDefaults()); })),
      "Unable to write to " + dir.os() +
          "/conf/dangling.ini: a symbolic link to ../dotfiles/gone.ini, which does not exist");
  EXPECT_EQ(KindAt(dir.os() + "/conf/dangling.ini"), "link to ../dotfiles/gone.ini");
}

// In a child with an alarm: a reader that waits on the FIFO fails instead of hanging.
TEST_F(SettingsFileTest, WhatIsNoSettingsFileGivesTheDefaultsAndASaveSaysWhy) {
  for (NotASettingsFile kind : kNotSettingsFiles) {
    SCOPED_TRACE(NameOf(kind));
    const std::string os = dir.os() + "/case" + std::to_string(int(kind));
    ASSERT_TRUE(MakeNotASettingsFile(kind, os));
    std::string result = InChild(5, [&] {
      TIniFile ini(FromOsPath(os));
      TQuillmarkSettings s = ReadQuillmarkSettings(ini, WindowDefaults());
      if (s.Staves != WindowDefaults().Staves) return std::string("read");
      return ToUtf8(
          MessageOf<EIniFileException>([&] { WriteQuillmarkSettings(ini, WindowDefaults()); }));
    });
    const std::string expected = "Unable to write to " + os + ": it could not be read (";
    EXPECT_EQ(result.substr(0, expected.size()), expected);
    EXPECT_EQ(KindAt(os), NameOf(kind));
  }
}

}  // namespace
