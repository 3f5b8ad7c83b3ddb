// Product-term copy (stage 1), the product-term and pin use tests, and the
// clearing of unused product terms (stage 6) on QPL6032.

#include <gtest/gtest.h>

#include <cstring>

#include "StageFixture.h"
#include "translate/BlockTranslation.h"

namespace fusecvt::test {
namespace {

std::string With(std::string s, std::initializer_list<int> zeros) {
  for (int i : zeros) s[static_cast<std::size_t>(i)] = '0';
  return s;
}
const std::string k80(80, '1');
const std::string k16(16, '1');

TEST(Qpl6032ReadProductTerms, ColumnsLandOnTheFusePairOfTheirUimLine) {
  Stage6032 s(SourceKind::Max7032S);
  // Row 0 feeds line 30 (even): true column 0 -> fuse 60, complement 1 -> 61.
  s.Pick(0, 0, 0);
  s.Connect(0, 0, 0);
  s.Connect(0, 1, 1);
  // Row 1 feeds line 31 (odd): the pair is swapped, true -> 63, complement -> 62.
  s.Pick(0, 1, 0);
  s.Connect(0, 2, 2);
  s.Connect(0, 3, 3);
  // Row 27 feeds line 0, row 35 line 8; block B uses the same lines.
  s.Pick(1, 35, 2);
  s.Connect(16, 0, 71);
  // Column 80 is the expander of the LAB's macrocell 8.
  s.Connect(1, 4, 80);
  s.Run(1);
  EXPECT_EQ(s.Inputs(0, 0), With(k80, {60}));
  EXPECT_EQ(s.Inputs(0, 1), With(k80, {61}));
  EXPECT_EQ(s.Inputs(0, 2), With(k80, {63}));
  EXPECT_EQ(s.Inputs(0, 3), With(k80, {62}));
  EXPECT_EQ(s.Inputs(0, 4), k80);
  EXPECT_EQ(s.Inputs(16, 0), With(k80, {17}));  // line 8 even, complement -> 2*8+1
  EXPECT_EQ(s.Foldbacks(1, 4), With(k16, {8}));
  EXPECT_EQ(s.Inputs(1, 4), k80);
  EXPECT_EQ(s.Foldbacks(0, 0), k16);
}

TEST(Qpl6032ReadProductTerms, AnAllZeroTermStaysDisabled) {
  Stage6032 s(SourceKind::Max7032AE);
  for (int c = 0; c < 88; ++c) s.Connect(5, 2, c);
  // One '1' left makes it an ordinary term again.
  for (int c = 0; c < 87; ++c) s.Connect(6, 2, c);
  s.Run(1);
  EXPECT_EQ(s.Inputs(5, 2), std::string(80, '0'));
  EXPECT_EQ(s.Foldbacks(5, 2), std::string(16, '0'));
  EXPECT_EQ(s.Foldbacks(6, 2), std::string(15, '0') + "1");
  EXPECT_EQ(s.target.pinUse.gclk1TrueUsed + s.target.pinUse.gclk2TrueUsed, 0)
      << "a disabled term reads no clock";
}

TEST(Qpl6032ReadProductTerms, RecordsJtagPinsAndDedicatedInputs) {
  struct Case {
    int row, pick, column;
    int PinUseFlags::*flag;
  } cases[] = {
      {20, 3, 40, &PinUseFlags::tdiPinUsed},          // P4
      {6, 3, 12, &PinUseFlags::tmsPinUsed},           // P9
      {2, 3, 4, &PinUseFlags::tckPinUsed},            // P25
      {24, 3, 49, &PinUseFlags::tdoPinUsed},          // P20, complement column
      {27, 1, 54, &PinUseFlags::gclk1TrueUsed},       // -5 true
      {35, 1, 71, &PinUseFlags::gclk1ComplementUsed}, // -5 complement
      {0, 1, 0, &PinUseFlags::gclk2TrueUsed},         // -2 true
      {8, 1, 17, &PinUseFlags::gclk2ComplementUsed},  // -2 complement
      {7, 0, 14, &PinUseFlags::gclk3Used},            // F17
      {21, 3, 43, &PinUseFlags::gclk3Used},           // P17
  };
  for (const Case& c : cases) {
    for (SourceKind kind : {SourceKind::Max7032S, SourceKind::Max7032}) {
      Stage6032 s(kind);
      s.Pick(1, c.row, c.pick);
      s.Connect(20, 0, c.column);
      s.Run(1);
      const PinUseFlags& f = s.target.pinUse;
      const int total = f.tdiPinUsed + f.tmsPinUsed + f.tckPinUsed + f.tdoPinUsed +
                        f.gclk1TrueUsed + f.gclk1ComplementUsed + f.gclk2TrueUsed +
                        f.gclk2ComplementUsed + f.gclk3Used + f.pd1PinUsed + f.pd2PinUsed;
      EXPECT_EQ(f.*c.flag, 1) << "row " << c.row << " kind " << SourceKindName(kind);
      EXPECT_EQ(total, 1) << "row " << c.row << " kind " << SourceKindName(kind);
    }
  }
}

TEST(Qpl6032ReadProductTerms, FeedbackOfAJtagMacrocellIsNoPinUse) {
  Stage6032 s(SourceKind::Max7032S);
  s.Pick(0, 0, 0);  // F4: feedback of MC 4, not its pin
  s.Connect(0, 0, 0);
  s.Pick(0, 18, 1);  // -1, the first OE input: no flag
  s.Connect(0, 0, 36);
  s.Run(1);
  EXPECT_EQ(s.target.pinUse.tdiPinUsed, 0);
  EXPECT_EQ(s.Inputs(0, 0), With(k80, {60, 20}));  // row 18 feeds line 10 (even)
}

TEST(Qpl6032ReadProductTerms, ARowWithoutPickStillSetsItsFuseButNoFlag) {
  Stage6032 s(SourceKind::Max7032S);
  s.Connect(0, 3, 54);  // row 27 (line 0) left at all '1': no pick
  Stage6032 flat(SourceKind::Max7032);
  flat.Pick(0, 27, 1);
  flat.src->pia.at(0, 27, 0) = 'x';  // not a code: no pick
  flat.Connect(0, 3, 54);
  s.Run(1);
  flat.Run(1);
  for (Stage6032* st : {&s, &flat}) {
    EXPECT_EQ(st->Inputs(0, 3), With(k80, {0}));
    EXPECT_EQ(st->target.pinUse.gclk1TrueUsed, 0);
  }
}

TEST(Qpl6032ReadProductTerms, FlatPicksReadTheTwoCharacterCode) {
  // Row 27 of the plain 7032: "00" F29, "01" -5 (GCLK1), "10" P22, "11" none.
  const char* codes[] = {"00", "01", "10", "11"};
  for (int p = 0; p < 4; ++p) {
    Stage6032 s(SourceKind::Max7032);
    s.src->pia.at(1, 27, 0) = codes[p][0];
    s.src->pia.at(1, 27, 1) = codes[p][1];
    s.Connect(16, 0, 54);
    s.Run(1);
    EXPECT_EQ(s.target.pinUse.gclk1TrueUsed, p == 1 ? 1 : 0) << codes[p];
    EXPECT_EQ(fusecvt::PiaSelection(*s.src, 1, 27), p);
  }
}

TEST(ProductTermUse, ArrayFusesOrTheSBitsOfTheTable) {
  Qpl6032 t;
  auto set = [&](const char* bits) { std::memcpy(t.mcBits.row(0), bits, 24); };
  // S bits:   S0.....S23 with the named bits changed from all '1'.
  auto bits = [](std::initializer_list<std::pair<int, char>> v) {
    std::string s(24, '1');
    for (auto [i, c] : v) s[static_cast<std::size_t>(i)] = c;
    return s;
  };
  struct Case {
    std::string s;
    int expected[5];
  } cases[] = {
      // All '1': PT 2 by S13 = '1' and S6 = '1'; nothing else.
      {bits({}), {0, 1, 0, 0, 0}},
      // S6 = '0': PT 2 off unless S10 = '0' and S11 = '1'.
      {bits({{6, '0'}}), {0, 0, 0, 0, 0}},
      {bits({{6, '0'}, {10, '0'}}), {0, 1, 0, 0, 0}},
      // PT 1 by S9 = '0', or S6 S10 S11 = 1 0 1.
      {bits({{6, '0'}, {9, '0'}}), {1, 0, 0, 0, 0}},
      {bits({{10, '0'}}), {1, 1, 0, 0, 0}},
      // PT 2 by S13 = '0' with S3 = '0' or S4 = '1'.
      {bits({{6, '0'}, {13, '0'}, {4, '0'}}), {0, 0, 0, 0, 0}},
      {bits({{6, '0'}, {13, '0'}, {4, '0'}, {3, '0'}}), {0, 1, 0, 0, 0}},
      // PT 3 by S16 = '0'.
      {bits({{6, '0'}, {16, '0'}}), {0, 0, 1, 0, 0}},
      // PT 4 by S12 = '0', or S5 = S3 = '0'.
      {bits({{6, '0'}, {12, '0'}}), {0, 0, 0, 1, 0}},
      {bits({{6, '0'}, {5, '0'}}), {0, 0, 0, 0, 0}},
      {bits({{6, '0'}, {5, '0'}, {3, '0'}}), {0, 0, 0, 1, 0}},
  };
  for (const Case& c : cases) {
    set(c.s.c_str());
    for (int k = 0; k < 5; ++k) EXPECT_EQ(IsProductTermUsed(t, 0, k), c.expected[k]) << c.s << " PT " << k + 1;
  }
  // Any '0' among the 96 fuses makes a term used, PT 5 included.
  set(bits({{6, '0'}}).c_str());
  t.ptFoldbackFuses.at(0, 4, 15) = '0';
  t.ptInputFuses.at(0, 2, 79) = '0';
  EXPECT_EQ(IsProductTermUsed(t, 0, 4), 1);
  EXPECT_EQ(IsProductTermUsed(t, 0, 2), 1);
  EXPECT_EQ(IsProductTermUsed(t, 0, 3), 0);
}

TEST(PinUse, OutputSelectThenProductTermsThenS3) {
  auto pin = [](const std::string& s, bool termUsed) {
    Qpl6032 t;
    std::memcpy(t.mcBits.row(3), s.data(), 24);
    if (termUsed) t.ptInputFuses.at(3, 4, 0) = '0';
    return IsPinUsed(t, 3);
  };
  auto bits = [](std::initializer_list<std::pair<int, char>> v) {
    std::string s(24, '1');
    s[6] = '0';  // no S-bit routing: only the array decides whether a term is used
    for (auto [i, c] : v) s[static_cast<std::size_t>(i)] = c;
    return s;
  };
  EXPECT_EQ(pin(bits({{1, '0'}}), false), 1) << "an output select other than 111";
  EXPECT_EQ(pin(bits({{0, '0'}, {1, '0'}, {2, '0'}}), false), 1);
  EXPECT_EQ(pin(bits({}), false), 0) << "no product term in use";
  EXPECT_EQ(pin(bits({}), true), 1) << "S3 = '1'";
  EXPECT_EQ(pin(bits({{3, 'x'}}), true), 0) << "S3 neither '0' nor '1'";
  EXPECT_EQ(pin(bits({{3, '0'}}), true), 1) << "S5 = S12 = S14 = '1'";
  EXPECT_EQ(pin(bits({{3, '0'}, {14, '0'}}), true), 0);
  EXPECT_EQ(pin(bits({{3, '0'}, {14, '0'}, {5, '0'}}), true), 1) << "S5 = '0'";
  EXPECT_EQ(pin(bits({{3, '0'}, {14, '0'}, {15, '0'}}), true), 1) << "S15 = '0'";
  EXPECT_EQ(pin(bits({{3, '0'}, {12, '0'}}), true), 0);
}

TEST(UimLineUse, ExactlyOneZeroInTheFusePairOfSomeTermOfTheBlock) {
  Qpl6032 t;
  t.ptInputFuses.at(17, 2, 60) = '0';  // block B, line 30, one polarity
  EXPECT_EQ(IsUimLineUsed(t, 1, 30), 1);
  EXPECT_EQ(IsUimLineUsed(t, 0, 30), 0);
  t.ptInputFuses.at(17, 2, 61) = '0';  // "00": the disabled pattern
  EXPECT_EQ(IsUimLineUsed(t, 1, 30), 0);
  t.ptInputFuses.at(31, 4, 79) = '0';  // line 39, complement half of the pair
  EXPECT_EQ(IsUimLineUsed(t, 1, 39), 1);
  EXPECT_EQ(IsUimLineUsed(t, 1, 38), 0);
}

TEST(Qpl6032ClearUnusedProductTerms, DisablesOnlyTermsNothingUses) {
  Stage6032 s(SourceKind::Max7032S);
  s.IdleAll();
  s.Pick(0, 0, 0);
  s.Connect(2, 4, 0);  // MC 3: only PT 5 has a connection
  s.src->mcConfig.at(4, 2) = '0';  // MC 5: S16 = mc[2] = '0' routes PT 3
  s.Run();
  EXPECT_EQ(s.Inputs(2, 4), With(k80, {60}));
  EXPECT_EQ(s.Bits(2)[21], '0') << "PT 5 in use";
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s.Inputs(2, k), std::string(80, '0'));
    EXPECT_EQ(s.Foldbacks(2, k), std::string(16, '0'));
  }
  EXPECT_EQ(s.Inputs(4, 2), k80) << "routed by its S bits, kept";
  EXPECT_EQ(s.Bits(4)[21], '0');
  EXPECT_EQ(s.Inputs(4, 1), std::string(80, '0'));
  EXPECT_EQ(s.Bits(7)[21], '1') << "nothing in use";
}

TEST(Qpl6032Stages, IgnoreSourcesOfOtherTargets) {
  Stage6032 s(SourceKind::Max7064S);
  s.src->logicArray.at(0, 0, 0) = '0';
  s.src->unknownBits.at(0) = '0';
  s.run.options.pd1 = 1;
  s.Run();
  Qpl6032 fresh;
  EXPECT_EQ(std::string(s.target.ptInputFuses.data(), s.target.ptInputFuses.size()),
            std::string(fresh.ptInputFuses.data(), fresh.ptInputFuses.size()));
  EXPECT_EQ(std::string(s.target.mcBits.data(), s.target.mcBits.size()),
            std::string(fresh.mcBits.data(), fresh.mcBits.size()));
  EXPECT_EQ(s.console.str(), "");
  EXPECT_EQ(s.run.options.pd1, 1);
}

}  // namespace
}  // namespace fusecvt::test
