#!/bin/sh
# Starts the real window under Xvfb and photographs each of its four pages.
#   scripts/screenshot_window.sh BUILD_DIR OUT_DIR
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-shots}
mkdir -p "$out"
display=:${ZANVO_DISPLAY:-87}
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $win $xvfb 2>/dev/null || true' EXIT
sleep 1
export DISPLAY=$display
"$build/bin/zanvochm" &
win=$!
# The main window is the one of 722 x 497 (Qt also makes small helper
# windows with the same name).
wid=""
for i in $(seq 1 50); do
  for w in $(xdotool search --name 'ZanvoCHM' 2>/dev/null); do
    if xdotool getwindowgeometry "$w" | grep -q 'Geometry: 722x497'; then
      wid=$w
    fi
  done
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || { echo "window did not appear" >&2; exit 1; }
sleep 1
x0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[1]}')
y0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[2]}')
n=0
for tabx in 40 120 205 290; do
  n=$((n + 1))
  xdotool mousemove $((x0 + tabx)) $((y0 + 14)) click 1
  sleep 0.6
  import -window root "$out/page$n.png"
done
echo "screenshots in $out"
