// The window program.
#include "gui/startup_qt.h"

// The compiler program and its engine library, built into this program as
// data so that start-up can stage them; empty in a build without them.
extern "C" const char zanvo_resource_hhc_begin[] __attribute__((weak));
extern "C" const char zanvo_resource_hhc_end[] __attribute__((weak));
extern "C" const char zanvo_resource_hha_begin[] __attribute__((weak));
extern "C" const char zanvo_resource_hha_end[] __attribute__((weak));

namespace {
std::string_view resource(const char* begin, const char* end) {
  if (begin == nullptr || end == nullptr || end <= begin) return {};
  return std::string_view(begin, static_cast<size_t>(end - begin));
}
}  // namespace

int main(int argc, char** argv) {
  zanvo::CompilerResources resources;
  resources.hhaDll = resource(zanvo_resource_hha_begin, zanvo_resource_hha_end);
  resources.hhcExe = resource(zanvo_resource_hhc_begin, zanvo_resource_hhc_end);
  return zanvo::startUp(argc, argv, resources);
}
