#include <gtest/gtest.h>

#include <filesystem>

#include "Files.h"
#include "ShellFolders.h"
#include "TestSupport.h"

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
  EXPECT_EQ(std::filesystem::status(sb.dir().os() + "/common").permissions() &
                std::filesystem::perms::others_write,
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
