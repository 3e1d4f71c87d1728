#!/bin/sh
# Installs from Debian's packages everything Ruvela needs to build, test,
# plot and run its CI. Already-installed packages are skipped, and the
# package lists are refreshed only when something has to be installed.
set -eu

packages="
  build-essential
  cmake
  make
  g++
  clang
  libclang-rt-14-dev
  googletest
  libgtest-dev
  pkg-config
  libplplot-dev
  libpugixml-dev
  zlib1g-dev
  plplot-driver-xwin
  plplot-driver-cairo
  xvfb
  xauth
  x11-utils
  x11-apps
  xdotool
  imagemagick
  time
  groff-base
  poppler-utils
  python3
  dpkg-dev
  file
  lintian
  bash-completion
"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=""
else
  sudo="sudo"
fi

echo "install-deps: installing$missing"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
