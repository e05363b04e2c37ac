#include "chmfile/hhc_test_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <mspack.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "chmfile/code_page.h"

extern char** environ;

namespace zanvo::chm::testing {

TempFolder::TempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/hhc_test.XXXXXX";
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

void writeTestFile(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> listFolder(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  return names;
}

RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd) {
  RunResult r;
  int outPipe[2], errPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return r;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  int open = 2;
  char buf[65536];
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return r;
}

MspackBook readWithMspack(const std::string& chmPath) {
  MspackBook book;
  mschm_decompressor* d = mspack_create_chm_decompressor(nullptr);
  if (!d) {
    book.error = "no decompressor";
    return book;
  }
  mschmd_header* h = d->open(d, chmPath.c_str());
  if (!h) {
    book.error = "open failed, error " + std::to_string(d->last_error(d));
    mspack_destroy_chm_decompressor(d);
    return book;
  }
  TempFolder scratch;
  const std::string out = scratch.path() + "/x";
  for (int pass = 0; pass < 2 && book.error.empty(); ++pass) {
    for (mschmd_file* f = pass == 0 ? h->files : h->sysfiles; f; f = f->next) {
      std::string data;
      if (f->length > 0) {
        if (d->extract(d, f, out.c_str()) != MSPACK_ERR_OK) {
          book.error = std::string("extract failed: ") + f->filename + " error " +
                       std::to_string(d->last_error(d));
          break;
        }
        data = readTestFile(out);
      }
      (pass == 0 ? book.files : book.sysfiles)[f->filename] = data;
    }
  }
  d->close(d, h);
  mspack_destroy_chm_decompressor(d);
  return book;
}

bool mspackFastFind(const std::string& chmPath, const std::string& name, uint64_t* length) {
  mschm_decompressor* d = mspack_create_chm_decompressor(nullptr);
  mschmd_header* h = d->fast_open(d, chmPath.c_str());
  bool found = false;
  if (h) {
    mschmd_file f{};
    if (d->fast_find(d, h, name.c_str(), &f, sizeof f) == MSPACK_ERR_OK && f.section) {
      found = true;
      if (length) *length = static_cast<uint64_t>(f.length);
    }
    d->close(d, h);
  }
  mspack_destroy_chm_decompressor(d);
  return found;
}

std::string cp936(const std::string& utf8) { return gb18030FromUtf8(utf8).value(); }

std::string hhcPath() { return std::string(ZANVO_BUILD_DIR) + "/bin/zanvochm-hhc"; }

}  // namespace zanvo::chm::testing
