// The pieces every JEDEC writer shares: the Created-on date, the fuse
// checksum and the texts made safe for a JEDEC field.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "jedec/JedecFormat.h"

namespace fusecvt::test {
namespace {

TEST(JedecFormat, CreatedOnIsZeroPaddedAndAlwaysTwentyFourCharacters) {
  const struct { int year, mon, mday, hour, min, sec, wday; const char* text; } rows[] = {
      {2026, 11, 5, 16, 42, 8, 6, "Sat Dec 05 16:42:08 2026"},
      {2027, 0, 1, 0, 0, 0, 5, "Fri Jan 01 00:00:00 2027"},
      {2031, 6, 31, 23, 59, 59, 4, "Thu Jul 31 23:59:59 2031"},
  };
  for (const auto& r : rows) {
    std::tm t{};
    t.tm_year = r.year - 1900;
    t.tm_mon = r.mon;
    t.tm_mday = r.mday;
    t.tm_hour = r.hour;
    t.tm_min = r.min;
    t.tm_sec = r.sec;
    t.tm_wday = r.wday;
    EXPECT_EQ(FormatCreatedOn(t), r.text);
  }
  // Whatever a broken clock hands over, the text keeps its width.
  std::tm odd{};
  odd.tm_year = INT_MAX;
  odd.tm_mon = -1;
  odd.tm_mday = -3;
  odd.tm_hour = 123;
  odd.tm_sec = 61;
  odd.tm_wday = 9;
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
