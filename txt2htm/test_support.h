// Helpers for the page's tests: a temporary folder on the real file system,
// files written and read by native path, and a user interface that records.
#ifndef ZANVO_TXT2HTM_TEST_SUPPORT_H_
#define ZANVO_TXT2HTM_TEST_SUPPORT_H_

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files.h"
#include "core/ui.h"
#include "core/recording_ui.h"

namespace zanvo::testing {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (fs::temp_directory_path() / "txt2htm_XXXXXX").string();
    m_path = mkdtemp(tmpl.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Native path of a name inside the folder ("a/b.txt").
  std::string native(const std::string& rel = "") const {
    return rel.empty() ? m_path : m_path + "/" + rel;
  }
  // The same in the program's form ("\" separators, code page 936).
  Text path(const std::string& rel = "") const { return pathFromNative(native(rel)); }

  void write(const std::string& rel, const std::string& bytes) const {
    fs::create_directories(fs::path(native(rel)).parent_path());
    std::ofstream(native(rel), std::ios::binary) << bytes;
  }
  void mkdir(const std::string& rel) const { fs::create_directories(native(rel)); }
  bool exists(const std::string& rel) const { return fs::exists(native(rel)); }
  std::string read(const std::string& rel) const {
    std::ifstream in(native(rel), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Every entry below the folder, as sorted relative paths ("sub/a.txt").
  std::vector<std::string> tree() const {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(m_path))
      names.push_back(fs::relative(e.path(), m_path).string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string m_path;
};

}  // namespace zanvo::testing

#endif  // ZANVO_TXT2HTM_TEST_SUPPORT_H_
