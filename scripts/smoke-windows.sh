#!/bin/sh
# Starts the Windows programs as a user does and checks that they work:
# tervan-tool.exe makes and imports a sample and lists its days, then
# tervan.exe --stand-in opens on it, is driven to the race card of a
# day, and a picture of its window is saved. Runs under Wine on a private X
# display (or $DISPLAY when one is set).
#   sh scripts/smoke-windows.sh ZIP [SHOT_DIR]
#       unpacks the zip a user gets into a fresh folder and a fresh Wine prefix
#   sh scripts/smoke-windows.sh --folder BIN_DIR [SHOT_DIR]
#       the build folder's programs, with Qt's DLLs found through $WINEPATH
#       in the caller's $WINEPREFIX
# SHOT_DIR defaults to build-win/screenshots.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/wine-lib.sh
. scripts/xvfb-lib.sh
sh scripts/install-deps.sh wine wine64 xdotool imagemagick unzip >&2

work=$(mktemp -d "${TMPDIR:-/tmp}/tervan-smoke.XXXXXX")
app="$work/テルヴァン"
mkdir -p "$app"
if [ "$1" = --folder ]; then
  cp "$2/tervan.exe" "$2/tervan-tool.exe" "$app/"
  [ -d "$2/help" ] && cp -r "$2/help" "$app/"
  shots=${3:-build-win/screenshots}
else
  zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  (cd "$work" && unzip -q "$zip")
  rm -rf "$app"
  mv "$work"/tervan-*-windows-* "$app"
  export WINEPREFIX="$work/wineprefix"
  unset WINEPATH
  shots=${2:-build-win/screenshots}
fi
export WINEDEBUG=-all
# A display of its own when none is given, from the start: Wine's desktop
# takes the display the prefix's first program found.
own_display=0
if [ -z "$DISPLAY" ]; then
  start_xvfb
  own_display=1
fi
prepare_wine_prefix
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke test: $*" >&2
  exit 1
}

# The tool: a two-week sample, imported and listed.
wapp=$(winepath_of "$app")
wine "$app/tervan-tool.exe" make-sample-feed "$wapp\\sample-feed" --days 14 >"$work/make.log" 2>&1 ||
  fail "make-sample-feed failed: $(tail -n 5 "$work/make.log")"
wine "$app/tervan-tool.exe" import-jv "$wapp" "$wapp\\sample-feed" >"$work/import.log" 2>&1 ||
  fail "import-jv failed: $(tail -n 5 "$work/import.log")"
wine "$app/tervan-tool.exe" days "$wapp" >"$work/days.txt" 2>&1 || fail "days failed: $(cat "$work/days.txt")"
[ -s "$work/days.txt" ] || fail "days listed nothing"
echo "smoke test: tervan-tool.exe days lists $(wc -l <"$work/days.txt") days, the first $(head -n 1 "$work/days.txt")"

# The window.
started=$(date +%s%N)
(cd "$app" && wine tervan.exe --stand-in >"$work/window.log" 2>&1) &
window=""
tries=0
while [ -z "$window" ] && [ "$tries" -lt 120 ]; do
  sleep 0.5
  window=$(xdotool search --onlyvisible --name 'テルヴァン' 2>/dev/null | head -n 1 || true)
  tries=$((tries + 1))
done
[ -n "$window" ] || fail "the window did not open: $(tail -n 5 "$work/window.log")"
shown=$(date +%s%N)
sleep 2

# The day box is the first control of the left panel: open it and take the
# day the keys land on, as a user does with the mouse and the keyboard.
xdotool mousemove --window "$window" 80 62 click 1
sleep 1
xdotool key --window "$window" Down Return
# The card is up once the progress window has come and gone; give it time.
sleep 6
card=$(date +%s%N)
import -window "$window" "$shots/window-race-card.png"
echo "smoke test: window shown after $(( (shown - started) / 1000000 )) ms;" \
     "race card photographed $(( (card - started) / 1000000 )) ms after start: $shots/window-race-card.png"
xdotool key --window "$window" alt+F4 2>/dev/null || true
[ "$own_display" -eq 1 ] && stop_xvfb
exit 0
