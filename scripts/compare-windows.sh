#!/bin/sh
# Runs tervan-tool.exe under Wine and the Linux tervan-tool on the same
# sample feed and compares what they write and print, byte for byte: the
# stored race data files, days, card, matches, results, csv and its CSV
# file, unlha and import-odds. The only difference allowed is the spelling
# of the base folder in printed paths.
#   sh scripts/compare-windows.sh LINUX_TOOL WINDOWS_TOOL_EXE
# Wine's own settings (WINEPREFIX, WINEDEBUG) come from the caller.
set -e
linux_tool=$1
windows_tool=$2
[ -x "$linux_tool" ] && [ -f "$windows_tool" ] || { echo "usage: $0 LINUX_TOOL WINDOWS_TOOL_EXE" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tervan-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/wine-lib.sh"

# One feed for both, fixed in time.
"$linux_tool" make-sample-feed "$work/feed" --seed 7 --today 20261206 --days 2 >/dev/null
now=20261206180000

# run SIDE NAME ARGS...: the tool of SIDE with its base folder as BASE;
# stdout to SIDE/NAME.out with the base folder written as BASE.
run() {
  side=$1 name=$2
  shift 2
  if [ "$side" = linux ]; then
    base="$work/linux/base"
    set -- $(printf '%s\n' "$@" | sed "s|^BASE|$base|; s|^FEED|$work/feed|")
    "$linux_tool" "$@" >"$work/$side/$name.raw" 2>"$work/$side/$name.err" || echo "exit $?" >>"$work/$side/$name.raw"
    sed "s|$base|BASE|g" "$work/$side/$name.raw" >"$work/$side/$name.out"
  else
    base=$(winepath_of "$work/windows/base")
    feed=$(winepath_of "$work/feed")
    set -- $(printf '%s\n' "$@" | sed "s|^BASE|$(printf '%s' "$base" | sed 's/\\/\\\\/g')|; s|^FEED|$(printf '%s' "$feed" | sed 's/\\/\\\\/g')|")
    wine "$windows_tool" "$@" >"$work/$side/$name.raw" 2>"$work/$side/$name.err" </dev/null || echo "exit $?" >>"$work/$side/$name.raw"
    # Printed paths: the Windows spelling of the base folder, "\" or "/" after it.
    B="$base" awk '{ b = ENVIRON["B"]; while ((i = index($0, b)) > 0) { rest = substr($0, i + length(b)); gsub(/\\/, "/", rest); $0 = substr($0, 1, i - 1) "BASE" rest } print }' \
      "$work/$side/$name.raw" >"$work/$side/$name.out"
  fi
}

for side in linux windows; do
  mkdir -p "$work/$side"
  run $side import-jv import-jv BASE FEED --from 20261101000000 --now $now
  run $side days days BASE
  day=$(sed -n 1p "$work/$side/days.out")
  second=$(sed -n 2p "$work/$side/days.out")
  run $side card card BASE "$day" 1
  run $side card3 card BASE "$second" 3
  run $side matches matches BASE "$day"
  run $side results results BASE "$day" 1
  run $side csv-card csv BASE "$day" 2
  run $side csv-matches csv BASE "$day"
  for archive in "$work"/feed/*.lzh; do
    a=$(basename "$archive")
    mkdir -p "$work/$side/base/yLZH"
    cp "$archive" "$work/$side/base/yLZH/$a"
    run $side "unlha-$a" unlha "BASE/yLZH/$a" "BASE/x-$a"
    run $side "import-odds-$a" import-odds BASE "BASE/yLZH/$a"
  done
done

status=0
for f in "$work"/linux/*.out; do
  name=$(basename "$f")
  if ! cmp -s "$f" "$work/windows/$name"; then
    echo "differs: $name"
    diff "$f" "$work/windows/$name" | head -n 10
    status=1
  fi
done
if ! diff -r "$work/linux/base" "$work/windows/base" >"$work/tree.diff"; then
  echo "differs: stored files"
  head -n 20 "$work/tree.diff"
  status=1
fi
files=$(find "$work/linux/base" -type f | wc -l)
outputs=$(ls "$work"/linux/*.out | wc -l)
[ $status -eq 0 ] && echo "same bytes: $outputs outputs and $files files"
exit $status
