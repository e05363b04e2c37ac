#!/bin/sh
# Times the "utf8-gb2312" tool against iconv over the same folder of
# generated UTF-8 Chinese pages, and prints the ratio (ours / iconv).
#   bench/utf8_gb2312_bench.sh [BUILD_DIR] [MEGABYTES] [RUNS]
# BUILD_DIR holds bin/zanvo_utf8_gb2312 (build it with benchmarks on, in a
# Release or RelWithDebInfo build without sanitizers).  Both converters
# write one copy per page; the best of RUNS runs counts for each, and the
# two sets of copies are compared byte for byte.
set -eu
build=${1:-build/release}
mb=${2:-100}
runs=${3:-3}
ours="$build/bin/zanvo_utf8_gb2312"
[ -x "$ours" ] || { echo "missing $ours (ninja -C $build zanvo_utf8_gb2312)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/utf8_gb2312_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
pages="$work/pages"
mkdir -p "$pages" "$work/iconv"

# 1 MB pages: paragraphs of common characters (CJK block U+4E00-U+9FA5, all
# in GBK) with Chinese punctuation, inside ordinary markup.
python3 - "$pages" "$mb" <<'PY'
import random, sys
folder, mb = sys.argv[1], int(sys.argv[2])
rnd = random.Random(936)
hanzi = [chr(c) for c in range(0x4E00, 0x9FA6)]
punct = "，。、；：？！“”（）《》"
for i in range(mb):
    parts = ['<html><head><meta charset="utf-8"><title>第%d章</title></head><body>\n' % i]
    size = 0
    while size < 1_000_000:
        n = rnd.randint(40, 200)
        p = "".join(rnd.choice(hanzi) if rnd.random() > 0.08 else rnd.choice(punct)
                    for _ in range(n))
        line = '<p class="text">%s</p>\n' % p
        parts.append(line)
        size += len(line.encode())
    parts.append("</body></html>\n")
    with open("%s/page%03d.htm" % (folder, i), "w", encoding="utf-8") as f:
        f.write("".join(parts))
PY
bytes=$(cat "$pages"/*.htm | wc -c)

# Wall time is what the user waits for, but on a shared machine it mostly
# measures the other load; CPU time (user + system, iconv's processes
# included) is the steadier figure.  Both are printed; best of RUNS each.
python3 - "$ours" "$pages" "$work/iconv" "$runs" "$bytes" <<'PY'
import os, resource, shutil, subprocess, sys, time
ours, pages, iconv_out, runs, size = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
names = sorted(n for n in os.listdir(pages) if n.endswith(".htm"))
script = 'for f in "$@"; do iconv -f UTF-8 -t GBK "$f" > "%s/${f##*/}"; done' % iconv_out

def timed(cmd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    wall = time.perf_counter() - t0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu

best = {"ours": [1e9, 1e9], "iconv": [1e9, 1e9]}
for _ in range(runs):
    shutil.rmtree(os.path.join(pages, "处理后"), ignore_errors=True)
    for key, cmd in (("ours", [ours, pages, ".htm"]),
                     ("iconv", ["sh", "-c", script, "sh"] + [os.path.join(pages, n) for n in names])):
        wall, cpu = timed(cmd)
        best[key][0] = min(best[key][0], wall)
        best[key][1] = min(best[key][1], cpu)

same = all(open(os.path.join(pages, "处理后", n), "rb").read() ==
           open(os.path.join(iconv_out, n), "rb").read() for n in names)
print("input: %.1f MB of UTF-8 pages in %d files; copies %s" %
      (size / 1e6, len(names), "identical" if same else "DIFFERENT"))
for key in ("ours", "iconv"):
    wall, cpu = best[key]
    print("%-5s: wall %8.1f ms, cpu %8.1f ms  (%.0f MB/s of cpu)" %
          (key, wall * 1e3, cpu * 1e3, size / 1e6 / cpu))
print("ratio ours/iconv: cpu %.2f, wall %.2f (goal: at most 1.5)" %
      (best["ours"][1] / best["iconv"][1], best["ours"][0] / best["iconv"][0]))
PY
