// Little-endian appends and patches for the CHM writers.  Every field is
// written byte by byte, so the host's order never matters.
#ifndef ZANVO_CHMFILE_BYTE_ORDER_H_
#define ZANVO_CHMFILE_BYTE_ORDER_H_

#include <cstdint>
#include <string>

namespace zanvo::chm {

inline void putLe16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void putLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void putLe64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
inline void setLe32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void setLe64(std::string& out, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
// A GUID as Windows stores it: one 32-bit and two 16-bit fields little-endian,
// then eight bytes in order.
inline void putGuid(std::string& out, uint32_t d1, uint16_t d2, uint16_t d3,
                    const uint8_t (&d4)[8]) {
  putLe32(out, d1);
  putLe16(out, d2);
  putLe16(out, d3);
  for (uint8_t b : d4) out.push_back(static_cast<char>(b));
}

}  // namespace zanvo::chm

#endif  // ZANVO_CHMFILE_BYTE_ORDER_H_
