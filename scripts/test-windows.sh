#!/bin/sh
# The Windows build, checked on Linux: cross-compiles the core library,
# tervan-tool.exe, the window tervan.exe and every test program with Debian's
# MinGW-w64 (posix threads flavour; GoogleTest built from Debian's sources
# with it, Qt built from Debian's sources by scripts/qt-windows.sh and kept
# in a cache outside the repository), runs the core tests under Wine without
# a display and the window's tests under Wine on a private X display, starts
# tervan.exe on the sample and takes a picture of its race card
# (build-win/screenshots), then compares tervan-tool.exe with the Linux
# tervan-tool byte for byte (scripts/compare-windows.sh). Installs what is
# missing first. A 32-bit tervan-tool.exe is compiled as well (JV-Link is
# 32-bit); scripts/package-windows.sh builds the 32-bit window.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)

# The Linux build's packages (its tervan-tool is the comparison's other
# side) and the cross compilers, Wine and GoogleTest's sources.
sh scripts/install-deps.sh g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-x86-64-dev \
   mingw-w64-i686-dev wine wine64 googletest ccache xdotool imagemagick

# Qt for Windows: from the cache, or built on first use (about half an hour).
qt=$(sh scripts/qt-windows.sh x86_64)

jobs=$(nproc)
out=build-win
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

# Wine: a prefix of its own, no display, no debug chatter; Qt's DLLs on the
# search path.
. scripts/wine-lib.sh
export WINEPREFIX="$root/$out/wineprefix" WINEDEBUG=-all DISPLAY=
prepare_wine_prefix
export WINEPATH="$(windows_dll_path "$qt")"
# Qt's Japanese translation in Qt's own folder, where the window looks after
# its own translations folder (Debian's file; the zips carry it beside the program).
mkdir -p "$qt/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$qt/translations/"

# GoogleTest, built with the cross compiler from Debian's sources.
gtest="$root/$out/googletest-install"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$out/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$gtest" $launcher >/dev/null
  cmake --build "$out/googletest" -j"$jobs" >/dev/null
  cmake --install "$out/googletest" >/dev/null
fi

# The core, the tool, the window and every test (no benchmarks), through Qt's
# toolchain file, which loads ours.
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
      -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DTERVAN_BUILD_GUI=ON -DTERVAN_BUILD_TESTS=ON -DTERVAN_BUILD_BENCHMARKS=OFF \
      -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$out" -j"$jobs"

# Each core test program once under Wine (one Wine start per program, not per case).
failed=""
for test in "$out"/bin/test_*.exe; do
  case "$test" in *test_gui_*) continue ;; esac
  name=$(basename "$test" .exe)
  skip=$(awk -v p="$name" '$1 == p { printf ":%s", $2 }' tests/win/narrow-path-cases.txt)
  if wine "$test" --gtest_brief=1 ${skip:+--gtest_filter=-${skip#:}} >"$out/$name.log" 2>&1; then
    echo "passed: $name"
  else
    echo "FAILED: $name"
    grep -v 'wine32\|multiarch\|dpkg --add-architecture\|apt-get install wine32' "$out/$name.log" | tail -n 40
    failed="$failed $name"
  fi
done

# The window's tests under Wine on a private X display, with Qt's windows
# platform, as on Windows.
. scripts/xvfb-lib.sh
start_xvfb
# Wine's desktop takes the display its server started with: a new server now.
wineserver -k 2>/dev/null || true
mkdir -p "$out/screenshots"
for test in "$out"/bin/test_gui_*.exe; do
  name=$(basename "$test" .exe)
  if TERVAN_SCREENSHOT_DIR="$(winepath_of "$root/$out/screenshots")" \
     wine "$test" -o "$(winepath_of "$root/$out/$name.txt"),txt" >"$out/$name.log" 2>&1; then
    echo "passed: $name ($(grep -o 'Totals: .*' "$out/$name.txt"))"
  else
    echo "FAILED: $name"
    grep -v '^PASS\|wine32\|multiarch\|dpkg --add-architecture\|apt-get install wine32' "$out/$name.txt" "$out/$name.log" | tail -n 40
    failed="$failed $name"
  fi
done

# The window itself, on the sample: started as a user starts it, driven to a
# race card, and photographed.
sh scripts/smoke-windows.sh --folder "$out/bin" "$out/screenshots" || failed="$failed smoke-window"
stop_xvfb

# The 32-bit tool, the build that loads the real (32-bit) JV-Link: compiled
# only, as this Wine runs 64-bit programs alone.
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DTERVAN_BUILD_GUI=OFF -DTERVAN_BUILD_TESTS=OFF -DTERVAN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-win32 -j"$jobs" --target tervan-tool

# Same bytes as the Linux tool.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target tervan-tool
sh scripts/compare-windows.sh build/bin/tervan-tool "$out/bin/tervan-tool.exe" || failed="$failed compare-windows"

if [ -n "$failed" ]; then
  echo "Windows build: failed:$failed"
  exit 1
fi
echo "Windows build: every test passed under Wine; the tool's bytes match Linux"
