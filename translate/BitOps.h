#pragma once
// Operations over fuse characters ('1' erased, '0' programmed).

#include <cstdint>
#include <cstring>

namespace fusecvt {

// '0' for '1', '1' for anything else.
inline char BitNot(char a) { return a == '1' ? '0' : '1'; }
// '1' if both characters are equal.
inline char BitEqual(char a, char b) { return a == b ? '1' : '0'; }
// The character is a fuse value.
inline bool IsBinary(char c) { return c == '0' || c == '1'; }

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
