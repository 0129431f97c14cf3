#include <gtest/gtest.h>

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
