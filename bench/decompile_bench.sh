#!/bin/sh
# Times zanvochm-hh -decompile against 7-Zip (7z x) and chmlib
# (extract_chmLib) unpacking the same large book, in one hyperfine run, and
# prints each tool's time relative to 7z x.  Goal: ours <= 1.0.
#
#   bench/decompile_bench.sh [HTML_FOLDER] [BUILD_DIR]
#
# HTML_FOLDER: a real HTML documentation package to compile into the book
#   with chmcmd (default: the Rust book from rustup when present, else a
#   generated 3000-page folder).
# BUILD_DIR: a build without sanitizers (default: build/release, as made by
#   ./build.sh run).
set -eu
cd "$(dirname "$0")/.."
SRC=${1:-}
BUILD=${2:-build/release}
HH=$BUILD/bin/zanvochm-hh
for tool in chmcmd 7z extract_chmLib hyperfine python3; do
  command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done
[ -x "$HH" ] || { echo "build $HH first (e.g. ./build.sh run, or ninja -C $BUILD zanvochm-hh)" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
if [ -z "$SRC" ]; then
  for c in "$HOME"/.rustup/toolchains/*/share/doc/rust/html/book; do
    [ -d "$c" ] && SRC=$c && break
  done
fi
mkdir -p "$WORK/book"
if [ -n "$SRC" ]; then
  cp -r "$SRC"/. "$WORK/book/"
else
  python3 - "$WORK/book" <<'PY'
import os, sys, random
root = sys.argv[1]
random.seed(1)
words = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do".split()
for d in range(30):
    os.makedirs(os.path.join(root, "part%02d" % d), exist_ok=True)
    for i in range(100):
        text = " ".join(random.choice(words) for _ in range(1500))
        with open(os.path.join(root, "part%02d" % d, "page%03d.htm" % i), "w") as f:
            f.write("<html><body><h1>%d.%d</h1><p>%s</p></body></html>\n" % (d, i, text))
PY
fi
# A project listing every file of the folder.
(cd "$WORK/book" && {
  printf '[OPTIONS]\r\nCompiled file=bench.chm\r\nTitle=bench\r\n\r\n[FILES]\r\n'
  find . -type f ! -name '*.hhp' | sed 's|^\./||; s|/|\\|g; s|$|\r|'
} > bench.hhp && chmcmd bench.hhp >/dev/null)
BOOK=$WORK/book/bench.chm
echo "book: $(du -h "$BOOK" | cut -f1), $(find "$WORK/book" -type f | wc -l) source files, from ${SRC:-generated pages}"

O=$WORK/out
hyperfine --warmup 2 --runs 10 --export-json "$WORK/times.json" \
  --prepare "rm -rf $O" \
  -n "zanvochm-hh" "$HH -decompile $O $BOOK" \
  -n "7z x" "7z x -y -o$O $BOOK" \
  -n "extract_chmLib" "extract_chmLib $BOOK $O"
# The race only counts when the files agree: every file 7-Zip writes (less
# its internal #/$ files) must come out of ours byte for byte.
rm -rf "$O" "$WORK/ref"
"$HH" -decompile "$O" "$BOOK"
7z x -y -o"$WORK/ref" "$BOOK" >/dev/null
rm -rf "$WORK/ref/#"* "$WORK/ref/\$"*
if diff -r "$WORK/ref" "$O" | grep -v '^Only in '"$O"': bench.hhp$'; then
  echo "outputs differ" >&2
  exit 1
fi
echo "outputs agree: $(find "$O" -type f | wc -l) files"
python3 - "$WORK/times.json" <<'PY'
import json, sys
r = {x["command"]: x["mean"] for x in json.load(open(sys.argv[1]))["results"]}
base = r["7z x"]
for name, t in r.items():
    print("%-15s %8.3f s   ratio to 7z x: %.2f" % (name, t, t / base))
print("goal: zanvochm-hh <= 1.0 of 7z x: %s" % ("met" if r["zanvochm-hh"] <= base else "NOT met"))
PY
