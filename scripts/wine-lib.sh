# Sourced by the Windows scripts. Wine passes no QT_* variable of the Unix
# environment to a Windows program, so what Qt must see is set in the
# prefix's registry instead.

# winepath_of PATH: the Windows spelling of a Unix path (drive Z: is /).
winepath_of() {
  printf 'Z:%s' "$1" | tr / '\\'
}

# prepare_wine_prefix: makes $WINEPREFIX when it is new: Qt's messages and
# QtTest's output go to standard error instead of the debugger channel, and
# the Japanese fonts that Windows has (ＭＳ ゴシック, ＭＳ Ｐゴシック, MS UI
# Gothic) are found as Debian's IPA fonts.
prepare_wine_prefix() {
  if [ -f "$WINEPREFIX/.tervan-prepared" ]; then
    return
  fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  wine reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null 2>&1
  for pair in 'ＭＳ ゴシック=IPAGothic' 'MS Gothic=IPAGothic' 'ＭＳ Ｐゴシック=IPAPGothic' \
              'MS PGothic=IPAPGothic' 'MS UI Gothic=IPAPGothic' 'Meiryo=IPAPGothic' 'Yu Gothic UI=IPAPGothic'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
  done
  wineserver -w
  touch "$WINEPREFIX/.tervan-prepared"
}

# windows_dll_path QT_PREFIX: a WINEPATH that finds Qt's DLLs and the MinGW
# runtime DLLs they import (libstdc++, libgcc, winpthread) of x86_64.
windows_dll_path() {
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  printf '%s;%s;%s' "$(winepath_of "$1/bin")" "$(winepath_of "$gcc_dir")" \
         "$(winepath_of /usr/x86_64-w64-mingw32/lib)"
}
