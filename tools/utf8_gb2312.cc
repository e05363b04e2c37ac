// UTF-8 to code page 936 without per-character library calls on the common
// path: pure ASCII content is returned as it is, UTF-8 is decoded by hand in
// one pass, only the few spans that hold combining marks go through the
// normaliser, and the whole UTF-16 text is encoded by one converter call.
#include "tools/utf8_gb2312.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#include "core/files.h"

namespace zanvo {
namespace {

using uchar = unsigned char;

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

bool isContinuation(uchar b) { return (b & 0xC0) == 0x80; }

bool allAscii(const uchar* s, size_t k) {
  size_t i = 0;
  for (; i + 8 <= k; i += 8) {
    uint64_t w;
    std::memcpy(&w, s + i, 8);
    if (w & 0x8080808080808080ULL) return false;
  }
  for (; i < k; ++i) {
    if (s[i] & 0x80) return false;
  }
  return true;
}

// Decodes k bytes of UTF-8 into out (room for k code units is enough: no
// sequence yields more code units than it has bytes) and returns the number
// of code units written.
//
// Malformed input is replaced the way Windows' UTF-8 decoder does it, one
// U+FFFD per bad sequence:
// - a byte that cannot start a sequence (80-BF, C0, C1, F5-FF) is one
//   sequence on its own;
// - a lead byte whose next byte is no continuation byte is one sequence on
//   its own, and the next byte is looked at afresh;
// - a sequence cut short by a byte that is no continuation byte, or by the
//   end of the content, is one sequence (the lead and the continuation
//   bytes seen so far);
// - a three- or four-byte lead followed by a continuation byte that makes
//   the sequence overlong (E0 80-9F, F0 80-8F), a surrogate (ED A0-BF) or
//   larger than U+10FFFF (F4 90-BF) is one sequence of those two bytes; the
//   continuation bytes after them are stray bytes, one U+FFFD each.
// The last rule is where Windows differs from the "maximal subpart" of the
// Unicode standard, which would replace the lead alone.
size_t decodeUtf8(const uchar* s, size_t k, char16_t* out) {
  size_t i = 0;
  size_t n = 0;
  while (i < k) {
    // Runs of ASCII, eight bytes at a time (markup is mostly ASCII).
    while (i + 8 <= k) {
      uint64_t w;
      std::memcpy(&w, s + i, 8);
      if (w & 0x8080808080808080ULL) break;
      for (int j = 0; j < 8; ++j) out[n + j] = s[i + j];
      n += 8;
      i += 8;
    }
    if (i >= k) break;
    const uchar c = s[i];
    if (c < 0x80) {
      out[n++] = c;
      ++i;
      continue;
    }
    if (c >= 0xE0 && c <= 0xEF) {  // three bytes: most Chinese text
      if (i + 1 >= k || !isContinuation(s[i + 1])) {
        out[n++] = kReplacement;
        i += 1;
        continue;
      }
      const uchar c1 = s[i + 1];
      if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) ||
          i + 2 >= k || !isContinuation(s[i + 2])) {
        out[n++] = kReplacement;
        i += 2;
        continue;
      }
      out[n++] = static_cast<char16_t>(((c & 0x0F) << 12) | ((c1 & 0x3F) << 6) |
                                       (s[i + 2] & 0x3F));
      i += 3;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      if (i + 1 < k && isContinuation(s[i + 1])) {
        out[n++] = static_cast<char16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
        i += 2;
      } else {
        out[n++] = kReplacement;
        i += 1;
      }
      continue;
    }
    if (c >= 0xF0 && c <= 0xF4) {
      if (i + 1 >= k || !isContinuation(s[i + 1])) {
        out[n++] = kReplacement;
        i += 1;
        continue;
      }
      const uchar c1 = s[i + 1];
      if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 > 0x8F) ||
          i + 2 >= k || !isContinuation(s[i + 2])) {
        out[n++] = kReplacement;
        i += 2;
        continue;
      }
      if (i + 3 >= k || !isContinuation(s[i + 3])) {
        out[n++] = kReplacement;
        i += 3;
        continue;
      }
      const uint32_t cp = (static_cast<uint32_t>(c & 0x07) << 18) |
                          (static_cast<uint32_t>(c1 & 0x3F) << 12) |
                          (static_cast<uint32_t>(s[i + 2] & 0x3F) << 6) |
                          (s[i + 3] & 0x3F);
      out[n++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out[n++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      i += 4;
      continue;
    }
    out[n++] = kReplacement;  // 80-BF, C0, C1, F5-FF
    ++i;
  }
  return n;
}

// Which BMP characters may combine with what comes before them (combining
// marks, the second half of a Hangul syllable, kana voicing marks...): one
// bit each, built once so that the scan for them costs no library call.
class CombiningTable {
 public:
  CombiningTable() {
    UErrorCode error = U_ZERO_ERROR;
    m_nfc = icu::Normalizer2::getNFCInstance(error);
    if (U_FAILURE(error)) m_nfc = nullptr;
    m_bits.fill(0);
    if (m_nfc == nullptr) return;
    for (uint32_t c = 0; c < 0x10000; ++c) {
      if (c >= 0xD800 && c <= 0xDFFF) continue;
      if (!m_nfc->hasBoundaryBefore(static_cast<UChar32>(c)))
        m_bits[c >> 6] |= uint64_t{1} << (c & 63);
    }
  }
  const icu::Normalizer2* nfc() const { return m_nfc; }

  // Whether the character at u[i] may combine with the one before it; len
  // receives its length in code units.
  bool combines(const char16_t* u, size_t n, size_t i, size_t* len) const {
    const char16_t c = u[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && u[i + 1] >= 0xDC00 &&
        u[i + 1] <= 0xDFFF) {
      *len = 2;
      if (m_nfc == nullptr) return false;
      const UChar32 cp = 0x10000 + ((c - 0xD800) << 10) + (u[i + 1] - 0xDC00);
      return !m_nfc->hasBoundaryBefore(cp);
    }
    *len = 1;
    return (m_bits[c >> 6] >> (c & 63)) & 1;
  }

 private:
  const icu::Normalizer2* m_nfc = nullptr;
  std::array<uint64_t, 0x10000 / 64> m_bits;
};

const CombiningTable& combiningTable() {
  static const CombiningTable table;
  return table;
}

// Merges each base character with the combining marks after it into the
// precomposed character where Unicode has one (canonical composition, as
// WC_COMPOSITECHECK does).  Only the spans from a base character through
// its marks are composed; all other text is left exactly as it is, so
// compatibility ideographs and other singletons keep their own code points.
// Returns false, leaving out untouched, when there is nothing to compose.
bool composeMarks(const char16_t* u, size_t n, std::u16string& out) {
  const CombiningTable& table = combiningTable();
  if (table.nfc() == nullptr) return false;
  size_t copied = 0;     // u[0, copied) is in out
  size_t lastBase = 0;   // start of the last character that combines with nothing before it
  bool any = false;
  size_t i = 0;
  while (i < n) {
    size_t len;
    if (!table.combines(u, n, i, &len)) {
      lastBase = i;
      i += len;
      continue;
    }
    size_t end = i + len;
    while (end < n && table.combines(u, n, end, &len)) end += len;
    if (!any) {
      out.reserve(n);
      any = true;
    }
    const size_t start = lastBase < copied ? copied : lastBase;
    out.append(u + copied, start - copied);
    UErrorCode error = U_ZERO_ERROR;
    icu::UnicodeString span(false, u + start, static_cast<int32_t>(end - start));
    icu::UnicodeString composed = table.nfc()->normalize(span, error);
    if (U_SUCCESS(error)) {
      out.append(composed.getBuffer(), static_cast<size_t>(composed.length()));
    } else {
      out.append(u + start, end - start);
    }
    copied = end;
    lastBase = end;
    i = end;
  }
  if (!any) return false;
  out.append(u + copied, n - copied);
  return true;
}

// Characters without a code page 936 form become "?", one for each UTF-16
// code unit, as Windows' table-driven conversion does.  ICU's own
// substitution would silently drop "default ignorable" characters such as
// U+FEFF and U+200B instead; Windows does not.
void questionMarkForEachUnit(const void*, UConverterFromUnicodeArgs* args,
                             const UChar*, int32_t length, UChar32,
                             UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone
  static const char kMarks[] = "????";
  *error = U_ZERO_ERROR;
  ucnv_cbFromUWriteBytes(args, kMarks, length > 4 ? 4 : length, 0, error);
}

// One converter per thread: converters keep state and must not be shared.
class Cp936Encoder {
 public:
  Cp936Encoder() {
    UErrorCode error = U_ZERO_ERROR;
    m_cnv = ucnv_open("windows-936-2000", &error);
    if (U_FAILURE(error)) {
      m_cnv = nullptr;
      return;
    }
    ucnv_setFallback(m_cnv, false);
    ucnv_setFromUCallBack(m_cnv, questionMarkForEachUnit, nullptr, nullptr,
                          nullptr, &error);
  }
  ~Cp936Encoder() {
    if (m_cnv != nullptr) ucnv_close(m_cnv);
  }
  Cp936Encoder(const Cp936Encoder&) = delete;
  Cp936Encoder& operator=(const Cp936Encoder&) = delete;

  Text encode(const char16_t* u, size_t n) {
    if (n == 0) return Text();
    // Every code unit becomes at most two bytes.  The scratch buffer is kept
    // from call to call: fresh megabytes for every page would cost more in
    // page faults than the conversion itself.
    if (m_scratch.size() < 2 * n) m_scratch.resize(2 * n);
    UErrorCode error = U_ZERO_ERROR;
    int32_t m = -1;
    if (m_cnv != nullptr) {
      m = ucnv_fromUChars(m_cnv, m_scratch.data(),
                          static_cast<int32_t>(m_scratch.size()), u,
                          static_cast<int32_t>(n), &error);
    }
    if (m < 0 || U_FAILURE(error) || static_cast<size_t>(m) > m_scratch.size()) {
      // No converter: keep ASCII and mark everything else.
      Text out;
      for (size_t i = 0; i < n; ++i)
        out += u[i] < 0x80 ? static_cast<char>(u[i]) : '?';
      return out;
    }
    return Text(m_scratch.data(), static_cast<size_t>(m));
  }

 private:
  UConverter* m_cnv = nullptr;
  std::vector<char> m_scratch;
};

Cp936Encoder& encoder() {
  thread_local Cp936Encoder enc;
  return enc;
}

// True when readFile's empty result stands for a failure rather than for an
// empty file.
bool readFailed(const Text& path) {
  std::error_code ec;
  auto size = std::filesystem::file_size(nativePath(path), ec);
  return ec || size > 0;
}

}  // namespace

Text utf8ToGb2312(const Bytes& content) {
  // U+0000 is the only character that yields a zero byte, and a zero byte is
  // U+0000 wherever it stands in UTF-8 (it ends any sequence it interrupts),
  // so cutting the input there cuts the output at its first zero.
  size_t k = content.size();
  if (const void* zero = std::memchr(content.data(), 0, k))
    k = static_cast<size_t>(static_cast<const char*>(zero) - content.data());
  const uchar* s = reinterpret_cast<const uchar*>(content.data());
  // A byte-order mark says how the file is encoded; it is no part of the
  // text and has no code page 936 form, so it is dropped rather than turned
  // into a "?" at the head of every converted page.
  if (k >= 3 && std::memcmp(s, kUtf8Bom, 3) == 0) {
    s += 3;
    k -= 3;
  }
  if (allAscii(s, k)) return Text(reinterpret_cast<const char*>(s), k);

  // Kept from call to call, like the encoder's buffer.
  thread_local std::vector<char16_t> decoded;
  if (decoded.size() < k) decoded.resize(k);
  const size_t n = decodeUtf8(s, k, decoded.data());
  std::u16string composed;
  if (composeMarks(decoded.data(), n, composed))
    return encoder().encode(composed.data(), composed.size());
  return encoder().encode(decoded.data(), n);
}

BatchReport convertFolderToGb2312(const Text& folder, const Text& suffix) {
  BatchReport report;
  const Text base = folder + "\\";
  const Text outFolder = base + gbk("处理后");
  createFolder(outFolder);  // may exist already
  for (const Text& name : listFolder(base + "*" + suffix, ListFilter::kFiles)) {
    if (name == "." || name == "..") continue;
    const Text source = base + name;
    const Bytes content = readFile(source);
    if (content.empty() && readFailed(source)) {
      // An empty copy would only hide the failure (and could replace a good
      // copy made earlier).
      report.problems.push_back({source, gbk("无法读取")});
      continue;
    }
    const Text copy = outFolder + "\\" + name;
    // A Text holds no zero byte, so its bytes are the file as they stand.
    if (writeFile(copy, utf8ToGb2312(content)))
      ++report.done;
    else
      report.problems.push_back({copy, gbk("无法写入副本")});
  }
  return report;
}

}  // namespace zanvo
