#!/bin/sh
# Times the preparation of a book ("导入网页" and "准备生成" without writing
# files: import, filter, contents text, project text) over a folder of
# 100,000 files in 1,000 subfolders, against a bare walk of the same folder
# with find, in one run, and prints the ratio.
#
#   bench/generate_bench.sh BUILD_DIR
# BUILD_DIR is a build with benchmarks on, best a Release one:
#   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release
#   ninja -C build/bench generate_timing
# Needs hyperfine and jq.  The folder is made once under $TMPDIR and kept
# for later runs (remove it with: rm -rf "$TMPDIR/zanvo-generate-bench").
set -eu
build=${1:-build/bench}
tool="$build/bin/generate_timing"
[ -x "$tool" ] || { echo "no $tool: build the target generate_timing" >&2; exit 2; }
root=${TMPDIR:-/tmp}/zanvo-generate-bench
book="$root/book"
if [ ! -f "$root/.done" ]; then
  echo "making $book: 1,000 folders of 100 files (90 pages, 10 images)"
  rm -rf "$root"
  mkdir -p "$book"
  i=0
  while [ $i -lt 1000 ]; do
    d=$(printf '%s/part%03d' "$book" $i)
    mkdir "$d"
    (cd "$d" && touch $(seq -f 'page%02g.htm' 0 89) $(seq -f 'pic%g.gif' 0 9))
    i=$((i + 1))
  done
  touch "$root/.done"
fi
echo "files: $(find "$book" -type f | wc -l)"
"$tool" "$book" 1
json=$(mktemp)
hyperfine -N --warmup 2 --runs 20 --export-json "$json" \
  "find $book" "$tool $book"
walk=$(jq '.results[0].median' "$json")
ours=$(jq '.results[1].median' "$json")
# CPU time (user + system) is steadier than wall time on a shared machine.
walkCpu=$(jq '.results[0].user + .results[0].system' "$json")
oursCpu=$(jq '.results[1].user + .results[1].system' "$json")
rm -f "$json"
echo "wall median: find $walk s, import+filter+contents+project $ours s"
echo "cpu mean:    find $walkCpu s, import+filter+contents+project $oursCpu s"
echo "ratio (ours / find): wall $(echo "$ours / $walk" | bc -l | cut -c1-5), cpu $(echo "$oursCpu / $walkCpu" | bc -l | cut -c1-5)"
