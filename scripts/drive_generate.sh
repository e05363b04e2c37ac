#!/bin/sh
# Drives the "生成CHM" page of the real window under Xvfb: imports a small
# web folder through the chooser, prepares the project, compiles it, and
# photographs each step.  Checks the files the page leaves behind.
#   scripts/drive_generate.sh BUILD_DIR [OUT_DIR]
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-generate}
mkdir -p "$out"
work=$(mktemp -d)
display=:${ZANVO_DISPLAY:-94}

# The web folder: ch1 with a.htm, b.txt and pic.gif; index.htm and
# style.css at the top.
mkdir -p "$work/book/ch1"
printf '<html><body>A</body></html>' > "$work/book/ch1/a.htm"
printf 'text' > "$work/book/ch1/b.txt"
printf 'GIF89a' > "$work/book/ch1/pic.gif"
printf '<html><body>Index</body></html>' > "$work/book/index.htm"
printf 'body{}' > "$work/book/style.css"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
win=""
trap 'kill $win $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display
# Start-up stages the compiler into a data folder of its own.
XDG_DATA_HOME="$work/data" "$build/bin/zanvochm" &
win=$!

wid=""
for i in $(seq 1 50); do
  for w in $(xdotool search --name 'ZanvoCHM' 2>/dev/null); do
    if xdotool getwindowgeometry "$w" | grep -q 'Geometry: 722x497'; then wid=$w; fi
  done
  [ -n "$wid" ] && break
  sleep 0.2
done
[ -n "$wid" ] || { echo "window did not appear" >&2; exit 1; }
sleep 1
x0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[1]}')
y0=$(xdotool getwindowgeometry "$wid" | awk '/Position/ {split($2,a,","); print a[2]}')

# Page controls are placed relative to the tab control (at 4,3 in the
# client area, tab bar included); click each in its middle.
click() {  # left top width height
  xdotool mousemove $((x0 + 4 + $1 + $3 / 2)) $((y0 + 3 + $2 + $4 / 2)) click 1
  sleep 0.5
}
shot() { import -window root "$out/$1.png"; }

# "导入网页" (113,46 108x32) opens the chooser with the focus in its path
# line: type the folder and accept.
click 113 46 108 32
sleep 1.5
xdotool key ctrl+a
xdotool type --delay 5 "$work/book"
xdotool key Return
sleep 1
shot 1_imported

click 259 46 108 32    # "准备生成"
sleep 1
shot 2_prepared
click 406 46 108 32    # "开始生成", then the message box
sleep 3
shot 3_compiled
xdotool key Return
sleep 0.5

fail=0
check() { if [ -e "$work/$1" ]; then echo "ok: $1"; else echo "MISSING: $1"; fail=1; fi; }
check book/book.hhc
check book/book.hhp
check book/book.chm
if [ -e "$work/book/book.hhc" ]; then cp "$work/book/book.hhc" "$work/book/book.hhp" "$out/"; fi
if [ -e "$work/book/book.chm" ] && command -v chmls >/dev/null; then
  chmls "$work/book/book.chm" | grep -E 'a\.htm|index\.htm' || fail=1
fi
echo "screenshots in $out"
exit $fail
