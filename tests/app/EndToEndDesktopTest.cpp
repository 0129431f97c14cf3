// The real quillmark executable under Xvfb with openbox managing its windows: the frame the
// window manager draws around the main window's 297 x 335 client area, minimise to an icon and
// back with the content painted, the print dialog a dialog of its owner, and a desktop at twice
// the scale.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "TestSupport.h"

namespace {

// Starts Xvfb (its display number from -displayfd) and openbox, waits until openbox manages the
// screen, runs $BEFORE, starts the program and runs the test's steps with $wid its main window;
// what the steps print is the report. $XVFB adds options of the X server. The program, openbox and
// Xvfb are ended by their process ids.
const char* kHarness = R"(
exec 3>"$T/dpy"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp $XVFB >/dev/null 2>&1 & xpid=$!
i=0; while [ ! -s "$T/dpy" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done
export DISPLAY=:$(head -1 "$T/dpy")
openbox >/dev/null 2>&1 & opid=$!
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && [ $i -lt 200 ]
do sleep 0.05; i=$((i+1)); done
eval "$BEFORE"
"$EXE" 2>"$T/stderr" & pid=$!
wid=$(timeout 30 xdotool search --sync --name "Quillmark Paper Generation" | head -1)
if [ -n "$wid" ]; then sleep 1.5; eval "$STEPS"; else echo "no window"; fi
kill $pid 2>/dev/null; sleep 0.5; kill -KILL $pid 2>/dev/null
kill $opid $xpid 2>/dev/null; wait $xpid 2>/dev/null
)";

// A screenshot's count of the space box's green, as ImageMagick sees the root window.
const char* kGreenPixels =
    "import -window root \"$T/shot.png\"; convert-im6.q16 \"$T/shot.png\" -fill white +opaque "
    "'#008000' -fill black -opaque '#008000' -format '%[fx:int(w*h*(1-mean)+0.5)]' info:";

class EndToEndDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool :
         {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import", "convert-im6.q16"})
      if (!HaveTool(tool)) GTEST_SKIP() << tool << " is missing (scripts/setup.sh installs it)";
  }
  std::string Run(const std::string& steps, const std::string& env = "",
                  const std::string& xvfb = "", const std::string& before = "") {
    const std::string& t = dir.os();
    const std::string command =
        "env -u WAYLAND_DISPLAY HOME=" + ShellQuote(t + "/home") +
        " XDG_CONFIG_HOME=" + ShellQuote(t + "/home/.config") +
        " XDG_DATA_HOME=" + ShellQuote(t + "/home/.local/share") +
        " KORV_COMMON_APPDATA=" + ShellQuote(t + "/common") +
        " LC_ALL=en_GB.UTF-8 QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 " + env +
        " EXE=" + ShellQuote(QUILLMARK_EXE) + " T=" + ShellQuote(t) +
        " STEPS=" + ShellQuote(steps) + " XVFB=" + ShellQuote(xvfb) +
        " BEFORE=" + ShellQuote(before) + " sh -c " + ShellQuote(kHarness) + " > " +
        ShellQuote(t + "/out") + " 2>&1";
    std::system(command.c_str());
    return ReadFile(t + "/out");
  }
  static bool Has(const std::string& out, const std::string& what) {
    return out.find(what) != std::string::npos;
  }
  TempDir dir;
};

TEST_F(EndToEndDesktopTest, TheWindowManagerFramesTheMainWindowAroundItsClientArea) {
  std::string out =
      Run("xwininfo -id $wid | grep -E 'Width|Height'; xprop -id $wid _NET_FRAME_EXTENTS "
          "_NET_WM_WINDOW_TYPE");
  EXPECT_TRUE(Has(out, "Width: 297")) << out;
  EXPECT_TRUE(Has(out, "Height: 335")) << out;
  EXPECT_TRUE(Has(out, "_NET_FRAME_EXTENTS(CARDINAL) = ")) << out;
  EXPECT_FALSE(Has(out, "_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0")) << out;
  EXPECT_TRUE(Has(out, "_NET_WM_WINDOW_TYPE_NORMAL")) << out;
}

TEST_F(EndToEndDesktopTest, MinimisedToAnIconItComesBackPainted) {
  std::string out = Run(std::string("xdotool windowminimize $wid; sleep 1; echo MINIMISED; "
                                    "xprop -id $wid WM_STATE _NET_WM_STATE; "
                                    "xdotool windowactivate $wid; sleep 1; echo RESTORED; "
                                    "xprop -id $wid WM_STATE; echo green=$(") +
                        kGreenPixels + ")");
  auto restored = out.find("RESTORED");
  ASSERT_NE(restored, std::string::npos) << out;
  std::string before = out.substr(0, restored), after = out.substr(restored);
  EXPECT_TRUE(Has(before, "window state: Iconic")) << out;
  EXPECT_TRUE(Has(before, "_NET_WM_STATE_HIDDEN")) << out;
  EXPECT_TRUE(Has(after, "window state: Normal")) << out;
  // The space box (89 x 21, most of it green) is on the screen again.
  auto at = out.find("green=");
  ASSERT_NE(at, std::string::npos) << out;
  EXPECT_GE(std::atoi(out.c_str() + at + 6), 1000) << out;
}

TEST_F(EndToEndDesktopTest, ThePrintDialogIsADialogOfItsOwner) {
  // Preview (the button at 140, 267 of the client area), then its Print button (235, 22).
  std::string out =
      Run("X=$(xwininfo -id $wid | awk '/Absolute upper-left X/{print $4}'); "
          "Y=$(xwininfo -id $wid | awk '/Absolute upper-left Y/{print $4}'); "
          "xdotool mousemove $((X+140)) $((Y+267)) click 1; sleep 3; "
          "pw=$(xdotool search --name 'Print Preview' | head -1); "
          "PX=$(xwininfo -id $pw | awk '/Absolute upper-left X/{print $4}'); "
          "PY=$(xwininfo -id $pw | awk '/Absolute upper-left Y/{print $4}'); "
          "xprop -id $pw _NET_WM_STATE; "
          "xdotool mousemove $((PX+235)) $((PY+22)) click 1; sleep 3; "
          "for dw in $(xdotool search --name '^Print$'); do xprop -id $dw WM_TRANSIENT_FOR "
          "_NET_WM_WINDOW_TYPE _NET_WM_ALLOWED_ACTIONS | tr '\\n' ' '; echo; done; "
          "echo MAIN $(xprop -id $wid _NET_WM_ALLOWED_ACTIONS); "
          "printf 'main=0x%x\\n' $wid");
  EXPECT_TRUE(Has(out, "_NET_WM_STATE_MAXIMIZED_VERT")) << out;  // the preview
  auto main = out.find("main=0x");
  ASSERT_NE(main, std::string::npos) << out;
  std::string id = out.substr(main + 5, out.find('\n', main) - main - 5);
  // One line per window named "Print" (its button's tooltip is one too).
  auto dialog = out.find("WM_TRANSIENT_FOR(WINDOW): window id # " + id +
                         " _NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DIALOG");
  ASSERT_NE(dialog, std::string::npos) << out;
  // Its dialog border and system menu alone: openbox lets it be closed and moved, neither
  // maximised nor resized. The main window keeps every action its description asks for.
  std::string actions = out.substr(dialog, out.find('\n', dialog) - dialog);
  EXPECT_TRUE(Has(actions, "_NET_WM_ACTION_CLOSE")) << out;
  EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE_HORZ")) << out;
  EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_MAXIMIZE_VERT")) << out;
  EXPECT_FALSE(Has(actions, "_NET_WM_ACTION_RESIZE")) << out;
  auto mainActions = out.find("MAIN ");
  ASSERT_NE(mainActions, std::string::npos) << out;
  actions = out.substr(mainActions, out.find('\n', mainActions) - mainActions);
  for (const char* action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                             "_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MINIMIZE"})
    EXPECT_TRUE(Has(actions, action)) << out;
}

TEST_F(EndToEndDesktopTest, AtTwiceTheScaleTheMainWindowIsTwiceAsLarge) {
  std::string out = Run("xwininfo -id $wid | grep -E 'Width|Height'", "QT_SCALE_FACTOR=2");
  EXPECT_TRUE(Has(out, "Width: 594")) << out;
  EXPECT_TRUE(Has(out, "Height: 670")) << out;
}

// The preview at twice the scale shows its page in device pixels: the staves' lines (0.2 mm,
// 11 twips) at 100% are two thirds of a logical pixel and so one pixel of the page's bitmap,
// which enlarged would be two device pixels high; drawn at the zoom times the scale they are
// one device pixel.
TEST_F(EndToEndDesktopTest, AtTwiceTheScaleThePreviewsStaveLinesAreOneDevicePixelThin) {
  // Preview is the button at (140, 267) of the main window's client area, twice that on screen.
  std::string out =
      Run("X=$(xwininfo -id $wid | awk '/Absolute upper-left X/{print $4}'); "
          "Y=$(xwininfo -id $wid | awk '/Absolute upper-left Y/{print $4}'); "
          "xdotool mousemove $((X+280)) $((Y+534)) click 1; sleep 3; "
          "pw=$(xdotool search --name 'Print Preview' | head -1); "
          "PX=$(xwininfo -id $pw | awk '/Absolute upper-left X/{print $4}'); "
          "PY=$(xwininfo -id $pw | awk '/Absolute upper-left Y/{print $4}'); "
          "import -window root \"$T/shot.png\"; "
          "convert-im6.q16 \"$T/shot.png\" -crop 1x700+$((PX+100))+$((PY+110)) -colorspace gray "
          "-depth 8 -compress none pgm:- | tail -n +4 | tr -s ' ' '\\n' | awk 'NF { if ($1 < 128) "
          "run++; else { if (run) { n++; if (run > max) max = run }; run = 0 } } "
          "END { print \"lines=\" n \" thickest=\" max }'",
          "QT_SCALE_FACTOR=2");
  auto at = out.find("lines=");
  ASSERT_NE(at, std::string::npos) << out;
  int lines = 0, thickest = 0;
  ASSERT_EQ(std::sscanf(out.c_str() + at, "lines=%d thickest=%d", &lines, &thickest), 2) << out;
  EXPECT_GE(lines, 10) << out;  // the page is there, with its staves
  EXPECT_EQ(thickest, 1) << out;
}

// The X server's resolution alone gives the desktop's scale; Xft.dpi and the user's own factor
// come first.
TEST_F(EndToEndDesktopTest, AtTwiceTheServersResolutionTheMainWindowIsTwiceAsLarge) {
  const std::string size = "xwininfo -id $wid | grep -E 'Width|Height'";
  std::string out = Run(size, "", "-dpi 192");
  EXPECT_TRUE(Has(out, "Width: 594")) << out;
  EXPECT_TRUE(Has(out, "Height: 670")) << out;
  out = Run(size, "", "-dpi 96");
  EXPECT_TRUE(Has(out, "Width: 297")) << out;
  EXPECT_TRUE(Has(out, "Height: 335")) << out;
  out = Run(size, "", "-dpi 192",
            "xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER 'Xft.dpi:\t96'");
  EXPECT_TRUE(Has(out, "Width: 297")) << out;
  out = Run(size, "QT_SCALE_FACTOR=1", "-dpi 192");
  EXPECT_TRUE(Has(out, "Width: 297")) << out;
}

}  // namespace
