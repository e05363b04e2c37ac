#!/bin/sh
# Starts the real window under Xvfb and photographs each of its four pages.
#   scripts/screenshot_window.sh BUILD_DIR OUT_DIR
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-shots}
mkdir -p "$out"
display=:${ZANVO_DISPLAY:-87}
. "$(dirname "$0")/window_session.sh"
start_window "$build"
for n in 1 2 3 4; do
  show_page $n
  shot page$n
done
echo "screenshots in $out"
