// Helpers shared by the compiler's tests: temporary folders, files,
// running programs, and reading books back with libmspack.
#ifndef ZANVO_CHMFILE_HHC_TEST_UTIL_H_
#define ZANVO_CHMFILE_HHC_TEST_UTIL_H_

#include <map>
#include <string>
#include <vector>

namespace zanvo::chm::testing {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// Writes a file, creating its parent folders.  path is UTF-8.
void writeTestFile(const std::string& path, const std::string& data);
std::string readTestFile(const std::string& path);
// Names of the entries of a folder (not recursive).
std::vector<std::string> listFolder(const std::string& folder);

struct RunResult {
  int exitCode = -1;
  std::string out, err;
};
// Runs a program with arguments (no shell) and collects its output.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd = "");

// Every file of a book as libmspack extracts it, by directory name; empty
// with a failure message when the book does not open.
struct MspackBook {
  std::map<std::string, std::string> files;      // "/name" -> bytes
  std::map<std::string, std::string> sysfiles;   // "::DataSpace/..." -> bytes
  std::string error;
};
MspackBook readWithMspack(const std::string& chmPath);
// libmspack's fast_find of one name; true when found with the expected
// length.
bool mspackFastFind(const std::string& chmPath, const std::string& name, uint64_t* length);

// Code page 936 bytes of a UTF-8 literal.
std::string cp936(const std::string& utf8);

std::string hhcPath();  // the built zanvochm-hhc

}  // namespace zanvo::chm::testing

#endif  // ZANVO_CHMFILE_HHC_TEST_UTIL_H_
