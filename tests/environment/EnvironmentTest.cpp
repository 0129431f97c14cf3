#include <gtest/gtest.h>
#include <sys/time.h>

#include <ctime>
#include <filesystem>

#include "EnvironmentUnit.h"
#include "Files.h"
#include "Locale.h"
#include "Registry.h"
#include "SysInfo.h"
#include "TestSupport.h"
#include "genutils.h"

namespace {

// A program folder and home tree of its own for every test; the record starts empty.
class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEnvironmentForTesting();
    exe_ = sb_.dir().write("prog/bin/Quillmark", "binary");
    SetExeNameForTesting(exe_);
    exePath_ = ExtractFilePath(exe_);
  }
  void TearDown() override {
    SetExeNameForTesting(u"");
    ResetEnvironmentForTesting();
  }
  void WriteEnvironmentIni(const std::string& text) {
    sb_.dir().write("prog/bin/Environment.ini", text);
  }
  String Home(const std::string& rel) const { return FromOsPath(sb_.dir().os() + "/" + rel); }
  static void RegisterOpenCommand(const String& program, const String& command) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(
        u"software\\classes\\applications\\" + program + u"\\shell\\open\\command", true));
    reg.WriteString(u"", command);
  }

  SandboxedHome sb_;
  String exe_;
  String exePath_;
};

}  // namespace

TEST(PathHelpers, AddTrailingBackslashAndJoinPath) {
  EXPECT_EQ(AddTrailingBackslash(u""), u"");
  EXPECT_EQ(AddTrailingBackslash(u"C:\\"), u"C:\\");
  EXPECT_EQ(AddTrailingBackslash(u"C:\\Data"), u"C:\\Data\\");
  EXPECT_EQ(AddTrailingBackslash(u"\\home/"), u"\\home/\\");
  EXPECT_EQ(JoinPath(u"", u"rel\\x"), u"rel\\x");
  EXPECT_EQ(JoinPath(u"", u""), u"");
  EXPECT_EQ(JoinPath(u"C:\\Base", u""), u"C:\\Base\\");
  EXPECT_EQ(JoinPath(u"C:\\Base", u"Data"), u"C:\\Base\\Data");
  EXPECT_EQ(JoinPath(u"C:\\Base\\", u"\\Data"), u"C:\\Base\\Data");
  EXPECT_EQ(JoinPath(u"C:\\Base", u"\\\\Data"), u"C:\\Base\\\\Data");
}

TEST_F(EnvironmentTest, WithoutOverridesTheShellFoldersAreUsed) {
  FormatSettings.TimeSeparator = u':';
  std::tm tm{};
  tm.tm_year = 2013 - 1900;
  tm.tm_mon = 4;
  tm.tm_mday = 9;
  tm.tm_hour = 14;
  tm.tm_min = 5;
  tm.tm_isdst = -1;
  timeval times[2] = {{std::mktime(&tm), 0}, {std::mktime(&tm), 0}};
  ASSERT_EQ(utimes(ToOsPath(exe_).c_str(), times), 0);

  InitEnvironment(77);
  EXPECT_EQ(Environment.Handle, 77u);
  EXPECT_EQ(Environment.ExePath, exePath_);
  EXPECT_EQ(Environment.ExePath.back(), u'\\');
  EXPECT_EQ(Environment.ExeFile, u"Quillmark");
  EXPECT_EQ(Environment.ExeDate, u"20130509:1405");
  EXPECT_EQ(Environment.CommonAppDataPath, Home("common\\"));
  EXPECT_EQ(Environment.UserAppDataPath, Home("home\\.config\\"));
  EXPECT_EQ(Environment.MyDocuments, Home("home\\Documents\\"));
  EXPECT_TRUE(DirectoryExists(Home("common/Korv/Calderix")));
  EXPECT_TRUE(DirectoryExists(Environment.MyDocuments)) << "the shell creates missing folders";
  EXPECT_EQ(Environment.EXCELPath, u"");
  EXPECT_EQ(Environment.Compiler.size(), 5u);
  Char name[16];
  DWORD size = 16;
  ASSERT_TRUE(GetComputerNameW(name, &size));
  EXPECT_EQ(Environment.ComputerName, String(name));

  // A second call, even with another handle, changes nothing.
  WriteEnvironmentIni("[Paths]\nCommonAppDataPath=$\n");
  TEnvironment before = Environment;
  InitEnvironment(99);
  EXPECT_EQ(Environment.Handle, 77u);
  EXPECT_EQ(Environment.CommonAppDataPath, before.CommonAppDataPath);
}

TEST_F(EnvironmentTest, TheDollarRuleInEachForm) {
  WriteEnvironmentIni("[Paths]\nCommonAppDataPath=$\nUserAppDataPath=$Settings\n");
  InitEnvironment(1);
  EXPECT_EQ(Environment.CommonAppDataPath, exePath_);
  EXPECT_TRUE(DirectoryExists(exePath_ + u"Korv\\Calderix"));
  EXPECT_EQ(Environment.UserAppDataPath, exePath_ + u"Settings\\");
  EXPECT_EQ(Environment.MyDocuments, exePath_ + u"Settings\\");

  ResetEnvironmentForTesting();
  WriteEnvironmentIni("[Paths]\nCommonAppDataPath=$\\Shared\nUserAppDataPath=$\\\\Twice\n");
  InitEnvironment(1);
  EXPECT_EQ(Environment.CommonAppDataPath, exePath_ + u"Shared\\");
  EXPECT_EQ(Environment.UserAppDataPath, exePath_ + u"\\Twice\\");

  ResetEnvironmentForTesting();
  String absolute = Home("elsewhere");
  WriteEnvironmentIni("[Paths]\nUserAppDataPath=" + ToUtf8(absolute) + "\n");
  InitEnvironment(1);
  EXPECT_EQ(Environment.UserAppDataPath, absolute + u"\\");
  EXPECT_EQ(Environment.MyDocuments, absolute + u"\\");
  EXPECT_EQ(Environment.CommonAppDataPath, Home("common\\"));
}

TEST_F(EnvironmentTest, AnEmptyOverrideStaysEmptyAndCreatesRelativeToTheCurrentFolder) {
  WriteEnvironmentIni("[Paths]\nCommonAppDataPath=\n");
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(sb_.dir().os());
  InitEnvironment(1);
  std::filesystem::current_path(old);
  EXPECT_EQ(Environment.CommonAppDataPath, u"");
  EXPECT_TRUE(std::filesystem::is_directory(sb_.dir().os() + "/Korv/Calderix"));
  EXPECT_TRUE(DirectoryExists(Home("common"))) << "the default is looked up even when overridden";
}

TEST_F(EnvironmentTest, SpreadsheetLookupCutsAfterExe) {
  RegisterOpenCommand(u"excel.exe", u"\"C:\\Office\\excel.exe\" /dde \"%1\"");
  EXPECT_EQ(FindSpreadsheetProgram(), u"\"C:\\Office\\excel.exe");

  RegisterOpenCommand(u"excel.exe", u"\"C:\\OFFICE\\EXCEL.EXE\" /dde");
  EXPECT_EQ(FindSpreadsheetProgram(), u"\"C:\\OFFICE\\EXCEL.EXE\" /dde")
      << "upper case is not found";

  // The first program's value without ".exe" is the result; the second is not looked at.
  RegisterOpenCommand(u"scalc.exe", u"\"C:\\LibreOffice\\scalc.exe\" -o \"%1\"");
  RegisterOpenCommand(u"excel.exe", u"launch-sheets %1");
  EXPECT_EQ(FindSpreadsheetProgram(), u"launch-sheets %1");

  RegisterOpenCommand(u"excel.exe", u"");
  EXPECT_EQ(FindSpreadsheetProgram(), u"\"C:\\LibreOffice\\scalc.exe\"")
      << "second program gets its quote";
  RegisterOpenCommand(u"scalc.exe", u"soffice --calc");
  EXPECT_EQ(FindSpreadsheetProgram(), u"soffice --calc");

  InitEnvironment(1);
  EXPECT_EQ(Environment.EXCELPath, u"soffice --calc");
}

TEST_F(EnvironmentTest, ANonStringOpenCommandPropagates) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(
      reg.OpenKey(u"software\\classes\\applications\\excel.exe\\shell\\open\\command", true));
  reg.WriteInteger(u"", 5);
  EXPECT_THROW(InitEnvironment(1), ERegistryException);
}
