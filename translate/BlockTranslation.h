#pragma once
// The translation rules that the block-structured targets QPL6032, QPL6064 and
// QPL6128 share. Each target's stages are thin variants: they describe their
// tables and special macrocells as data and call these functions.
//
// Numbering: macrocells are indexes 0..N-1 (MC m+1 in messages), product terms
// 0..4 (PT 1..PT 5), UIM lines 0..39 per block, global OE multiplexers 0..5.

#include <array>
#include <string>
#include <vector>

#include "translate/BlockTarget.h"
#include "pof/SourceImage.h"
#include "translate/MacrocellBit.h"
#include "translate/RoutingTables.h"
#include "translate/RowRoute.h"

namespace fusecvt {


// ---------------------------------------------------------------------------
// Source kinds

// How a source kind lays out its macrocell and I/O bits; kinds of one family
// share their field positions whatever their size.
enum class SourceFamily {
  kS,      // 7032S, 7064S, 7128S (and 7128A)
  kAE,     // 7032AE, 7064AE, 7128AE
  k3A,     // 3032A, 3064A, 3128A
  kPlain,  // 7032, 7064, 7128: flat selections, two-bit output-enable codes
  kE,      // 7128E
};
SourceFamily FamilyOf(SourceKind kind);

// ---------------------------------------------------------------------------
// Picks of the PIA and OE PIA rows

inline constexpr int kNoPick = -1;

// How the characters of one PIA or OE PIA row name their pick.
struct PickRule {
  enum Mode {
    kFirstZero,    // one-hot: the index of the first '0'; none when all are '1'
    kLastZero,     // the index of the last '0'; none when all are '1'
    kCode,         // binary code, first character most significant, '1' = 1;
                   // codes >= limit are no pick
    kStrictCode,   // as kCode, but a character other than '0'/'1' is no pick
  };
  Mode mode;
  int width;  // characters examined, from the row's first
  int limit;  // kCode/kStrictCode: first code that is no pick
};

// The pick named by `width` characters at `chars`, or kNoPick.
int ReadPick(const char* chars, const PickRule& rule);

// The PIA and OE PIA pick rules of a source kind, and the character of an OE
// PIA row that holds its polarity bit (-1: the kind has no OE PIA).
const PickRule& PiaPickRuleOf(SourceKind kind);
const PickRule& OePiaPickRuleOf(SourceKind kind);
int OePolarityCharOf(SourceKind kind);

// `PiaSelection`: the pick of PIA row `row` of source LAB `lab`, or kNoPick.
int PiaSelection(const SourceImage& source, int lab, int row);
// The pick of OE PIA row `row`, or kNoPick (also for kinds without OE PIA).
int OePiaSelection(const SourceImage& source, int row);

// Global clock code of three characters: 4*(c0='1') + 2*(c1='1') + (c2='1').
int GlobalClockCode(const char* c3);

// ---------------------------------------------------------------------------
// Signal matching

// The index of the choice equal to `s` (code and kind); the search keeps the
// last match. -1 when nothing matches.
int MatchChoice(const Signal* choices, int count, Signal s);

// ---------------------------------------------------------------------------
// Usage tests over the target image

// `IsProductTermUsed`: PT k of macrocell m has a '0' among its 96 fuses, or
// its macrocell's S bits route it.
int IsProductTermUsed(const BlockTargetImage& t, int m, int k);
// `IsPinUsed`: macrocell m drives or uses its pin.
int IsPinUsed(const BlockTargetImage& t, int m);
// The UIM lines of a block that some product term reads in exactly one
// polarity (one '0' in its fuse pair 2u, 2u+1), all found in one pass.
using UimLineSet = std::array<bool, 40>;
UimLineSet UimLinesRead(const BlockTargetImage& t, int block);
// Number of '0' among the 96 fuses of PT k of macrocell m (inline: a few
// word operations on the packed rows).
inline int CountProductTermZeros(const BlockTargetImage& t, int m, int k) {
  return t.ptInputFuses.row(m, k).CountProgrammed() + t.ptFoldbackFuses.row(m, k).CountProgrammed();
}
// Sets all 96 fuses of PT k of macrocell m to c.
inline void FillProductTerm(BlockTargetImage& t, int m, int k, char c) {
  t.ptInputFuses.row(m, k).Fill(c);
  t.ptFoldbackFuses.row(m, k).Fill(c);
}

// ---------------------------------------------------------------------------
// The target's special pins

struct SpecialPins {
  int pd1;  // macrocell index of the PD1 pin
  int pd2;  // macrocell index of the PD2 pin
  int tdi, tms, tck, tdo;          // macrocell indexes of the JTAG pins
  std::array<int, 3> jtagCleared;  // S0..S2 cleared when jtagBit is '1', in order
};

// ---------------------------------------------------------------------------
// Stage 1: product terms


// Routes of a target whose rows feed one fixed line each and carry the pick's
// signal straight (QPL6032, QPL6064).
template <std::size_t Picks>
LabRoutes DirectRoutes(const SourceImage& source, int lab, const Signal (&signals)[36][Picks],
                       const int (&toUim)[36]) {
  LabRoutes routes;
  for (int r = 0; r < 36; ++r) {
    RowRoute& rr = routes[r];
    rr.line = static_cast<std::int8_t>(toUim[r]);
    rr.muxLine = rr.line;
    const int p = PiaSelection(source, lab, r);
    if (p != kNoPick && p < static_cast<int>(Picks)) {
      rr.picked = true;
      rr.signal = signals[r][p];
    }
  }
  return routes;
}

enum class ClockFlagRule {
  kNone,      // the signal sets no flag
  kByParity,  // true column sets the true flag, complement column the other
  kTrueOnly,  // any column sets the true flag
};

struct ProductTermRules {
  bool swapOnOddLines = false;  // odd UIM lines take the complement column at 2u
  bool recordsJtagPins = false;  // stage 1 records the use of the JTAG pins
  int gclk1Code = 0, gclk2Code = 0, gclk3Code = 0;  // signal codes of the clock pins
  ClockFlagRule gclk1Rule = ClockFlagRule::kByParity;
  ClockFlagRule gclk2Rule = ClockFlagRule::kByParity;
};

// `ReadProductTerms` for every macrocell and product term: copies the 88
// source columns into the 80 UIM-column and 16 foldback fuses, recording pin
// and dedicated-input use. `routes[lab]` are the LAB's resolved rows.
void CopyProductTerms(BlockTargetImage& t, const SourceImage& source, const std::vector<LabRoutes>& routes,
                      const ProductTermRules& rules, const SpecialPins& pins);

// ---------------------------------------------------------------------------
// Stage 2: macrocell bits

// Where one S bit comes from. Bits read from the I/O record are left alone on
// a macrocell that has no record (no pin), whatever the options.
enum class BitFrom : signed char {
  kKeep,        // left at its default
  kOne,
  kZero,
  kMc,          // mc[pos]
  kNotMc,       // BitNot(mc[pos])
  kMcIfBinary,  // mc[pos], copied only if '0' or '1'
  kIo,          // io[pos]
  kNotIo,       // BitNot(io[pos])
};
struct BitRule {
  BitFrom from;
  int pos;
};

// Field positions of one source family. S8, S20 and S22 are overridden by the
// options `mcPower`, `openOut` and `slew`; the rule gives their AUTO value.
struct MacrocellBitMap {
  bool selectFromIo;          // S0..S2 from a 3-bit select in ioConfig;
                              // otherwise from the 2-bit outputEnable code
  std::array<int, 3> select;  // positions of the select in the I/O record
  std::array<BitRule, 24> bits;  // S3..S20, S22, S23 (S0..S2, S21 unused)
};
const MacrocellBitMap& MacrocellBitMapOf(SourceKind kind);

// A target's encoding of the output-enable selects into S0 S1 S2.
struct OeEncoding {
  // By the 3-bit select read in base two (first character most significant).
  std::array<const char*, 8> fromSelect;
  // By the 2-bit code "00", "01", "10", "11" (c0 most significant).
  std::array<const char*, 4> fromCode;
};

// Writes S0..S20, S22, S23 of macrocell m, then S21 ('0' when a product term
// is in use). `record` is the macrocell's ioConfig row (or outputEnable row for
// the plain kinds), null when the macrocell has no pin record.
struct MacrocellSource {
  const MacrocellBitMap* map;  // the source family's field positions
  const char* mc;              // the macrocell's mcConfig row
  int mcWidth;
  const char* record;          // its pin record; null: none
  int recordWidth;
};
// The rules of S3..S20, S22, S23 that write a bit, with the options applied
// (S8, S20, S22 forced or left alone): the same for every macrocell of a run,
// worked out once.
struct MacrocellBitPlan {
  struct Step {
    int bit;
    BitRule rule;
    bool needsRecord;  // the bit is left alone when the macrocell has no pin record
  };
  std::array<Step, 24> steps;
  int count = 0;
};
MacrocellBitPlan PlanMacrocellBits(const MacrocellBitMap& map, const ConversionOptions& options);

// `plan` is PlanMacrocellBits of source.map and the run's options.
void TranslateMacrocellBits(BlockTargetImage& t, const MacrocellBitPlan& plan, int m,
                            const OeEncoding& encoding, const MacrocellSource& source);

// Foldback fix-up: with S6 '1', S10 '0' and S11 '1', S11 becomes '0' when some
// enabled product term of the block reads this macrocell's foldback term.
void FixFoldback(BlockTargetImage& t, int m);
// Clock-term clean-up: S5 '0', S12 '1' and PT 4 with no '0': S12 becomes '0'
// and PT 4 is disabled (all '0').
void CleanUpClockTerm(BlockTargetImage& t, int m);


// ---------------------------------------------------------------------------
// Stage 2: product-term clock to pin clock

// The PIA rows through which GCLK1 and GCLK2 reach a product term. A row
// marks a clock when PT 4 has a '0' in its column (2r true, 2r+1 complement)
// and the row, as resolved, carries the clock's signal.
struct PtClockTaps {
  std::vector<int> gclk1Rows;
  std::vector<int> gclk2Rows;
  Signal gclk1;
  Signal gclk2;
};

struct PtClockMarks {
  bool gclk1True = false, gclk1Complement = false;
  bool gclk2True = false, gclk2Complement = false;
};

// Marks of the two-clock rule: every tap row is tested in both columns.
PtClockMarks FindClockMarks(PackedFuseArray::ConstRow pt4, const LabRoutes& routes, const PtClockTaps& taps);
// Marks of the single-clock rule of the plain kinds (GCLK1 only): the
// complement column of a row is tested only when its true column is not '0'.
PtClockMarks FindPlainClockMarks(PackedFuseArray::ConstRow pt4, const LabRoutes& routes,
                                 const PtClockTaps& taps);

// `ConvertPtClock` with a global clock code g (two clock lines). Returns true
// when PT 4 was turned into a pin clock.
bool ConvertPtClockCoded(BlockTargetImage& t, Outcome& outcome, int m, int g,
                         const PtClockMarks& marks);
// `ConvertPtClock` of the plain kinds: GCLK1 only, no clock code.
bool ConvertPtClockPlain(BlockTargetImage& t, Outcome& outcome, int m,
                         const PtClockMarks& marks);

// ---------------------------------------------------------------------------
// Stage 2: special pins after the macrocell loop

void UpdatePowerDownPins(BlockTargetImage& t, const SpecialPins& pins);
// Sets the four JTAG flags from `IsPinUsed`; with `warn`, prints the console
// notice for each JTAG pin found in use.
void UpdateJtagPins(BlockTargetImage& t, const StageContext& run, const SpecialPins& pins, bool warn);

// ---------------------------------------------------------------------------
// Stages 3 and 5: multiplexers

// Refills GOE `goe` with '1's and sets the fuse of the choice matching `s`;
// `reversed`: choice j is selected by fuse width-1-j.
void RouteGoe(BlockTargetImage& t, int goe, Signal s, const Signal* choices, bool reversed);
// Refills GOE `goe` with '1's and sets fuse `fuse` to '0'.
void SetGoe(BlockTargetImage& t, int goe, int fuse);

// Sets on UIM line u of the block the fuse of the choice matching `s`; with
// `park` set, the park fuse instead.
struct UimLineChoices {
  const Signal* choices;  // the line's multiplexer inputs
  bool reversed;          // choice j is selected by fuse width-1-j
  int parkFuse;
  bool park;              // park the line: the kind parks unread lines, and no
                          // product term reads this one (UimLinesRead)
};
void RouteUimLine(BlockTargetImage& t, int block, int u, Signal s, const UimLineChoices& line);

// Unsupported-bit check: true when characters first..first+count-1 of the
// field hold a '0'.
bool HoldsProgrammedFuse(const FuseArray& field, int first, int count);

// `ClearUnusedProductTerms`: every product term not in use becomes all '0'.
void DisableUnusedProductTerms(BlockTargetImage& t);

// ---------------------------------------------------------------------------
// Stage 4: device options

// `ApplyItd`: the ITD fuse of global clock pin `clock` + 1. `used`: the logic
// reads it; a request to disable it is then overridden (noted in the outcome).
char ApplyItd(const StageContext& run, int used, int clock);

// Final values of configBits[15..20] per global clock code 1..6 ('-' leaves).
const char* GlobalClockBits(int g);

enum class JtagAutoFrom {
  kNone,         // jtag AUTO leaves jtagBit at '0'
  kJtagBit,      // the source's jtagBit
  kUnknownBit,   // unknownBits[jtagAutoIndex]
};

// Everything stage 4 needs to know of one target and source kind.
struct DeviceOptionPlan {
  const SpecialPins* pins;
  int clockCode;                    // -1: the kind has no clock step
  const char* illegalClockText;     // printed for codes 0 and 7; null: silent
  int oePolarityChar;               // -1: the kind has no polarity step
  std::array<int, 6> oePolarityBit; // configBits index per OE PIA row
  JtagAutoFrom jtagAuto;
  int jtagAutoIndex;
  bool copyUes;                     // signature step: uesBits = ues[0..15]
};

// `ApplyDeviceOptions`: power reset, global clocks, ITD, OE polarity, PD1/PD2,
// pin keeper, JTAG mode, pull-ups, JTAG pins, signature, in this order.
void ApplyDeviceOptionPlan(BlockTargetImage& t, const StageContext& run, const SourceImage& source,
                           const DeviceOptionPlan& plan);

// ---------------------------------------------------------------------------
// Messages

// "Error! POF Conversion may not be correct." in its box: console lines of 63
// '*', report lines of 62.
void WriteConversionErrorBox(const StageContext& run, bool toReport);

// ---------------------------------------------------------------------------
// Rules of the plain kinds' output-enable codes and of the unsupported bits

// Which of the two dedicated output enables the first `rows` two-bit
// output-enable codes select: "10" is OE1, "01" is OE2.
struct PlainOeUse {
  bool oe1 = false;
  bool oe2 = false;
};
PlainOeUse ScanPlainOutputEnables(const FuseArray& outputEnable, int rows);

// Unsupported-bit check: one error box on each stream for each of the
// source's `unknownBits` and `remainingBits` (first 7 characters) that holds a
// '0', in that order.
void ReportUnsupportedBits(const StageContext& run, const SourceImage& source);

}  // namespace fusecvt
