#!/bin/sh
# Builds Qt 6 (qtbase: Core, Gui, Widgets, Test, the windows platform plugin
# and the styles) for MinGW-w64 from Debian's qt6-base source package, with
# Debian's Linux Qt as the host Qt (moc, uic, rcc), and installs it into a
# cache outside the repository. Prints the install folder last.
#
#   sh scripts/qt-windows.sh x86_64|i686
#
# The installed Qt is keyed by the Debian source version, the MinGW g++
# version, the architecture and this script's own hash: when that folder is
# complete the script returns at once. The build folder beside it is kept
# (without the script's hash in its name), so that a changed script
# configures and installs again without compiling Qt anew. TERVAN_CACHE moves
# the cache (default ~/.cache/tervan). A cold build takes about forty minutes
# per architecture on two cores.
set -e
arch=${1:-x86_64}
case "$arch" in
  x86_64|i686) ;;
  *) echo "usage: sh scripts/qt-windows.sh x86_64|i686" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
cache=${TERVAN_CACHE:-$HOME/.cache/tervan}
triplet=$arch-w64-mingw32
jobs=$(nproc)

log() { echo "qt-windows ($arch): $*" >&2; }

# What the build needs: the cross compiler, the host Qt of the same version,
# and the tools to fetch and unpack a source package.
sh "$here/install-deps.sh" "g++-mingw-w64-$(echo "$arch" | tr _ -)-posix" "mingw-w64-$(echo "$arch" | tr _ -)-dev" \
   qt6-base-dev qt6-base-dev-tools ninja-build dpkg-dev >&2

# Debian's source entries, for the same archive and suites as the binary ones.
src_list=/etc/apt/sources.list.d/tervan-deb-src.sources
if ! apt-cache showsrc qt6-base >/dev/null 2>&1 || [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  if [ ! -f "$src_list" ]; then
    log "adding deb-src entries"
    tmp=$(mktemp)
    for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
      [ -f "$f" ] || continue
      case "$f" in
        *.sources)
          # Keep the Debian stanzas, with Types: deb-src.
          awk 'BEGIN { RS=""; ORS="\n\n" } /deb\.debian\.org|security\.debian\.org/ { sub(/Types: deb/, "Types: deb-src"); print }' "$f" >>"$tmp" ;;
        *)
          grep -E '^deb .*debian\.org' "$f" | sed 's/^deb /deb-src /' >>"${tmp}.list" || true ;;
      esac
    done
    [ -s "$tmp" ] && $SUDO cp "$tmp" "$src_list"
    [ -s "${tmp}.list" ] && $SUDO cp "${tmp}.list" /etc/apt/sources.list.d/tervan-deb-src.list
    rm -f "$tmp" "${tmp}.list"
  fi
  $SUDO apt-get update -qq >&2
fi

src_version=$(apt-cache showsrc qt6-base | awk '/^Version:/ { print $2; exit }')
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
gcc_version=$("$triplet-g++-posix" -dumpfullversion)
script_hash=$(sha256sum "$0" | cut -c1-12)
key="qt-$src_version-gcc$gcc_version-$arch-$script_hash"
prefix="$cache/$key"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi
if [ "${src_version%%-*}" != "${host_version%%-*}" ]; then
  log "the source ($src_version) and the host Qt ($host_version) differ; moc and rcc must match" 
  exit 1
fi

started=$(date +%s)
mkdir -p "$cache/src"
srcdir="$cache/src/qt6-base-$src_version"
if [ ! -f "$srcdir/CMakeLists.txt" ]; then
  log "fetching qt6-base $src_version"
  rm -rf "$cache/src/fetch"
  mkdir -p "$cache/src/fetch"
  (cd "$cache/src/fetch" && apt-get source -qq qt6-base >&2)
  unpacked=$(find "$cache/src/fetch" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  mv "$unpacked" "$srcdir"
  rm -rf "$cache/src/fetch"
fi

# A toolchain file of its own: Qt builds its DLLs against the shared MinGW
# runtime, which the package step bundles beside them.
build="$cache/build-qt-$src_version-gcc$gcc_version-$arch"
mkdir -p "$build"
cat >"$build/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR $arch)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

log "configuring"
off=""
for feature in sql network dbus icu zstd vulkan concurrent xml printsupport jpeg freetype fontconfig \
               opengl opengl_dynamic dynamicgl tabletevent pkg_config \
               system_zlib system_png system_jpeg system_pcre2 system_harfbuzz system_freetype \
               system_doubleconversion system_libb2 system_textmarkdownreader; do
  off="$off -DFEATURE_$feature=OFF"
done
launcher=""
export CCACHE_BASEDIR="$cache"
command -v ccache >/dev/null && launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$srcdir" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$build/toolchain.cmake" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DINPUT_opengl=no -DFEATURE_direct2d=ON $off $launcher >"$build/configure.log" 2>&1 ||
  { tail -n 40 "$build/configure.log" >&2; exit 1; }

log "building with $jobs jobs (about half an hour on two cores)"
# Progress: ninja's [n/m] lines, one in a hundred.
cmake --build "$build" -j"$jobs" 2>&1 | awk '/^\[[0-9]+\/[0-9]+\]/ { if (++n % 100 == 0) { print $1; fflush() } next } /error|Error|FAILED/ { print }' >&2
[ -f "$build/bin/Qt6Widgets.dll" ] && [ -z "$(cd "$build" && ninja -n | grep -v 'no work to do')" ] ||
  { log "the build failed"; exit 1; }
cmake --install "$build" >"$build/install.log" 2>&1 || { tail -n 20 "$build/install.log" >&2; exit 1; }
echo "$src_version $gcc_version $arch $(( $(date +%s) - started ))s" >"$prefix/.complete"
log "installed in $prefix ($(( ($(date +%s) - started) / 60 )) min)"
echo "$prefix"
