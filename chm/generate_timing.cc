// Times the preparation of a book over one folder: import, filter, contents
// text and project text, as "导入网页" and "准备生成" do them (without
// writing the two files).  Used by bench/generate_bench.sh.
//
//   generate_timing FOLDER [RUNS]
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
  double best = 0;
  size_t items = 0, bytes = 0;
  for (int r = 0; r < runs; ++r) {
    const auto start = std::chrono::steady_clock::now();
    WindowModel w;
    importWebFolder(w, folder);
    filterTree(w.tree());
    w.setText(Ctl::编辑框10, buildContents(w.tree()));
    buildProject(w);
    const double ms = std::chrono::duration<double, std::milli>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    if (r == 0 || ms < best) best = ms;
    items = static_cast<size_t>(w.tree().count());
    bytes = w.text(Ctl::编辑框10).size() + w.text(Ctl::编辑框4).size();
  }
  std::printf("%zu items, %zu bytes of text, best of %d: %.1f ms\n", items,
              bytes, runs, best);
  return items > 0 ? 0 : 1;
}
