#!/bin/sh
# Template A over 10,000 text files (about 100 MB in nested folders) against
# a plain recursive copy of the same tree (cp -r), timed in one run with
# hyperfine; prints both times and the ratio (goal: at most 3).
#   bench/txt2htm_bench.sh [BUILD_DIR]   (default build/bench, made if missing)
# The trees go under $TMPDIR (default /tmp).  On a disk shared with other
# busy processes the wall times swing widely (write-back of other files);
# TMPDIR=/dev/shm measures the work itself without the disk.
set -eu
src_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src_dir/build/bench}
work=${TMPDIR:-/tmp}/txt2htm_bench.$$
trap 'rm -rf "$work"' EXIT

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$src_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DZANVO_BUILD_TESTS=OFF -DZANVO_BUILD_GUI=OFF >/dev/null
fi
ninja -C "$build" -j2 template_a_bench >/dev/null
prog="$build/bin/template_a_bench"

# The corpus: 10 x 10 folders of 100 files, each about 10 KB of code page
# 936 text in CR LF lines, some with trailing blanks.
mkdir -p "$work"
python3 - "$work/src" <<'PY'
import os, sys, random
root = sys.argv[1]
rnd = random.Random(936)
chars = "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿千周委素技备半办青省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存候毛亲快效斯院查江型眼王按格养易置派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该铁价严"
os.makedirs(root)
n = 0
for a in range(10):
    for b in range(10):
        d = os.path.join(root, "part%02d" % a, "vol%02d" % b)
        os.makedirs(d)
        for f in range(100):
            lines = []
            size = 0
            target = rnd.randint(8000, 12000)
            while size < target:
                line = "".join(rnd.choice(chars) for _ in range(rnd.randint(20, 60)))
                if rnd.random() < 0.1: line += "  "
                lines.append(line)
                size += 2 * len(line) + 2
            with open(os.path.join(d, "ch%03d.txt" % f), "wb") as o:
                o.write("\r\n".join(lines).encode("gbk"))
            n += 1
print("corpus: %d files, %d MB" % (n, sum(os.path.getsize(os.path.join(p, f)) for p, _, fs in os.walk(root) for f in fs) // 1000000))
PY

# Each timed run starts from a fresh copy of the corpus, made outside the
# timing; both commands read a tree that is in the page cache.  sync before
# each run, so that neither pays for writing back the other's files.
json="$work/times.json"
hyperfine --warmup 1 --runs 5 --export-json "$json" \
  --prepare "rm -rf '$work/copy'; sync" -n "cp -r" "cp -r '$work/src' '$work/copy'" \
  --prepare "rm -rf '$work/pages'; cp -r '$work/src' '$work/pages'; sync" \
  -n "Template A" "'$prog' '$work/pages'"
python3 - "$json" <<'PY'
import json, sys
res = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
def cpu(x): return x["user"] + x["system"]  # hyperfine gives means only
cp, ours = res["cp -r"], res["Template A"]
print("cp -r      median %.3f s wall, mean %.3f s cpu" % (cp["median"], cpu(cp)))
print("Template A median %.3f s wall, mean %.3f s cpu" % (ours["median"], cpu(ours)))
print("ratio Template A / cp -r = %.2f wall, %.2f cpu (goal: at most 3)"
      % (ours["median"] / cp["median"], cpu(ours) / cpu(cp)))
PY
