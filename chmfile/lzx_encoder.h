// LZX compression as stored in section 1 ("MSCompressed") of a CHM file.
//
// The stream is the CHM flavour of LZX: input is cut into 32 KiB frames, the
// bit stream is padded to a 16-bit boundary at every frame end, and every
// reset interval starts from a fresh encoder state (empty Huffman lengths,
// repeated offsets 1/1/1, a new translation header bit), so a reader can
// start decoding at any reset interval.  Intervals are compressed
// independently and therefore in parallel.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zanvo::chm {

struct LzxOptions {
  int windowBits = 16;                  // 2^16 = 64 KiB window (CHM books use 15..21)
  uint32_t resetIntervalBytes = 65536;  // encoder state and window reset every this many input bytes
  int level = 2;                        // 0 = store only (uncompressed blocks), 1 = fast, 2 = default, 3 = best
  int threads = 0;                      // 0 = hardware concurrency; reset intervals are independent
};

struct LzxOutput {
  std::string data;                    // the compressed stream (the content of ::DataSpace/Storage/MSCompressed/Content)
  std::vector<uint64_t> frameOffsets;  // compressed offset of the start of every 32 KiB frame of input:
                                       // frameOffsets[0] = 0, one per frame start (ceil(n/32768) entries;
                                       // 0 entries for empty input)
};

// The frame size of CHM LZX; reset intervals are whole multiples of it.
inline constexpr uint32_t kLzxFrameSize = 32768;

// Compresses `input` into one CHM LZX stream.
//
// Options out of range are brought into range rather than rejected:
// windowBits is clamped to 15..21, resetIntervalBytes to 32 KiB..1 GiB and
// rounded up to a whole number of frames, level to 0..3.  The
// caller stores the options actually used in the CHM's LZXC control data, so
// it should pass values that are already valid (windowBits 15..21,
// resetIntervalBytes a multiple of 32768).  Never fails; an empty input gives
// an empty stream and no frame offsets.
//
// The stream ends with the last frame's bits, padded to 16 bits, and nothing
// after them: 7-Zip decodes each frame from exactly the bytes between two
// frame offsets and rejects leftovers.  libmspack, asked for output that ends
// exactly on a reset interval boundary, runs one frame on into the next
// interval and reads two 16-bit words there (the translation header bit, then
// a realignment), of which it fakes only one at the end of its input; so a
// container must not let a file end exactly where a stream whose length is a
// whole number of reset intervals ends (pad such a section with a further
// interval, or make its length no such multiple).
LzxOutput lzxCompress(std::string_view input, const LzxOptions& options = {});

}  // namespace zanvo::chm
