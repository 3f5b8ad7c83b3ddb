// The combinational-latch pass and the opposite-column lookup it relies on.
// MC 1 sits at pin 4: feedback F = 25, F' = 24, pin input T = 41, T' = 40.
// Other literals: A = pin 5 (true 42, complement 43), B = pin 6 (true 45,
// complement 44).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "qpl6000/Qpl6000.h"
#include "qpl6000/Qpl6000TestUtil.h"

namespace fusecvt {
namespace {

using test::AllOf;
using test::Bits;
using test::CapturedRun;
using test::SetBits;
using test::SetTerm;
using test::SetTermAll;
using test::Zeros;
using Cols = std::vector<int>;

constexpr int F = 25, A = 42, NotA = 43, B = 45, NotB = 44, T = 41, NotT = 40, Fc = 24;

// Combinational output (bits 13, 15), PT 1 in the sum (bit 0), bits 3, 4 on,
// output enable bits 9..11 = 0 1 1.
constexpr const char kLatchBits[] = "1111111110111111";

const char kPinFeedbackNotice[] =
    "Combinatorial Latch Detected at Macrocell 1 from POF file (pf)\n"
    " - Implemented Pin feedback.\n";

struct LatchCase {
  CapturedRun r;
  Qpl6000 q;
  std::ostringstream out;
  LatchCase() {
    r.run.options.verbose = 1;
    SetBits(q, 0, kLatchBits);
  }
  void Cover() { q.CoverRaces(out, r.run); }
};

TEST(Qpl6000FindOppositeColumn, SwapsPolarityOfPinsAndFeedbacksOnly) {
  struct Case { int column; int opposite; } cases[] = {
      {41, 40}, {40, 41},    // pin 4 input
      {25, 24}, {24, 25},    // MC at pin 4, not the pin-0 row
      {26, 27}, {27, 26},    // MC at pin 5
      {28, 29},              // MC at pin 6
      {54, 55}, {57, 56},    // pins 1 and 44: inputs only
      {0, 2}, {151, 150},    // MCs at pins 12 and 24
      {13, -1}, {1, -1}, {122, -1},  // foldbacks
      {-1, -1}, {152, -1}, {100000, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Qpl6000::FindOppositeColumn(c.column), c.opposite) << c.column;
  int paired = 0;
  for (int col = 0; col < 152; ++col) {
    const int o = Qpl6000::FindOppositeColumn(col);
    if (o < 0) continue;
    ++paired;
    EXPECT_NE(o, col);
    EXPECT_EQ(Qpl6000::FindOppositeColumn(o), col) << col;
  }
  EXPECT_EQ(paired, 152 - 16);  // every column but the 16 foldbacks
}

TEST(Qpl6000CoverRaces, ConsensusTermIsStoredInTheFirstEmptyTermAndEnabled) {
  // A.B + F./B: the copy of A.B loses B and gains F; it goes into the first
  // empty term, which is switched into the sum.
  struct Enable { int bit; char off; char on; } enables[] = {
      {0, '0', '1'}, {1, '0', '1'}, {5, '1', '0'}, {7, '1', '0'}, {12, '1', '0'}};
  for (int e = 0; e < 5; ++e) {
    for (int verbose : {0, 1}) {
      LatchCase c;
      c.r.run.options.verbose = verbose;
      std::string bits = kLatchBits;
      for (const Enable& en : enables) {
        if (en.bit != 0 || e == 0) bits[static_cast<std::size_t>(en.bit)] = en.off;
      }
      SetBits(c.q, 0, bits);
      const int plain = (e + 1) % 5, latch = (e + 2) % 5;
      SetTermAll(c.q, 0, e, '0');
      SetTerm(c.q, 0, plain, {A, B});
      SetTerm(c.q, 0, latch, {F, NotB});
      // A later empty term, where one is free, stays empty.
      int second = -1;
      for (int p = e + 1; p < 5 && second < 0; ++p) {
        if (p != plain && p != latch) second = p;
      }
      if (second >= 0) SetTermAll(c.q, 0, second, '0');
      c.Cover();
      EXPECT_EQ(Zeros(c.q, 0, e), (Cols{F, A})) << "PT " << e + 1;
      std::string want = bits;
      want[static_cast<std::size_t>(enables[e].bit)] = enables[e].on;
      EXPECT_EQ(Bits(c.q, 0), want) << "PT " << e + 1;
      EXPECT_EQ(Zeros(c.q, 0, plain), (Cols{A, B}));
      EXPECT_EQ(Zeros(c.q, 0, latch), (Cols{F, NotB}));
      if (second >= 0) {
        EXPECT_TRUE(AllOf(c.q, 0, second, '0'));
      }
      EXPECT_EQ(c.r.console.str(),
                "Combinatorial Latch Detected at Macrocell 1 from POF file\a\n"
                "\t- Added race coverage product term\a\n");
      EXPECT_EQ(c.out.str(),
                "Combinatorial Latch Detected at Macrocell 1 from POF file\n"
                "\t- Added race coverage product term\n");
    }
  }
}

TEST(Qpl6000CoverRaces, SecondBlockMacrocellUsesItsOwnFeedback) {
  // MC 17 at pin 41: F = 33.
  CapturedRun r;
  Qpl6000 q;
  std::ostringstream out;
  SetBits(q, 16, kLatchBits);
  SetTerm(q, 16, 0, {A, B});
  SetTerm(q, 16, 1, {33, NotB});
  SetTermAll(q, 16, 2, '0');
  q.CoverRaces(out, r.run);
  EXPECT_EQ(Zeros(q, 16, 2), (Cols{33, A}));
  EXPECT_EQ(out.str(),
            "Combinatorial Latch Detected at Macrocell 17 from POF file\n"
            "\t- Added race coverage product term\n");
}

TEST(Qpl6000CoverRaces, UncoverableLatchesGetPinFeedback) {
  // Each case ends in the pin-feedback step: the latch term's F moves to T.
  struct Case {
    const char* what;
    Cols plain;
    Cols latch;
    Cols second;  // a second latch term in PT 4, if any
    bool empty;   // PT 3 all '0'
    char bit3;
    Cols latchAfter;
  } cases[] = {
      {"one recounted, copy differs", {A, B}, {F, A}, {}, true, '1', {T, A}},
      {"two recounted", {A, B}, {F, A}, {F, B}, true, '1', {T, A}},
      {"copy left with nothing", {B}, {F, NotB}, {}, true, '1', {T, NotB}},
      {"literal without opposite", {A}, {F, 13}, {}, true, '1', {13, T}},
      {"literal not in the copy", {A}, {F, NotB}, {}, true, '1', {T, NotB}},
      {"no empty term", {A, B}, {F, NotB}, {}, false, '1', {T, NotB}},
      {"bit 3 off", {A, B}, {F, NotB}, {}, true, '0', {T, NotB}},
  };
  for (const Case& k : cases) {
    LatchCase c;
    c.q.mcBits.at(0, 3) = k.bit3;
    SetTerm(c.q, 0, 0, {});
    for (int col : k.plain) c.q.ptFuses.at(0, 0, col) = '0';
    SetTerm(c.q, 0, 1, {});
    for (int col : k.latch) c.q.ptFuses.at(0, 1, col) = '0';
    for (int col : k.second) c.q.ptFuses.at(0, 3, col) = '0';
    if (k.empty) SetTermAll(c.q, 0, 2, '0');
    c.Cover();
    std::vector<int> latchAfter = k.latchAfter;
    std::sort(latchAfter.begin(), latchAfter.end());
    EXPECT_EQ(Zeros(c.q, 0, 1), latchAfter) << k.what;
    EXPECT_EQ(Zeros(c.q, 0, 0), k.plain) << k.what;
    if (!k.second.empty()) {
      EXPECT_EQ(Zeros(c.q, 0, 3), (Cols{T, B})) << k.what;
    }
    if (k.empty) {
      EXPECT_TRUE(AllOf(c.q, 0, 2, '0')) << k.what;
    }
    EXPECT_EQ(c.q.mcBits.at(0, 9), '0') << k.what;
    EXPECT_EQ(c.r.console.str(), kPinFeedbackNotice) << k.what;
    EXPECT_EQ(c.out.str(), kPinFeedbackNotice) << k.what;
  }
}

TEST(Qpl6000CoverRaces, FeedbackComplementAndWiderTermsMoveToThePin) {
  LatchCase c;
  c.r.run.options.verbose = 0;
  SetTerm(c.q, 0, 0, {F, A, B});  // F with more literals
  SetTerm(c.q, 0, 1, {Fc, NotA});
  SetTerm(c.q, 0, 2, {NotB});     // plain: untouched
  SetTermAll(c.q, 0, 3, '0');     // empty: untouched although it holds F
  c.Cover();
  EXPECT_EQ(Zeros(c.q, 0, 0), (Cols{T, A, B}));
  EXPECT_EQ(Zeros(c.q, 0, 1), (Cols{NotT, NotA}));
  EXPECT_EQ(Zeros(c.q, 0, 2), Cols{NotB});
  EXPECT_TRUE(AllOf(c.q, 0, 3, '0'));
  EXPECT_EQ(Bits(c.q, 0), kLatchBits);
  EXPECT_EQ(c.r.console.str(), "");  // quiet without verbose
  EXPECT_EQ(c.out.str(), "");
}

TEST(Qpl6000CoverRaces, DisabledOutputScansForThePinFirst) {
  // Bits 9..11 = 1 1 1: the pin may only be used when nothing reads it yet.
  struct Case { const char* what; int otherColumn; bool allZero; bool converted; } cases[] = {
      {"pin unused", -1, false, true},
      {"pin true read by MC 6", T, false, false},
      {"pin complement read by MC 6", NotT, false, false},
      {"an all-0 term reads every column", -1, true, false},
  };
  for (const Case& k : cases) {
    LatchCase c;
    c.q.mcBits.at(0, 9) = '1';
    SetTerm(c.q, 0, 0, {Fc, A});
    if (k.otherColumn >= 0) SetTerm(c.q, 5, 2, {k.otherColumn});
    if (k.allZero) SetTermAll(c.q, 5, 4, '0');
    c.Cover();
    if (k.converted) {
      EXPECT_EQ(Zeros(c.q, 0, 0), (Cols{NotT, A})) << k.what;
      EXPECT_EQ(c.q.mcBits.at(0, 9), '0') << k.what;
      EXPECT_EQ(c.out.str(), kPinFeedbackNotice) << k.what;
      EXPECT_EQ(c.r.console.str(), kPinFeedbackNotice) << k.what;
    } else {
      const char notice[] = "Combinatorial Latch Detected at Macrocell 1 from POF file\n";
      EXPECT_EQ(Zeros(c.q, 0, 0), (Cols{Fc, A})) << k.what;
      EXPECT_EQ(c.q.mcBits.at(0, 9), '1') << k.what;
      EXPECT_EQ(c.out.str(), notice) << k.what;
      EXPECT_EQ(c.r.console.str(), notice) << k.what;
    }
  }
}

TEST(Qpl6000CoverRaces, OtherOutputEnablesAndRegisteredMacrocellsAreLeftAlone) {
  struct Case { const char* what; int bit; char value; } cases[] = {
      {"bits 9..11 = 0 0 1", 10, '0'},
      {"bits 9..11 = 0 1 0", 11, '0'},
      {"registered (bit 13 off)", 13, '0'},
      {"bit 15 off", 15, '0'},
  };
  for (const Case& k : cases) {
    LatchCase c;
    c.q.mcBits.at(0, k.bit) = k.value;
    SetTerm(c.q, 0, 0, {Fc, A});
    SetTerm(c.q, 0, 1, {F, B});
    c.Cover();
    EXPECT_EQ(Zeros(c.q, 0, 0), (Cols{Fc, A})) << k.what;
    EXPECT_EQ(Zeros(c.q, 0, 1), (Cols{F, B})) << k.what;
    EXPECT_EQ(c.out.str(), "") << k.what;
    EXPECT_EQ(c.r.console.str(), "") << k.what;
  }
}

TEST(Qpl6000CoverRaces, SetAsidePtOneIsNotCountedButStillMovesToThePin) {
  // PT 1 outside the sum (bit 0 off with bit 4 on) holding F and one literal.
  LatchCase alone;
  alone.q.mcBits.at(0, 0) = '0';
  SetTerm(alone.q, 0, 0, {F, A});
  alone.Cover();
  EXPECT_EQ(Zeros(alone.q, 0, 0), (Cols{F, A}));
  EXPECT_EQ(alone.out.str(), "");

  LatchCase with;
  with.q.mcBits.at(0, 0) = '0';
  SetTerm(with.q, 0, 0, {F, A});
  SetTerm(with.q, 0, 1, {Fc, B});
  with.Cover();
  EXPECT_EQ(Zeros(with.q, 0, 0), (Cols{T, A}));
  EXPECT_EQ(Zeros(with.q, 0, 1), (Cols{NotT, B}));
  EXPECT_EQ(with.out.str(), kPinFeedbackNotice);
}

}  // namespace
}  // namespace fusecvt
