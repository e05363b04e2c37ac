// Times the preparation of a book over one folder: import, filter, contents
// text and project text, as "导入网页" and "准备生成" do them (without
// writing the two files).  Used by bench/generate_bench.sh.
//
//   generate_timing FOLDER [RUNS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chm/contents.h"
#include "chm/project.h"
#include "chm/web_import.h"
#include "core/files.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FOLDER [RUNS]\n", argv[0]);
    return 2;
  }
  using namespace zanvo;
  const Text folder = pathFromNative(argv[1]);
  const int runs = argc > 2 ? std::atoi(argv[2]) : 1;
  using Clock = std::chrono::steady_clock;
  auto since = [](Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
  };
  double best = 0;
  double phases[4] = {0, 0, 0, 0};
  long faults[4] = {0, 0, 0, 0};
  auto minorFaults = [] {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
  };
  size_t items = 0, bytes = 0;
  for (int r = 0; r < runs; ++r) {
    const auto start = Clock::now();
    double split[4];
    long split_faults[5];
    split_faults[0] = minorFaults();
    auto t = Clock::now();
    WindowModel w;
    importWebFolder(w, folder);
    split[0] = since(t);
    split_faults[1] = minorFaults();
    t = Clock::now();
    filterTree(w.tree());
    split[1] = since(t);
    split_faults[2] = minorFaults();
    t = Clock::now();
    w.setText(Ctl::编辑框10, buildContents(w.tree()));
    split[2] = since(t);
    split_faults[3] = minorFaults();
    t = Clock::now();
    buildProject(w);
    split[3] = since(t);
    split_faults[4] = minorFaults();
    const double ms = since(start);
    if (r == 0 || ms < best) {
      best = ms;
      for (int k = 0; k < 4; ++k) {
        phases[k] = split[k];
        faults[k] = split_faults[k + 1] - split_faults[k];
      }
    }
    items = static_cast<size_t>(w.tree().count());
    bytes = w.text(Ctl::编辑框10).size() + w.text(Ctl::编辑框4).size();
  }
  std::printf(
      "%zu items, %zu bytes of text, best of %d: %.1f ms (import %.1f, "
      "filter %.1f, contents %.1f, project %.1f); page faults %ld, %ld, "
      "%ld, %ld\n",
      items, bytes, runs, best, phases[0], phases[1], phases[2], phases[3],
      faults[0], faults[1], faults[2], faults[3]);
  return items > 0 ? 0 : 1;
}
