#!/bin/sh
# Compiles a small Chinese book the way the window's "准备生成" lays it out
# and opens it in xchm under a private X server, then saves a screenshot of
# the whole screen so the table of contents and the page can be checked by
# eye (Chinese must be readable, not boxes).
#
#   bench/xchm_screenshot.sh BUILD_DIR [OUTPUT.png]
#
# Needs xvfb, xchm, imagemagick (import) and a CJK font (fonts-wqy-microhei).
set -eu
build=${1:?usage: $0 BUILD_DIR [OUTPUT.png]}
shot=${2:-$PWD/xchm_shot.png}
hhc="$build/bin/zanvochm-hhc"
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

book="$work/我的书"
mkdir -p "$book/第一章"
# Pages and texts in code page 936, as the window writes them.
to936() { iconv -f UTF-8 -t GB18030; }
printf '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312"><title>首页</title></head><body><h1>欢迎阅读</h1><p>这是用 zanvochm-hhc 编译的电子书。</p></body></html>' | to936 > "$book/index.htm"
printf '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312"><title>开始</title></head><body><h1>第一章 开始</h1><p>中文内容显示正常。</p></body></html>' | to936 > "$book/第一章/开始.htm"
crlf() { sed 's/$/\r/'; }
{
  printf '<HTML><HEAD><META name="GENERATOR" content="Vexlore 1.0.1">\n<!-- Sitemap 1.0 --></HEAD><BODY>\n'
  printf '<OBJECT type="text/site properties">\n<PARAM name="Window Styles" value="0x800627">\n'
  printf '<PARAM name="ImageType" value="Folder">\n</OBJECT>\n<UL>\n'
  printf '<LI><OBJECT type="text/sitemap">\n<PARAM name="Name" value="第一章">\n</OBJECT>\n<UL>\n'
  printf '<LI><OBJECT type="text/sitemap">\n<PARAM name="Name" value="开始">\n'
  printf '<PARAM name="Local" value="第一章\\开始.htm">\n</OBJECT>\n\n</UL>\n'
  printf '<LI><OBJECT type="text/sitemap">\n<PARAM name="Name" value="index">\n'
  printf '<PARAM name="Local" value="index.htm">\n</OBJECT>\n\n</UL></BODY></HTML>'
} | crlf | to936 > "$book/我的书.hhc"
{
  printf '[OPTIONS]\nDisplay compile progress=no\nDefault Window=win\nCompiled file=我的书.chm\n'
  printf 'Default topic=index.htm\n\n[WINDOWS]\n'
  printf 'win="我的书","我的书.hhc",,"index.htm","index.htm",,,,,0x040120,,0x304E,[0,0,1010,738],0x0,0x0,,,,,\n'
  printf '\n[FILES]\n\n第一章\\开始.htm\nindex.htm\n'
} | crlf | to936 > "$book/我的书.hhp"

"$hhc" "$book/我的书.hhp"

display=:77
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 2
# xchm asks the MIME manager for every page; without it pages load directly.
DISPLAY=$display wx_filesys_no_mimetypesmanager=1 xchm "$book/我的书.chm" >/dev/null 2>&1 &
xchm_pid=$!
sleep 6
# A larger window, so the contents pane and the page both show.  The pane
# must open by itself: xchm shows it only when it finds the contents tree.
if command -v xdotool >/dev/null 2>&1; then
  win=$(DISPLAY=$display xdotool search --onlyvisible --class xchm | head -n 1 || true)
  if [ -n "$win" ]; then
    DISPLAY=$display xdotool windowsize "$win" 1000 700 windowmove "$win" 0 0 || true
    sleep 2
  fi
fi
DISPLAY=$display import -window root "$shot"
kill "$xchm_pid" 2>/dev/null || true
echo "screenshot: $shot"
