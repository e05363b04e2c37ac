// LZX encoder for CHM section 1.  First version: stored (uncompressed) blocks.
#include "chmfile/lzx_encoder.h"

#include <algorithm>

namespace zanvo::chm {
namespace {

class BitWriter {
 public:
  explicit BitWriter(std::string& out) : m_out(out) {}
  void put(uint32_t value, int bits) {
    m_acc = (m_acc << bits) | value;
    m_count += bits;
    while (m_count >= 16) {
      m_count -= 16;
      const uint32_t word = static_cast<uint32_t>(m_acc >> m_count) & 0xFFFF;
      m_out.push_back(static_cast<char>(word & 0xFF));
      m_out.push_back(static_cast<char>(word >> 8));
    }
    m_acc &= (uint64_t{1} << m_count) - 1;
  }
  bool aligned() const { return m_count == 0; }
  void align() {
    if (m_count) put(0, 16 - m_count);
  }
  std::string& out() { return m_out; }

 private:
  std::string& m_out;
  uint64_t m_acc = 0;
  int m_count = 0;
};

void putLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void compressIntervalStored(std::string_view in, std::string& out,
                            std::vector<uint64_t>& frames) {
  BitWriter bw(out);
  bw.put(0, 1);  // no E8 translation
  size_t pos = 0;
  while (pos < in.size()) {
    const size_t len = std::min<size_t>(in.size() - pos, 0xFFFFFF & ~size_t{kLzxFrameSize - 1});
    bw.put(3, 3);
    bw.put(static_cast<uint32_t>(len >> 8), 16);
    bw.put(static_cast<uint32_t>(len & 0xFF), 8);
    if (bw.aligned()) bw.put(0, 16); else bw.align();
    for (int i = 0; i < 3; ++i) putLe32(out, 1);
    for (size_t f = pos; f < pos + len; f += kLzxFrameSize) {
      if (f != pos || f == 0) {}
      frames.push_back(f == pos && f == 0 ? 0 : out.size());
      out.append(in.substr(f, std::min<size_t>(kLzxFrameSize, pos + len - f)));
    }
    if (len & 1) out.push_back(0);
    pos += len;
  }
}

}  // namespace

LzxOutput lzxCompress(std::string_view input, const LzxOptions& options) {
  LzxOutput result;
  uint64_t interval = std::max<uint64_t>(options.resetIntervalBytes, kLzxFrameSize);
  interval = (interval + kLzxFrameSize - 1) / kLzxFrameSize * kLzxFrameSize;
  for (size_t start = 0; start < input.size(); start += interval) {
    std::vector<uint64_t> frames;
    const size_t base = result.data.size();
    compressIntervalStored(input.substr(start, std::min<uint64_t>(interval, input.size() - start)),
                           result.data, frames);
    for (size_t i = 0; i < frames.size(); ++i)
      result.frameOffsets.push_back(i == 0 ? base : frames[i]);
  }
  return result;
}

}  // namespace zanvo::chm
