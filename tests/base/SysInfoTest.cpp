#include <gtest/gtest.h>

#include "Strings.h"
#include "SysInfo.h"

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
