// zanvochm-hh: unpacks a CHM book into a folder, the way "hh.exe -decompile"
// does, for the window and for anyone with a book and a shell.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "chmfile/chm_extract.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void printUsage(std::FILE* to) {
  std::fputs(
      "Usage: zanvochm-hh -decompile OUTDIR FILE.chm\n"
      "Writes every file of the CHM book FILE.chm into the folder OUTDIR,\n"
      "creating folders as needed.  When the book holds no project file, a\n"
      ".hhp rebuilt from the book is added so that the folder compiles again.\n"
      "Paths may be given in Windows (\\) or POSIX (/) form, quoted or not.\n"
      "\n"
      "Options:\n"
      "  -v, --verbose  also report the book's tolerated header faults\n"
      "  -h, --help     show this help\n"
      "  --version      show the version\n"
      "\n"
      "Exit status: 0 when every file was written, 1 when any file could not\n"
      "be read or was refused (its name would leave OUTDIR), 2 on usage "
      "errors.\n",
      to);
}

// The window's process layer hands paths over with "/" already; a user on a
// shell may still type "\" or keep the quotes of a Windows command line.
// A backslash byte in a UTF-8 argument is always the separator itself.
std::string nativeArgument(std::string a) {
  if (a.size() >= 2 && ((a.front() == '"' && a.back() == '"') ||
                        (a.front() == '\'' && a.back() == '\'')))
    a = a.substr(1, a.size() - 2);
  for (char& c : a)
    if (c == '\\') c = '/';
  return a;
}

bool sameNoCase(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional;
  bool decompile = false;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 ||
        std::strcmp(a, "/?") == 0) {
      printUsage(stdout);
      return kExitOk;
    }
    if (std::strcmp(a, "--version") == 0) {
      std::printf("zanvochm-hh %s\n", ZANVO_VERSION);
      return kExitOk;
    }
    if (sameNoCase(a, "-decompile") || sameNoCase(a, "--decompile")) {
      decompile = true;
    } else if (std::strcmp(a, "-v") == 0 || std::strcmp(a, "--verbose") == 0) {
      verbose = true;
    } else if (a[0] == '-' && a[1] != '\0' && positional.empty()) {
      std::fprintf(stderr, "zanvochm-hh: unknown option %s\n", a);
      printUsage(stderr);
      return kExitUsage;
    } else {
      positional.emplace_back(a);
    }
  }
  if (!decompile) {
    std::fputs("zanvochm-hh: only -decompile is supported\n", stderr);
    printUsage(stderr);
    return kExitUsage;
  }
  if (positional.size() != 2) {
    std::fprintf(stderr,
                 "zanvochm-hh: -decompile takes an output folder and a CHM file "
                 "(%zu arguments given; quote paths that contain blanks)\n",
                 positional.size());
    printUsage(stderr);
    return kExitUsage;
  }
  const std::string outDir = nativeArgument(positional[0]);
  const std::string chmPath = nativeArgument(positional[1]);

  const zanvo::ExtractReport report = zanvo::extractBookFile(chmPath, outDir);
  for (const std::string& p : report.problems)
    std::fprintf(stderr, "zanvochm-hh: %s: %s\n", chmPath.c_str(), p.c_str());
  if (verbose)
    for (const std::string& w : report.warnings)
      std::fprintf(stderr, "zanvochm-hh: %s: warning: %s\n", chmPath.c_str(), w.c_str());
  if (report.refused + report.failed > static_cast<int>(report.problems.size()))
    std::fprintf(stderr, "zanvochm-hh: %s: %d more problems not shown\n",
                 chmPath.c_str(),
                 report.refused + report.failed - static_cast<int>(report.problems.size()));
  if (verbose || !report.ok())
    std::fprintf(stderr, "zanvochm-hh: %s: %d files written, %d refused, %d failed\n",
                 chmPath.c_str(), report.filesWritten, report.refused, report.failed);
  return report.ok() ? kExitOk : kExitFailed;
}
