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

. "$(dirname "$0")/window_session.sh"
start_window "$build"

show_page 2
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
