// The real quillmark executable under Xvfb with a home of its own: what the desktop reads off
// its main window to group it, match it to its desktop entry and show its icon.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "QuillmarkTestSupport.h"
#include "TestSupport.h"

namespace {

// One image of _NET_WM_ICON: width, height, then width x height ARGB pixels.
struct IconImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> argb;
};

// xprop's "-notype 32c" form: "_NET_WM_ICON = 16, 16, 0, ..." Empty when malformed.
std::vector<IconImage> ParseIcons(const std::string& text) {
  std::vector<std::uint32_t> values;
  auto eq = text.find('=');
  if (eq == std::string::npos) return {};
  std::istringstream in(text.substr(eq + 1));
  std::string word;
  while (std::getline(in, word, ',')) values.push_back(std::uint32_t(std::stoul(word)));
  std::vector<IconImage> images;
  for (std::size_t i = 0; i + 2 <= values.size();) {
    IconImage image{int(values[i]), int(values[i + 1]), {}};
    std::size_t count = std::size_t(image.width) * std::size_t(image.height);
    i += 2;
    if (i + count > values.size()) return {};
    image.argb.assign(values.begin() + long(i), values.begin() + long(i + count));
    images.push_back(std::move(image));
    i += count;
  }
  return images;
}

class EndToEndIdentityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xdotool", "xprop"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
  }

  // Starts the program, reads two properties of its main window into files, and ends it.
  // Returns the script's status: 90 when no window appeared.
  int ReadProperties() {
    const std::string script = R"(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
xprop -id "$wid" -notype WM_CLASS > "$T/class"
xprop -id "$wid" -len 4000000 -notype 32c _NET_WM_ICON > "$T/icon"
kill -TERM $pid
i=0; while kill -0 $pid 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done
kill -KILL $pid 2>/dev/null; exit 0)";
    return RunUnderXvfb(dir.os(), script);
  }

  TempDir dir;
};

TEST_F(EndToEndIdentityTest, TheMainWindowCarriesTheDesktopEntrysNameAndTheProgramsIcon) {
  ASSERT_EQ(ReadProperties(), 0) << dir.read("stderr");
  // The instance and the class, as the desktop entry's file name and StartupWMClass give them.
  EXPECT_EQ(dir.read("class"), "WM_CLASS = \"quillmark\", \"quillmark\"\n");

  std::vector<IconImage> icons = ParseIcons(dir.read("icon"));
  std::set<int> sizes;
  for (const IconImage& i : icons) {
    EXPECT_EQ(i.width, i.height);
    sizes.insert(i.width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 22, 24, 32, 48, 64, 128, 256}))
      << dir.read("icon").substr(0, 200);
  // Our own drawing, not a stand-in: at 16 pixels, a white page and the red note on its stave.
  for (const IconImage& i : icons) {
    if (i.width != 16) continue;
    int white = 0, red = 0;
    for (std::uint32_t p : i.argb) {
      const int a = int(p >> 24), r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF);
      if (a == 255 && r == 255 && g == 255) ++white;
      if (a > 128 && r > 150 && g < 110) ++red;
    }
    EXPECT_GE(white, 30);
    EXPECT_GE(red, 6);
  }
}

}  // namespace
