// Code page conversions over ICU's GB18030 converter.  See codepage.h for
// the euro and for the lossless path form.
//
// The input is walked by characters here and handed to ICU in runs, so that
// the few bytes handled by hand (the euro byte 0x80, escaped name bytes,
// separators) are found at character starts only: a second byte 0x5C or
// 0x80 stays part of its character.
#include "core/codepage.h"

#include <unicode/ucnv.h>

#include "core/files.h"
#include "core/text.h"

namespace zanvo {
namespace codepage {
namespace {

using uchar = unsigned char;

constexpr char kEuroUtf8[] = "\xE2\x82\xAC";
constexpr char kReplacementGb[] = "\x84\x31\xA4\x37";  // U+FFFD in GB18030
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";
constexpr int kEscapedBackslash = 128;

// One converter per thread: ICU converters keep state and may not be shared
// between threads, and opening one per call costs more than most calls.
class Converter {
 public:
  Converter() {
    UErrorCode error = U_ZERO_ERROR;
    m_cnv = ucnv_open("gb18030", &error);
    if (U_FAILURE(error)) m_cnv = nullptr;
  }
  ~Converter() {
    if (m_cnv != nullptr) ucnv_close(m_cnv);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  UConverter* get() { return m_cnv; }

 private:
  UConverter* m_cnv;
};

UConverter* converter() {
  thread_local Converter cnv;
  return cnv.get();
}

void appendEscape(std::string& out, int v) {
  out += '\xFE';
  out += '\x39';
  out += static_cast<char>(0x81 + v / 10);
  out += static_cast<char>(0x30 + v % 10);
}

// The escape value of the four bytes at i, or -1 when they are no escape.
int escapeAt(std::string_view gb, size_t i) {
  if (i + 3 >= gb.size() || static_cast<uchar>(gb[i]) != 0xFE ||
      gb[i + 1] != 0x39)
    return -1;
  uchar b3 = static_cast<uchar>(gb[i + 2]);
  uchar b4 = static_cast<uchar>(gb[i + 3]);
  if (b3 < 0x81 || b3 > 0x8D || b4 < 0x30 || b4 > 0x39) return -1;
  int v = (b3 - 0x81) * 10 + (b4 - 0x30);
  return v <= kEscapedBackslash ? v : -1;
}

// Length of the valid UTF-8 sequence at i, or 0 when the byte at i does not
// start one (stray continuation bytes, overlong forms, surrogates, code
// points beyond U+10FFFF, cut sequences).
size_t validUtf8Length(std::string_view s, size_t i) {
  uchar c = static_cast<uchar>(s[i]);
  if (c < 0x80) return 1;
  size_t len;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((static_cast<uchar>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  uchar c1 = static_cast<uchar>(s[i + 1]);
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) ||
      (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))
    return 0;
  return len;
}

void appendUtf8AsGb(std::string& out, std::string_view run) {
  if (run.empty()) return;
  UConverter* cnv = converter();
  size_t old = out.size();
  size_t capacity = run.size() * 4 + 4;
  out.resize(old + capacity);
  UErrorCode error = U_ZERO_ERROR;
  int32_t n = cnv == nullptr ? -1
                             : ucnv_fromAlgorithmic(
                                   cnv, UCNV_UTF8, out.data() + old,
                                   static_cast<int32_t>(capacity), run.data(),
                                   static_cast<int32_t>(run.size()), &error);
  if (n < 0 || U_FAILURE(error)) {
    // Only valid UTF-8 reaches here and GB18030 encodes all of it; should ICU
    // still fail, mark the run rather than lose the rest of the text.
    out.resize(old);
    out += kReplacementGb;
    return;
  }
  out.resize(old + static_cast<size_t>(n));
}

void appendGbAsUtf8(std::string& out, std::string_view run) {
  if (run.empty()) return;
  UConverter* cnv = converter();
  size_t old = out.size();
  size_t capacity = run.size() * 3 + 4;
  out.resize(old + capacity);
  UErrorCode error = U_ZERO_ERROR;
  int32_t n = cnv == nullptr ? -1
                             : ucnv_toAlgorithmic(
                                   UCNV_UTF8, cnv, out.data() + old,
                                   static_cast<int32_t>(capacity), run.data(),
                                   static_cast<int32_t>(run.size()), &error);
  if (n < 0 || U_FAILURE(error)) {
    out.resize(old);
    out += kReplacementUtf8;
    return;
  }
  out.resize(old + static_cast<size_t>(n));
}

}  // namespace

std::string gbFromUtf8(std::string_view in, Form form) {
  const bool path = form == Form::kPath;
  std::string out;
  out.reserve(in.size() + in.size() / 4);
  size_t runStart = 0;
  bool runAscii = true;
  auto flush = [&](size_t end) {
    if (runAscii) {
      out.append(in.data() + runStart, end - runStart);
    } else {
      appendUtf8AsGb(out, in.substr(runStart, end - runStart));
    }
  };
  size_t i = 0;
  while (i < in.size()) {
    uchar c = static_cast<uchar>(in[i]);
    if (c < 0x80) {
      if (path && (c == '/' || c == '\\')) {
        flush(i);
        if (c == '/') {
          out += '\\';
        } else {
          appendEscape(out, kEscapedBackslash);
        }
        runStart = ++i;
        runAscii = true;
      } else {
        ++i;
      }
      continue;
    }
    size_t len = validUtf8Length(in, i);
    if (len == 0) {
      flush(i);
      if (path) {
        appendEscape(out, c - 0x80);
      } else {
        out += kReplacementGb;
      }
      runStart = ++i;
      runAscii = true;
    } else if (in.compare(i, 3, kEuroUtf8) == 0) {
      flush(i);
      out += '\x80';
      i += 3;
      runStart = i;
      runAscii = true;
    } else {
      runAscii = false;
      i += len;
    }
  }
  flush(in.size());
  return out;
}

std::string utf8FromGb(std::string_view in, Form form) {
  const bool path = form == Form::kPath;
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  size_t runStart = 0;
  bool runAscii = true;
  auto flush = [&](size_t end) {
    if (runAscii) {
      out.append(in.data() + runStart, end - runStart);
    } else {
      appendGbAsUtf8(out, in.substr(runStart, end - runStart));
    }
  };
  size_t i = 0;
  const size_t n = in.size();
  while (i < n) {
    uchar c = static_cast<uchar>(in[i]);
    if (c < 0x80) {
      if (path && c == '\\') {
        flush(i);
        out += '/';
        runStart = ++i;
        runAscii = true;
      } else {
        ++i;
      }
      continue;
    }
    if (c == 0x80) {
      flush(i);
      out += kEuroUtf8;
      runStart = ++i;
      runAscii = true;
      continue;
    }
    runAscii = false;
    uchar c1 = i + 1 < n ? static_cast<uchar>(in[i + 1]) : 0;
    if (c1 >= 0x30 && c1 <= 0x39) {
      int v = path ? escapeAt(in, i) : -1;
      if (v >= 0) {
        flush(i);
        out += v == kEscapedBackslash ? '\\' : static_cast<char>(0x80 + v);
        i += 4;
        runStart = i;
        runAscii = true;
      } else if (i + 3 < n && static_cast<uchar>(in[i + 2]) >= 0x81 &&
                 static_cast<uchar>(in[i + 3]) >= 0x30 &&
                 static_cast<uchar>(in[i + 3]) <= 0x39) {
        i += 4;
      } else {
        ++i;
      }
    } else {
      // A high byte and the byte after it are one character, whatever that
      // second byte is (see text.h); ICU marks the ones it cannot decode.
      i += c1 != 0 ? 2 : 1;
    }
  }
  flush(n);
  return out;
}

}  // namespace codepage

Text gbk(std::string_view utf8) {
  return codepage::gbFromUtf8(utf8, codepage::Form::kText);
}

std::string utf8OfText(const Text& t) {
  return codepage::utf8FromGb(t, codepage::Form::kText);
}

Text textOfUtf8(const std::string& utf8) {
  return codepage::gbFromUtf8(utf8, codepage::Form::kText);
}

}  // namespace zanvo
