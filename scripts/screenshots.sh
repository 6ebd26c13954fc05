#!/bin/sh
# Renders screenshots of the main window on a sample day under Xvfb: the race
# card, the matching-horse list, the results panel, the page "格言成績"
# (its table and chart over the sample's days) and the page "格言ラボ" (after
# 計算 and with a sweep chart), each as the window shows it
# and (for the grids) the whole grid. The pictures land in
# build/screenshots (or the folder given as the first argument; the build
# folder is build, or $TERVAN_BUILD_DIR).
set -e
cd "$(dirname "$0")/.."
build="${TERVAN_BUILD_DIR:-build}"
out="${1:-$build/screenshots}"
sh scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_gui_TestScreens tervan-tool
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# A private X display for the run.
. scripts/xvfb-lib.sh
start_xvfb

QT_QPA_PLATFORM=xcb TERVAN_SCREENSHOT_DIR="$out" \
  "$build/bin/test_gui_TestScreens"
echo "Screenshots in $out:"
ls -1 "$out"
