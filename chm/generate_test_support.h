// Helpers shared by the tests of the "生成CHM" page.
#ifndef ZANVO_CHM_GENERATE_TEST_SUPPORT_H_
#define ZANVO_CHM_GENERATE_TEST_SUPPORT_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/model/fake_browser.h"
#include "app/model/chooser.h"
#include "app/model/document_tree.h"
#include "core/files.h"
#include "core/ui.h"
#include "core/recording_ui.h"

namespace zanvo::testing {

// A fresh folder under /tmp, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = "/tmp/zanvo-gen-XXXXXX";
    m_native = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_native, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& native() const { return m_native; }
  // The folder in the program's form ("\" separators).
  Text path() const { return pathFromNative(m_native); }
  // Creates a file (and its folders) below the folder; relative native path.
  void file(const std::string& relative, const std::string& content = "x") {
    const std::filesystem::path p = std::filesystem::path(m_native) / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  void folder(const std::string& relative) {
    std::filesystem::create_directories(std::filesystem::path(m_native) /
                                        relative);
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(std::filesystem::path(m_native) / relative,
                     std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool exists(const std::string& relative) const {
    return std::filesystem::exists(std::filesystem::path(m_native) / relative);
  }

 private:
  std::string m_native;
};

// A tree written as "caption(level) ..." in index order.
inline std::string shape(const DocumentTree& t) {
  std::string s;
  for (int i = 0; i < t.count(); ++i) {
    if (!s.empty()) s += ' ';
    s += t.caption(i) + "(" + std::to_string(t.level(i)) + ")";
  }
  return s;
}

// Fills t from "caption(level) ..."; every item gets image and item value
// from its position in the text, so tests can follow them through moves.
inline void buildTree(DocumentTree& t, const std::string& text) {
  t.clear();
  std::istringstream in(text);
  std::string word;
  std::vector<int> open;  // last item of each level
  int n = 0;
  while (in >> word) {
    const size_t paren = word.rfind('(');
    const std::string caption = word.substr(0, paren);
    const int level = std::stoi(word.substr(paren + 1));
    open.resize(level - 1);
    const int parent = open.empty() ? -1 : open.back();
    open.push_back(t.addChild(parent, caption, n % 2, 10 + n, 100 + n));
    ++n;
  }
}

}  // namespace zanvo::testing

#endif  // ZANVO_CHM_GENERATE_TEST_SUPPORT_H_
