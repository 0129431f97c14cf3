// The real quillmark executable under Xvfb with a home of its own: its window found and looked
// at, closed as a user closes it (Alt+F4 on the focused window), its settings file read; then
// started again on edited settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "QuillmarkTestSupport.h"
#include "TestSupport.h"

namespace {

// A screenshot in the X window dump format of a true-colour screen.
struct Shot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;  // 0xRRGGBB
  int Count(std::uint32_t color) const {
    int n = 0;
    for (std::uint32_t p : rgb) n += p == color;
    return n;
  }
};

std::uint32_t BigEndian(const std::string& d, std::size_t at) {
  return std::uint32_t(std::uint8_t(d[at])) << 24 | std::uint32_t(std::uint8_t(d[at + 1])) << 16 |
         std::uint32_t(std::uint8_t(d[at + 2])) << 8 | std::uint8_t(d[at + 3]);
}

bool ReadXwd(const std::string& d, Shot& shot) {
  if (d.size() < 100) return false;
  auto field = [&](int i) { return BigEndian(d, std::size_t(i) * 4); };
  const std::uint32_t header = field(0), width = field(4), height = field(5), order = field(7),
                      bpp = field(11), bpl = field(12), ncolors = field(19);
  if ((bpp != 24 && bpp != 32) || width > 10000 || height > 10000) return false;
  const std::size_t start = header + std::size_t(ncolors) * 12;
  if (d.size() < start + std::size_t(bpl) * height) return false;
  shot.width = int(width);
  shot.height = int(height);
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::size_t p = start + std::size_t(y) * bpl + std::size_t(x) * (bpp / 8);
      std::uint8_t b0 = std::uint8_t(d[p]), b1 = std::uint8_t(d[p + 1]),
                   b2 = std::uint8_t(d[p + 2]);
      shot.rgb.push_back(order == 0 ? (std::uint32_t(b2) << 16 | b1 << 8 | b0)
                                    : (std::uint32_t(b0) << 16 | b1 << 8 | b2));
    }
  return true;
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xdotool", "xwd"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
  }

  // Starts the program, waits for its window, takes a screenshot and closes the window with
  // Alt+F4. Returns the script's status: the program's exit status, or 90 when no window
  // appeared and 91 when the close did not end it.
  int RunOnce(Shot& shot) {
    const std::string script = R"(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
sleep 1
xwd -root -silent > "$T/shot.xwd"
xdotool windowfocus "$wid"; sleep 0.3; xdotool key alt+F4
i=0; while kill -0 $pid 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done
if kill -0 $pid 2>/dev/null; then kill -KILL $pid; exit 91; fi
wait $pid)";
    int status = RunUnderXvfb(dir.os(), script);
    ReadXwd(ReadFile(dir.os() + "/shot.xwd"), shot);
    return status;
  }

  // The settings file with its line breaks as "\n" (a rewritten file keeps those it had).
  std::string Settings() {
    std::string s = ReadFile(dir.os() + "/home/.config/Korv/Quillmark/Quillmark.ini");
    std::erase(s, '\r');
    return s;
  }

  TempDir dir;
};

constexpr std::uint32_t kGreen = 0x008000, kRed = 0xFF0000;
// The space-required box is 89 x 21 pixels; most of it is its colour.
constexpr int kBoxPixels = 1000;

TEST_F(EndToEndTest, FirstRunShowsGreenAndWritesTheSevenKeysASecondRunReadsThemBack) {
  Shot first;
  ASSERT_EQ(RunOnce(first), 0) << ReadFile(dir.os() + "/stderr");
  EXPECT_GE(first.Count(kGreen), kBoxPixels);
  EXPECT_LT(first.Count(kRed), 50);
  EXPECT_EQ(Settings(),
            "[Previous]\nOrientation=Portrait\nTopMargin=10\nStaves=8\nGroups=1\n"
            "StaveHeight=10\nGapHeight=10\nLineWidth=0.2\n");

  // Edited by hand: landscape, too many staves, a number with a decimal comma.
  std::ofstream(dir.os() + "/home/.config/Korv/Quillmark/Quillmark.ini", std::ios::binary)
      << "[Previous]\nOrientation=Landscape\nTopMargin=10\nStaves=20\nGroups=2\n"
         "StaveHeight=7.5\nGapHeight=10\nLineWidth=0,35\n";
  Shot second;
  ASSERT_EQ(RunOnce(second), 0) << ReadFile(dir.os() + "/stderr");
  // 15 staves of 7.5 mm, 14 gaps and 7 group gaps of 10 mm, and the margin: 322.5 mm, more than
  // the 197 mm of a landscape page.
  EXPECT_GE(second.Count(kRed), kBoxPixels);
  EXPECT_LT(second.Count(kGreen), 50);
  EXPECT_EQ(Settings(),
            "[Previous]\nOrientation=Landscape\nTopMargin=10\nStaves=15\nGroups=2\n"
            "StaveHeight=7.5\nGapHeight=10\nLineWidth=0.35\n");
}

TEST(EndToEndWithoutDisplay, TheProgramSaysSoInOneLineAndFails) {
  struct Case {
    const char* environment;  // besides no DISPLAY and no QT_QPA_PLATFORM
    const char* named;        // what the line points at
  } cases[] = {
      {"-u WAYLAND_DISPLAY", "xvfb-run"},
      // A Wayland display whose compositor is not there is no display either.
      {"WAYLAND_DISPLAY=wayland-77 XDG_RUNTIME_DIR=$T/runtime", "WAYLAND_DISPLAY"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.environment);
    TempDir dir;
    std::filesystem::create_directories(dir.os() + "/runtime");
    const std::string out = dir.os() + "/stderr";
    int status = std::system(("T=" + ShellQuote(dir.os()) + " env -u DISPLAY -u QT_QPA_PLATFORM " +
                              c.environment + " HOME=" + ShellQuote(dir.os()) + " " +
                              ShellQuote(QUILLMARK_EXE) + " 2>" + ShellQuote(out))
                                 .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string text = ReadFile(out);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_NE(text.find(c.named), std::string::npos) << text;
    // Nothing was started: no settings folder.
    EXPECT_FALSE(std::filesystem::exists(dir.os() + "/.config/Korv"));
  }
}

}  // namespace
