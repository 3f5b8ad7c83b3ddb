#pragma once
// Integers of a POF, least or most significant byte first as the file's
// byte-order word says.

#include <cstdint>

namespace fusecvt {

inline std::uint16_t GetUInt16(const unsigned char* p, bool bigEndian) {
  return bigEndian ? static_cast<std::uint16_t>((p[0] << 8) | p[1])
                   : static_cast<std::uint16_t>((p[1] << 8) | p[0]);
}

inline std::int16_t GetInt16(const unsigned char* p, bool bigEndian) {
  return static_cast<std::int16_t>(GetUInt16(p, bigEndian));
}

// Also read for signed 32-bit fields (lengths): cast the result.
inline std::uint32_t GetUInt32(const unsigned char* p, bool bigEndian) {
  const std::uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
  return bigEndian ? (b0 << 24) | (b1 << 16) | (b2 << 8) | b3
                   : (b3 << 24) | (b2 << 16) | (b1 << 8) | b0;
}

}  // namespace fusecvt
