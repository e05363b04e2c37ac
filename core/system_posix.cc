// Processes, environment, clock and the program's places on POSIX.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "core/codepage.h"
#include "core/files.h"
#include "core/system.h"

extern char** environ;

namespace zanvo {
namespace {

// What a hidden, waited-for run keeps of the program's output.  The rest is
// still read, so that a talkative program never blocks on a full pipe.
constexpr size_t kOutputCap = 64 * 1024;

bool isBlank(char c) { return c == ' ' || c == '\t'; }


bool isProgram(const std::string& nativeFile) {
  struct stat st;
  return stat(nativeFile.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         access(nativeFile.c_str(), X_OK) == 0;
}

// The names tried for a program in one folder: the name as given, the name
// without ".exe", and our own stand-in "zanvochm-<stem>" (so "hhc.exe" finds
// zanvochm-hhc).
std::vector<std::string> candidateNames(const std::string& nativeName) {
  std::vector<std::string> names{nativeName};
  std::string stem = nativeName;
  if (stem.size() >= 4) {
    std::string tail = stem.substr(stem.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (tail == ".exe") {
      stem.resize(stem.size() - 4);
      if (!stem.empty()) names.push_back(stem);
    }
  }
  if (!stem.empty()) {
    names.push_back("zanvochm-" + stem);
    // Windows finds "HHC.EXE" as well; our stand-ins are named in lower case.
    std::string lower = stem;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (lower != stem) names.push_back("zanvochm-" + lower);
  }
  return names;
}

// The native file of the program that a command line names, or empty.
std::string findProgram(const Text& name) {
  std::string native = nativePath(name);
  if (native.empty()) return std::string();
  size_t slash = native.rfind('/');
  if (slash != std::string::npos) {
    // A name with a folder is used as it is, relative to the current folder.
    std::string folder = native.substr(0, slash + 1);
    for (const std::string& candidate : candidateNames(native.substr(slash + 1))) {
      if (isProgram(folder + candidate)) return folder + candidate;
    }
    return std::string();
  }
  std::vector<std::string> folders{nativePath(programFolder()),
                                   nativePath(windowsFolder() + "\\system32")};
  if (const char* path = std::getenv("PATH")) {
    std::string_view rest(path);
    while (true) {
      size_t colon = rest.find(':');
      std::string_view part = rest.substr(0, colon);
      folders.emplace_back(part.empty() ? std::string_view(".") : part);
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }
  std::vector<std::string> names = candidateNames(native);
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    for (const std::string& candidate : names) {
      std::string file = folder + "/" + candidate;
      if (isProgram(file)) return file;
    }
  }
  return std::string();
}

// An argument as the started program sees it: decoded to UTF-8, and, when it
// holds a "\", read as a path whose "\" become "/".  The decoding is the one
// paths use, so a name that came from a folder listing reaches the program
// byte for byte.
std::string nativeArgument(const Text& arg) {
  if (findText(arg, "\\") > 0) return nativePath(arg);
  return codepage::utf8FromGb(arg, codepage::Form::kText);
}

int exitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int waitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return exitCodeOf(status);
}

class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&m_actions); }
  ~FileActions() { posix_spawn_file_actions_destroy(&m_actions); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &m_actions; }

 private:
  posix_spawn_file_actions_t m_actions;
};

}  // namespace

std::vector<Text> splitCommandLine(const Text& commandLine) {
  std::vector<Text> args;
  const std::string_view line(commandLine);
  const size_t n = line.size();
  size_t p = 0;
  while (p < n && isBlank(line[p])) ++p;
  if (p == n) return args;

  // The program name: quotes group and are dropped, backslashes are plain.
  Text program;
  bool inQuote = false;
  while (p < n && (inQuote || !isBlank(line[p]))) {
    if (line[p] == '"') {
      inQuote = !inQuote;
      ++p;
      continue;
    }
    size_t len = charLength(line, p);
    program.append(line.substr(p, len));
    p += len;
  }
  args.push_back(std::move(program));

  // The arguments: 2n backslashes before a quote give n backslashes and the
  // quote opens or closes a group; 2n+1 give n and a literal quote; "" inside
  // a group is a literal quote.  A two-byte character is copied whole, so its
  // second byte never counts as a backslash or a quote.
  while (true) {
    while (p < n && isBlank(line[p])) ++p;
    if (p >= n) break;
    Text arg;
    inQuote = false;
    while (true) {
      bool copy = true;
      size_t slashes = 0;
      while (p < n && line[p] == '\\') {
        ++p;
        ++slashes;
      }
      if (p < n && line[p] == '"') {
        if (slashes % 2 == 0) {
          if (inQuote && p + 1 < n && line[p + 1] == '"') {
            ++p;  // "" in a group: a literal quote
          } else {
            copy = false;
            inQuote = !inQuote;
          }
        }
        slashes /= 2;
      }
      arg.append(slashes, '\\');
      if (p >= n || (!inQuote && isBlank(line[p]))) break;
      if (copy) {
        size_t len = charLength(line, p);
        arg.append(line.substr(p, len));
        p += len;
      } else {
        ++p;
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

CommandResult runCommand(const Text& commandLine, bool wait, ShowWindow show) {
  CommandResult result;
  std::vector<Text> args = splitCommandLine(commandLine);
  if (args.empty() || args[0].empty()) return result;
  std::string program = findProgram(args[0]);
  if (program.empty()) return result;

  std::vector<std::string> nativeArgs;
  nativeArgs.reserve(args.size());
  nativeArgs.push_back(nativeArgument(args[0]));
  for (size_t i = 1; i < args.size(); ++i) nativeArgs.push_back(nativeArgument(args[i]));
  std::vector<char*> argv;
  for (std::string& a : nativeArgs) argv.push_back(a.data());
  argv.push_back(nullptr);

  const bool capture = wait && show == ShowWindow::kHidden;
  int pipeFds[2] = {-1, -1};
  if (capture && pipe2(pipeFds, O_CLOEXEC) != 0) return result;

  FileActions actions;
  if (show == ShowWindow::kHidden) {
    // A hidden program has no console: nothing to read, and its output goes
    // to us (when waited for) or nowhere.
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    if (capture) {
      posix_spawn_file_actions_adddup2(actions.get(), pipeFds[1], 1);
      posix_spawn_file_actions_adddup2(actions.get(), pipeFds[1], 2);
    } else {
      posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    }
  }
  // Nothing but the standard three is inherited, whatever the caller left
  // open without close-on-exec.
  posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);

  pid_t pid = 0;
  int error = posix_spawn(&pid, program.c_str(), actions.get(), nullptr,
                          argv.data(), environ);
  if (capture) close(pipeFds[1]);
  if (error != 0) {
    if (capture) close(pipeFds[0]);
    return result;
  }
  result.started = true;

  if (!wait) {
    // Nobody waits for it, but it must still be reaped.
    std::thread([pid] { waitFor(pid); }).detach();
    return result;
  }

  if (capture) {
    std::string output;
    char buffer[16384];
    while (true) {
      ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
      if (got < 0) {
        if (errno == EINTR) continue;
        break;
      }
      if (got == 0) break;
      size_t keep = std::min(static_cast<size_t>(got), kOutputCap - output.size());
      output.append(buffer, keep);
    }
    close(pipeFds[0]);
    Text text = textOfUtf8(output);
    // A Text holds no zero byte.
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    result.output = std::move(text);
  }
  result.exitCode = waitFor(pid);
  result.finished = result.exitCode >= 0;
  return result;
}

Text envVariable(const Text& name) {
  if (name.empty()) return Text();
  const char* value = std::getenv(codepage::utf8FromGb(name, codepage::Form::kText).c_str());
  if (value == nullptr) return Text();
  return textOfUtf8(value);
}

void setEnvVariable(const Text& name, const Text& value) {
  if (name.empty()) return;
  std::string nativeName = codepage::utf8FromGb(name, codepage::Form::kText);
  if (value.empty()) {
    unsetenv(nativeName.c_str());
  } else {
    setenv(nativeName.c_str(), codepage::utf8FromGb(value, codepage::Form::kText).c_str(), 1);
  }
}

Date today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

uint32_t tickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u +
                static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

Text programFolder() {
  std::string exe(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
  if (n <= 0 || static_cast<size_t>(n) >= exe.size()) return Text();
  exe.resize(static_cast<size_t>(n));
  size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return Text();
  if (slash == 0) return "\\";
  return pathFromNative(exe.substr(0, slash));
}

Text windowsFolder() {
  std::string base;
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.local/share";
  }
  std::string folder = base + "/zanvochm/" ZANVO_VERSION "/windows";
  // Create every missing level; the ones that exist are left as they are.
  for (size_t slash = 1; slash != std::string::npos;) {
    slash = folder.find('/', slash + 1);
    mkdir(folder.substr(0, slash).c_str(), 0777);
  }
  return pathFromNative(folder);
}

}  // namespace zanvo
