// zanvo_utf8_gb2312 FOLDER [SUFFIX]: the "utf8-gb2312" tool as a command,
// for timing against other converters.  FOLDER is a native path; the copies
// go into FOLDER/处理后.
#include <cstdio>
#include <string>

#include "core/files.h"
#include "tools/utf8_gb2312.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s FOLDER [SUFFIX]\n", argv[0]);
    return 2;
  }
  const zanvo::Text folder = zanvo::pathFromNative(argv[1]);
  const zanvo::Text suffix = argc == 3 ? zanvo::Text(argv[2]) : zanvo::Text(".htm");
  const zanvo::BatchReport report = zanvo::convertFolderToGb2312(folder, suffix);
  std::printf("%lld converted, %zu not\n", static_cast<long long>(report.done),
              report.problems.size());
  return report.problems.empty() ? 0 : 1;
}
