// Product terms, macrocell bits and the clean-up of unused terms of the
// QPL6000 translation. Column numbers below are read from the device's column
// table (pin true / complement, feedback true / complement, foldback) and the
// PIA signal table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qpl6000/Qpl6000.h"
#include "qpl6000/Qpl6000TestUtil.h"

namespace fusecvt {
namespace {

using test::AllOf;
using test::Bits;
using test::CapturedRun;
using test::Plain7032;
using test::SetBits;
using test::SetTerm;
using test::Zeros;
using Cols = std::vector<int>;

// ---------------------------------------------------------------- product terms

TEST(Qpl6000ReadMaxInputBits, PiaCodeSelectsTheRowSignalAndPositionParityItsPolarity) {
  // Row 0 of a block: code 0 MC of pin 7, 1 pin 2, 2 pin 16, 3 pin 0.
  struct Case { char hi, lo; Cols expected; } cases[] = {
      {'0', '0', {30, 31}},  // feedback of MC at pin 7: true 31, complement 30
      {'0', '1', {52, 53}},  // pin 2: true 53, complement 52
      {'1', '0', {82, 83}},  // pin 16: true 82, complement 83
      {'1', '1', {27, 28}},  // pin 0 row: true 28, complement 27
  };
  for (const Case& c : cases) {
    CapturedRun r;
    auto src = Plain7032();
    src->pia.at(0, 0, 0) = c.hi;
    src->pia.at(0, 0, 1) = c.lo;
    src->logicArray.at(0, 0, 0) = '0';
    src->logicArray.at(0, 0, 1) = '0';
    Qpl6000 q;
    q.ReadMaxInputBits(*src, r.run);
    EXPECT_EQ(Zeros(q, 0, 0), c.expected) << c.hi << c.lo;
    EXPECT_EQ(r.console.str(), "");
  }
  // Only the even position: true column; only the odd one: complement column.
  CapturedRun r;
  auto src = Plain7032();
  src->pia.at(0, 0, 0) = '1';
  src->pia.at(0, 0, 1) = '0';
  src->logicArray.at(4, 1, 0) = '0';
  src->logicArray.at(5, 2, 1) = '0';
  Qpl6000 q;
  q.ReadMaxInputBits(*src, r.run);
  EXPECT_EQ(Zeros(q, 4, 1), Cols{82});
  EXPECT_EQ(Zeros(q, 5, 2), Cols{83});
}

TEST(Qpl6000ReadMaxInputBits, ExpandersConnectTheFoldbackOfTheirBlocksMacrocells) {
  CapturedRun r;
  auto src = Plain7032();
  src->logicArray.at(19, 0, 72) = '0';  // MC 20 -> expander of MC 17 (pin 41)
  src->logicArray.at(2, 0, 72) = '0';   // MC 3 -> expander of MC 1 (pin 4)
  src->logicArray.at(15, 3, 87) = '0';  // MC 16 -> its own (pin 21)
  src->logicArray.at(31, 4, 87) = '0';  // MC 32 -> its own (pin 24)
  src->logicArray.at(16, 2, 79) = '0';  // MC 17 -> MC 24 (pin 33)
  Qpl6000 q;
  q.ReadMaxInputBits(*src, r.run);
  EXPECT_EQ(Zeros(q, 19, 0), Cols{10});
  EXPECT_EQ(Zeros(q, 2, 0), Cols{13});
  EXPECT_EQ(Zeros(q, 15, 3), Cols{134});
  EXPECT_EQ(Zeros(q, 31, 4), Cols{122});
  EXPECT_EQ(Zeros(q, 16, 2), Cols{13});
}

TEST(Qpl6000ReadMaxInputBits, UndefinedPiaCodeReportsAndConnectsNothing) {
  CapturedRun r;
  auto src = Plain7032();
  src->pia.at(0, 0, 0) = 'x';
  src->logicArray.at(0, 0, 0) = '0';
  src->logicArray.at(0, 0, 2) = '0';  // row 1, code 3: pin 0 true (28)
  Qpl6000 q;
  q.ReadMaxInputBits(*src, r.run);
  EXPECT_EQ(r.console.str(), "Qpl6000::ReadMaxInputBits() Error\n");
  EXPECT_EQ(Zeros(q, 0, 0), Cols{28});
}

// ------------------------------------------------------------ macrocell bits

// All-'1' configuration and output enable "11" with slew AUTO give
// bits 0..15 = 0 0 0 0 1 1 0 1 0 0 1 1 1 1 0 1.
constexpr const char kErasedBits[] = "0000110100111101";

TEST(Qpl6000TranslateMacrocells, EachSourceBitReachesItsConfigurationBit) {
  struct Case { int mc; int config; int oe; const char* bits; } cases[] = {
      {0, -1, -1, kErasedBits},
      {1, 0, -1, "1000110100111101"},
      {2, 1, -1, "0100110100111101"},
      {3, 2, -1, "0000100100111101"},
      {4, 3, -1, "0000110010111101"},   // bit 7 off with bit 13 on raises bit 8
      {5, 4, -1, "0000110100110101"},
      {6, 5, -1, "0000110010111101"},   // bits 7, 8 on and an open PT 4: PT 4 taken
      {7, 6, -1, "0000111100111101"},
      {8, 7, -1, "0010110100111101"},
      {9, 8, -1, "0001010100111101"},   // expander 72+9 of MC 18 PT 1 erased
      {10, 9, -1, "0000010100111101"},
      {11, 10, -1, "0000110100111001"},
      {12, 11, -1, "0000110100111111"},
      {13, -1, 1, "0000110101011101"},
      {14, -1, 0, "0000110100011101"},
      {15, 8, -1, "0001110100111101"},  // expander 72+15 programmed: bit 4 on
      {31, 8, -1, "0001010100111101"},  // second block: bit 4 stays
  };
  CapturedRun r;
  r.run.options.slew = AUTO;
  auto src = Plain7032();
  for (const Case& c : cases) {
    if (c.config >= 0) src->mcConfig.at(c.mc, c.config) = '0';
    if (c.oe >= 0) src->outputEnable.at(c.mc, c.oe) = '0';
  }
  src->logicArray.at(17, 0, 72 + 15) = '0';
  Qpl6000 q;
  q.TranslateMacrocells(*src, r.run);
  for (const Case& c : cases) EXPECT_EQ(Bits(q, c.mc), c.bits) << "MC " << c.mc + 1;
  EXPECT_TRUE(AllOf(q, 6, 3, '0'));
  EXPECT_TRUE(AllOf(q, 4, 3, '1'));
  EXPECT_TRUE(AllOf(q, 0, 3, '1'));
  EXPECT_EQ(r.run.options.ptClockConverted, 0);
}

TEST(Qpl6000TranslateMacrocells, PinClockTakesAClockTermOfPin43Only) {
  for (int pinClock : {1, 0}) {
    CapturedRun r;
    r.run.options.slew = AUTO;
    r.run.options.pinClock = pinClock;
    auto src = Plain7032();
    src->mcConfig.at(0, 10) = '0';  // MC 1 registered: bit 13 '0'
    Qpl6000 q;
    SetTerm(q, 0, 3, {58});
    SetTerm(q, 1, 3, {58});
    SetTerm(q, 2, 3, {58, 42});
    SetTerm(q, 3, 3, {59});
    q.TranslateMacrocells(*src, r.run);
    if (pinClock) {
      EXPECT_EQ(Bits(q, 0), "0000110010111001");  // bit 7 off, bit 8 on
      EXPECT_TRUE(AllOf(q, 0, 3, '0'));
      EXPECT_EQ(Bits(q, 1), kErasedBits);          // bit 13 on: bits stay
      EXPECT_TRUE(AllOf(q, 1, 3, '0'));
      EXPECT_EQ(r.run.options.ptClockConverted, 1);
    } else {
      EXPECT_EQ(Bits(q, 0), "0000110100111001");
      EXPECT_EQ(Zeros(q, 0, 3), Cols{58});
      EXPECT_EQ(Zeros(q, 1, 3), Cols{58});
      EXPECT_EQ(r.run.options.ptClockConverted, 0);
    }
    EXPECT_EQ(Zeros(q, 2, 3), (Cols{42, 58}));
    EXPECT_EQ(Zeros(q, 3, 3), Cols{59});
  }
}

// ------------------------------------------------------------ unused terms

TEST(Qpl6000ClearUnusedTerms, OpenTermsAreKeptOnlyWhereTheirMacrocellUsesThem) {
  // 'K': the term stays open (all '1'); 'C': cleared to all '0'.
  struct Case { int mc; const char* before; const char* after; const char* terms; } cases[] = {
      {0, "1111111111111111", "1101111111111111", "KCCCC"},  // PT2 VCC reconfigured
      {1, "1111011111111111", "1111011111111111", "KKCCC"},  // bit 1 on, 2..4 = 110
      {2, "1111111111111110", "1111111111111110", "KCCCC"},  // bit 15 off, bit 13 on
      {3, "1111111111111000", "1101111111111000", "KCCKC"},  // bit 13 off: reconfigured
      {4, "1011011111111111", "1011011111111111", "KKCCC"},  // bit 1 off, 110
      {5, "1001111111111111", "1001111111111111", "KKCCC"},  // bit 1 off, 011
      {6, "1011111111111111", "1011111111111111", "KCCCC"},  // bit 1 off, 111
      {7, "1001011111111111", "1001011111111111", "KCCCC"},  // bit 1 off, 010
      {8, "1x11111111111111", "1x11111111111111", "KCCCC"},  // undefined bit 1
      {9, "0111111111111111", "0101111111111111", "CCCCC"},  // bit 0 off
      {10, "1111101111111111", "1101101111111111", "KCKCC"}, // bit 5 off keeps PT 3
      {11, "1111111011111111", "1101111011111111", "KCCKC"}, // bit 7 off keeps PT 4
      {12, "1111111111111011", "1101111111111011", "KCCKC"}, // 7, 8 on, 13 off
      {13, "1111111101111011", "1101111101111011", "KCCCC"}, // 8 off
      {14, "0000000000000000", "0000000000000000", "CCKKC"}, // PT 5 never kept
  };
  for (int verbose : {1, 0}) {
    CapturedRun r;
    r.run.options.verbose = verbose;
    Qpl6000 q;
    for (int m = 0; m < 32; ++m) SetBits(q, m, std::string(16, '0'));
    for (const Case& c : cases) SetBits(q, c.mc, c.before);
    SetTerm(q, 15, 4, {3});  // a connected term is always kept
    q.ClearUnusedTerms(r.run);
    for (const Case& c : cases) {
      EXPECT_EQ(Bits(q, c.mc), c.after) << "MC " << c.mc + 1;
      for (int p = 0; p < 5; ++p) {
        EXPECT_TRUE(AllOf(q, c.mc, p, c.terms[p] == 'K' ? '1' : '0'))
            << "MC " << c.mc + 1 << " PT " << p + 1;
      }
    }
    EXPECT_EQ(Zeros(q, 15, 4), Cols{3});
    std::string expected;
    for (int n : {1, 4, 10, 11, 12, 13, 14}) {
      expected += "Macrocell " + std::to_string(n) + " PT2 VCC is reconfigured\n";
    }
    EXPECT_EQ(r.console.str(), verbose ? expected : "");
  }
}

}  // namespace
}  // namespace fusecvt
