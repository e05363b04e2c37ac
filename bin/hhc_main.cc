// zanvochm-hhc: compiles an HTML Help project into a CHM book.
//
//   zanvochm-hhc PROJECT.hhp
//
// The CHM engine is a separate library that lives beside this program:
// "hha.dll" when the window has staged the two files into its system
// folder, "libzanvochm-hha.so" in a build or install tree.  It is loaded by
// absolute path from the folder of the running program, never through the
// library search path.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "chmfile/hha_engine.h"

namespace {

constexpr const char* kEngineNames[] = {"hha.dll", "libzanvochm-hha.so"};

void printUsage(FILE* out) {
  std::fputs(
      "Usage: zanvochm-hhc PROJECT.hhp\n"
      "Compiles an HTML Help project into the CHM book that its\n"
      "\"Compiled file=\" option names (PROJECT.chm when it names none).\n"
      "\n"
      "  --help     show this text\n"
      "  --version  show the version\n"
      "\n"
      "Errors and warnings are printed as FILE:LINE: message.  The exit status\n"
      "is 0 when the book was written, 1 when the compile failed and 2 for a\n"
      "usage error or a missing engine library.\n",
      out);
}

std::string ownFolder() {
  std::string buf(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  buf.resize(static_cast<size_t>(n));
  const size_t slash = buf.rfind('/');
  return slash == std::string::npos ? "." : buf.substr(0, slash == 0 ? 1 : slash);
}

void logToConsole(int kind, const char* text, void*) {
  std::FILE* out = kind == ZANVOCHM_HHA_PROGRESS ? stdout : stderr;
  std::fputs(text, out);
  std::fputc('\n', out);
  std::fflush(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    printUsage(stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zanvochm-hhc %s\n", ZANVO_VERSION);
    return 0;
  }
  if (argc != 2 || argv[1][0] == '\0' || (argv[1][0] == '-' && argv[1][1] == '-')) {
    printUsage(stderr);
    return 2;
  }

  const std::string folder = ownFolder();
  void* engine = nullptr;
  std::string errors;
  for (const char* name : kEngineNames) {
    const std::string path = folder + "/" + name;
    if (::access(path.c_str(), F_OK) != 0) continue;
    engine = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (engine) break;
    errors += std::string("\n  ") + ::dlerror();
  }
  if (!engine) {
    std::fprintf(stderr, "zanvochm-hhc: cannot load the CHM engine (hha.dll or "
                 "libzanvochm-hha.so) from %s%s\n", folder.c_str(), errors.c_str());
    return 2;
  }
  using CompileFn = int (*)(const char*, int, zanvochm_hha_log_fn, void*);
  auto compile = reinterpret_cast<CompileFn>(::dlsym(engine, "zanvochm_hha_compile"));
  if (!compile) {
    std::fprintf(stderr, "zanvochm-hhc: the engine library has no zanvochm_hha_compile\n");
    return 2;
  }
  const int rc = compile(argv[1], 0, logToConsole, nullptr);
  // The engine stays loaded until exit: unloading it first would run its
  // destructors while the C++ runtime may still use them.
  return rc == 0 ? 0 : (rc == 2 ? 2 : 1);
}
