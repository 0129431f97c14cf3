// The real program with settings files that are no files, and with a settings file that is a
// symbolic link into another folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "QuillmarkTestSupport.h"
#include "TestSupport.h"

namespace {

class EndToEndSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "xdotool"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
    std::filesystem::create_directories(Folder());
  }
  std::string Folder() const { return dir.os() + "/home/.config/Korv/Quillmark"; }
  std::string Settings() const { return Folder() + "/Quillmark.ini"; }
  std::string Stderr() const { return ReadFile(dir.os() + "/stderr"); }
  TempDir dir;
};

// Waits for the window (90 when none came), then ends the program with SIGTERM as a session's
// end does: 91 when it still runs 10 seconds later, else the program's exit status.
const char kWindowThenTerm[] = R"(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
sleep 0.5
kill -TERM $pid
( sleep 10; kill -KILL $pid 2>/dev/null ) & watchdog=$!
wait $pid; status=$?
kill $watchdog 2>/dev/null
[ $status -eq 137 ] && exit 91
exit $status)";

TEST_F(EndToEndSettingsTest, ASettingsFileThatIsAFifoOrALinkToDevZeroStillGivesTheWindow) {
  for (NotASettingsFile kind : {NotASettingsFile::Fifo, NotASettingsFile::LinkToDevZero}) {
    SCOPED_TRACE(NameOf(kind));
    std::filesystem::remove(Settings());
    ASSERT_TRUE(MakeNotASettingsFile(kind, Settings()));
    const auto start = std::chrono::steady_clock::now();
    // The save it cannot make is reported on standard error, not in a box that would hold the
    // session's end.
    EXPECT_EQ(RunUnderXvfb(dir.os(), kWindowThenTerm), 1) << Stderr();
    EXPECT_NE(Stderr().find("Unable to write to " + Settings()), std::string::npos) << Stderr();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(KindAt(Settings()), NameOf(kind)) << "nothing replaced it";
  }
}

TEST_F(EndToEndSettingsTest, ASettingsFileThatIsALinkStaysOneAndItsTargetGetsTheSevenKeys) {
  const std::string dotfiles = dir.os() + "/dotfiles";
  std::filesystem::create_directories(dotfiles);
  std::ofstream(dotfiles + "/Quillmark.ini") << "[Previous]\nStaves=12\n";
  std::filesystem::create_symlink(dotfiles + "/Quillmark.ini", Settings());
  RenameCounter renames(dotfiles);
  const char script[] = R"(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
sleep 0.5
xdotool windowfocus "$wid"; sleep 0.3; xdotool key alt+F4
( sleep 10; kill -KILL $pid 2>/dev/null ) & watchdog=$!
wait $pid; status=$?
kill $watchdog 2>/dev/null
exit $status)";
  ASSERT_EQ(RunUnderXvfb(dir.os(), script), 0) << Stderr();
  EXPECT_EQ(KindAt(Settings()), "link to " + dotfiles + "/Quillmark.ini");
  std::string text = ReadFile(dotfiles + "/Quillmark.ini");
  std::erase(text, '\r');
  EXPECT_EQ(text,
            "[Previous]\nStaves=12\nOrientation=Portrait\nTopMargin=10\nGroups=1\n"
            "StaveHeight=10\nGapHeight=10\nLineWidth=0.2\n");
  EXPECT_EQ(renames.Count("Quillmark.ini"), 1) << "one replacement per save";
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dotfiles)) entries += !e.is_directory();
  EXPECT_EQ(entries, 1) << "no temporary left beside the target";
  entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(Folder())) ++entries;
  EXPECT_EQ(entries, 1) << "nothing but the link in the settings folder";
}

}  // namespace
