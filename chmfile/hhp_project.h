// The HTML Help project file (.hhp): an INI-like text in the project's code
// page (936), CR LF or LF line ends, ";" comments.  The reader keeps every
// value as the bytes of the file; only the compiler decodes file names.
#ifndef ZANVO_CHMFILE_HHP_PROJECT_H_
#define ZANVO_CHMFILE_HHP_PROJECT_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo::chm {

// A problem found in an input file, reported as "file:line: text".
struct Diagnostic {
  bool error = false;  // false: a warning, the compile goes on
  std::string file;
  int line = 0;
  std::string text;
};

// One value with the line it came from (0: not given).
struct ProjectValue {
  std::string value;
  int line = 0;
  bool given() const { return line != 0; }
};

// A [WINDOWS] definition.  Fields left empty in the project stay unset, so
// the viewer uses its own default for them.
struct WindowDefinition {
  std::string name;
  int line = 0;
  std::optional<std::string> title, contentsFile, indexFile, defaultTopic, home;
  std::optional<std::string> jump1Url, jump1Text, jump2Url, jump2Text;
  std::optional<uint32_t> navigationStyle, navigationWidth, buttons;
  std::optional<std::array<int32_t, 4>> position;  // left, top, right, bottom
  std::optional<uint32_t> styles, extendedStyles, showState;
  std::optional<uint32_t> navigationClosed, defaultPane, tabPosition, notifyId;
};

struct ProjectFileLine {
  std::string path;  // as written: code page bytes, "\" or "/"
  int line = 0;
};

struct Project {
  ProjectValue compiledFile, contentsFile, indexFile, defaultTopic;
  ProjectValue defaultWindow, title, language, defaultFont;
  ProjectValue displayProgress, fullTextSearch, binaryToc, binaryIndex;
  ProjectValue compatibility;
  std::vector<WindowDefinition> windows;
  std::vector<ProjectFileLine> files;

  const WindowDefinition* findWindow(std::string_view name) const;
};

// Reads the project text.  fileName names the project in diagnostics.
// Lines that cannot be understood are reported as errors, unknown keys and
// sections as warnings; everything that was understood is kept.
Project parseProject(std::string_view text, const std::string& fileName,
                     std::vector<Diagnostic>& diagnostics);

// "Yes"/"No" style option values ("yes", "true", "1"), case ignored.
bool projectFlag(const ProjectValue& v);
// A number written in decimal or with "0x"; trailing text is ignored
// ("0x804 Chinese (PRC)").  nullopt when no digits start the text.
std::optional<uint32_t> parseProjectNumber(std::string_view text);

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_HHP_PROJECT_H_
