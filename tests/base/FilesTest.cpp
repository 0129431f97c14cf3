#include <gtest/gtest.h>

#include <filesystem>

#include "DateTime.h"
#include "Exceptions.h"
#include "Files.h"
#include "ShellFolders.h"
#include "SysInfo.h"
#include "TestSupport.h"

TEST(Paths, SplittingAndExtensions) {
  EXPECT_EQ(ExtractFilePath(u"C:\\Korv\\Quillmark.exe"), u"C:\\Korv\\");
  EXPECT_EQ(ExtractFileName(u"C:\\Korv\\Quillmark.exe"), u"Quillmark.exe");
  EXPECT_EQ(ExtractFilePath(u"\\usr\\bin/prog"), u"\\usr\\bin/");
  EXPECT_EQ(ExtractFileName(u"prog"), u"prog");
  EXPECT_EQ(ExtractFileDir(u"\\a\\b\\c.txt"), u"\\a\\b");
  EXPECT_EQ(ExtractFileDir(u"C:\\c.txt"), u"C:\\");
  EXPECT_EQ(ExtractFileExt(u"\\a.b\\c"), u"");
  EXPECT_EQ(ChangeFileExt(u"\\a\\Quillmark.exe", u".ini"), u"\\a\\Quillmark.ini");
  EXPECT_EQ(ChangeFileExt(u"\\a.d\\noext", u".ini"), u"\\a.d\\noext.ini");
  EXPECT_EQ(IncludeTrailingPathDelimiter(u"\\a"), u"\\a\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(u"\\a/"), u"\\a/");
  EXPECT_EQ(ToOsPath(u"\\home\\x\\Korv\\Calderix"), "/home/x/Korv/Calderix");
  EXPECT_EQ(FromOsPath("/home/x"), u"\\home\\x");
  EXPECT_EQ(ExpandFileName(u"\\a\\b\\..\\.\\c"), u"\\a\\c");
}

TEST(Files, CreateFindAndReplaceFiles) {
  TempDir t;
  String deep = t.path() + u"Korv\\Calderix\\";
  EXPECT_FALSE(ForceDirectories(u""));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there

  String f = t.write("Korv/one.txt", "old");
  EXPECT_TRUE(FileExists(f));
  EXPECT_FALSE(FileExists(deep));
  TSearchRec rec;
  ASSERT_EQ(FindFirst(f, faAnyFile, rec), 0);
  EXPECT_EQ(rec.Name, u"one.txt");
  EXPECT_EQ(rec.Size, 3);
  EXPECT_NEAR(rec.TimeStamp, Now(), 1.0 / 24);
  EXPECT_EQ(FindFirst(t.path() + u"Korv\\*.txt", faAnyFile, rec), 0);
  EXPECT_NE(FindFirst(t.path() + u"missing.txt", faAnyFile, rec), 0);

  ASSERT_TRUE(WriteFileReplacing(f, "new contents"));
  EXPECT_EQ(t.read("Korv/one.txt"), "new contents");

  SetWriteFailureForTesting(true);
  EXPECT_FALSE(WriteFileReplacing(f, "half-written"));
  SetWriteFailureForTesting(false);
  EXPECT_EQ(t.read("Korv/one.txt"), "new contents");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(t.os() + "/Korv")) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1) << "no temporary file may stay behind";
}

TEST(DateTimes, EncodeDecodeAndFormat) {
  TDateTime dt = EncodeDate(2013, 5, 9) + EncodeTime(14, 5, 0, 0);
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
  int y, m, d;
  DecodeDate(dt, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20130509);
  TFormatSettings fs = FormatSettings;
  fs.TimeSeparator = u':';
  EXPECT_EQ(FormatDateTime(u"yyyymmdd:hhmm", dt, fs), u"20130509:1405");
  fs.TimeSeparator = u'.';
  EXPECT_EQ(FormatDateTime(u"yyyymmdd:hhmm", dt, fs), u"20130509.1405");
  EXPECT_EQ(FormatDateTime(u"h:nn am/pm \"on\" d mmm", dt, fs), u"2.05 pm on 9 May");
  EXPECT_EQ(DayOfWeek(dt), 5);  // Thursday
  EXPECT_THROW(EncodeDate(2013, 2, 29), EConvertError);
  EXPECT_DOUBLE_EQ(EncodeDate(2012, 2, 29) - EncodeDate(2012, 2, 28), 1.0);
}

TEST(DateTimes, ParsingFollowsTheLocale) {
  TFormatSettings saved = FormatSettings;
  FormatSettings.ShortDateFormat = u"dd/MM/yyyy";
  FormatSettings.DateSeparator = u'.';
  FormatSettings.TimeSeparator = u':';
  EXPECT_DOUBLE_EQ(StrToDate(u"09.05.2013"), EncodeDate(2013, 5, 9));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"09.05.2013 14:05:07"), EncodeDate(2013, 5, 9) + EncodeTime(14, 5, 7, 0));
  EXPECT_DOUBLE_EQ(StrToTime(u"2:05 PM"), EncodeTime(14, 5, 0, 0));
  EXPECT_EQ(DateToStr(EncodeDate(2013, 5, 9)), u"09.05.2013");
  EXPECT_THROW(StrToDate(u"31.02.2013"), EConvertError);
  EXPECT_THROW(StrToDate(u"garbage"), EConvertError);
  EXPECT_THROW(StrToTime(u"25:00"), EConvertError);
  FormatSettings = saved;
}

TEST(SystemInfo, ComputerNameHonoursTheBufferCapacity) {
  Char buf[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(buf, &size));
  EXPECT_LE(size, static_cast<DWORD>(MAX_COMPUTERNAME_LENGTH));
  EXPECT_EQ(String(buf).size(), size);
  EXPECT_EQ(UpperCase(buf), String(buf));
  if (size > 0) {
    DWORD small = 1;
    EXPECT_FALSE(GetComputerNameW(buf, &small));
    EXPECT_EQ(small, size + 1);
  }
  EXPECT_FALSE(GetComputerNameW(nullptr, &size));
  EXPECT_NE(GetExeName().find(u"test_base"), String::npos);
  SetExeNameForTesting(u"\\opt\\Korv\\Quillmark");
  EXPECT_EQ(GetExeName(), u"\\opt\\Korv\\Quillmark");
  SetExeNameForTesting(u"");
}

TEST(ShellFolders, XdgFoldersAndTheCreateFlag) {
  SandboxedHome sb;
  Char buf[MAX_PATH];
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_APPDATA, FALSE));
  EXPECT_EQ(String(buf), FromOsPath(sb.dir().os() + "/home/.config"));
  EXPECT_FALSE(DirectoryExists(buf));
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_APPDATA, TRUE));
  EXPECT_TRUE(DirectoryExists(buf));
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_LOCAL_APPDATA, FALSE));
  EXPECT_EQ(String(buf), FromOsPath(sb.dir().os() + "/home/.local/share"));
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_COMMON_APPDATA, TRUE));
  EXPECT_EQ(String(buf), FromOsPath(sb.dir().os() + "/common"));
  EXPECT_EQ(std::filesystem::status(sb.dir().os() + "/common").permissions() & std::filesystem::perms::others_write,
            std::filesystem::perms::others_write);
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_PERSONAL, FALSE));
  EXPECT_EQ(String(buf), FromOsPath(sb.dir().os() + "/home/Documents"));
  sb.dir().write("home/.config/user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
  ASSERT_TRUE(SHGetSpecialFolderPathW(0, buf, CSIDL_PERSONAL, TRUE));
  EXPECT_EQ(String(buf), FromOsPath(sb.dir().os() + "/home/Papers"));
  EXPECT_TRUE(DirectoryExists(buf));
  EXPECT_FALSE(SHGetSpecialFolderPathW(0, buf, 999, TRUE));
  EXPECT_EQ(buf[0], 0);
}
