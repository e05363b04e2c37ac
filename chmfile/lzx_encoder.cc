// LZX encoder for CHM section 1.
//
// Stream layout (what a CHM reader's LZX decoder expects):
// - 16-bit little-endian words, bits consumed from the most significant end.
// - Every reset interval starts from a clean state: one bit for the E8
//   translation header (we write 0: no translation), all Huffman lengths 0,
//   repeated offsets R0 = R1 = R2 = 1.  Blocks never cross an interval.
// - Output is produced in 32 KiB frames; after the last bit of every frame
//   the stream is padded to a 16-bit boundary.  A match may not cross a frame
//   boundary: the decoder checks that each frame comes out exactly 32 KiB.
// - Block header: 3-bit type (1 verbatim, 2 aligned offset, 3 uncompressed)
//   and a 24-bit count of uncompressed bytes.
// - Verbatim/aligned blocks: [aligned tree: 8 x 3 bits], main tree lengths
//   for the 256 literals, then for the 8 * slots match symbols, then the
//   249-entry length tree; each list is sent as pretree-coded deltas against
//   the lengths of the previous compressed block of the interval.
// - Uncompressed blocks: after the header 1..16 bits of padding up to a
//   16-bit boundary (16 when already aligned), R0/R1/R2 as 32-bit LE, the raw
//   bytes, and a pad byte if the block length is odd.  That pad byte is only
//   skipped when another block header follows inside the same interval, so an
//   odd-length stored block may not end an interval (except the last one).
#include "chmfile/lzx_encoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

namespace zanvo::chm {
namespace {

constexpr int kNumChars = 256;
constexpr int kMinMatch = 2;
constexpr int kMaxMatch = 257;
constexpr int kNumPrimaryLengths = 7;
constexpr int kNumSecondaryLengths = 249;
constexpr int kMaxSlots = 50;
constexpr int kMainMax = kNumChars + 8 * kMaxSlots;
constexpr int kAlignedSize = 8;
constexpr int kPretreeSize = 20;
constexpr int kMaxCodeLength = 16;
constexpr int kMaxPretreeLength = 15;  // sent in 4 bits
constexpr uint32_t kMaxBlockBytes = 0xFFFFFF;  // 24-bit length field
// Positions inside an interval are 32-bit signed in the match finders.
constexpr uint64_t kMaxInterval = uint64_t{1} << 30;

constexpr int kBlockVerbatim = 1;
constexpr int kBlockAligned = 2;
constexpr int kBlockUncompressed = 3;

int slotCount(int windowBits) {
  static constexpr int kSlots[7] = {30, 32, 34, 36, 38, 42, 50};
  return kSlots[windowBits - 15];
}

int extraBitsOf(int slot) { return slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17; }

struct SlotTables {
  uint32_t base[kMaxSlots + 1];
  uint8_t extra[kMaxSlots + 1];
  SlotTables() {
    base[0] = 0;
    for (int s = 0; s <= kMaxSlots; ++s) {
      extra[s] = static_cast<uint8_t>(extraBitsOf(s));
      if (s) base[s] = base[s - 1] + (1u << extra[s - 1]);
    }
  }
};
const SlotTables kSlotTables;

// Slot of a formatted offset (real offset + 2), which is at least 3.
inline int slotOf(uint32_t formatted) {
  if (formatted < 4) return static_cast<int>(formatted);
  if (formatted >= 262144) return 36 + static_cast<int>((formatted - 262144) >> 17);
  const int hb = 31 - __builtin_clz(formatted);
  return 2 * hb + static_cast<int>((formatted >> (hb - 1)) & 1);
}

// ---------------------------------------------------------------------------
// Bits out.

class BitWriter {
 public:
  explicit BitWriter(std::string& out) : m_out(out) {}
  // bits <= 32
  void put(uint32_t value, int bits) {
    m_acc = (m_acc << bits) | value;
    m_count += bits;
    while (m_count >= 16) {
      m_count -= 16;
      const uint32_t word = static_cast<uint32_t>(m_acc >> m_count) & 0xFFFF;
      const char bytes[2] = {static_cast<char>(word & 0xFF), static_cast<char>(word >> 8)};
      m_out.append(bytes, 2);
    }
    m_acc &= (uint64_t{1} << m_count) - 1;
  }
  bool aligned() const { return m_count == 0; }
  void align() {
    if (m_count) put(0, 16 - m_count);
  }

 private:
  std::string& m_out;
  uint64_t m_acc = 0;
  int m_count = 0;
};

void putLe32(std::string& out, uint32_t v) {
  const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                         static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
  out.append(bytes, 4);
}

// ---------------------------------------------------------------------------
// Huffman codes.

// GCC's range analysis cannot see that m >= 2 below and warns about
// depth[root] with root == -1.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#endif
// Code lengths for `n` symbols from their frequencies, none longer than
// `limit`.  The code is always complete (the decoder rejects incomplete
// tables): a lone used symbol gets a partner of the same length.  Symbols
// with frequency 0 get length 0.  Too-deep trees are rebuilt from flattened
// frequencies, which converges quickly and costs little.
void buildLengths(const uint32_t* freq, int n, int limit, uint8_t* lens) {
  std::fill(lens, lens + n, 0);
  std::array<uint32_t, kMainMax> f;
  std::array<int, kMainMax> syms;
  int m = 0;
  for (int i = 0; i < n; ++i) {
    f[i] = freq[i];
    if (freq[i]) syms[m++] = i;
  }
  if (m == 0) return;
  if (m == 1) {
    lens[syms[0]] = 1;
    lens[syms[0] == 0 ? 1 : 0] = 1;
    return;
  }
  std::array<uint64_t, 2 * kMainMax> weight;
  std::array<int, 2 * kMainMax> parent;
  std::array<uint8_t, 2 * kMainMax> depth;
  for (;;) {
    std::sort(syms.begin(), syms.begin() + m,
              [&](int a, int b) { return f[a] != f[b] ? f[a] < f[b] : a < b; });
    for (int i = 0; i < m; ++i) weight[i] = f[syms[i]];
    int leaf = 0, inner = m, next = m;
    auto take = [&]() {
      if (leaf < m && (inner >= next || weight[leaf] <= weight[inner])) return leaf++;
      return inner++;
    };
    for (int k = 0; k < m - 1; ++k) {
      const int a = take();
      const int b = take();
      weight[next] = weight[a] + weight[b];
      parent[a] = parent[b] = next;
      ++next;
    }
    const int root = 2 * m - 2;  // m >= 2 leaves make m - 1 inner nodes
    depth[root] = 0;
    int maxDepth = 0;
    for (int i = root - 1; i >= 0; --i) {
      depth[i] = static_cast<uint8_t>(depth[parent[i]] + 1);
      if (i < m) maxDepth = std::max<int>(maxDepth, depth[i]);
    }
    if (maxDepth <= limit) {
      for (int i = 0; i < m; ++i) lens[syms[i]] = depth[i];
      return;
    }
    for (int i = 0; i < m; ++i) f[syms[i]] = (f[syms[i]] + 1) / 2;
  }
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

// Canonical codes: shorter codes first, equal lengths in symbol order.
void makeCodes(const uint8_t* lens, int n, uint16_t* codes) {
  uint32_t count[kMaxCodeLength + 2] = {};
  for (int i = 0; i < n; ++i) count[lens[i]]++;
  count[0] = 0;
  uint32_t next[kMaxCodeLength + 2] = {};
  uint32_t code = 0;
  for (int len = 1; len <= kMaxCodeLength; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  for (int i = 0; i < n; ++i)
    if (lens[i]) codes[i] = static_cast<uint16_t>(next[lens[i]]++);
}

// ---------------------------------------------------------------------------
// Tree transmission: code lengths as pretree symbols.

struct PreSym {
  uint8_t sym;
  uint8_t extraBits;
  uint8_t extra;
};

inline uint8_t deltaSym(uint8_t prev, uint8_t now) {
  return static_cast<uint8_t>((prev + 17 - now) % 17);
}

// Appends the pretree symbols that turn prev[first..last) into lens[first..last).
// Symbol 19 repeats one value, derived from the previous length of its first
// position only, over 4 or 5 positions.
void encodeLengths(const uint8_t* lens, const uint8_t* prev, int first, int last,
                   std::vector<PreSym>& out) {
  int i = first;
  while (i < last) {
    const uint8_t len = lens[i];
    int run = 1;
    while (i + run < last && lens[i + run] == len) ++run;
    if (len == 0 && run >= 4) {
      while (run >= 20) {
        const int k = std::min(run, 51);
        out.push_back({18, 5, static_cast<uint8_t>(k - 20)});
        i += k;
        run -= k;
      }
      if (run >= 4) {
        out.push_back({17, 4, static_cast<uint8_t>(run - 4)});
        i += run;
        run = 0;
      }
    } else if (len != 0 && run >= 4) {
      while (run >= 4) {
        const int k = std::min(run, 5);
        out.push_back({19, 1, static_cast<uint8_t>(k - 4)});
        out.push_back({deltaSym(prev[i], len), 0, 0});
        i += k;
        run -= k;
      }
    }
    for (; run > 0; --run, ++i) out.push_back({deltaSym(prev[i], lens[i]), 0, 0});
  }
}

// A pretree with its symbol list, ready to cost or write.
struct TreeCoding {
  std::vector<PreSym> syms;
  uint8_t preLens[kPretreeSize];
  uint16_t preCodes[kPretreeSize];

  void build(const uint8_t* lens, const uint8_t* prev, int first, int last) {
    syms.clear();
    encodeLengths(lens, prev, first, last, syms);
    uint32_t freq[kPretreeSize] = {};
    for (const PreSym& s : syms) freq[s.sym]++;
    buildLengths(freq, kPretreeSize, kMaxPretreeLength, preLens);
    makeCodes(preLens, kPretreeSize, preCodes);
  }
  uint64_t bits() const {
    uint64_t total = 4 * kPretreeSize;
    for (const PreSym& s : syms) total += preLens[s.sym] + s.extraBits;
    return total;
  }
  void write(BitWriter& bw) const {
    for (int i = 0; i < kPretreeSize; ++i) bw.put(preLens[i], 4);
    for (const PreSym& s : syms) {
      bw.put(preCodes[s.sym], preLens[s.sym]);
      if (s.extraBits) bw.put(s.extra, s.extraBits);
    }
  }
};

// ---------------------------------------------------------------------------
// Parsed stream.

// One literal or match in LZX terms.  For matches, `main` already carries the
// slot (0..2 = repeated offsets R0..R2) and the length header.
struct Item {
  uint16_t main;
  uint8_t lengthFooter;  // length - 9 when the length header is 7
  uint8_t extraBits;     // footer bits of the slot
  uint32_t footer;       // formatted offset - slot base
};

inline uint32_t itemLength(const Item& it) {
  if (it.main < kNumChars) return 1;
  const uint32_t header = (it.main - kNumChars) & 7;
  return header == kNumPrimaryLengths ? kMinMatch + kNumPrimaryLengths + it.lengthFooter
                                      : kMinMatch + header;
}

struct RepeatState {
  uint32_t r[3] = {1, 1, 1};
};

inline Item literalItem(uint8_t c) { return Item{c, 0, 0, 0}; }

// Builds the item for a match and updates the repeated offsets the way the
// decoder will.  repeatIndex is 0..2 for a repeated offset, -1 for a new one.
inline Item matchItem(uint32_t length, uint32_t offset, int repeatIndex, RepeatState& rs) {
  Item it{};
  int slot;
  if (repeatIndex >= 0) {
    slot = repeatIndex;
    if (repeatIndex) std::swap(rs.r[0], rs.r[repeatIndex]);
  } else {
    const uint32_t formatted = offset + 2;
    slot = slotOf(formatted);
    it.extraBits = kSlotTables.extra[slot];
    it.footer = formatted - kSlotTables.base[slot];
    rs.r[2] = rs.r[1];
    rs.r[1] = rs.r[0];
    rs.r[0] = offset;
  }
  const uint32_t lenHeader = std::min<uint32_t>(length - kMinMatch, kNumPrimaryLengths);
  it.main = static_cast<uint16_t>(kNumChars + slot * 8 + lenHeader);
  if (lenHeader == kNumPrimaryLengths)
    it.lengthFooter = static_cast<uint8_t>(length - kMinMatch - kNumPrimaryLengths);
  return it;
}

// ---------------------------------------------------------------------------
// Match finding: hash chains over one reset interval.

struct LevelParams {
  int chainDepth;
  int niceLength;
  bool lazy;
};

LevelParams paramsFor(int level) {
  switch (level) {
    case 1: return {6, 24, false};
    case 2: return {24, 64, true};
    default: return {256, kMaxMatch, true};
  }
}

constexpr int kHashBits = 15;

inline uint32_t hash3(const uint8_t* p) {
  const uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  return (v * 2654435761u) >> (32 - kHashBits);
}

constexpr int kHash4Bits = 16;

inline uint32_t hash4(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHash4Bits);
}

inline uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t len = 0;
  while (len + 8 <= limit) {
    uint64_t x, y;
    std::memcpy(&x, a + len, 8);
    std::memcpy(&y, b + len, 8);
    if (x != y) return len + (__builtin_ctzll(x ^ y) >> 3);
    len += 8;
  }
  while (len < limit && a[len] == b[len]) ++len;
  return len;
}

// Hash heads and chain links hold positions biased by `base`, which grows
// from interval to interval: entries left over from earlier intervals fall
// below the current base and read as empty, so the tables need no clearing.
struct ChainTables {
  std::vector<uint32_t> head;
  std::vector<uint32_t> head3;
  std::vector<uint32_t> prev;
  uint32_t base = 1;
  uint32_t next = 1;

  void start(uint32_t n, size_t headSize, size_t head3Size) {
    if (head.size() != headSize || head3.size() != head3Size || uint64_t{next} + n >= 0xFFFFFFFFu) {
      head.assign(headSize, 0);
      head3.assign(head3Size, 0);
      next = 1;
    }
    base = next;
    next += n;
  }
};

class Parser {
 public:
  void parse(const uint8_t* data, uint32_t n, uint32_t windowSize, const LevelParams& params,
             std::vector<Item>& items, RepeatState& rs) {
    m_data = data;
    m_n = n;
    m_maxDistance = windowSize - 3;
    m_params = params;
    startInterval(n);
    // Chains only need to reach back one window, so the links live in a
    // ring of window size and memory does not grow with the interval.
    m_prevMask = std::min(windowSize, std::bit_ceil(std::max(n, 1u))) - 1;
    if (m_prev.size() < m_prevMask + 1) m_prev.resize(m_prevMask + 1);
    m_inserted = 0;
    items.clear();
    items.reserve(n / 3 + 16);

    // After a long run of literals (incompressible data such as an embedded
    // image) matches are looked for at every 8th position only, until one
    // turns up.
    constexpr uint32_t kSparseAfter = 256;
    uint32_t misses = 0;
    uint32_t pos = 0;
    Candidate cur = find(0, rs);
    while (pos < n) {
      if (cur.length < kMinMatch) {
        items.push_back(literalItem(data[pos]));
        ++pos;
        ++misses;
        if (pos < n) cur = misses < kSparseAfter || (pos & 7) == 0 ? find(pos, rs) : Candidate{};
        continue;
      }
      misses = 0;
      if (m_params.lazy && cur.length < static_cast<uint32_t>(m_params.niceLength) &&
          pos + 1 < n) {
        Candidate next = find(pos + 1, rs);
        if (next.score > cur.score) {
          items.push_back(literalItem(data[pos]));
          ++pos;
          cur = next;
          continue;
        }
      }
      items.push_back(matchItem(cur.length, cur.offset, cur.repeatIndex, rs));
      pos += cur.length;
      if (pos < n) cur = find(pos, rs);
    }
  }

 private:
  struct Candidate {
    uint32_t length = 0;
    uint32_t offset = 0;
    int repeatIndex = -1;
    int score = 0;
  };

  void insertUpTo(uint32_t pos) {
    const uint32_t end = std::min(pos, m_n >= 3 ? m_n - 2 : 0);
    for (uint32_t p = m_inserted; p < end; ++p) {
      const uint32_t h = hash3(m_data + p);
      m_prev[p & m_prevMask] = m_head[h];
      m_head[h] = m_base + p;
    }
    if (end > m_inserted) m_inserted = end;
  }

  // Rough bit savings of a match against coding its bytes as literals.
  static int scoreOf(uint32_t length, uint32_t offset, bool repeat) {
    int cost = repeat ? 3 : 6 + extraBitsOf(slotOf(offset + 2));
    if (length > kMinMatch + kNumPrimaryLengths) cost += 4;
    return static_cast<int>(length) * 6 - cost;
  }

  Candidate find(uint32_t pos, const RepeatState& rs) {
    Candidate best;
    const uint32_t frameEnd = std::min<uint32_t>((pos / kLzxFrameSize + 1) * kLzxFrameSize, m_n);
    const uint32_t limit = std::min<uint32_t>(kMaxMatch, frameEnd - pos);
    insertUpTo(pos);
    if (limit < kMinMatch) return best;
    const uint8_t* here = m_data + pos;

    for (int i = 0; i < 3; ++i) {
      const uint32_t off = rs.r[i];
      if (off > pos) continue;
      if (i && off == rs.r[0]) continue;
      const uint32_t len = matchLength(here, here - off, limit);
      if (len < kMinMatch) continue;
      const int score = scoreOf(len, off, true);
      if (best.length == 0 || score > best.score) best = {len, off, i, score};
    }
    if (limit < 3 || pos + 3 > m_n || best.length >= limit) return best;

    uint32_t cand = m_head[hash3(here)];
    int depth = m_params.chainDepth;
    const uint32_t minPos = pos > m_maxDistance ? pos - m_maxDistance : 0;
    uint32_t bestLen = std::max<uint32_t>(best.length, 2);
    while (cand >= m_base + minPos && depth-- > 0) {
      cand -= m_base;
      const uint8_t* there = m_data + cand;
      if (there[bestLen] == here[bestLen] && there[0] == here[0]) {
        const uint32_t len = matchLength(here, there, limit);
        if (len > bestLen) {
          const uint32_t off = pos - cand;
          int rep = -1;
          for (int i = 0; i < 3; ++i)
            if (rs.r[i] == off) rep = i;
          const int score = scoreOf(len, off, rep >= 0);
          if (score > best.score || best.length == 0) {
            best = {len, off, rep, score};
            bestLen = len;
            if (len >= static_cast<uint32_t>(m_params.niceLength) || len == limit) break;
          }
        }
      }
      cand = m_prev[cand & m_prevMask];
    }
    return best;
  }

  const uint8_t* m_data = nullptr;
  uint32_t m_n = 0;
  uint32_t m_maxDistance = 0;
  uint32_t m_inserted = 0;
  LevelParams m_params{};
  ChainTables m_tables;
  std::vector<uint32_t>& m_head = m_tables.head;
  std::vector<uint32_t>& m_prev = m_tables.prev;
  uint32_t& m_base = m_tables.base;
  uint32_t m_prevMask = 0;
  void startInterval(uint32_t n) { m_tables.start(n, size_t{1} << kHashBits, 0); }
};

// ---------------------------------------------------------------------------
// Near-optimal parsing: a forward shortest-path search over each frame, with
// symbol prices taken from a previous parse of the same interval.

constexpr uint32_t kCostScale = 16;

struct CostModel {
  uint32_t literal[kNumChars];
  uint32_t mainMatch[8 * kMaxSlots];  // slot * 8 + length header
  uint32_t lengthFooter[kNumSecondaryLengths];
  uint32_t extra[kMaxSlots];  // footer bits of each slot

  void fromItems(const Item* begin, const Item* end, int mainSize) {
    uint32_t mainFreq[kMainMax] = {};
    uint32_t lenFreq[kNumSecondaryLengths] = {};
    for (const Item* it = begin; it != end; ++it) {
      mainFreq[it->main]++;
      if (it->main >= kNumChars && ((it->main - kNumChars) & 7) == kNumPrimaryLengths)
        lenFreq[it->lengthFooter]++;
    }
    // Prices in 1/16 bits from the symbol probabilities: finer than whole
    // code lengths, which the final trees will only approximate anyway.
    // Symbols the previous parse did not use still get a finite price, a
    // little above a rare used one.
    uint64_t mainTotal = 0, lenTotal = 0;
    for (int s = 0; s < mainSize; ++s) mainTotal += mainFreq[s];
    for (int s = 0; s < kNumSecondaryLengths; ++s) lenTotal += lenFreq[s];
    auto price = [](uint32_t freq, uint64_t total, uint32_t unseen) -> uint32_t {
      if (!freq) return unseen;
      const double bits = std::log2(static_cast<double>(total) / freq);
      return static_cast<uint32_t>(std::clamp(bits, 1.0, 16.0) * kCostScale + 0.5);
    };
    for (int s = 0; s < kNumChars; ++s) literal[s] = price(mainFreq[s], mainTotal, 13 * kCostScale);
    for (int s = 0; s < 8 * kMaxSlots; ++s)
      mainMatch[s] = s + kNumChars < mainSize ? price(mainFreq[s + kNumChars], mainTotal, 14 * kCostScale)
                                              : 16 * kCostScale;
    for (int s = 0; s < kNumSecondaryLengths; ++s)
      lengthFooter[s] = price(lenFreq[s], lenTotal, 10 * kCostScale);
    for (int s = 0; s < kMaxSlots; ++s) extra[s] = kSlotTables.extra[s] * kCostScale;
  }

  // Price of a match with the given slot (0..2 = repeated offsets).
  uint32_t match(uint32_t slot, uint32_t length) const {
    const uint32_t header = std::min<uint32_t>(length - kMinMatch, kNumPrimaryLengths);
    uint32_t cost = mainMatch[slot * 8 + header] + extra[slot];
    if (header == kNumPrimaryLengths) cost += lengthFooter[length - kMinMatch - kNumPrimaryLengths];
    return cost;
  }
};

class OptimalParser {
 public:
  struct Params {
    int chainDepth;
    uint32_t niceLength;  // a match this long ends the search and is taken at once
    uint32_t relaxLimit;  // longer matches are tried at full length only
  };

  void parse(const uint8_t* data, uint32_t n, uint32_t windowSize, const Params& params,
             const CostModel& costs, std::vector<Item>& items) {
    m_data = data;
    m_n = n;
    m_maxDistance = windowSize - 3;
    m_params = params;
    m_costs = &costs;
    m_tables.start(n, size_t{1} << kHash4Bits, size_t{1} << kHashBits);
    // Chains only need to reach back one window, so the links live in a
    // ring of window size and memory does not grow with the interval.
    m_prevMask = std::min(windowSize, std::bit_ceil(std::max(n, 1u))) - 1;
    if (m_prev.size() < m_prevMask + 1) m_prev.resize(m_prevMask + 1);
    m_inserted = 0;
    items.clear();
    items.reserve(n / 4 + 16);
    RepeatState rs;
    for (uint32_t frame = 0; frame < n; frame += kLzxFrameSize)
      parseFrame(frame, std::min<uint32_t>(n - frame, kLzxFrameSize), rs, items);
  }

 private:
  static constexpr uint32_t kInfinite = 0xFFFFFFFF;
  static constexpr uint8_t kLiteral = 4;
  static constexpr uint8_t kNewOffset = 3;

  // Best known way to reach a position: the last step and its price.
  struct Node {
    uint32_t cost;
    uint32_t from;
    uint32_t offset;  // for kNewOffset
    uint16_t length;
    uint8_t kind;     // 0..2 repeated offset, kNewOffset, kLiteral
    RepeatState rs;   // valid once the node is final
  };
  struct Match {
    uint32_t length;
    uint32_t offset;
  };

  // Chains link positions with equal 4-byte hashes (3-byte chains fill up
  // with useless candidates on markup); a 3-byte table keeps only the
  // nearest position, for short matches at small offsets.
  void insertUpTo(uint32_t pos) {
    const uint32_t end = std::min(pos, m_n >= 4 ? m_n - 3 : 0);
    for (uint32_t p = m_inserted; p < end; ++p) {
      const uint32_t h = hash4(m_data + p);
      m_prev[p & m_prevMask] = m_head[h];
      m_head[h] = m_base + p;
      m_head3[hash3(m_data + p)] = m_base + p;
    }
    if (end > m_inserted) m_inserted = end;
  }

  // Matches at pos with strictly increasing lengths (3..limit), each with the
  // nearest offset found for it.
  void collect(uint32_t pos, uint32_t limit) {
    m_matches.clear();
    insertUpTo(pos);
    if (limit < 3 || pos + 3 > m_n) return;
    const uint8_t* here = m_data + pos;
    const uint32_t minPos = pos > m_maxDistance ? pos - m_maxDistance : 0;
    uint32_t bestLen = 2;
    const uint32_t near = m_head3[hash3(here)];
    if (near >= m_base + minPos) {
      const uint32_t len = matchLength(here, m_data + (near - m_base), limit);
      if (len >= 3) {
        m_matches.push_back({len, pos - (near - m_base)});
        bestLen = len;
        if (len >= m_params.niceLength || len == limit) return;
      }
    }
    if (pos + 4 > m_n) return;
    uint32_t cand = m_head[hash4(here)];
    int depth = m_params.chainDepth;
    while (cand >= m_base + minPos && depth-- > 0) {
      cand -= m_base;
      const uint8_t* there = m_data + cand;
      if (there[bestLen] == here[bestLen] && there[0] == here[0]) {
        const uint32_t len = matchLength(here, there, limit);
        if (len > bestLen) {
          m_matches.push_back({len, pos - cand});
          bestLen = len;
          if (len >= m_params.niceLength || len == limit) break;
        }
      }
      cand = m_prev[cand & m_prevMask];
    }
  }

  // Appends the items of the best path from `start` to `end` (frame-relative)
  // and leaves rs as it stands after them.
  void emitPath(uint32_t frameBase, uint32_t start, uint32_t end, RepeatState& rs,
                std::vector<Item>& items) {
    m_path.clear();
    for (uint32_t at = end; at != start; at = m_nodes[at].from) m_path.push_back(at);
    for (auto it = m_path.rbegin(); it != m_path.rend(); ++it) {
      const Node& node = m_nodes[*it];
      const uint8_t kind = node.kind;
      if (kind == kLiteral) {
        items.push_back(literalItem(m_data[frameBase + node.from]));
      } else if (kind == kNewOffset) {
        items.push_back(matchItem(node.length, node.offset, -1, rs));
      } else {
        items.push_back(matchItem(node.length, rs.r[kind], kind, rs));
      }

    }
  }

  void parseFrame(uint32_t base, uint32_t size, RepeatState& rs, std::vector<Item>& items) {
    if (m_nodes.size() < size + 1) m_nodes.resize(size + 1);
    const CostModel& costs = *m_costs;
    uint32_t start = 0;
    m_frontier = 0;
    m_nodes[0].cost = 0;
    m_nodes[0].rs = rs;
    for (uint32_t i = 0; i < size; ++i) {
      Node& node = m_nodes[i];
      if (i != start) {
        // The node is final: derive its repeated offsets from its best step.
        const Node& prev = m_nodes[node.from];
        const uint8_t kind = node.kind;
        node.rs = prev.rs;
        if (kind == kNewOffset) {
          node.rs.r[2] = node.rs.r[1];
          node.rs.r[1] = node.rs.r[0];
          node.rs.r[0] = node.offset;
        } else if (kind != kLiteral && kind != 0) {
          std::swap(node.rs.r[0], node.rs.r[kind]);
        }
      }
      const uint32_t pos = base + i;
      const uint32_t limit = std::min<uint32_t>(kMaxMatch, size - i);
      const uint32_t cost = node.cost;
      const uint8_t* here = m_data + pos;

      // Repeated offsets first; a long one is taken at once.
      uint32_t repLen[3] = {};
      uint32_t longest = 0;
      int longestKind = -1;
      uint32_t longestOffset = 0;
      for (int k = 0; k < 3; ++k) {
        const uint32_t off = node.rs.r[k];
        if (off > pos || (k && (off == node.rs.r[0] || (k == 2 && off == node.rs.r[1])))) continue;
        repLen[k] = limit >= kMinMatch ? matchLength(here, here - off, limit) : 0;
        if (repLen[k] > longest) {
          longest = repLen[k];
          longestKind = k;
        }
      }
      collect(pos, limit);
      if (!m_matches.empty() && m_matches.back().length > longest) {
        longest = m_matches.back().length;
        longestKind = kNewOffset;
        longestOffset = m_matches.back().offset;
        for (int k = 0; k < 3; ++k)
          if (node.rs.r[k] == longestOffset) longestKind = k;
      }
      if (longest >= m_params.niceLength && i + 1 < size) {
        // Take it unless the next position has a longer match (a lazy check
        // costs one more search and saves a new offset now and then).
        std::swap(m_matches, m_peek);
        const uint32_t limit1 = std::min<uint32_t>(kMaxMatch, size - i - 1);
        collect(pos + 1, limit1);
        uint32_t next = m_matches.empty() ? 0 : m_matches.back().length;
        for (int k = 0; k < 3 && next <= longest; ++k) {
          const uint32_t off = node.rs.r[k];
          if (off <= pos + 1) next = std::max(next, matchLength(here + 1, here + 1 - off, limit1));
        }
        std::swap(m_matches, m_peek);
        if (next > longest) longest = std::min(longest, m_params.niceLength - 1);
      }
      if (longest >= m_params.niceLength) {
        emitPath(base, start, i, rs, items);
        rs = node.rs;
        items.push_back(matchItem(longest, longestKind == kNewOffset ? longestOffset : rs.r[longestKind],
                                  longestKind == kNewOffset ? -1 : longestKind, rs));
        start = i + longest;
        if (start >= size) return;
        m_frontier = start;
        m_nodes[start].cost = 0;
        m_nodes[start].rs = rs;
        i = start - 1;
        continue;
      }

      const uint32_t reach = i + std::max<uint32_t>(longest, 1);
      while (m_frontier < reach) m_nodes[++m_frontier].cost = kInfinite;
      Node* const at = &m_nodes[i];
      auto relax = [&](uint32_t len, uint32_t c, uint8_t kind, uint32_t offset) {
        Node& to = at[len];
        if (c < to.cost) {
          to.cost = c;
          to.from = i;
          to.kind = kind;
          to.length = static_cast<uint16_t>(len);
          to.offset = offset;
        }
      };
      // Lengths 2..8 each have their own main symbol; longer ones share the
      // symbol of header 7 and add a length-tree symbol.
      auto relaxRange = [&](uint32_t slot, uint32_t lo, uint32_t hi, uint8_t kind, uint32_t offset) {
        const uint32_t c0 = cost + costs.extra[slot];
        const uint32_t* mainCost = &costs.mainMatch[slot * 8];
        uint32_t len = lo;
        for (; len <= hi && len < kMinMatch + kNumPrimaryLengths; ++len)
          relax(len, c0 + mainCost[len - kMinMatch], kind, offset);
        const uint32_t c7 = c0 + mainCost[kNumPrimaryLengths];
        const uint32_t* footer = costs.lengthFooter - (kMinMatch + kNumPrimaryLengths);
        const uint32_t top = std::min(hi, m_params.relaxLimit);
        for (; len <= top; ++len) relax(len, c7 + footer[len], kind, offset);
        if (hi > top) relax(hi, c7 + footer[hi], kind, offset);
      };

      relax(1, cost + costs.literal[*here], kLiteral, 0);
      for (int k = 0; k < 3; ++k) {
        if (repLen[k] < kMinMatch) continue;
        relaxRange(k, kMinMatch, repLen[k], static_cast<uint8_t>(k), 0);
      }
      uint32_t from = 3;
      for (const Match& m : m_matches) {
        int kind = kNewOffset;
        for (int k = 0; k < 3; ++k)
          if (node.rs.r[k] == m.offset) kind = k;
        if (kind == kNewOffset && from <= m.length) {
          relaxRange(slotOf(m.offset + 2), from, m.length, kNewOffset, m.offset);
        }
        from = m.length + 1;  // a repeated offset was relaxed above
      }
    }
    emitPath(base, start, size, rs, items);
  }

  const uint8_t* m_data = nullptr;
  uint32_t m_n = 0;
  uint32_t m_maxDistance = 0;
  uint32_t m_inserted = 0;
  uint32_t m_frontier = 0;
  Params m_params{};
  const CostModel* m_costs = nullptr;
  ChainTables m_tables;
  std::vector<uint32_t>& m_head = m_tables.head;
  std::vector<uint32_t>& m_head3 = m_tables.head3;
  std::vector<uint32_t>& m_prev = m_tables.prev;
  uint32_t& m_base = m_tables.base;
  uint32_t m_prevMask = 0;
  std::vector<Node> m_nodes;
  std::vector<Match> m_matches;
  std::vector<Match> m_peek;
  std::vector<uint32_t> m_path;
};

// ---------------------------------------------------------------------------
// Block writing.

// Follows the repeated offsets through one item, as the decoder does.
inline void replay(const Item& it, RepeatState& rs) {
  if (it.main < kNumChars) return;
  const int slot = (it.main - kNumChars) >> 3;
  if (slot == 0) return;
  if (slot < 3) {
    std::swap(rs.r[0], rs.r[slot]);
  } else {
    rs.r[2] = rs.r[1];
    rs.r[1] = rs.r[0];
    rs.r[0] = kSlotTables.base[slot] + it.footer - 2;
  }
}

class IntervalWriter {
 public:
  IntervalWriter(std::string_view in, int windowBits, std::string& out,
                 std::vector<uint64_t>& frames)
      : m_in(in), m_out(out), m_bw(out), m_frames(frames), m_mainSize(kNumChars + 8 * slotCount(windowBits)) {
    m_frames.push_back(m_out.size());
    m_bw.put(0, 1);  // no E8 translation in this interval
  }

  // What one block over items [begin, end) would cost, and its codes.
  struct Plan {
    uint8_t mainLens[kMainMax];
    uint8_t lenLens[kNumSecondaryLengths];
    uint8_t alignedLens[kAlignedSize];
    TreeCoding trees[3];
    bool aligned = false;
    uint64_t bits = 0;  // as a verbatim or aligned block
  };

  void plan(const Item* begin, const Item* end, const uint8_t* prevMain, const uint8_t* prevLength,
            Plan& p) const {
    uint32_t mainFreq[kMainMax] = {};
    uint32_t lenFreq[kNumSecondaryLengths] = {};
    uint32_t alignedFreq[kAlignedSize] = {};
    uint64_t verbatimExtra = 0;
    for (const Item* it = begin; it != end; ++it) {
      mainFreq[it->main]++;
      if (it->main >= kNumChars) {
        if (((it->main - kNumChars) & 7) == kNumPrimaryLengths) lenFreq[it->lengthFooter]++;
        verbatimExtra += it->extraBits;
        if (it->extraBits >= 3) alignedFreq[it->footer & 7]++;
      }
    }
    buildLengths(mainFreq, m_mainSize, kMaxCodeLength, p.mainLens);
    buildLengths(lenFreq, kNumSecondaryLengths, kMaxCodeLength, p.lenLens);
    buildLengths(alignedFreq, kAlignedSize, 7, p.alignedLens);
    p.trees[0].build(p.mainLens, prevMain, 0, kNumChars);
    p.trees[1].build(p.mainLens, prevMain, kNumChars, m_mainSize);
    p.trees[2].build(p.lenLens, prevLength, 0, kNumSecondaryLengths);

    uint64_t bits = 27 + p.trees[0].bits() + p.trees[1].bits() + p.trees[2].bits();
    for (int s = 0; s < m_mainSize; ++s) bits += uint64_t{mainFreq[s]} * p.mainLens[s];
    for (int s = 0; s < kNumSecondaryLengths; ++s) bits += uint64_t{lenFreq[s]} * p.lenLens[s];
    // Aligned blocks send the low 3 bits of long offsets with the aligned
    // tree instead of verbatim, at the price of 24 bits for that tree.
    int64_t alignedDelta = 3 * kAlignedSize;
    bool anyAligned = false;
    for (int s = 0; s < kAlignedSize; ++s) {
      alignedDelta += static_cast<int64_t>(alignedFreq[s]) * (static_cast<int64_t>(p.alignedLens[s]) - 3);
      anyAligned |= alignedFreq[s] != 0;
    }
    p.aligned = anyAligned && alignedDelta < 0;
    p.bits = bits + verbatimExtra + (p.aligned ? alignedDelta : 0);
  }

  static uint64_t storedBits(uint32_t length) { return 27 + 16 + 96 + 8 * uint64_t{length} + 8; }

  // Emits items [begin, end), covering `length` input bytes, as one block or,
  // where the statistics change enough to pay for another set of trees, as
  // two halves, recursively.  `rs` is the repeated-offset state before the
  // items and is left as it stands after them.
  void writeRange(const Item* begin, const Item* end, uint32_t length, RepeatState& rs,
                  bool lastInInterval, bool lastInStream, int depth) {
    constexpr int kMaxDepth = 5;
    constexpr uint32_t kMinHalf = 4096;
    auto whole = std::make_unique<Plan>();
    plan(begin, end, m_prevMain, m_prevLength, *whole);
    if (depth < kMaxDepth && length >= 2 * kMinHalf) {
      const Item* mid = begin;
      uint32_t leftLength = 0;
      while (mid != end && leftLength < length / 2) leftLength += itemLength(*mid++);
      if (mid != end) {
        auto left = std::make_unique<Plan>();
        auto right = std::make_unique<Plan>();
        plan(begin, mid, m_prevMain, m_prevLength, *left);
        plan(mid, end, left->mainLens, left->lenLens, *right);
        const uint64_t leftBits = std::min(left->bits, storedBits(leftLength));
        const uint64_t rightBits = std::min(right->bits, storedBits(length - leftLength));
        if (leftBits + rightBits < std::min(whole->bits, storedBits(length))) {
          whole.reset();
          writeRange(begin, mid, leftLength, rs, false, false, depth + 1);
          writeRange(mid, end, length - leftLength, rs, lastInInterval, lastInStream, depth + 1);
          return;
        }
      }
    }
    for (const Item* it = begin; it != end; ++it) replay(*it, rs);
    writeBlock(begin, end, length, *whole, rs, lastInInterval, lastInStream);
  }

  // Emits items [begin, end) as one block (verbatim, aligned or stored,
  // whichever is smallest).  `rsAfter` is the repeated-offset state after the
  // items, stored in the header if the block goes out uncompressed.
  void writeBlock(const Item* begin, const Item* end, uint32_t length, const Plan& p,
                  const RepeatState& rsAfter, bool lastInInterval, bool lastInStream) {
    const bool oddStoredMayEnd = !(length & 1) || !lastInInterval || lastInStream;
    if (storedBits(length) <= p.bits && oddStoredMayEnd) {
      writeStored(length, rsAfter);
      return;
    }
    const bool aligned = p.aligned;
    const uint8_t* mainLens = p.mainLens;
    const uint8_t* lenLens = p.lenLens;
    const uint8_t* alignedLens = p.alignedLens;

    m_bw.put(aligned ? kBlockAligned : kBlockVerbatim, 3);
    m_bw.put(length >> 8, 16);
    m_bw.put(length & 0xFF, 8);
    uint16_t alignedCodes[kAlignedSize] = {};
    if (aligned) {
      for (int s = 0; s < kAlignedSize; ++s) m_bw.put(alignedLens[s], 3);
      makeCodes(alignedLens, kAlignedSize, alignedCodes);
    }
    for (const TreeCoding& t : p.trees) t.write(m_bw);
    uint16_t mainCodes[kMainMax];
    uint16_t lenCodes[kNumSecondaryLengths];
    makeCodes(mainLens, m_mainSize, mainCodes);
    makeCodes(lenLens, kNumSecondaryLengths, lenCodes);
    std::memcpy(m_prevMain, mainLens, m_mainSize);
    std::memcpy(m_prevLength, lenLens, kNumSecondaryLengths);

    for (const Item* it = begin; it != end; ++it) {
      m_bw.put(mainCodes[it->main], mainLens[it->main]);
      if (it->main >= kNumChars) {
        if (((it->main - kNumChars) & 7) == kNumPrimaryLengths)
          m_bw.put(lenCodes[it->lengthFooter], lenLens[it->lengthFooter]);
        if (aligned && it->extraBits >= 3) {
          if (it->extraBits > 3) m_bw.put(it->footer >> 3, it->extraBits - 3);
          m_bw.put(alignedCodes[it->footer & 7], alignedLens[it->footer & 7]);
        } else if (it->extraBits) {
          m_bw.put(it->footer, it->extraBits);
        }
      }
      advance(itemLength(*it));
    }
  }

  void writeStored(uint32_t length, const RepeatState& rs) {
    m_bw.put(kBlockUncompressed, 3);
    m_bw.put(length >> 8, 16);
    m_bw.put(length & 0xFF, 8);
    if (m_bw.aligned()) m_bw.put(0, 16);
    else m_bw.align();
    for (uint32_t r : rs.r) putLe32(m_out, r);
    uint32_t done = 0;
    while (done < length) {
      const uint32_t toFrame = kLzxFrameSize - m_pos % kLzxFrameSize;
      const uint32_t chunk = std::min(length - done, toFrame);
      m_out.append(m_in.substr(m_pos, chunk));
      done += chunk;
      if (done == length && (length & 1)) m_out.push_back(0);
      advance(chunk);
    }
  }

  uint32_t position() const { return m_pos; }

 private:
  // Moves the input position on; at a frame end pads the bits and notes
  // where the next frame starts.
  void advance(uint32_t n) {
    m_pos += n;
    if (m_pos % kLzxFrameSize == 0 || m_pos == m_in.size()) {
      m_bw.align();
      if (m_pos < m_in.size()) m_frames.push_back(m_out.size());
    }
  }

  std::string_view m_in;
  std::string& m_out;
  BitWriter m_bw;
  std::vector<uint64_t>& m_frames;
  int m_mainSize;
  uint32_t m_pos = 0;
  uint8_t m_prevMain[kMainMax] = {};
  uint8_t m_prevLength[kNumSecondaryLengths] = {};
};

struct IntervalResult {
  std::string data;
  std::vector<uint64_t> frames;  // relative to the interval's first byte
};

// Per-thread scratch space, reused across intervals.
struct Worker {
  Parser parser;
  OptimalParser optimal;
  CostModel costs;
  std::vector<Item> items;
};

void compressInterval(std::string_view in, const LzxOptions& opt, bool lastInStream, Worker& w,
                      IntervalResult& result) {
  result.data.clear();
  result.frames.clear();
  result.data.reserve(opt.level == 0 ? in.size() + in.size() / 1024 + 64 : in.size() / 2 + 64);
  IntervalWriter writer(in, opt.windowBits, result.data, result.frames);
  const uint32_t n = static_cast<uint32_t>(in.size());
  if (opt.level == 0) {
    RepeatState rs;
    for (uint32_t pos = 0; pos < n;) {
      const uint32_t len = std::min<uint32_t>(n - pos, kMaxBlockBytes & ~(kLzxFrameSize - 1));
      writer.writeStored(len, rs);
      pos += len;
    }
    return;
  }
  RepeatState rs;
  const auto* data = reinterpret_cast<const uint8_t*>(in.data());
  const uint32_t windowSize = 1u << opt.windowBits;
  w.parser.parse(data, n, windowSize, paramsFor(opt.level), w.items, rs);
  uint32_t matched = 0;
  for (const Item& it : w.items)
    if (it.main >= kNumChars) matched += itemLength(it);
  // Next to no matches: the interval is incompressible and goes out stored
  // whatever the parse, so a finer search is wasted.
  const bool incompressible = matched < n / 16;
  if (opt.level >= 2 && !incompressible) {
    // Price the symbols by the quick parse, then search for the cheapest
    // parse under those prices; the best level repeats that once more.
    const int passes = opt.level >= 3 ? 2 : 1;
    const OptimalParser::Params params =
        opt.level >= 3 ? OptimalParser::Params{64, 128, 257} : OptimalParser::Params{24, 48, 257};
    for (int pass = 0; pass < passes; ++pass) {
      w.costs.fromItems(w.items.data(), w.items.data() + w.items.size(),
                        kNumChars + 8 * slotCount(opt.windowBits));
      w.optimal.parse(data, n, windowSize, params, w.costs, w.items);
    }
  }

  // Blocks: at most kBlockTarget input bytes (at an item edge), split
  // further where that pays.
  constexpr uint32_t kBlockTarget = 1u << 20;
  RepeatState replayed;
  size_t first = 0;
  uint32_t blockBytes = 0;
  for (size_t i = 0; i < w.items.size(); ++i) {
    blockBytes += itemLength(w.items[i]);
    const bool last = i + 1 == w.items.size();
    if (blockBytes >= kBlockTarget || last) {
      writer.writeRange(w.items.data() + first, w.items.data() + i + 1, blockBytes, replayed, last,
                        lastInStream, 0);
      first = i + 1;
      blockBytes = 0;
    }
  }
}

}  // namespace

LzxOutput lzxCompress(std::string_view input, const LzxOptions& options) {
  LzxOptions opt = options;
  opt.windowBits = std::clamp(opt.windowBits, 15, 21);
  opt.level = std::clamp(opt.level, 0, 3);
  uint64_t interval = std::clamp<uint64_t>(opt.resetIntervalBytes, kLzxFrameSize, kMaxInterval);
  interval = (interval + kLzxFrameSize - 1) / kLzxFrameSize * kLzxFrameSize;

  LzxOutput output;
  if (input.empty()) return output;
  const size_t count = static_cast<size_t>((input.size() + interval - 1) / interval);
  std::vector<IntervalResult> results(count);

  unsigned threads = opt.threads > 0 ? static_cast<unsigned>(opt.threads)
                                     : std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<size_t>(threads, count));
  std::atomic<size_t> next{0};
  auto work = [&]() {
    Worker worker;
    for (size_t k; (k = next.fetch_add(1)) < count;) {
      const uint64_t start = k * interval;
      const std::string_view part = input.substr(start, std::min<uint64_t>(interval, input.size() - start));
      compressInterval(part, opt, k + 1 == count, worker, results[k]);
    }
  };
  if (threads <= 1) {
    work();
  } else {
    std::vector<std::thread> pool;
    for (unsigned t = 0; t + 1 < threads; ++t) {
      try {
        pool.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the ones running share the work
      }
    }
    work();
    for (std::thread& t : pool) t.join();
  }

  size_t total = 0;
  for (const IntervalResult& r : results) total += r.data.size();
  output.data.reserve(total);
  output.frameOffsets.reserve((input.size() + kLzxFrameSize - 1) / kLzxFrameSize);
  for (IntervalResult& r : results) {
    const uint64_t base = output.data.size();
    for (uint64_t f : r.frames) output.frameOffsets.push_back(base + f);
    output.data += r.data;
    std::string().swap(r.data);
  }
  return output;
}

}  // namespace zanvo::chm
