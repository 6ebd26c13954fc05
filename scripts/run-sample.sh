#!/bin/sh
# Runs Tervan on the bundled sample: builds it (installing what is missing),
# prepares a fresh base folder with the sample feed imported and opens the
# window. Without a display it says so and prints the first race card.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target tervan tervan-tool sample_feed
bin=build/bin
base=build/sample-run
rm -rf "$base"
mkdir -p "$base"
# The base folder is the executable's folder: the program and its help sit there.
cp "$bin/tervan" "$bin/tervan-tool" "$base/"
[ -d "$bin/help" ] && cp -r "$bin/help" "$base/"
cp -r "$bin/sample-feed" "$base/sample-feed"
# The sample's forecast odds archives go where the "予想配当" dialog opens.
mkdir -p "$base/yLZH"
cp "$base"/sample-feed/*.lzh "$base/yLZH/" 2>/dev/null || true
"$base/tervan-tool" import-jv "$base" "$base/sample-feed" | tail -n 1
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  echo "No display found (DISPLAY is not set): the window cannot open here."
  day=$("$base/tervan-tool" days "$base" | head -n 1)
  echo "First race card of the sample, $day:"
  "$base/tervan-tool" card "$base" "$day" 1
  exit 0
fi
exec "$base/tervan"
