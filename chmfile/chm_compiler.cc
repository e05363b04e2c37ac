#include "chmfile/chm_compiler.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "chmfile/chm_container.h"
#include "chmfile/chm_internal_files.h"
#include "chmfile/code_page.h"
#include "chmfile/hhp_project.h"
#include "chmfile/lzx_encoder.h"
#include "chmfile/sitemap.h"

namespace zanvo::chm {
namespace {

constexpr uint32_t kDefaultLanguage = 0x0804;  // Chinese (PRC): the texts are code page 936
// Directory names far beyond any real path would not fit a directory chunk.
constexpr size_t kMaxNameBytes = 1024;

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// "\" to "/" in code page bytes, stepping over two-byte characters, whose
// second byte may be 0x5C.
std::string forwardSlashes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = s[i];
    if (c >= 0x80 && i + 1 < s.size()) {
      out.push_back(s[i]);
      out.push_back(s[++i]);
    } else {
      out.push_back(c == '\\' ? '/' : s[i]);
    }
  }
  return out;
}

// A relative path with "/" separators: "." parts and empty parts dropped.
// nullopt when a ".." part would leave the base folder.
std::optional<std::string> cleanRelative(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t slash = path.find('/', i);
    if (slash == std::string_view::npos) slash = path.size();
    const std::string_view part = path.substr(i, slash - i);
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = slash + 1;
  }
  std::string out;
  for (std::string_view p : parts) {
    if (!out.empty()) out.push_back('/');
    out += p;
  }
  return out;
}

struct ReadResult {
  std::string data;
  int error = 0;  // errno, 0 on success
};
ReadResult readWholeFile(const std::string& path) {
  ReadResult r;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    r.error = errno;
    return r;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    r.error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return r;
  }
  r.data.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
    if (got == r.data.size()) {
      // All the bytes the size promised are in: one more read tells whether
      // the file grew meanwhile, without copying what was read.
      char probe[4096];
      const ssize_t more = ::read(fd, probe, sizeof probe);
      if (more < 0 && errno == EINTR) continue;
      if (more <= 0) {
        if (more < 0) r.error = errno;
        break;
      }
      r.data.append(probe, static_cast<size_t>(more));
      got += static_cast<size_t>(more);
      continue;
    }
    const ssize_t n = ::read(fd, r.data.data() + got, r.data.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      r.error = errno;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  r.data.resize(got);
  return r;
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Writes data to a temporary file in the target's folder and renames it
// over the target.  The temporary file never outlives a failure.
bool writeWhole(const std::string& target, std::string_view data, std::string& error) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = (folder.empty() ? std::string() : folder) + "/." + base + ".XXXXXX";
  if (slash == 0) temp = "/." + base + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  ::fchmod(fd, 0644 & ~[] { mode_t m = ::umask(0); ::umask(m); return m; }());
  size_t done = 0;
  bool ok = true;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) {
    error = std::strerror(errno);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    error = std::strerror(errno);
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    error = std::strerror(errno);
    ok = false;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

// The text of the first <title> element of a page, or empty.
std::string pageTitle(std::string_view page) {
  const std::string head = lowerAscii(page.substr(0, std::min<size_t>(page.size(), 8192)));
  const size_t open = head.find("<title");
  if (open == std::string::npos) return {};
  const size_t start = head.find('>', open);
  if (start == std::string::npos) return {};
  const size_t close = head.find("</title", start);
  if (close == std::string::npos) return {};
  std::string t = decodeEntities(page.substr(start + 1, close - start - 1));
  for (char& c : t)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  const size_t b = t.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

bool isPage(std::string_view name) {
  const std::string n = lowerAscii(name);
  for (const char* ext : {".htm", ".html", ".xhtml", ".shtml"}) {
    const std::string_view e(ext);
    if (n.size() >= e.size() && n.compare(n.size() - e.size(), e.size(), e) == 0) return true;
  }
  return false;
}

struct BookFile {
  std::string bookName;  // relative, "/" separators, code page bytes
  std::string dirName;   // "/" + UTF-8 name as stored in the directory
  std::string data;
};

class Compiler {
 public:
  Compiler(const CompileOptions& options, const CompileLog& log) : m_options(options), m_log(log) {}

  bool run(std::string projectPath);

 private:
  void diag(bool error, const std::string& file, int line, const std::string& text) {
    if (error) ++m_errors;
    m_log(error ? CompileMessage::kError : CompileMessage::kWarning,
          file + ":" + std::to_string(line) + ": " + (error ? "error: " : "warning: ") + text);
  }
  void progress(const std::string& text) {
    if (m_progress) m_log(CompileMessage::kProgress, text);
  }
  // Adds a file named in the project (bytes as written) to the book; the
  // line is where it was named.  Returns false when it could not be read.
  bool addFile(std::string_view written, int line, bool mustExist);
  const BookFile* findFile(std::string_view bookName) const;

  const CompileOptions& m_options;
  const CompileLog& m_log;
  std::string m_projectName;  // as shown in messages
  std::string m_folder;       // project folder, native, without trailing "/"
  std::string m_outputPath;   // native
  int m_errors = 0;
  bool m_progress = false;
  std::vector<BookFile> m_files;
  // Index of m_files by directory name with ASCII letters folded, the way
  // readers compare names.
  std::unordered_map<std::string, size_t> m_fileIndex;
  // The same by the name as the project and the sitemap write it.
  std::unordered_map<std::string, size_t> m_bookIndex;
};

const BookFile* Compiler::findFile(std::string_view bookName) const {
  const auto it = m_bookIndex.find(directoryNameKey("/" + forwardSlashes(bookName)));
  return it == m_bookIndex.end() ? nullptr : &m_files[it->second];
}

bool Compiler::addFile(std::string_view written, int line, bool mustExist) {
  const std::optional<std::string> relative = cleanRelative(forwardSlashes(written));
  if (!relative || relative->empty()) {
    diag(true, m_projectName, line, "\"" + std::string(written) + "\" is not a file inside the project folder");
    return false;
  }
  const std::optional<std::string> utf8 = utf8FromGb18030(*relative);
  if (!utf8) {
    diag(true, m_projectName, line, "\"" + std::string(written) + "\" is not a valid code page 936 file name");
    return false;
  }
  const std::string dirName = "/" + *utf8;
  if (dirName.size() > kMaxNameBytes) {
    diag(true, m_projectName, line, "file name too long: " + *utf8);
    return false;
  }
  if (m_fileIndex.count(directoryNameKey(dirName)) != 0) {
    if (mustExist) diag(false, m_projectName, line, *utf8 + " is listed twice; included once");
    return true;
  }
  const std::string native = m_folder + "/" + *utf8;
  if (native == m_outputPath) {
    diag(false, m_projectName, line, *utf8 + " is the book being compiled; not included");
    return true;
  }
  ReadResult r = readWholeFile(native);
  if (r.error != 0) {
    diag(true, m_projectName, line, "cannot read " + *utf8 + ": " + std::strerror(r.error));
    return false;
  }
  m_fileIndex.emplace(directoryNameKey(dirName), m_files.size());
  m_bookIndex.emplace(directoryNameKey("/" + *relative), m_files.size());
  m_files.push_back({*relative, dirName, std::move(r.data)});
  return true;
}

bool Compiler::run(std::string projectPath) {
  // Windows-style separators are accepted when the path does not name a
  // file as it stands.
  if (projectPath.find('\\') != std::string::npos && !fileExists(projectPath)) {
    const std::optional<std::string> native = utf8FromGb18030(forwardSlashes(projectPath));
    projectPath = native ? *native : forwardSlashes(projectPath);
  }
  m_projectName = projectPath;
  const size_t slash = projectPath.rfind('/');
  m_folder = slash == std::string::npos ? "." : (slash == 0 ? "" : projectPath.substr(0, slash));
  const std::string projectBase = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);

  ReadResult text = readWholeFile(projectPath);
  if (text.error != 0) {
    diag(true, m_projectName, 0, std::string("cannot read the project file: ") + std::strerror(text.error));
    return false;
  }
  std::vector<Diagnostic> diagnostics;
  const Project project = parseProject(text.data, m_projectName, diagnostics);
  for (const Diagnostic& d : diagnostics) diag(d.error, d.file, d.line, d.text);
  m_progress = projectFlag(project.displayProgress);
  if (project.fullTextSearch.given() && projectFlag(project.fullTextSearch))
    diag(false, m_projectName, project.fullTextSearch.line,
         "full-text search is not built; the book opens without a search index");

  // The default window, and through it the contents and index files when
  // the options do not name them.
  const WindowDefinition* window = nullptr;
  if (project.defaultWindow.given()) {
    window = project.findWindow(project.defaultWindow.value);
    if (!window)
      diag(true, m_projectName, project.defaultWindow.line,
           "unknown window \"" + project.defaultWindow.value + "\"");
  }
  ProjectValue contents = project.contentsFile;
  if (!contents.given() && window && window->contentsFile && !window->contentsFile->empty())
    contents = {*window->contentsFile, window->line};
  ProjectValue index = project.indexFile;
  if (!index.given() && window && window->indexFile && !window->indexFile->empty())
    index = {*window->indexFile, window->line};
  ProjectValue defaultTopic = project.defaultTopic;
  if (!defaultTopic.given() && window && window->defaultTopic && !window->defaultTopic->empty())
    defaultTopic = {*window->defaultTopic, window->line};

  uint32_t language = kDefaultLanguage;
  if (project.language.given()) {
    const std::optional<uint32_t> id = parseProjectNumber(project.language.value);
    if (id && *id != 0 && *id <= 0xFFFF) language = *id;
    else diag(false, m_projectName, project.language.line,
              "language \"" + project.language.value + "\" not understood; using 0x804");
  }

  // The book's own path.
  std::string compiled = project.compiledFile.value;
  if (compiled.empty()) {
    const size_t dot = projectBase.rfind('.');
    compiled = (dot == std::string::npos ? projectBase : projectBase.substr(0, dot)) + ".chm";
  }
  const std::string compiledSlashes = forwardSlashes(compiled);
  const std::optional<std::string> compiledUtf8 = utf8FromGb18030(compiledSlashes);
  if (!compiledUtf8) {
    diag(true, m_projectName, project.compiledFile.line, "the compiled file name is not valid code page 936 text");
    return false;
  }
  m_outputPath = (!compiledUtf8->empty() && compiledUtf8->front() == '/')
                     ? *compiledUtf8 : m_folder + "/" + *compiledUtf8;
  std::string stem = compiledSlashes.substr(compiledSlashes.rfind('/') + 1);
  if (const size_t dot = stem.rfind('.'); dot != std::string::npos) stem.resize(dot);

  progress("Compiling " + m_outputPath);
  for (const ProjectFileLine& f : project.files) addFile(f.path, f.line, true);
  // The contents and index files belong in the book even when [FILES]
  // leaves them out (the project may name them only in its window).
  if (contents.given() && !contents.value.empty()) addFile(contents.value, contents.line, false);
  if (index.given() && !index.value.empty()) addFile(index.value, index.line, false);
  if (m_errors > 0) return false;

  // Topics: the contents entries first, in order, then the other pages.
  std::vector<Topic> topics;
  std::vector<TocNode> toc;
  // Topics by name with ASCII letters folded, as readers compare names.
  std::unordered_map<std::string, int> topicIndex;
  auto topicOf = [&](const std::string& local) {
    const auto it = topicIndex.find(directoryNameKey(local));
    return it == topicIndex.end() ? -1 : it->second;
  };
  auto addTopic = [&](Topic topic) {
    topicIndex.emplace(directoryNameKey(topic.local), static_cast<int>(topics.size()));
    topics.push_back(std::move(topic));
  };
  auto haveTopic = [&](const std::string& local) { return topicOf(local) >= 0; };
  if (contents.given()) {
    if (const BookFile* hhc = findFile(contents.value)) {
      const Sitemap map = parseSitemap(hhc->data);
      for (const SitemapEntry& e : map.entries) {
        if (e.local.empty()) {
          toc.push_back({e.name, -1, e.depth});
          continue;
        }
        std::string local = forwardSlashes(e.local);
        while (!local.empty() && local.front() == '/') local.erase(0, 1);
        int topic = topicOf(local);
        if (topic < 0) {
          if (local.find(':') == std::string::npos && !findFile(local))
            diag(false, contents.value, e.line, "\"" + e.local + "\" is not in the book");
          topic = static_cast<int>(topics.size());
          addTopic({e.name, local, true});
        }
        toc.push_back({e.name, topic, e.depth});
      }
    }
  }
  for (const BookFile& f : m_files) {
    if (isPage(f.bookName) && !haveTopic(f.bookName))
      addTopic({pageTitle(f.data), f.bookName, false});
  }
  if (defaultTopic.given() && !findFile(defaultTopic.value))
    diag(false, m_projectName, defaultTopic.line, "default topic \"" + defaultTopic.value + "\" is not in the book");

  BookSettings book;
  book.languageId = language;
  book.contentsFile = contents.value;
  book.indexFile = index.value;
  book.defaultTopic = defaultTopic.given() ? defaultTopic.value
                      : (topics.empty() ? std::string() : topics.front().local);
  book.title = project.title.value;
  book.defaultWindow = window ? window->name : std::string();
  book.compiledStem = stem;
  if (project.defaultFont.given()) {
    book.defaultFont = project.defaultFont.value;
  } else {
    const uint32_t charset = charsetForLanguage(language);
    // "宋体" in code page 936, the face Chinese (PRC) viewers expect.
    book.defaultFont = charset == 134 ? std::string("\xCB\xCE\xCC\xE5,9,134")
                                      : "Arial,8," + std::to_string(charset);
  }
  book.fullTextSearch = false;
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch)
    book.timestamp = static_cast<uint32_t>(std::strtoul(epoch, nullptr, 10));
  else
    book.timestamp = static_cast<uint32_t>(std::time(nullptr));
  book.windows = project.windows;
  book.topics = std::move(topics);
  book.toc = std::move(toc);
  InternalFiles internal = makeInternalFiles(book);

  ChmContainer container(language);
  container.addStored("/#SYSTEM", std::move(internal.system));
  container.addStored("/#ITBITS", std::string());
  container.addCompressed("/#WINDOWS", internal.windows);
  container.addCompressed("/#STRINGS", internal.strings);
  container.addCompressed("/#TOPICS", internal.topics);
  container.addCompressed("/#URLTBL", internal.urltbl);
  container.addCompressed("/#URLSTR", internal.urlstr);
  container.addCompressed("/#IDXHDR", internal.idxhdr);
  if (!internal.tocidx.empty()) container.addCompressed("/#TOCIDX", internal.tocidx);
  uint64_t total = 0;
  for (BookFile& f : m_files) {
    total += f.data.size();
    container.addCompressed(f.dirName, f.data);
    std::string().swap(f.data);
  }
  progress(std::to_string(m_files.size()) + " files, " + std::to_string(total) + " bytes");

  LzxOptions lzx;
  lzx.windowBits = 16;
  lzx.resetIntervalBytes = 65536;
  lzx.level = m_options.lzxLevel;
  lzx.threads = m_options.threads;
  const std::string bytes = container.build(lzx, book.timestamp);
  std::string error;
  if (!writeWhole(m_outputPath, bytes, error)) {
    diag(true, m_projectName, project.compiledFile.line, "cannot write " + m_outputPath + ": " + error);
    return false;
  }
  progress("Compiled file: " + m_outputPath + " (" + std::to_string(bytes.size()) + " bytes)");
  return true;
}

}  // namespace

bool compileProject(const std::string& projectPath, const CompileOptions& options,
                    const CompileLog& log) {
  Compiler compiler(options, log);
  return compiler.run(projectPath);
}

}  // namespace zanvo::chm
