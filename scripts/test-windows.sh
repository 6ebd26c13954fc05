#!/bin/sh
# The Windows build, checked on Linux: cross-compiles the core library,
# tervan-tool.exe and the core test programs with Debian's MinGW-w64 (posix
# threads flavour; GoogleTest built from Debian's sources with it), runs the
# tests under Wine without a display, then compares tervan-tool.exe with the
# Linux tervan-tool byte for byte (scripts/compare-windows.sh). Installs what
# is missing first. The window program needs Qt for Windows and is not built
# here. A 32-bit tervan-tool.exe is compiled as well (JV-Link is 32-bit).
set -e
cd "$(dirname "$0")/.."
root=$(pwd)

# The Linux build's packages (its tervan-tool is the comparison's other
# side) and the cross compilers, Wine and GoogleTest's sources.
sh scripts/install-deps.sh g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-x86-64-dev \
   mingw-w64-i686-dev wine wine64 googletest ccache

jobs=$(nproc)
out=build-win
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

# Wine: a prefix of its own, no display, no debug chatter.
export WINEPREFIX="$root/$out/wineprefix" WINEDEBUG=-all DISPLAY=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

# GoogleTest, built with the cross compiler from Debian's sources.
gtest="$root/$out/googletest-install"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$out/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$gtest" $launcher >/dev/null
  cmake --build "$out/googletest" -j"$jobs" >/dev/null
  cmake --install "$out/googletest" >/dev/null
fi

# The core, the tool and the core tests (no window, no benchmarks).
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DTERVAN_BUILD_GUI=OFF -DTERVAN_BUILD_TESTS=ON -DTERVAN_BUILD_BENCHMARKS=OFF \
      -DGTest_DIR="$gtest/lib/cmake/GTest" >/dev/null
cmake --build "$out" -j"$jobs"

# Each test program once under Wine (one Wine start per program, not per case).
failed=""
for test in "$out"/bin/test_*.exe; do
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
