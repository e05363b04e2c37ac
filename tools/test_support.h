// Temporary folders and a recording user interface for the tools' tests.
#ifndef ZANVO_TOOLS_TEST_SUPPORT_H_
#define ZANVO_TOOLS_TEST_SUPPORT_H_

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/ui.h"
#include "core/recording_ui.h"

namespace zanvo::testing {

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zanvo_tools_XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    m_path = made != nullptr ? made : pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Native path of an entry (UTF-8 names), and the folder in the program's
  // form.
  std::filesystem::path native(const std::string& relative = "") const {
    return relative.empty() ? m_path : m_path / std::filesystem::u8path(relative);
  }
  Text text() const { return pathFromNative(m_path.string()); }

  void write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::create_directories(native(relative).parent_path());
    std::ofstream(native(relative), std::ios::binary) << bytes;
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(native(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool exists(const std::string& relative) const {
    return std::filesystem::exists(native(relative));
  }
  // Names of the entries of one folder (UTF-8), sorted.
  std::vector<std::string> names(const std::string& relative = "") const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(native(relative)))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::filesystem::path m_path;
};

}  // namespace zanvo::testing

#endif  // ZANVO_TOOLS_TEST_SUPPORT_H_
