// The pieces every JEDEC writer shares: the Created-on date (the writer
// tests see two more), the fuse checksum and the texts made safe for a JEDEC field.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "JedecTestRun.h"
#include "jedec/JedecFormat.h"

namespace fusecvt::test {
namespace {

TEST(JedecFormat, CreatedOnIsZeroPaddedAndAlwaysTwentyFourCharacters) {
  EXPECT_EQ(FormatCreatedOn(Tm(2027, 0, 1, 0, 0, 0, 5)), "Fri Jan 01 00:00:00 2027");
  EXPECT_EQ(FormatCreatedOn(Tm(2031, 6, 31, 23, 59, 59, 4)), "Thu Jul 31 23:59:59 2031");
  // Whatever a broken clock hands over, the text keeps its width.
  std::tm odd = Tm(2026, -1, -3, 123, -1, 61, 9);
  odd.tm_year = INT_MAX;
  EXPECT_EQ(FormatCreatedOn(odd).size(), 24u);
}

TEST(JedecFormat, ChecksumSumsEightFuseWordsLowFuseFirstAndWraps) {
  const struct { std::string fuses; const char* field; } rows[] = {
      {"10000000" "00000001" "11111111", "C0180"},
      {std::string(258 * 8, '1'), "C00FE"},  // 258 * 255 = 65790
      {"0000000011", "C0003"},               // a last, partial word
      {"x0X00000" "2", "C0000"},             // only '1' is a set bit
  };
  for (const auto& r : rows) {
    FuseChecksum c;
    for (char f : r.fuses) c.Put(f);
    EXPECT_EQ(c.pendingBits(), static_cast<int>(r.fuses.size() % 8));
    c.Flush();
    EXPECT_EQ(c.Field(), r.field) << r.fuses.substr(0, 24);
  }
}

TEST(JedecFormat, FieldTextTurnsFramingCharactersIntoBlanks) {
  EXPECT_EQ(JedecFieldText(std::string("a*b\x02" "c\x03" "d\re\nf\0g~", 14)),
            std::string("a b c d e\nf\0g~", 14));
}

}  // namespace
}  // namespace fusecvt::test
