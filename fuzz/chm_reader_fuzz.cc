// Fuzzes the reading path of zanvochm-hh: headers, the directory walk, the
// content of every entry (section 0 directly, section 1 through libmspack),
// the name checks and the project rebuilt from #SYSTEM and #WINDOWS.
// Writing to disk is left out; the unit tests drive that part.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chmfile/chm_extract.h"
#include "chmfile/chm_extract_project.h"
#include "chmfile/chm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zanvo::ChmStatus st;
  auto reader = zanvo::ChmReader::open(
      std::string_view(reinterpret_cast<const char*>(data), size), &st);
  if (!reader) return 0;
  // Bounds on one input's work, so that a slow input is not a hang.
  constexpr uint64_t kMaxBytes = 32u << 20;
  constexpr size_t kMaxEntries = 4096;
  uint64_t total = 0;
  size_t n = 0;
  std::vector<std::string> names;
  for (const zanvo::ChmEntry& e : reader->entries()) {
    if (++n > kMaxEntries) break;
    std::string why;
    if (zanvo::safeEntryParts(e.name, &why)) names.push_back(e.name);
    if (e.length > kMaxBytes - total) continue;
    uint64_t got = 0;
    zanvo::ChmStatus r = reader->read(e, [&](std::string_view piece) {
      got += piece.size();
      return true;
    });
    if (r.ok && got != e.length) __builtin_trap();  // the contract: exact length
    total += got;
  }
  std::string hhpName, text;
  zanvo::rebuildProject(*reader, names, "fuzz.chm", &hhpName, &text);
  return 0;
}
