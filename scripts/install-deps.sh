#!/bin/sh
# Installs the Debian packages Tervan needs to build, test and run, when any
# is missing, and the packages named as arguments. Runs apt-get only when
# something has to be installed.
set -e
need=""
for pkg in cmake g++ make pkg-config qt6-base-dev qt6-charts-dev libgtest-dev libgmock-dev libbenchmark-dev \
           fonts-ipafont-gothic qt6-translations-l10n xvfb xauth libgl-dev locales "$@"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    need="$need $pkg"
  fi
done
if [ -n "$need" ]; then
  echo "Installing:$need"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $need
fi
