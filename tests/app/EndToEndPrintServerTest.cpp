// The real quillmark executable under Xvfb, with a print server that accepts connections and
// never answers: the main window still appears at once, painted, with nothing of the printing
// libraries loaded, and a SIGTERM still ends it with its settings written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "QuillmarkTestSupport.h"
#include "SilentPrintServer.h"
#include "TestSupport.h"

namespace {

TEST(EndToEndPrintServer, ASilentPrintServerNeitherHoldsTheWindowNorTheEnd) {
  for (const char* tool : {"xvfb-run", "xdotool"})
    if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
  SilentPrintServer server;  // CUPS_SERVER names it for the program
  ASSERT_TRUE(server.Listening());
  TempDir dir;
  // Exit 90: no window within 8 s; 91: the signal did not end it within 5 s. The libraries
  // mapped once the window is there go to maps.
  const std::string script = R"(
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 8 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -z "$wid" ]; then kill -KILL $pid; exit 90; fi
sleep 0.5
cat /proc/$pid/maps > "$T/maps"
kill -TERM $pid
i=0; while kill -0 $pid 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i+1)); done
if kill -0 $pid 2>/dev/null; then kill -KILL $pid; exit 91; fi
wait $pid)";
  const std::string& t = dir.os();
  ASSERT_EQ(RunUnderXvfb(t, script), 0) << ReadFile(t + "/stderr");
  EXPECT_NE(ReadFile(t + "/home/.config/Korv/Quillmark/Quillmark.ini").find("Staves=8"),
            std::string::npos);
  const std::string maps = ReadFile(t + "/maps");
  ASSERT_FALSE(maps.empty());
  EXPECT_EQ(maps.find("libcups"), std::string::npos);
  EXPECT_EQ(maps.find("PrintSupport"), std::string::npos);
}

}  // namespace
