#!/bin/sh
# Drives the "反编译CHM" page of the real window under Xvfb: compiles a small
# book with our compiler, types the book and an output folder (one with a
# blank in its name) into the page, clicks "CHM解包", photographs the
# result and compares the unpacked files with their sources.
#   scripts/drive_decompile.sh BUILD_DIR [OUT_DIR]
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-decompile}
mkdir -p "$out"
work=$(mktemp -d)
display=:${ZANVO_DISPLAY:-95}

mkdir -p "$work/book/ch1" "$work/out dir"
printf '<html><body>index</body></html>' > "$work/book/index.htm"
printf '<html><body>chapter</body></html>' > "$work/book/ch1/a.htm"
head -c 100000 /dev/urandom > "$work/book/ch1/pic.gif"
printf '[OPTIONS]\r\nCompiled file=book.chm\r\nDefault topic=index.htm\r\nTitle=book\r\n\r\n[FILES]\r\nindex.htm\r\nch1\\a.htm\r\nch1\\pic.gif\r\n' > "$work/book/book.hhp"
"$build/bin/zanvochm-hhc" "$work/book/book.hhp"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
win=""
trap 'kill $win $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display
"$build/bin/zanvochm" &
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

# Controls are placed relative to the tab control (at 4,3 in the client
# area, tab bar included), and inside a group box relative to the group.
click_in_group() {  # group_left group_top x y
  xdotool mousemove $((x0 + 4 + $1 + $3)) $((y0 + 3 + $2 + $4)) click 1
  sleep 0.4
}
type_into() {  # text: replaces the focused box's text
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  sleep 0.2
}
shot() { import -window root "$out/$1.png"; }

click_in_group() {  # group_left group_top x y
  xdotool mousemove $((x0 + 4 + $1 + $3)) $((y0 + 3 + $2 + $4)) click 1
  sleep 0.4
}
type_into() {  # text: replaces the focused box's text
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  sleep 0.2
}
shot() { import -window root "$out/$1.png"; }

click_at() {  # x y, relative to the tab control
  xdotool mousemove $((x0 + 4 + $1)) $((y0 + 3 + $2)) click 1
  sleep 0.4
}
type_into() {  # text: replaces the focused box's text
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  sleep 0.2
}
shot() { import -window root "$out/$1.png"; }

xdotool mousemove $((x0 + 120)) $((y0 + 14)) click 1   # the second tab
sleep 0.6
click_at 300 85        # 编辑框_待编译CHM
type_into "$work/book/book.chm"
click_at 300 141       # 编辑框_编译后文件夹
type_into "$work/out dir"
click_at 220 225       # CHM解包
sleep 2
shot decompiled
xdotool key Return
sleep 0.5

fail=0
for f in index.htm ch1/a.htm ch1/pic.gif; do
  if cmp -s "$work/book/$f" "$work/out dir/$f"; then echo "ok: $f"; else echo "DIFFERS: $f"; fail=1; fi
done
echo "screenshot in $out"
exit $fail
