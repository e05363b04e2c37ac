#!/bin/sh
# ZanvoCHM build driver for Debian 12.
#   ./build.sh run    install what is missing, build, start the window
#   ./build.sh test   install what is missing, build with ASan/UBSan, run every test
set -eu
cd "$(dirname "$0")"

PACKAGES="build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-translations-l10n libicu-dev libmspack-dev
  libgtest-dev libgmock-dev libbenchmark-dev fonts-wqy-microhei
  libchm-bin p7zip-full fp-utils xvfb xauth xdotool imagemagick"

install_missing() {
  missing=""
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
      || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
  run)
    install_missing
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DZANVO_BUILD_TESTS=OFF -DZANVO_BUILD_BENCHMARKS=OFF
    cmake --build build/release
    exec build/release/bin/zanvochm
    ;;
  test)
    install_missing
    cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZANVO_SANITIZE=ON -DZANVO_BUILD_BENCHMARKS=OFF
    cmake --build build/asan
    cd build/asan
    exec ctest --output-on-failure -j "$jobs" --timeout 1200
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
