// The real quillmark executable ended from outside: the session's signal, the display server
// going away, a settings folder that cannot be written while the session ends, and a Wayland
// display that is not there.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "QuillmarkTestSupport.h"
#include "TestSupport.h"

namespace {

const char* const kDefaults =
    "[Previous]\nOrientation=Portrait\nTopMargin=10\nStaves=8\nGroups=1\nStaveHeight=10\n"
    "GapHeight=10\nLineWidth=0.2\n";

// Starts the program (as "$EXE", its stderr in $T/stderr) and waits for its window; the
// script's own status: 90 when no window appeared, 91 when the program outlived its end.
const char* const kStartAndWait = R"sh(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
sleep 0.5
)sh";

// Waits up to a second for the program to end; its exit status in $T/status, the milliseconds
// from $start to its end in $T/ms.
const char* const kAwaitEnd = R"sh(
i=0; while kill -0 $pid 2>/dev/null && [ $i -lt 200 ]; do sleep 0.005; i=$((i+1)); done
end=$(date +%s%N)
if kill -0 $pid 2>/dev/null; then kill -KILL $pid; wait $pid; exit 91; fi
wait $pid; echo $? > "$T/status"
echo $(( (end - start) / 1000000 )) > "$T/ms"
)sh";

class EndToEndSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"xvfb-run", "Xvfb", "xdotool"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
  }

  // Runs script with the program's sandboxed environment (and env, "NAME=value ..."); under
  // xvfb-run unless the script starts its own display server. Returns the script's status.
  int Run(const std::string& script, bool ownDisplay = false, const std::string& env = "") {
    const std::string& t = dir.os();
    std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY " + env + " HOME=" + ShellQuote(t + "/home") +
        " XDG_CONFIG_HOME=" + ShellQuote(t + "/home/.config") +
        " XDG_DATA_HOME=" + ShellQuote(t + "/home/.local/share") +
        " KORV_COMMON_APPDATA=" + ShellQuote(t + "/common") +
        " LC_ALL=en_GB.UTF-8 QT_QPA_PLATFORM=xcb EXE=" + ShellQuote(QUILLMARK_EXE) +
        " T=" + ShellQuote(t);
    command += ownDisplay ? " sh -c " : " " + XvfbRun() + " sh -c ";
    command += ShellQuote(script) + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Result(const char* name) { return ReadFile(dir.os() + "/" + name); }
  int Status() { return std::atoi(Result("status").c_str()); }
  std::string Settings() {
    return ReadFile(dir.os() + "/home/.config/Korv/Quillmark/Quillmark.ini");
  }

  TempDir dir;
};

TEST_F(EndToEndSessionTest, SigtermEndsTheProgramAtOnceWithTheSettingsWritten) {
  // Timed without the sanitizer's leak scan at exit, which takes longer than the end itself;
  // the other runs of the program check for leaks.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string env =
      "ASAN_OPTIONS=" + ShellQuote(std::string(asan ? asan : "") + ":detect_leaks=0");
  ASSERT_EQ(Run(std::string(kStartAndWait) + "start=$(date +%s%N); kill -TERM $pid" + kAwaitEnd,
                false, env),
            0)
      << Result("stderr");
  EXPECT_EQ(Status(), 0) << Result("stderr");
  EXPECT_LT(std::atoi(Result("ms").c_str()), 500) << Result("ms");
  std::string s = Settings();
  std::erase(s, '\r');
  EXPECT_EQ(s, kDefaults);
}

TEST_F(EndToEndSessionTest, TheDisplayServerGoingAwayLosesNoSettings) {
  // A display server of the test's own, so that the test can end it under the program.
  const std::string script = R"sh(
exec 3>"$T/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null & xvfb=$!
i=0; while [ ! -s "$T/displayfd" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done
export DISPLAY=":$(cat "$T/displayfd")"
)sh" + std::string(kStartAndWait) +
                             "start=$(date +%s%N); kill -TERM $xvfb" + kAwaitEnd;
  ASSERT_EQ(Run(script, true), 0) << Result("stderr");
  EXPECT_NE(Status(), 0) << Result("stderr");
  std::string s = Settings();
  std::erase(s, '\r');
  EXPECT_EQ(s, kDefaults) << Result("stderr");
}

TEST_F(EndToEndSessionTest, ASettingsFolderThatCannotBeWrittenIsReportedOnStandardErrorAtOnce) {
  // A file where the program's folder would go.
  std::filesystem::create_directories(dir.os() + "/home/.config");
  std::ofstream(dir.os() + "/home/.config/Korv") << "in the way";
  ASSERT_EQ(Run(std::string(kStartAndWait) + "start=$(date +%s%N); kill -TERM $pid" + kAwaitEnd), 0)
      << "no modal message box may hold the program: " << Result("stderr");
  EXPECT_NE(Status(), 0);
  const std::string err = Result("stderr");
  EXPECT_NE(err.find("Unable to write to"), std::string::npos) << err;
  EXPECT_NE(err.find("Quillmark.ini"), std::string::npos) << err;
}

}  // namespace
