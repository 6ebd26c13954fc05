#!/bin/sh
# Writes the zips a Windows user unpacks and runs:
#   dist/tervan-VERSION-windows-i686.zip    the one to use: a 32-bit tervan.exe
#                                           loads the 32-bit JV-Link in process
#   dist/tervan-VERSION-windows-x86_64.zip  64-bit, smoke-tested here under Wine
# Each holds tervan.exe, tervan-tool.exe, the Qt DLLs and plugins they need,
# Qt's Japanese translation, the MinGW runtime DLLs, help\, the sample batch
# file and はじめにお読みください.txt. Which DLLs go in is read from the
# executables' imports (objdump), never from a list kept by hand.
#
#   sh scripts/package-windows.sh [i686|x86_64 ...]     (default: both)
#
# Qt for Windows comes from scripts/qt-windows.sh (about half an hour per
# architecture the first time, then from its cache).
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
archs=${*:-"i686 x86_64"}

sh scripts/install-deps.sh g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-x86-64-dev \
   mingw-w64-i686-dev binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 qt6-translations-l10n python3 \
   wine wine64 xdotool imagemagick
jobs=$(nproc)
mkdir -p dist

# deps_of FILE: the DLL names FILE imports, lower case.
deps_of() {
  "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'
}

# find_dll NAME: the DLL of that name built or shipped for this architecture,
# or nothing for a DLL of the system.
find_dll() {
  for dir in "$qt/bin" "$gcc_dir" "/usr/$triplet/lib" "/usr/$triplet/bin"; do
    found=$(find "$dir" -maxdepth 1 -iname "$1" 2>/dev/null | head -n 1)
    if [ -n "$found" ]; then
      echo "$found"
      return
    fi
  done
}

# bundle_imports: copies every non-system DLL that the stage's executables and
# DLLs import, until nothing new is imported.
bundle_imports() {
  while :; do
    added=0
    for pe in $(find "$stage" -iname '*.exe' -o -iname '*.dll'); do
      for dll in $(deps_of "$pe"); do
        existing=$(find "$stage" -maxdepth 1 -iname "$dll" | head -n 1)
        [ -n "$existing" ] && continue
        src=$(find_dll "$dll")
        [ -n "$src" ] || continue
        cp "$src" "$stage/"
        added=1
      done
    done
    [ "$added" -eq 1 ] || break
  done
}

for arch in $archs; do
  triplet=$arch-w64-mingw32
  objdump=$triplet-objdump
  gcc_dir=$(dirname "$("$triplet-g++-posix" -print-libgcc-file-name)")
  qt=$(sh scripts/qt-windows.sh "$arch")
  out=build-pkg-$arch
  cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DTERVAN_BUILD_GUI=ON -DTERVAN_BUILD_TESTS=OFF -DTERVAN_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$out" -j"$jobs" --target tervan tervan-tool
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
  name=tervan-$version-windows-$arch
  stage="$out/stage/$name"
  rm -rf "$out/stage"
  mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
  cp "$out/bin/tervan.exe" "$out/bin/tervan-tool.exe" "$stage/"
  cp -r "$out/bin/help" "$stage/help"
  rm -f "$stage/help/.stamp"
  cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
  cp "$qt/plugins/styles/"*.dll "$stage/styles/" 2>/dev/null || true
  cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
  bundle_imports
  $triplet-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
  # The texts a user reads on Windows: Shift-JIS with CR LF.
  for text in packaging/windows/*.txt; do
    iconv -f UTF-8 -t CP932 "$text" | sed 's/$/\r/' >"$stage/$(basename "$text")"
  done
  cp packaging/windows/*.bat "$stage/"

  # Zip with the names flagged as UTF-8, so Explorer shows the Japanese ones.
  rm -f "dist/$name.zip"
  python3 - "$out/stage" "$name" "dist/$name.zip" <<'EOF'
import os, sys, zipfile
stage, name, target = sys.argv[1], sys.argv[2], sys.argv[3]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for folder, dirs, files in os.walk(os.path.join(stage, name)):
        dirs.sort()
        for f in sorted(files):
            path = os.path.join(folder, f)
            z.write(path, os.path.relpath(path, stage))
EOF
  echo "wrote dist/$name.zip ($(du -k "dist/$name.zip" | cut -f1) KB, $(find "$stage" -type f | wc -l) files)"
done

# The 64-bit zip, unpacked into a fresh Wine prefix and started.
case " $archs " in
  *" x86_64 "*) sh scripts/smoke-windows.sh "dist/tervan-$version-windows-x86_64.zip" ;;
esac
