// The shared JEDEC pieces: header date, checksum field, CR LF output, buffer.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "jedec/JedecFormat.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

std::tm Date(int year, int mon, int mday, int hour, int min, int sec, int wday) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = mon;
  t.tm_mday = mday;
  t.tm_hour = hour;
  t.tm_min = min;
  t.tm_sec = sec;
  t.tm_wday = wday;
  return t;
}

TEST(FormatCreatedOn, ZeroPaddedFieldsInTwentyFourCharacters) {
  EXPECT_EQ(FormatCreatedOn(Date(2026, 11, 5, 16, 42, 8, 6)), "Sat Dec 05 16:42:08 2026");
  EXPECT_EQ(FormatCreatedOn(Date(2027, 0, 1, 0, 0, 0, 5)), "Fri Jan 01 00:00:00 2027");
  EXPECT_EQ(FormatCreatedOn(Date(2031, 6, 31, 23, 59, 59, 4)), "Thu Jul 31 23:59:59 2031");
  // Whatever a broken clock hands over, the text keeps its width.
  std::tm odd = Date(2026, -1, -3, 123, -1, 61, 9);
  odd.tm_year = INT_MAX;
  EXPECT_EQ(FormatCreatedOn(odd).size(), 24u);
}

TEST(FuseChecksum, SumsEightFuseWordsLowFuseFirstAndWraps) {
  FuseChecksum c;
  for (char f : std::string("10000000" "00000001" "11111111")) c.Put(f);
  EXPECT_EQ(c.value(), 1 + 128 + 255);
  EXPECT_EQ(c.Field(), "C0180");
  FuseChecksum w;
  for (int i = 0; i < 258 * 8; ++i) w.Put('1');  // 258 * 255 = 65790
  EXPECT_EQ(w.Field(), "C00FE");
  FuseChecksum partial;
  for (char f : std::string("0000000011")) partial.Put(f);
  EXPECT_EQ(partial.pendingBits(), 2);
  partial.Flush();
  EXPECT_EQ(partial.Field(), "C0003");
}

TEST(JedecSinks, EveryLfBecomesCrLfAndNothingElseChanges) {
  std::ostringstream out;
  JedecStreamSink sink(out);
  sink.Write(std::string("\x02" "a\nb\r c\n\n"));
  sink.Write(std::string("\n\x03" "0000\n"));
  EXPECT_EQ(out.str(), "\x02" "a\r\nb\r c\r\n\r\n\r\n\x03" "0000\r\n");

  ScratchDir dir;
  JedecFile file(dir.File("x.jed"));
  ASSERT_TRUE(file.ok());
  file.Write(std::string("L0 1*\n"));
  file.Put('\n');
  file.Put('*');
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadFile(dir.File("x.jed")), "L0 1*\r\n\r\n*");
}

TEST(JedecBuffer, LargeTextsAndNumbersSurviveTheChunking) {
  std::ostringstream out;
  JedecStreamSink sink(out);
  JedecBuffer buf(sink);
  std::string expected;
  for (int i = 0; i < 30000; ++i) {
    buf.Append("V");
    buf.AppendNumber(i, 4);
    buf.Put('\n');
    char line[16];
    std::snprintf(line, sizeof line, "V%04d\r\n", i);
    expected += line;
  }
  buf.AppendNumber(0);
  buf.AppendNumber(-42, 5);
  buf.AppendNumber(123456789L, 3);
  buf.Flush();
  EXPECT_EQ(out.str(), expected + "0-0042123456789");
}

}  // namespace
}  // namespace fusecvt::test
