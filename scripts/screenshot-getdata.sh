#!/bin/sh
# Pictures the download dialog "ＪＶデータ取込" under Xvfb while it downloads a
# sample feed through the JV-Link stand-in: getdata-download.png as the
# download starts, getdata-reading.png in the middle of the read loop, and
# getdata-waiting.png counting downloaded files (a scripted JV-Link). The
# pictures land in build/screenshots (or the folder given as the first
# argument); the build folder is build (or $TERVAN_BUILD_DIR).
set -e
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
build="${TERVAN_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target test_gui_TestGetDataForm tervan-tool
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# A private X display for the run.
. scripts/xvfb-lib.sh
start_xvfb

QT_QPA_PLATFORM=xcb TERVAN_SCREENSHOT_DIR="$out" \
  "$build/bin/test_gui_TestGetDataForm" sampleFeedDownloadAndResultsUpdate downloadsThenReadOnTheTimer
echo "Screenshots in $out:"
ls -1 "$out"/getdata-*.png
