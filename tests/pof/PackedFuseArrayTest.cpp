// The packed fuse field against a plain string of fuse characters: every row
// operation, the decoder's byte fill and the checksum over packed rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "jedec/JedecFormat.h"
#include "pof/PackedFuseArray.h"

namespace fusecvt {
namespace {

// A repeatable mix of '0' and '1', about one '0' in `oneIn`.
std::string Pattern(std::size_t n, unsigned seed, unsigned oneIn) {
  unsigned x = seed * 2654435761u + 1u;
  std::string s(n, '1');
  for (char& c : s) c = ((x = x * 1103515245u + 12345u) >> 16) % oneIn == 0 ? '0' : '1';
  return s;
}

PackedFuseArray FromText(int d0, int d1, int d2, const std::string& text) {
  PackedFuseArray a(d0, d1, d2);
  for (std::size_t i = 0; i < text.size(); ++i) a.at(static_cast<int>(i)) = text[i];
  return a;
}

TEST(PackedFuseArray, RowsReadAsTheirCharacters) {
  for (const int width : {1, 5, 16, 27, 64, 80, 88}) {
    for (const unsigned oneIn : {1u, 2u, 7u, 1000u}) {
      SCOPED_TRACE(std::to_string(width) + " " + std::to_string(oneIn));
      const std::string text = Pattern(static_cast<std::size_t>(3 * 2 * width), static_cast<unsigned>(width), oneIn);
      const PackedFuseArray a = FromText(3, 2, width, text);
      EXPECT_EQ(a.size(), text.size());
      for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 2; ++j) {
          const std::string row = text.substr(static_cast<std::size_t>((i * 2 + j) * width), static_cast<std::size_t>(width));
          const PackedFuseArray::ConstRow r = a.row(i, j);
          EXPECT_EQ(r.Text(), row);
          for (int k = 0; k < width; ++k) {
            EXPECT_EQ(a.at(i, j, k), row[static_cast<std::size_t>(k)]);
            EXPECT_EQ(r.programmed(k), row[static_cast<std::size_t>(k)] == '0');
          }
          const int zeros = static_cast<int>(std::count(row.begin(), row.end(), '0'));
          EXPECT_EQ(r.CountProgrammed(), zeros);
          EXPECT_EQ(r.AnyProgrammed(), zeros > 0);
          EXPECT_EQ(r.AllProgrammed(), zeros == width);
          for (int first = 0; first < width; first += 8) {
            const int n = std::min(64, width - first);
            std::uint64_t bits = 0;
            for (int c = 0; c < n; ++c) bits |= std::uint64_t{row[static_cast<std::size_t>(first + c)] == '0'} << c;
            EXPECT_EQ(r.ProgrammedBits(first, n), bits);
          }
          char out[88];
          r.Format(out);
          EXPECT_EQ(std::string(out, static_cast<std::size_t>(width)), row);
          if (width <= 64) {
            r.FormatReversed(out);
            EXPECT_EQ(std::string(out, static_cast<std::size_t>(width)), std::string(row.rbegin(), row.rend()));
          }
        }
      }
    }
  }
}

TEST(PackedFuseArray, WritesChangeOnlyTheirFuses) {
  for (const int width : {5, 16, 27, 88}) {
    SCOPED_TRACE(width);
    std::string text = Pattern(static_cast<std::size_t>(2 * 3 * width), 5u, 3u);
    PackedFuseArray a = FromText(2, 3, width, text);
    const auto at = [&](int i, int j, int k) -> char& {
      return text[static_cast<std::size_t>((i * 3 + j) * width + k)];
    };
    a.row(1, 2).Fill('0');
    for (int k = 0; k < width; ++k) at(1, 2, k) = '0';
    a.row(0, 1).Fill('1');
    for (int k = 0; k < width; ++k) at(0, 1, k) = '1';
    a.row(0, 0).Program(width - 1);
    at(0, 0, width - 1) = '0';
    a.row(1, 0).Set(0, '1');
    at(1, 0, 0) = '1';
    a.at(1, 1, width / 2) = a.at(0, 2, 0) = '0';
    at(1, 1, width / 2) = at(0, 2, 0) = '0';
    for (std::size_t i = 0; i < text.size(); ++i) EXPECT_EQ(a.at(static_cast<int>(i)), text[i]) << i;
    a.fill('0');
    for (std::size_t i = 0; i < text.size(); ++i) EXPECT_EQ(a.at(static_cast<int>(i)), '0') << i;
  }
}

// Bytes of 8 fuses from a POF (erased bits 1, or 0 when inverted) program the
// fuses whose bits differ, with or without padding in the field's rows.
TEST(PackedFuseArray, ProgramFromBytes) {
  for (const int width : {5, 16, 88}) {
    for (const std::uint8_t erased : {std::uint8_t{0xFF}, std::uint8_t{0x00}}) {
      SCOPED_TRACE(std::to_string(width) + " " + std::to_string(erased));
      const std::string before = Pattern(static_cast<std::size_t>(4 * width), 9u, 5u);
      PackedFuseArray a = FromText(2, 2, width, before);
      const std::size_t count = before.size() / 8;
      std::vector<std::uint8_t> in(count);
      const std::string marks = Pattern(8 * count, 11u, 4u);  // '0': programmed
      for (std::size_t a8 = 0; a8 < 8 * count; ++a8) {
        const bool bit = (marks[a8] == '1') == (erased == 0xFF);
        in[a8 / 8] = static_cast<std::uint8_t>(in[a8 / 8] | (bit ? 1u << (a8 % 8) : 0u));
      }
      a.ProgramFromBytes(in.data(), count, erased);
      for (std::size_t i = 0; i < before.size(); ++i) {
        const char want = i < 8 * count && marks[i] == '0' ? '0' : before[i];
        EXPECT_EQ(a.at(static_cast<int>(i)), want) << i;
      }
    }
  }
}

// The checksum of a packed row is the checksum of its characters, whatever
// number of fuses came before.
TEST(PackedFuseArray, ChecksumOfRows) {
  for (const int width : {5, 16, 27, 80}) {
    for (std::size_t lead = 0; lead < 8; ++lead) {
      const std::string text = Pattern(static_cast<std::size_t>(width), static_cast<unsigned>(width + lead), 3u);
      const PackedFuseArray a = FromText(1, 1, width, text);
      const std::string before = Pattern(lead, 3u, 2u);
      FuseChecksum packed;
      FuseChecksum chars;
      packed.PutFuses(before.data(), before.size());
      chars.PutFuses(before.data(), before.size());
      packed.PutFuses(a.row(0, 0));
      chars.PutFuses(text.data(), text.size());
      EXPECT_EQ(packed.pendingBits(), chars.pendingBits());
      packed.Flush();
      chars.Flush();
      EXPECT_EQ(packed.value(), chars.value()) << width << " " << lead;
    }
  }
}

}  // namespace
}  // namespace fusecvt
