#!/bin/sh
# Draws the print preview into PNG files for a person to look at (see tools/preview_shots.cpp).
# Usage: scripts/preview-shots.sh [build folder] [output folder]
# Builds the tool in the build folder (default "build"); under Xvfb when it is installed, so the
# window screenshots are taken too, else only the glyphs and the tool bars.
set -eu
build=${1:-build}
out=${2:-preview-shots}
cmake --build "$build" --target preview_shots
tool="$build/tools/preview_shots"
# A sanitizer build's leak checker: fontconfig's and D-Bus's caches are no leaks of ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(cd "$(dirname "$0")/.." && pwd)/cmake/lsan.supp}"
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb "$tool" "$out"
else
  "$tool" "$out"
fi
