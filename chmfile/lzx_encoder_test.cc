// Every stream is decoded with libmspack's LZX decoder (the one its CHM
// reader uses) and compared byte for byte with the input.
#include "chmfile/lzx_encoder.h"

#include <gtest/gtest.h>
#include <mspack.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

// libmspack's LZX decoder is internal API: it is not in <mspack.h> and the
// shared library does not export it, but the static archive carries it.
extern "C" {
struct lzxd_stream;
struct lzxd_stream* lzxd_init(struct mspack_system* system, struct mspack_file* input,
                              struct mspack_file* output, int window_bits, int reset_interval,
                              int input_buffer_size, off_t output_length, char is_delta);
int lzxd_decompress(struct lzxd_stream* lzx, off_t out_bytes);
void lzxd_free(struct lzxd_stream* lzx);
}

namespace zanvo::chm {
namespace {

// A memory file for libmspack: reads from `in`, appends to `out`.
struct MemFile : mspack_file {
  MemFile(std::string_view input, std::string* output) : in(input), out(output) {}
  std::string_view in;
  size_t pos = 0;
  std::string* out;
};

int memRead(mspack_file* file, void* buffer, int bytes) {
  MemFile* f = static_cast<MemFile*>(file);
  const size_t n = std::min<size_t>(static_cast<size_t>(bytes), f->in.size() - f->pos);
  std::memcpy(buffer, f->in.data() + f->pos, n);
  f->pos += n;
  return static_cast<int>(n);
}
int memWrite(mspack_file* file, void* buffer, int bytes) {
  MemFile* f = static_cast<MemFile*>(file);
  f->out->append(static_cast<const char*>(buffer), static_cast<size_t>(bytes));
  return bytes;
}
void memMessage(mspack_file*, const char*, ...) {}
void* memAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void memFree(void* p) { std::free(p); }
void memCopy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

mspack_system memSystem() {
  mspack_system sys{};
  sys.read = memRead;
  sys.write = memWrite;
  sys.message = memMessage;
  sys.alloc = memAlloc;
  sys.free = memFree;
  sys.copy = memCopy;
  return sys;
}

// Decodes `length` bytes from `stream` with a fresh decoder, as a CHM reader
// does when it starts at a reset interval.  Returns false on a decoder error.
bool lzxDecode(std::string_view stream, int windowBits, uint32_t resetIntervalBytes,
               uint64_t length, std::string& out) {
  out.clear();
  if (length == 0) return true;
  // Asked for output that ends on a reset interval boundary, libmspack's
  // decoder reads two words into the next interval and fakes only one past
  // the end of its input (see lzx_encoder.h: CHM readers never ask for such
  // an end).  The harness supplies the missing word so the last bytes are
  // still checked.
  std::string padded;
  if (length % resetIntervalBytes == 0) {
    padded = std::string(stream) + std::string(2, '\0');
    stream = padded;
  }
  mspack_system sys = memSystem();
  MemFile in(stream, nullptr);
  MemFile sink({}, &out);
  lzxd_stream* lzx = lzxd_init(&sys, &in, &sink, windowBits,
                               static_cast<int>(resetIntervalBytes / kLzxFrameSize), 4096,
                               static_cast<off_t>(length), 0);
  if (!lzx) return false;
  const int err = lzxd_decompress(lzx, static_cast<off_t>(length));
  lzxd_free(lzx);
  return err == MSPACK_ERR_OK;
}

// Deterministic HTML-like text: tags, attributes and words from a small
// vocabulary, the kind of input CHM books are made of.
std::string htmlCorpus(size_t size, uint32_t seed) {
  static const char* const kWords[] = {
      "the", "window", "function", "returns", "value", "of", "a", "file", "book", "page",
      "contents", "index", "search", "compiled", "help", "topic", "and", "to", "in", "is",
      "parameter", "string", "number", "example", "see", "also", "remarks", "class", "object"};
  static const char* const kTags[] = {"p", "li", "td", "b", "i", "code", "span"};
  std::mt19937 rng(seed);
  std::string s = "<html><head><title>Topic</title></head><body>\n";
  while (s.size() < size) {
    const char* tag = kTags[rng() % std::size(kTags)];
    s += "<";
    s += tag;
    if (rng() % 3 == 0) s += " class=\"c" + std::to_string(rng() % 20) + "\"";
    s += ">";
    const int words = 3 + static_cast<int>(rng() % 15);
    for (int w = 0; w < words; ++w) {
      if (w) s += ' ';
      s += kWords[rng() % std::size(kWords)];
    }
    s += "</";
    s += tag;
    s += ">\n";
    if (rng() % 40 == 0) s += "<a href=\"page" + std::to_string(rng() % 500) + ".htm\">link</a>\n";
  }
  s.resize(size);
  return s;
}

std::string randomBytes(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng() & 0xFF);
  return s;
}

// x86-like code: lots of E8 (call) opcodes with 32-bit operands.
std::string e8Heavy(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) {
    s += '\xE8';
    const uint32_t target = rng() % 4096;
    for (int i = 0; i < 4; ++i) s += static_cast<char>((target >> (8 * i)) & 0xFF);
    if (rng() % 2) s += "\x55\x8B\xEC";
    if (rng() % 5 == 0) s += '\xE8';
  }
  s.resize(size);
  return s;
}

// Checks the frame offsets' shape and that a fresh decoder started at each
// reset interval's offset reproduces the rest of the input.
void checkStream(std::string_view input, const LzxOutput& out, const LzxOptions& opt) {
  const size_t frames = (input.size() + kLzxFrameSize - 1) / kLzxFrameSize;
  ASSERT_EQ(frames, out.frameOffsets.size());
  if (frames) {
    EXPECT_EQ(0u, out.frameOffsets[0]);
  } else {
    EXPECT_TRUE(out.data.empty());
  }
  for (size_t i = 1; i < frames; ++i) {
    ASSERT_LT(out.frameOffsets[i - 1], out.frameOffsets[i]) << "frame " << i;
    ASSERT_LE(out.frameOffsets[i], out.data.size());
  }

  std::string decoded;
  ASSERT_TRUE(lzxDecode(out.data, opt.windowBits, opt.resetIntervalBytes, input.size(), decoded));
  ASSERT_EQ(input.size(), decoded.size());
  ASSERT_TRUE(decoded == input) << "decoded bytes differ";

  // Every reset interval alone, from its frame offset up to the next
  // interval's, with a fresh decoder: what a reader does to reach one page.
  const size_t framesPerInterval = opt.resetIntervalBytes / kLzxFrameSize;
  for (size_t f = 0; f < frames; f += framesPerInterval) {
    SCOPED_TRACE("decoding the interval at frame " + std::to_string(f));
    const uint64_t start = uint64_t{f} * kLzxFrameSize;
    const uint64_t end = f + framesPerInterval < frames ? out.frameOffsets[f + framesPerInterval]
                                                        : out.data.size();
    const std::string_view slice =
        std::string_view(out.data).substr(out.frameOffsets[f], end - out.frameOffsets[f]);
    const uint64_t length = std::min<uint64_t>(opt.resetIntervalBytes, input.size() - start);
    ASSERT_TRUE(lzxDecode(slice, opt.windowBits, opt.resetIntervalBytes, length, decoded));
    ASSERT_TRUE(decoded == input.substr(start, length)) << "decoded bytes differ";
  }
}

struct Input {
  std::string name;
  std::string bytes;
};

std::vector<Input> edgeInputs() {
  std::vector<Input> inputs;
  inputs.push_back({"empty", ""});
  inputs.push_back({"one byte", "x"});
  inputs.push_back({"two bytes", "ab"});
  for (size_t n : {32767u, 32768u, 32769u, 65535u, 65536u, 65537u})
    inputs.push_back({"text " + std::to_string(n), htmlCorpus(n, static_cast<uint32_t>(n))});
  inputs.push_back({"run of one byte", std::string(100000, 'a')});
  inputs.push_back({"run of zero bytes, odd", std::string(70001, '\0')});
  inputs.push_back({"random", randomBytes(90000, 7)});
  inputs.push_back({"random odd tail", randomBytes(65536 + 32768 + 3, 8)});
  inputs.push_back({"e8 heavy", e8Heavy(80000, 9)});
  std::string mixed = htmlCorpus(40000, 3) + randomBytes(30001, 4) + std::string(5000, 'z') +
                      htmlCorpus(20000, 5);
  inputs.push_back({"text, random, run, text", mixed});
  return inputs;
}

TEST(LzxCompress, RoundTripsEdgeInputsAtEveryLevel) {
  for (const Input& input : edgeInputs()) {
    for (int level = 0; level <= 3; ++level) {
      SCOPED_TRACE(input.name + ", level " + std::to_string(level));
      LzxOptions opt;
      opt.level = level;
      checkStream(input.bytes, lzxCompress(input.bytes, opt), opt);
    }
  }
}

TEST(LzxCompress, RoundTripsOtherWindowsAndIntervals) {
  const std::string text = htmlCorpus(300000, 11) + randomBytes(20000, 12) + htmlCorpus(100001, 13);
  struct Case {
    int windowBits;
    uint32_t interval;
  };
  const Case cases[] = {{15, 32768}, {15, 65536}, {15, 131072}, {16, 131072},
                        {17, 131072}, {18, 262144}, {21, 65536}, {21, 1u << 20}};
  for (const Case& c : cases) {
    for (int level : {1, 2}) {
      SCOPED_TRACE("window " + std::to_string(c.windowBits) + ", interval " +
                   std::to_string(c.interval) + ", level " + std::to_string(level));
      LzxOptions opt;
      opt.windowBits = c.windowBits;
      opt.resetIntervalBytes = c.interval;
      opt.level = level;
      checkStream(text, lzxCompress(text, opt), opt);
    }
  }
}

TEST(LzxCompress, MultiIntervalInputIsIndependentOfThreadCount) {
  const std::string text = htmlCorpus(3u << 20, 21);
  LzxOptions opt;
  opt.threads = 1;
  const LzxOutput one = lzxCompress(text, opt);
  checkStream(text, one, opt);
  opt.threads = 4;
  const LzxOutput four = lzxCompress(text, opt);
  EXPECT_TRUE(one.data == four.data);
  EXPECT_EQ(one.frameOffsets, four.frameOffsets);
}

TEST(LzxCompress, CompressesTextAndBoundsIncompressibleInput) {
  const std::string text = htmlCorpus(1u << 20, 31);
  size_t previous = text.size();
  for (int level = 1; level <= 3; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    LzxOptions opt;
    opt.level = level;
    const size_t size = lzxCompress(text, opt).data.size();
    // This vocabulary-limited text compresses far better than 1:3.
    EXPECT_LT(size, text.size() / 3);
    // Higher levels never lose more than a sliver against lower ones.
    EXPECT_LT(size, previous + previous / 100);
    previous = size;
  }
  // Random bytes go out as stored blocks: a few bytes of overhead per interval.
  const std::string noise = randomBytes(1u << 20, 32);
  for (int level = 0; level <= 3; ++level) {
    SCOPED_TRACE("random, level " + std::to_string(level));
    LzxOptions opt;
    opt.level = level;
    EXPECT_LT(lzxCompress(noise, opt).data.size(), noise.size() + noise.size() / 1000);
  }
}

TEST(LzxCompress, StoresIncompressiblePartsOfAnInterval) {
  // Every 64 KiB interval holds 40 KiB of text and 24 KiB of noise (an
  // embedded image, say): the noise must cost hardly more than its size.
  std::vector<std::string> texts;
  std::string mixed;
  for (uint32_t k = 0; k < 8; ++k) {
    texts.push_back(htmlCorpus(40960, 50 + k));
    mixed += texts.back() + randomBytes(24576, 60 + k);
  }
  for (int level = 1; level <= 3; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    LzxOptions opt;
    opt.level = level;
    size_t textSize = 0;  // each text part on its own, as in its interval
    for (const std::string& t : texts) textSize += lzxCompress(t, opt).data.size();
    const LzxOutput out = lzxCompress(mixed, opt);
    checkStream(mixed, out, opt);
    EXPECT_LT(out.data.size(), textSize + 8 * 24576 + 8 * 24576 / 100);
  }
}

TEST(LzxCompress, StoredIntervalHasTheExactLayout) {
  // Header bit "no E8 translation", type 3, 24-bit length 0x010000, padding
  // to 16 bits, R0..R2 = 1, the bytes, and nothing after them (7-Zip rejects
  // bytes left over after the last frame).
  const std::string data(65536, 'x');
  LzxOptions opt;
  opt.level = 0;
  const LzxOutput out = lzxCompress(data, opt);
  const std::string header("\x10\x30\x00\x00"
                           "\x01\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00",
                           16);
  ASSERT_EQ(header.size() + data.size(), out.data.size());
  EXPECT_EQ(header, out.data.substr(0, header.size()));
  EXPECT_TRUE(out.data.substr(header.size()) == data);
  EXPECT_EQ((std::vector<uint64_t>{0, header.size() + kLzxFrameSize}), out.frameOffsets);
}

TEST(LzxCompress, OutOfRangeOptionsAreBroughtIntoRange) {
  const std::string text = htmlCorpus(100000, 41);
  LzxOptions opt;
  opt.windowBits = 30;
  opt.resetIntervalBytes = 40000;  // rounds up to 65536
  opt.level = 9;
  const LzxOutput out = lzxCompress(text, opt);
  LzxOptions used;
  used.windowBits = 21;
  used.resetIntervalBytes = 65536;
  checkStream(text, out, used);
}

}  // namespace
}  // namespace zanvo::chm
