#!/bin/sh
# Compiles a real documentation set with zanvochm-hhc and with chmcmd in one
# run and prints the time and size ratios, and the book's size against
# gzip -9 of the same files.
#
#   bench/compile_bench.sh BUILD_DIR [DOC_PACKAGE [HTML_FOLDER]]
#
# BUILD_DIR should be a Release build.  The documentation is Debian's
# python3.11-doc (installed when missing), its HTML under
# /usr/share/doc/python3.11/html.  Goals: time ours/chmcmd <= 0.10, size
# ours/chmcmd <= 0.95.
set -eu
build=${1:?usage: $0 BUILD_DIR [DOC_PACKAGE [HTML_FOLDER]]}
package=${2:-python3.11-doc}
source=${3:-/usr/share/doc/python3.11/html}
here=$(cd "$(dirname "$0")" && pwd)
hhc="$(cd "$build" && pwd)/bin/zanvochm-hhc"

if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -q "$package" >/dev/null
fi
command -v chmcmd >/dev/null || { echo "chmcmd (fp-utils) is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
# A private copy: both compilers read the same bytes, symlinks resolved.
cp -rL "$source" "$work/doc"
python3 "$here/compile_bench_project.py" "$work/doc" book

now() { date +%s.%N; }
cd "$work/doc"
t0=$(now)
"$hhc" book-ours.hhp
t1=$(now)
chmcmd --no-html-scan book-chmcmd.hhp >"$work/chmcmd.log" 2>&1 || {
  echo "chmcmd failed:" >&2; tail -5 "$work/chmcmd.log" >&2; exit 1; }
t2=$(now)

ours=$(stat -c %s book-ours.chm)
theirs=$(stat -c %s book-chmcmd.chm)
# gzip -9 of every listed file on its own, summed (what a folder of .gz
# files would take), and of one tar of them all (one stream, like LZX).
sed -n '/^\[FILES\]/,$p' book-ours.hhp | tail -n +2 | tr -d '\r' | grep -v '^$' >"$work/files"
gz_each=0
while IFS= read -r f; do
  gz_each=$((gz_each + $(gzip -9 -c "$f" | wc -c)))
done <"$work/files"
gz_tar=$(tar -cf - -T "$work/files" | gzip -9 -c | wc -c)
raw=$(xargs -d '\n' cat <"$work/files" | wc -c)

awk -v t0="$t0" -v t1="$t1" -v t2="$t2" -v ours="$ours" -v theirs="$theirs" \
    -v each="$gz_each" -v tar="$gz_tar" -v raw="$raw" -v n="$(wc -l <"$work/files")" 'BEGIN {
  a = t1 - t0; b = t2 - t1
  printf "input: %d files, %d bytes\n", n, raw
  printf "zanvochm-hhc: %.2f s, %d bytes\n", a, ours
  printf "chmcmd --no-html-scan: %.2f s, %d bytes\n", b, theirs
  printf "time ratio ours/chmcmd: %.3f (goal <= 0.10)\n", a / b
  printf "size ratio ours/chmcmd: %.3f (goal <= 0.95)\n", ours / theirs
  printf "size ours / sum of gzip -9 of each file (%d bytes): %.3f\n", each, ours / each
  printf "size ours / gzip -9 of one tar of all files (%d bytes): %.3f\n", tar, ours / tar
}'
