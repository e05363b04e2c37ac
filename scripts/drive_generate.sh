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

. "$(dirname "$0")/window_session.sh"
start_window "$build"

click() {  # left top width height: the control's middle
  click_at $(($1 + $3 / 2)) $(($2 + $4 / 2))
}

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
