#pragma once
// Operations over fuse characters ('1' erased, '0' programmed).

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fusecvt {

// '0' for '1', '1' for anything else.
inline char BitNot(char a) { return a == '1' ? '0' : '1'; }
// '1' if both characters are equal.
inline char BitEqual(char a, char b) { return a == b ? '1' : '0'; }
// The character is a fuse value.
inline bool IsBinary(char c) { return c == '0' || c == '1'; }

// Bit i set where character i of the 16 at p equals c.
inline std::uint32_t MatchMask16(const char* p, char c) {
#if defined(__SSE2__)
  const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chars, _mm_set1_epi8(c))));
#else
  std::uint32_t mask = 0;
  for (int i = 0; i < 16; ++i) mask |= static_cast<std::uint32_t>(p[i] == c) << i;
  return mask;
#endif
}

// Bit i set where character i of the 8 at p equals c.
inline std::uint32_t MatchMask8(const char* p, char c) {
  std::uint32_t mask = 0;
  for (int i = 0; i < 8; ++i) mask |= static_cast<std::uint32_t>(p[i] == c) << i;
  return mask;
}

// The number of '0' characters among the count at p; eight at a time: the
// bytes equal to '0' become zero, every other byte gets its high bit, and the
// high bits missing are counted.
inline int CountProgrammed(const char* p, int count) {
  int n = 0;
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t x;
    std::memcpy(&x, p + i, 8);
    x ^= 0x3030303030303030u;
    const std::uint64_t nonZero = ((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7F7F7F7F7F7F7F7Fu) | x;
    const std::uint64_t zeros = (~nonZero & 0x8080808080808080u) >> 7;
    n += static_cast<int>((zeros * 0x0101010101010101u) >> 56);
  }
  for (; i < count; ++i) n += p[i] == '0';
  return n;
}

}  // namespace fusecvt
