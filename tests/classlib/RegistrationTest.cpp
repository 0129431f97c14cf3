// The class library registers itself in one call.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "Forms.h"
#include "TypInfo.h"

TEST(Registration, OneCallRegistersEveryUnitOfTheClassLibrary) {
  // A fresh process, so nothing another test registered first can stand in for the call.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        RegisterClassLibrary();
        int missing = 0;
        // One creatable class of each unit.
        for (const char16_t* name :
             {u"TScrollBox", u"TForm", u"TTimer", u"TEdit", u"TComboBox", u"TMaskEdit", u"TPanel",
              u"TSpeedButton", u"TUpDown", u"TPrintDialog"})
          if (!FindClass(name)) {
            std::fprintf(stderr, "%s not registered\n", ToUtf8(name).c_str());
            ++missing;
          }
        std::_Exit(missing);
      },
      testing::ExitedWithCode(0), "");
}
