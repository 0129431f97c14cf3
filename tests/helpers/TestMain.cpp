#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Qt aborts without a display; every test runs headless unless told otherwise.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
