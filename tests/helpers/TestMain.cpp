#include <gtest/gtest.h>

#include <cstdlib>

// fontconfig keeps its configuration caches for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

int main(int argc, char** argv) {
  // Qt aborts without a display; every test runs headless unless told otherwise.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
