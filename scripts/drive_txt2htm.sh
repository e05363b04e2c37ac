#!/bin/sh
# Drives the "文本转网页" page of the real window under Xvfb: Template A over a
# small folder tree, then Template B over two chapters (with 自动换行), and
# photographs each step.  Checks the files each template leaves behind.
#   scripts/drive_txt2htm.sh BUILD_DIR [OUT_DIR]
# Needs xvfb, xdotool and ImageMagick (installed by build.sh).
set -eu
build=${1:-build/release}
out=${2:-/tmp/zanvochm-txt2htm}
mkdir -p "$out"
work=$(mktemp -d)
display=:${ZANVO_DISPLAY:-93}

# The inputs: code page 936 texts with CR LF lines.
mkdir -p "$work/a/sub" "$work/novel"
printf 'a\r\nb  ' > "$work/a/one.txt"
printf 'deep\r\n' > "$work/a/sub/two.txt"
printf '\265\332\322\273\325\302\r\n\264\272\314\354\300\264\301\313\r\n' > "$work/novel/1.txt"
printf '\265\332\266\376\325\302\r\n\317\304\314\354\r\n' > "$work/novel/2.txt"

. "$(dirname "$0")/window_session.sh"
start_window "$build"

show_page 3

# Template A (分组框1 at 16,54): folder box 46,18; 批量转换 31,81.
click_in_group 16 54 100 25
type_into "$work/a"
click_in_group 16 54 59 91
sleep 1
shot a_converted
xdotool key Return
sleep 0.5

# Template B (分组框2 at 16,173): 按钮2 at 280,13 opens the chooser, whose
# path line has the focus; 自动换行 at 24,48; 转网页 at 280,44.
click_in_group 16 173 312 25
sleep 1.5
type_into "$work/novel"
xdotool key Return
sleep 1
shot b_listed
click_in_group 16 173 30 56
click_in_group 16 173 312 56
sleep 1
shot b_made
xdotool key Return
sleep 0.5

fail=0
check() { if [ -e "$work/$1" ]; then echo "ok: $1"; else echo "MISSING: $1"; fail=1; fi; }
gone() { if [ -e "$work/$1" ]; then echo "STILL THERE: $1"; fail=1; else echo "ok: $1 moved"; fi; }
check a/one.htm; check a/leftbg.gif; check a/sub/two.htm; check a/sub/leftbg.gif
gone a/one.txt
check novel/000.htm; check novel/001.htm; check novel/index.htm
check novel/N02.GIF; check novel/PAPER10.JPG; check novel/icon.gif
check bak/1.txt; check bak/2.txt
gone novel/1.txt
if [ -e "$work/novel/000.htm" ]; then
  cp "$work/novel/"*.htm "$work/novel/"*.GIF "$work/novel/"*.JPG "$work/novel/"*.gif "$out/"
fi
echo "screenshots and pages in $out"
exit $fail
