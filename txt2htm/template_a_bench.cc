// Runs one Template A conversion over a folder tree given by its native path
// and prints what it did; bench/txt2htm_bench.sh times it against a plain
// recursive copy of the same tree.
#include <cstdio>

#include "core/files.h"
#include "txt2htm/template_a.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const zanvo::BatchReport r =
      zanvo::convertFolder(zanvo::pathFromNative(argv[1]), ".txt", ".htm");
  if (r.refused) {
    std::fprintf(stderr, "refused\n");
    return 1;
  }
  std::printf("converted %lld, left %zu\n", static_cast<long long>(r.done),
              r.problems.size());
  return r.problems.empty() ? 0 : 1;
}
