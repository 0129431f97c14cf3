#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "Exceptions.h"
#include "Files.h"
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
  for (auto& e : std::filesystem::directory_iterator(t.os() + "/Korv"))
    entries += e.is_regular_file();
  EXPECT_EQ(entries, 1) << "no temporary file may stay behind";
}

namespace {

std::string Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string out;
  for (auto& n : names) out += (out.empty() ? "" : " ") + n;
  return out;
}

// A process id that is certainly gone: a child that has ended and been reaped.
pid_t GonePid() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

}  // namespace

TEST(Files, MessagesShowPathsAsTheSystemNamesThem) {
  EXPECT_EQ(DisplayPath(u"\\home\\ann\\.config\\Korv\\Quillmark.ini"),
            u"/home/ann/.config/Korv/Quillmark.ini");
  EXPECT_EQ(DisplayPath(u"\\tmp/x"), u"/tmp/x");
  EXPECT_EQ(SystemErrorText(EACCES), u"Permission denied");
}

// Each case in a child with an alarm: a reader that waits on a FIFO or reads /dev/zero to its
// end fails the test instead of hanging it.
TEST(Files, WhatIsNoRegularFileIsRefusedAtOnceNeverReadToItsEnd) {
  TempDir t;
  for (NotASettingsFile kind : kNotSettingsFiles) {
    SCOPED_TRACE(NameOf(kind));
    const std::string os = t.os() + "/case" + std::to_string(int(kind));
    ASSERT_TRUE(MakeNotASettingsFile(kind, os));
    std::string result = InChild(5, [&] {
      std::string bytes;
      TFileError error;
      if (ReadFileBytes(FromOsPath(os), bytes, &error)) return std::string("read");
      if (error.Missing()) return std::string("reads as missing");
      return ToUtf8(error.reason);
    });
    const char* expected =
        kind == NotASettingsFile::Fifo            ? "not a regular file but a named pipe"
        : kind == NotASettingsFile::LinkToDevZero ? "not a regular file but a device"
        : kind == NotASettingsFile::Socket        ? "not a regular file but a socket"
        : kind == NotASettingsFile::Folder        ? "a folder, not a file"
                                           : "larger than 16 MB, too large for a settings file";
    EXPECT_EQ(result, expected);
    // A write is refused just as plainly and replaces nothing (an oversized file is still a
    // file, and the callers that read first guard it).
    if (kind == NotASettingsFile::Oversized) continue;
    TFileError error;
    EXPECT_FALSE(WriteFileReplacing(FromOsPath(os), "[Previous]\n", &error));
    EXPECT_EQ(KindAt(os), NameOf(kind));
  }
  // Other files read whole, up to the limit given.
  String f = t.write("plain.txt", "0123456789");
  std::string bytes;
  TFileError error;
  EXPECT_TRUE(ReadFileBytes(f, bytes, &error));
  EXPECT_EQ(bytes, "0123456789");
  EXPECT_FALSE(ReadFileBytes(f, bytes, &error, 9));
  EXPECT_EQ(error.code, EFBIG);
  EXPECT_FALSE(ReadFileBytes(t.path() + u"none", bytes, &error));
  EXPECT_TRUE(error.Missing());
  EXPECT_EQ(error.reason, u"No such file or directory");
}

TEST(Files, TheReadFailureHookFailsFilesThatAreThereAsPermissionBitsWould) {
  TempDir t;
  String f = t.write("a.ini", "x");
  std::string bytes;
  TFileError error;
  SetReadFailureForTesting(true);
  EXPECT_FALSE(ReadFileBytes(f, bytes, &error));
  EXPECT_FALSE(error.Missing());
  EXPECT_EQ(error.reason, u"Permission denied");
  EXPECT_FALSE(ReadFileBytes(t.path() + u"none", bytes, &error));
  EXPECT_TRUE(error.Missing());
  SetReadFailureForTesting(false);
  EXPECT_TRUE(ReadFileBytes(f, bytes, &error));
}

TEST(Files, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
  TempDir t;
  const std::string dots = t.os() + "/dotfiles", conf = t.os() + "/conf";
  std::filesystem::create_directories(dots);
  std::filesystem::create_directories(conf);
  t.write("dotfiles/Quillmark.ini", "old");
  std::filesystem::create_symlink("../dotfiles/Quillmark.ini", conf + "/Quillmark.ini");
  // Through a chain of two links too.
  std::filesystem::create_symlink("Quillmark.ini", conf + "/second");

  for (const char* name : {"Quillmark.ini", "second"}) {
    SCOPED_TRACE(name);
    TFileError error;
    ASSERT_TRUE(WriteFileReplacing(FromOsPath(conf + "/" + name), name, &error))
        << ToUtf8(error.reason);
    EXPECT_TRUE(std::filesystem::is_symlink(conf + "/Quillmark.ini"));
    EXPECT_EQ(std::filesystem::read_symlink(conf + "/Quillmark.ini"), "../dotfiles/Quillmark.ini");
    EXPECT_EQ(t.read("dotfiles/Quillmark.ini"), name);
    EXPECT_EQ(Entries(dots), "Quillmark.ini") << "no temporary left beside the target";
    EXPECT_EQ(Entries(conf), "Quillmark.ini second");
  }

  // A dangling link and a loop are refused and left as they are.
  std::filesystem::create_symlink("missing.ini", conf + "/dangling");
  std::filesystem::create_symlink("loop-b", conf + "/loop-a");
  std::filesystem::create_symlink("loop-a", conf + "/loop-b");
  TFileError error;
  EXPECT_FALSE(WriteFileReplacing(FromOsPath(conf + "/dangling"), "x", &error));
  EXPECT_EQ(error.reason, u"a symbolic link to missing.ini, which does not exist");
  EXPECT_EQ(KindAt(conf + "/dangling"), "link to missing.ini");
  EXPECT_FALSE(WriteFileReplacing(FromOsPath(conf + "/loop-a"), "x", &error));
  EXPECT_EQ(error.reason, u"Too many levels of symbolic links");
  EXPECT_EQ(KindAt(conf + "/loop-a"), "link to loop-b");
  EXPECT_EQ(Entries(conf), "Quillmark.ini dangling loop-a loop-b second");
}

TEST(Files, AWriteRemovesTheTemporariesThatKilledWritersLeftOfTheSameFile) {
  TempDir t;
  const std::string gone = std::to_string(GonePid()), alive = std::to_string(getpid());
  t.write("a.ini", "old");
  t.write("a.ini.korv-tmp-" + gone + "-Ab12Cd", "half");   // its writer was killed
  t.write("a.ini.korv-tmp-" + alive + "-Ef34Gh", "busy");  // a live writer's
  t.write("b.ini.korv-tmp-" + gone + "-Ij56Kl", "other");  // another file's
  t.write("a.ini.korv-tmp-x", "not ours");
  ASSERT_TRUE(WriteFileReplacing(t.path() + u"a.ini", "new"));
  EXPECT_EQ(t.read("a.ini"), "new");
  EXPECT_EQ(Entries(t.os()), "a.ini a.ini.korv-tmp-" + alive +
                                 "-Ef34Gh a.ini.korv-tmp-x b.ini.korv-tmp-" + gone + "-Ij56Kl");
}

// The limit is set in a child, which the signal's default action would end.
TEST(Files, AWritePastTheFileSizeLimitFailsAndKeepsTheOldFile) {
  TempDir t;
  const std::string old(100, 'o');
  String f = t.write("big.ini", old);
  std::string result = InChild(10, [&] {
    rlimit limit{1000, 1000};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
    TFileError error;
    if (WriteFileReplacing(f, std::string(5000, 'n'), &error)) return std::string("written");
    return ToUtf8(error.reason);
  });
  EXPECT_EQ(result, "File too large");
  EXPECT_EQ(t.read("big.ini"), old);
  EXPECT_EQ(Entries(t.os()), "big.ini");
}
