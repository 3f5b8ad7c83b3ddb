// The word-at-a-time readings of fuse characters against a character-by-
// character reading: which of 16 or 8 characters equal a given one, and how
// many are '0', for strings that also hold characters other than '0' and '1'.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "translate/BitOps.h"

namespace fusecvt::test {
namespace {

// Repeatable strings over '0', '1' and characters that resemble them in some
// bits ('0' + 128, '0' ^ 1 ^ 128, NUL, '2', 'p').
std::string Chars(unsigned seed, std::size_t size) {
  const char kPool[] = {'0', '1', '0', '1', '0', static_cast<char>('0' + 128), static_cast<char>(0xB1), '\0', '2', 'p'};
  std::string s(size, '1');
  unsigned x = seed * 2654435761u + 7;
  for (char& c : s) {
    x = x * 1103515245u + 12345u;
    c = kPool[(x >> 16) % sizeof kPool];
  }
  return s;
}

TEST(FuseChars, MasksAndCountsMatchACharacterByCharacterReading) {
  for (unsigned seed = 0; seed < 300; ++seed) {
    const std::string s = Chars(seed, 40);
    for (char c : {'0', '1'}) {
      std::uint32_t mask16 = 0, mask8 = 0;
      for (int i = 0; i < 16; ++i) mask16 |= static_cast<std::uint32_t>(s[static_cast<std::size_t>(i)] == c) << i;
      for (int i = 0; i < 8; ++i) mask8 |= static_cast<std::uint32_t>(s[static_cast<std::size_t>(i)] == c) << i;
      EXPECT_EQ(MatchMask16(s.data(), c), mask16) << seed;
      EXPECT_EQ(MatchMask8(s.data(), c), mask8) << seed;
    }
    for (int count : {0, 5, 8, 13, 16, 40}) {
      int zeros = 0;
      for (int i = 0; i < count; ++i) zeros += s[static_cast<std::size_t>(i)] == '0';
      EXPECT_EQ(CountProgrammed(s.data(), count), zeros) << seed << " " << count;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
