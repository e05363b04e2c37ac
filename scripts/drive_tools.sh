#!/bin/sh
# Drives the "辅助工具" page of the real window under Xvfb: UTF-8 pages to
# code page 936 copies, batch renaming (with a collision) and page
# simplification (with a page whose markers are missing), photographs each
# step, and checks the files each tool leaves behind.
#   scripts/drive_tools.sh BUILD_DIR [OUT_DIR]
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-tools}
mkdir -p "$out"
work=$(mktemp -d)
display=:${ZANVO_DISPLAY:-94}

mkdir -p "$work/u" "$work/r" "$work/s"
# A UTF-8 page with a byte-order mark and Chinese text.
printf '\357\273\277<p>\344\270\255\346\226\207</p>\r\n' > "$work/u/a.htm"
cp "$work/u/a.htm" "$work/original.htm"
printf 'one' > "$work/r/a.txt"
printf 'two' > "$work/r/Read.TXT"
printf 'old' > "$work/r/b.txt"
printf 'keep' > "$work/r/b.htm"
printf 'head<!--start-->BODY<!--end-->tail' > "$work/s/p.htm"
printf 'no markers here' > "$work/s/q.htm"

. "$(dirname "$0")/window_session.sh"
start_window "$build"

show_page 4

# utf8-gb2312 (分组框分割2 at 24,40): folder box 45,25; 编码转换 162,56.
click_in_group 24 40 90 35
type_into "$work/u"
click_in_group 24 40 190 70
sleep 1
shot utf8_done
xdotool key Return
sleep 0.5

# 批量改文件名 (分组框6 at 24,152): folder box 48,18; 量 改 160,57.
click_in_group 24 152 90 25
type_into "$work/r"
click_in_group 24 152 185 70
sleep 1
shot rename_done
xdotool key Return
sleep 0.5

# 精简网页 (分组框7 at 24,257): folder 47,20; markers 47,64 and 47,83;
# 批量处理 159,65.
click_in_group 24 257 90 27
type_into "$work/s"
click_in_group 24 257 90 71
type_into "<!--start-->"
click_in_group 24 257 90 90
type_into "<!--end-->"
click_in_group 24 257 190 79
sleep 1
shot simplify_done
xdotool key Return
sleep 0.5
shot after

fail=0
check() { if [ -e "$work/$1" ]; then echo "ok: $1"; else echo "MISSING: $1"; fail=1; fi; }
gone() { if [ -e "$work/$1" ]; then echo "STILL THERE: $1"; fail=1; else echo "ok: $1 gone"; fi; }
same() { if [ "$(cat "$work/$1")" = "$2" ]; then echo "ok: $1 holds $2"; else echo "WRONG: $1"; fail=1; fi; }
out_u="$work/u/处理后/a.htm"
if [ -e "$out_u" ] && [ "$(od -An -tx1 "$out_u" | tr -d ' \n')" = "3c703ed6d0cec43c2f703e0d0a" ]; then
  echo "ok: u/处理后/a.htm is code page 936 without the byte-order mark"
else
  echo "WRONG: u/处理后/a.htm"; fail=1
fi
cmp -s "$work/u/a.htm" "$work/original.htm" && echo "ok: u/a.htm untouched" || { echo "WRONG: u/a.htm changed"; fail=1; }
check r/a.htm; check r/Read.htm; gone r/a.txt
same r/b.txt old; same r/b.htm keep
check "s/处理后/p.htm"; check "s/处理后/leftbg.gif"
grep -q BODY "$work/s/处理后/p.htm" && echo "ok: the copy holds the cut text" || { echo "WRONG: copy"; fail=1; }
gone s/p.htm; same s/q.htm "no markers here"
echo "screenshots in $out"
exit $fail
