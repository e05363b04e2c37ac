#include "chmfile/hha_engine.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "chmfile/chm_compiler.h"

#ifndef ZANVO_VERSION
#define ZANVO_VERSION "0"
#endif

extern "C" __attribute__((visibility("default"))) int zanvochm_hha_compile(
    const char* projectPath, int flags, zanvochm_hha_log_fn log, void* ctx) {
  if (projectPath == nullptr || *projectPath == '\0' || flags != 0) return 2;
  auto sink = [log, ctx](zanvo::chm::CompileMessage kind, const std::string& text) {
    if (!log) return;
    const int k = kind == zanvo::chm::CompileMessage::kProgress  ? ZANVOCHM_HHA_PROGRESS
                  : kind == zanvo::chm::CompileMessage::kWarning ? ZANVOCHM_HHA_WARNING
                                                                 : ZANVOCHM_HHA_ERROR;
    log(k, text.c_str(), ctx);
  };
  // No exception may cross the C boundary; running out of memory on a huge
  // book is reported like any other failure.
  zanvo::chm::CompileOptions options;
  // A knob for comparisons and troubleshooting: the LZX level (0 stores).
  if (const char* level = std::getenv("ZANVOCHM_LZX_LEVEL"); level && *level >= '0' && *level <= '3')
    options.lzxLevel = *level - '0';
  try {
    return zanvo::chm::compileProject(projectPath, options, sink) ? 0 : 1;
  } catch (const std::exception& e) {
    sink(zanvo::chm::CompileMessage::kError, std::string(projectPath) + ":0: error: " + e.what());
    return 1;
  }
}

extern "C" __attribute__((visibility("default"))) const char* zanvochm_hha_version(void) {
  return ZANVO_VERSION;
}
