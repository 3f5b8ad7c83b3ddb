// The JEDEC writer of the block-structured targets: whole files byte for byte
// against the fuse map stated address by address in the test support, the
// fresh images' fuse defaults, and outputs that fail; and the pieces every
// JEDEC writer shares: the Created-on date, the fuse checksum and the texts
// made safe for a JEDEC field; the test reader the tests check files with;
// and the routing tables the fuse fields are chosen by.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "driver/Conversion.h"
#include "translate/BlockTarget.h"
#include "jedec/JedecFormat.h"
#include "jedec/JedecWriter.h"
#include "qpl6000/Qpl6000.h"
#include "qpl6000/Qpl6000Tables.h"
#include "support/EndToEnd.h"
#include "support/Jedutil.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"
#include "translate/RoutingTables.h"

namespace fusecvt::test {
namespace {

using K = BlockTargetKind;

inline std::tm Tm(int year, int mon, int mday, int hour, int min, int sec, int wday) {
  std::tm t{};
  t.tm_year = year - 1900, t.tm_mon = mon, t.tm_mday = mday, t.tm_wday = wday;
  t.tm_hour = hour, t.tm_min = min, t.tm_sec = sec;
  return t;
}
const std::tm kDate = Tm(2026, 11, 5, 16, 42, 8, 6);  // what ExpectedHeader says by default

// A conversion run with captured console and error streams and a fixed clock.
struct TestRun : CapturedRun {
  TestRun(const std::string& package, int pins, const std::tm& date = kDate) : CapturedRun(date) {
    run.pof.device.packageName = package;
    run.pof.device.pinCount = pins;
  }
};

// Fills every field with a repeatable mix of '0' and '1', then sets cases the
// writer must tell apart: left-out (all '0') terms, terms with one '1' (an
// input fuse, the first foldback fuse, the last fuse), a macrocell whose
// S0..S2 are cleared and one whose S21 = '0' keeps them.
void FillPattern(BlockTargetImage& img, unsigned seed) {
  unsigned state = seed * 2654435761u + 1u;
  auto next = [&] { return ((state = state * 1103515245u + 12345u) >> 16) & 1u ? '1' : '0'; };
  auto fill = [&](auto& a) {
    for (std::size_t i = 0; i < a.size(); ++i) a.at(static_cast<int>(i)) = next();
  };
  fill(img.ptInputFuses);
  fill(img.ptFoldbackFuses);
  fill(img.mcBits);
  fill(img.uimMux);
  fill(img.goeMux);
  fill(img.configBits);
  fill(img.uesBits);
  img.jtagBit = '1';
  // Fuse i of a term in file order: 16 foldback, then 80 inputs.
  auto term = [&](int mc, int pt, int lone) {
    for (int i = 0; i < 96; ++i) {
      (i < 16 ? img.ptFoldbackFuses.at(mc, pt, i) : img.ptInputFuses.at(mc, pt, i - 16)) = i == lone ? '1' : '0';
    }
  };
  for (int mc : {0, 17, img.geometry().macrocells - 1}) term(mc, mc % 5, -1);
  term(5, 3, 40);
  term(6, 1, 0);
  term(7, 2, 95);
  std::memcpy(img.mcBits.row(1), "111101010101010101010110", 24);  // S21 = '1': cleared
  std::memcpy(img.mcBits.row(2), "111101010101010101010010", 24);  // S21 = '0': kept
}

// 10001 vectors, one holding an LF and one far longer than a line.
std::vector<std::string> ManyVectors() {
  std::vector<std::string> v;
  for (int i = 1; i <= 10001; ++i) v.push_back("01X" + std::to_string(i));
  v[1] = "01\n10";
  v[2] = std::string(5000, 'H') + "L";
  return v;
}

struct FileCase {
  K kind;
  std::string package;
  int pins;
  unsigned pattern;  // 0: a fresh image
  std::uint16_t security;
  std::vector<std::string> vectors, written = {};  // written: as they must appear; empty: as given
  std::tm date = kDate;
  std::string createdOn = "Sat Dec 05 16:42:08 2026";
};

TEST(JedecWriter, WholeFilesByteForByte) {
  const FileCase cases[] = {
      {K::Qpl6032, "PLCC", 44, 0, 0, {}},
      {K::Qpl6064, "TQFP", 100, 0, 0, {}},
      {K::Qpl6128, "PQFP", 160, 0, 0, {}},
      {K::Qpl6032, "PLCC", 44, 1, 1, {"0101XX10", "1"}},
      // A security word whose low byte is 0 still secures; '*', STX, ETX and
      // CR in a text become blanks.
      {K::Qpl6064, "PLCC", 84, 2, 0x100, {"01*X", "\x02" "10\x03" "\rH"}, {"01 X", " 10  H"}},
      {K::Qpl6128, "unknown", 160, 3, 0xFFFF, ManyVectors(), {}, Tm(2027, 0, 3, 7, 5, 9, 0), "Sun Jan 03 07:05:09 2027"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(std::string(GeometryOf(c.kind).deviceWord) + " pattern " + std::to_string(c.pattern));
    auto img = MakeBlockTarget(c.kind);
    if (c.pattern) FillPattern(*img, c.pattern);
    ExpectedHeader h{c.package, c.pins, c.createdOn, c.security != 0, c.written.empty() ? c.vectors : c.written};
    const std::string expected = ExpectedJedecFile(*img, h);
    TestRun r(c.package, c.pins, c.date);
    r.run.sources.securityBit = c.security;
    r.run.sources.testVectors = c.vectors;
    const std::string actual = JedecText(*img, r.run.Jedec());
    EXPECT_EQ(FirstDifference(expected, actual), "");
    EXPECT_EQ(FirstDifference(actual, JedecText(*img, r.run.Jedec())), "");  // nothing carries over
    EXPECT_EQ(ReadJedec(actual).vectors.size(), c.vectors.size());
    // On disk: the same bytes, an older and longer file replaced.
    ScratchDir dir;
    r.run.options.outputFileName = dir.File("out.jed");
    WriteFile(r.run.options.outputFileName, std::string(400000, 'x'));
    ASSERT_EQ(img->WriteJedec(r.run.Jedec()), kJedecWritten);
    EXPECT_EQ(FirstDifference(actual, ReadFile(r.run.options.outputFileName)), "");
    EXPECT_EQ(r.console.str() + r.error.str(), "");
    ExpectSoundJedec(r.run.options.outputFileName, SectionStartsOf(c.kind).total);
  }
}

// What a fresh image holds before any stage writes to it: the erased
// product terms and UIM lines, and the defaults of macrocells, global OE and
// configuration.
TEST(JedecWriter, FreshImageDefaults) {
  const struct { K kind; const char* mcBits; const char* goe; const char* config; } rows[] = {
      {K::Qpl6032, "111111100000000100100110", "01111" "10111" "01111" "01111" "10111" "01111",
       "11111111100011011111000000001110"},
      {K::Qpl6064, "111111100000000100100110",
       "111111110" "110111111" "110111111" "011111111" "011111111" "011111111",
       "11111111100011011111000000001110"},
      {K::Qpl6128, "111111100000000000110110",
       "11111111110111" "11111111111011" "11111111111110" "11111111011111" "11111111111011" "11111111111101",
       "11111111111111111111000000001110"},
  };
  auto text = [](const FuseArray& a) { return std::string(a.data(), a.size()); };
  for (const auto& row : rows) {
    SCOPED_TRACE(GeometryOf(row.kind).deviceWord);
    auto img = MakeBlockTarget(row.kind);
    for (int m = 0; m < img->geometry().macrocells; ++m) EXPECT_EQ(std::string(img->mcBits.row(m), 24), row.mcBits);
    EXPECT_EQ(text(img->goeMux), row.goe);
    EXPECT_EQ(text(img->configBits), row.config);
    EXPECT_EQ(text(img->uesBits) + img->jtagBit, std::string(16, '1') + "0");
    for (const PackedFuseArray* a : {&img->ptInputFuses, &img->ptFoldbackFuses, &img->uimMux}) {
      for (std::size_t i = 0; i < a->size(); ++i) EXPECT_EQ(a->at(static_cast<int>(i)), '1');
    }
  }
}

// A missing folder, and a regular file cut short by a size limit, which must
// be deleted (a full device, which must be kept, is one of the driver's runs).
TEST(JedecWriter, OutputsThatFail) {
  ScratchDir dir;
  // No such folder: a message, no file, and no QPL6000 latch notices, which
  // only come with a file.
  Qpl6032 blocks;
  Qpl6000 flat;
  flat.raceConsole = "Combinatorial Latch Detected at Macrocell 1 from POF file\n";
  for (TargetDevice* img : {static_cast<TargetDevice*>(&blocks), static_cast<TargetDevice*>(&flat)}) {
    TestRun r("PLCC", 44);
    r.run.options.outputFileName = dir.File("missing/out.jed");
    EXPECT_EQ(img->WriteJedec(r.run.Jedec()), kJedecOpenFailed);
    EXPECT_EQ(r.error.str() + "|" + r.console.str(), "Cannot write output_file " + dir.File("missing/out.jed") + "\n|");
    EXPECT_FALSE(FileExists(dir.File("missing/out.jed")));
  }
  // The limit is set in a child; its exit code is 10 + result, +100 if the
  // file is left, +50 without the message.
  const std::string path = dir.File("out.jed");
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Qpl6064 img;
    TestRun r("PLCC", 84);
    r.run.options.outputFileName = path;
    const int result = img.WriteJedec(r.run.Jedec());
    const bool message = r.console.str() == "Jedec write problem: out of space \n";
    ::_exit(10 + result + (FileExists(path) ? 100 : 0) + (message ? 0 : 50));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 10 + kJedecWriteFailed);
}

TEST(JedecFormat, CreatedOnIsZeroPaddedAndAlwaysTwentyFourCharacters) {
  EXPECT_EQ(FormatCreatedOn(Tm(2027, 0, 1, 0, 0, 0, 5)), "Fri Jan 01 00:00:00 2027");
  EXPECT_EQ(FormatCreatedOn(Tm(2031, 6, 31, 23, 59, 59, 4)), "Thu Jul 31 23:59:59 2031");
  // Whatever a broken clock hands over, the text keeps its width.
  std::tm odd = Tm(2026, -1, -3, 123, -1, 61, 9);
  odd.tm_year = INT_MAX;
  EXPECT_EQ(FormatCreatedOn(odd).size(), 24u);
}

// The fuse checksum sums 8-fuse words, the lowest fuse as the least
// significant bit, modulo 65536. Runs of fuses fed at once give the sums of
// the same fuses fed one by one, whatever the run's length and whatever word
// position it starts at; only '1' counts, also among bytes that differ from
// '1' in one bit.
TEST(JedecFormat, ChecksumOfFuseRunsAgreesWithSingleFuses) {
  const struct { const char* lead; std::string run; const char* field; } rows[] = {
      {"", "10000000" "00000001" "11111111", "C0180"},
      {"", std::string(258 * 8, '1'), "C00FE"},
      {"1", "1111111" "11111111" "1", "C01FF"},  // starts and ends inside a word
      {"011", "0000000011", "C001E"},  // 0x06 + 0x18
      {"", "x0X00000" "2", "C0000"},
      {"", "\x31\xB1\x30\x11\x71\x21\x39\x01", "C0001"},
      {"", "1q1Q1!1@" "11110000", "C0064"},  // 0x55 + 0x0F
  };
  for (const auto& r : rows) {
    FuseChecksum single, runs;
    for (const char* f = r.lead; *f; ++f) {
      single.Put(*f);
      runs.Put(*f);
    }
    for (char f : r.run) single.Put(f);
    runs.PutFuses(r.run.data(), r.run.size());
    EXPECT_EQ(runs.pendingBits(), single.pendingBits()) << r.run.substr(0, 24);
    EXPECT_EQ(runs.pendingBits(), static_cast<int>((std::strlen(r.lead) + r.run.size()) % 8));
    single.Flush();
    runs.Flush();
    EXPECT_EQ(runs.Field(), single.Field()) << r.run.substr(0, 24);
    EXPECT_EQ(runs.Field(), r.field) << r.run.substr(0, 24);
  }
}

// The output buffer: text goes in with LF line ends and reaches the sink with
// CR LF, however long the text and wherever the buffer fills up; fuse
// characters go through unchanged, numbers as decimals.
TEST(JedecFormat, BufferWritesEveryLineFeedAsCrLf) {
  std::string text;  // longer than the buffer, with single and doubled line ends
  for (int i = 0; i < 9000; ++i) text += i % 5 == 0 ? "\n\n" : i % 3 == 0 ? "x\n" : "NOTE ";
  std::string fuses;  // longer than the buffer too
  for (int i = 0; i < 40000; ++i) fuses += i % 3 == 0 ? '0' : '1';
  std::string expected;
  for (char c : text) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  expected += "\r\n*" + fuses + "L9*\r\n" + "-0042" + "0007" + "123";

  std::string got;
  JedecStringSink sink(got);
  JedecBuffer out(sink);
  out.Append(text);
  out.Put('\n');
  out.Put('*');
  out.AppendFileBytes(fuses.data(), fuses.size());
  out.Append("L9*\n");
  out.AppendNumber(-42, 5);
  out.AppendNumber(7, 4);
  out.AppendNumber(123);
  out.Flush();
  EXPECT_EQ(FirstDifference(expected, got), "");
}

TEST(JedecFormat, FieldTextTurnsFramingCharactersIntoBlanks) {
  EXPECT_EQ(JedecFieldText(std::string("a*b\x02" "c\x03" "d\re\nf\0g~", 14)),
            std::string("a b c d e\nf\0g~", 14));
}

// The test reader itself and the jedutil wrapper: they must see the faults
// that they are used to look for.
// A small well-formed file: 24 fuses, words 0x01, 0x02, 0x03 -> C0006.
const std::string kGood =
    "\x02 head\r\ntext\r\n*\r\nQF24* QP44 * F0*\r\nNOTE ruler \r\n 0 *\r\n"
    "L0\r\n10000000\r\n01*\r\n*\r\nL00016 11*\r\nC0006*\r\nQV2* X0*\r\nV0001 01X*\r\n"
    "V0002 1\r\n0*\r\n\x03" "0000\r\n";

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const std::size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(JedecReader, FindsEachKindOfFault) {
  const struct { const char* what; std::string bytes; } faults[] = {
      {"lone LF", Replace(kGood, "QP44 * F0*\r\n", "QP44 * F0*\n")}, {"lone CR", Replace(kGood, "01X*\r\n", "01X*\r")},
      {"no STX", kGood.substr(1)}, {"no ETX", Replace(kGood, "\x03" "0000\r\n", "")},
      {"text not ended by '*'", Replace(kGood, "V0002 1\r\n0*\r\n", "V0002 1\r\n0*\r\nL20 1\r\n")},
      {"fuse character", Replace(kGood, "L00016 11*", "L00016 12*")},
      {"overlap", Replace(kGood, "L00016 11*", "L00009 11*")}, {"past QF", Replace(kGood, "L00016 11*", "L00023 11*")},
      {"bad checksum", Replace(kGood, "C0006*", "C0007*")}, {"short checksum", Replace(kGood, "C0006*", "C006*")},
      {"unwritten without F", Replace(kGood, " F0*", "*")}, {"V before QV", Replace(kGood, "QV2* X0*\r\n", "X0*\r\n")},
      {"V count", Replace(kGood, "QV2*", "QV3*")}, {"unknown field", Replace(kGood, "C0006*", "C0006*\r\nJ1 2*")},
      {"L before QF", Replace(Replace(kGood, "QF24* ", ""), "NOTE ruler", "L0 1*NOTE ruler")},
      {"empty L", Replace(kGood, "L00016 11*", "L00016 *")},
      {"bad trailer", Replace(kGood, "\x03" "0000", "\x03" "00")},
      {"bad transmission sum", Replace(kGood, "\x03" "0000", "\x03" "0001")},
  };
  for (const auto& f : faults) EXPECT_FALSE(ReadJedec(f.bytes).ok()) << f.what;
  // A correct transmission checksum is accepted: every byte from STX to ETX.
  unsigned sum = 0;
  for (std::size_t i = 0; i <= kGood.find('\x03'); ++i) sum += static_cast<unsigned char>(kGood[i]);
  char t[8];
  std::snprintf(t, sizeof t, "%04X", sum & 0xFFFFu);
  const JedecReadResult summed = ReadJedec(Replace(kGood, "\x03" "0000", std::string("\x03") + t));
  EXPECT_TRUE(summed.ok()) << summed.ErrorText();
}

TEST(Jedutil, AcceptsAGoodFileAndRefusesABadChecksum) {
  FUSECVT_SKIP_WITHOUT_JEDUTIL();
  ScratchDir dir;
  WriteFile(dir.File("good.jed"), kGood);
  EXPECT_TRUE(JedutilAccepts(dir.File("good.jed")));  // and reads the fuses the test reader reads

  WriteFile(dir.File("bad.jed"), Replace(kGood, "C0006*", "C0007*"));
  EXPECT_FALSE(JedutilAccepts(dir.File("bad.jed")));
  EXPECT_FALSE(RunJedutil(dir.File("bad.jed")).accepted());

  // Too many fuses for jedutil: refused without running it.
  WriteFile(dir.File("big.jed"), "\x02*\r\nQF65544* F0*\r\nL0 1*\r\nC0001*\r\n\x03" "0000\r\n");
  const ::testing::AssertionResult big = JedutilAccepts(dir.File("big.jed"));
  EXPECT_FALSE(big);
  EXPECT_NE(std::string(big.message()).find("more than jedutil handles"), std::string::npos);
}

// The routing tables against each other: every PIA pick must find its signal
// on the UIM line it feeds at the choice its table names, and every OE PIA
// pick on its GOE at the fuse the OE table names. A slip in any table shows.

// Index of the one choice carrying s; -1 when none does, -2 when several do.
template <std::size_t N>
int Find(const Signal (&choices)[N], Signal s) {
  int at = -1;
  for (std::size_t j = 0; j < N; ++j) {
    if (choices[j] == s) at = at == -1 ? static_cast<int>(j) : -2;
  }
  return at;
}

TEST(RoutingTables, PicksFindTheirSignalWhereTheTablesSay) {
  for (int r = 0; r < 36; ++r) {
    SCOPED_TRACE("PIA row " + std::to_string(r));
    // QPL6032: rows 0..8 feed lines 30..38, 9..17 lines 20..28, and so on down.
    const int u32 = qpl6032::kPiaToUim[r];
    EXPECT_EQ(u32, (3 - r / 9) * 10 + r % 9);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(Find(qpl6032::kUimChoice[u32], qpl6032::kPiaSignal[r][p]), qpl6032::kPiaChoice[r][p]);
    // QPL6064: rows 0..17 feed the even lines 0..16 and 20..36, rows 18..35 the odd ones.
    const int u64 = qpl6064::kPiaToUim[r];
    EXPECT_EQ(u64, (r % 18 < 9 ? 2 * (r % 18) : 2 * (r % 18) + 2) + (r >= 18 ? 1 : 0));
    for (int p = 0; p < 8; ++p) EXPECT_EQ(Find(qpl6064::kUimChoice[u64], qpl6064::kPiaSignal[r][p]), 8 - qpl6064::kPiaFuse[r][p]);
  }
  for (int r = 0; r < 6; ++r) {
    SCOPED_TRACE("OE PIA row " + std::to_string(r));
    for (int p = 0; p < 5; ++p) {
      const int fuse = qpl6032::kOePiaFuse[r][p];
      EXPECT_EQ(Find(qpl6032::kGoeChoice[qpl6032::kOePiaToGoe[r]], qpl6032::kOePiaSignal[r][p]), fuse < 0 ? -1 : 4 - fuse);
    }
    for (int p = 0; p < 8; ++p) {
      EXPECT_EQ(Find(qpl6064::kGoeChoice[qpl6064::kOePiaToGoe[r]], qpl6064::kOePiaSignal[r][p]), 8 - qpl6064::kOePiaFuse[r][p]);
    }
    for (int p = 0; p < 13; ++p) {
      EXPECT_EQ(Find(qpl6128::kGoeChoice[qpl6128::kOePiaToGoe[r]], qpl6128::kOePiaSignal[r][p]), qpl6128::kOePiaFuse[r][p]);
    }
  }
  for (int u = 0; u < 40; ++u) EXPECT_TRUE(qpl6032::kUimPark[u] < 5 && qpl6128::kUimParkFuse[u] < 27) << u;
}

TEST(RoutingTables, Qpl6128PicksAppearOnBothLinesOfTheirRowExceptFixedPlacements) {
  // (row, line, pick) of signals placed on a fixed line of their own instead:
  // pick 10 is a placed pin signal, pick 12 "none".
  const std::set<std::tuple<int, int, int>> fixed = {
      {5, 24, 10}, {6, 22, 12}, {6, 4, 12},  {7, 2, 10},  {10, 30, 12},
      {19, 31, 12}, {32, 25, 10}, {33, 23, 12}, {33, 5, 12}, {34, 3, 10}};
  for (int r = 0; r < 36; ++r) {
    const qpl6128::PiaRow& row = qpl6128::kPia[r];
    EXPECT_EQ(qpl6128::kPia[row.pairRowLow].pairRowHigh, r) << "row " << r;
    EXPECT_EQ(qpl6128::kPia[row.pairRowHigh].pairRowLow, r) << "row " << r;
    for (int line : {row.primaryLine, row.secondaryLine}) {
      ASSERT_TRUE(line >= 0 && line < 36) << "row " << r;
      for (int p = 0; p < 13; ++p) {
        const int at = Find(qpl6128::kUimChoice[line], row.picks[p]);
        EXPECT_TRUE(fixed.count({r, line, p}) ? at == -1 : at >= 0) << "row " << r << " line " << line << " pick " << p;
      }
    }
  }
}

// The latch pass turns a literal into its other polarity: the true and
// complement columns of every device pin, the dedicated inputs 1, 2, 43 and
// 44 among them, are each other's opposite.
TEST(RoutingTables, Qpl6000ColumnsAreDistinctOppositesAndPinsExist) {
  std::set<int> used, pins;
  for (const auto& c : qpl6000::kPinColumns) {
    pins.insert(c.pin);
    if (c.pin == 0) continue;  // pin 0 only stands for undefined PIA picks
    EXPECT_EQ(Qpl6000::FindOppositeColumn(c.pinTrue), c.pinComplement) << "pin " << c.pin;
    EXPECT_EQ(Qpl6000::FindOppositeColumn(c.pinComplement), c.pinTrue) << "pin " << c.pin;
    for (int col : {c.pinTrue, c.pinComplement, c.feedbackTrue, c.feedbackComplement}) {
      EXPECT_TRUE(col < 0 || (col < 152 && used.insert(col).second)) << "column " << col;
    }
  }
  for (int pin : {1, 2, 43, 44}) EXPECT_TRUE(pins.count(pin)) << "input " << pin;
  for (int m = 0; m < 32; ++m) EXPECT_TRUE(pins.count(qpl6000::kIoPin[m])) << "MC " << m + 1;
  for (const auto& row : qpl6000::kPiaTable) {
    for (const auto& s : row) EXPECT_TRUE(pins.count(s.pin)) << "pin " << s.pin;
  }
}

}  // namespace
}  // namespace fusecvt::test
