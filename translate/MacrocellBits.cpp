// Stage 2 of the block targets: the macrocell bits S0..S23 from the source's
// macrocell and pin records, the foldback and clock-term fix-ups, and the
// product-term clock turned into a pin clock.
#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "translate/BlockTranslation.h"
#include "translate/BitOps.h"

namespace fusecvt {

namespace {

// S-bit field positions per family. Index = S bit; S0..S2 and S21 are not
// taken from here.
constexpr BitRule K{BitFrom::kKeep, 0};
constexpr BitRule One{BitFrom::kOne, 0};
constexpr BitRule Zero{BitFrom::kZero, 0};
constexpr BitRule Mc(int p) { return {BitFrom::kMc, p}; }
constexpr BitRule NotMc(int p) { return {BitFrom::kNotMc, p}; }
constexpr BitRule Io(int p) { return {BitFrom::kIo, p}; }
constexpr BitRule NotIo(int p) { return {BitFrom::kNotIo, p}; }
constexpr BitRule McIfBinary(int p) { return {BitFrom::kMcIfBinary, p}; }

struct Override {
  int bit;
  BitRule rule;
};

// The rules every family shares: S3 and S5..S19, S23 from the macrocell's
// configuration (mc) bits; S4, S20 and S22 come from the pin record or differ
// per family (below). S0..S2 and S21 are not taken from here.
constexpr Override kCommonRules[] = {
    {kCombinationalBit, Mc(10)}, {kTermClockBit, Mc(5)}, {kFoldbackModeBit, Mc(7)}, {kClockSelectBit, Mc(12)},
    {kLowPowerBit, Mc(11)}, {kTerm1ToSumBit, Mc(0)}, {kFoldbackLowBit, Mc(8)}, {kFoldbackHighBit, Mc(9)},
    {kTerm4ToSumBit, Mc(3)}, {kTerm2ToSumBit, Mc(1)}, {kRegisterOptionBit, Mc(4)}, {kRegisterOption2Bit, NotMc(6)},
    {kTerm3ToSumBit, Mc(2)}, {kFixedBit17, One}, {kCombinationalCopyBit, McIfBinary(10)},
    {kClockSelectCopyBit, Mc(12)}, {kFixedBit23, One},
};

// A family's map: where its output-enable select lies, and its rules that
// differ from the common ones.
constexpr MacrocellBitMap FamilyMap(bool selectFromIo, std::array<int, 3> select,
                                    std::initializer_list<Override> overrides) {
  MacrocellBitMap map{selectFromIo, select, {}};
  for (BitRule& rule : map.bits) rule = K;
  for (const Override& o : kCommonRules) map.bits[static_cast<std::size_t>(o.bit)] = o.rule;
  for (const Override& o : overrides) map.bits[static_cast<std::size_t>(o.bit)] = o.rule;
  return map;
}

// The S family (7032S, 7064S, 7128S/7128A): select io[0..2].
constexpr MacrocellBitMap kSBits =
    FamilyMap(true, {0, 1, 2}, {{kTerm2OptionBit, Io(4)}, {kOpenCollectorBit, NotIo(5)}, {kSlewBit, Io(3)}});
// The AE family: select io[6], io[5], io[4].
constexpr MacrocellBitMap kAEBits =
    FamilyMap(true, {6, 5, 4}, {{kTerm2OptionBit, Io(1)}, {kOpenCollectorBit, NotIo(2)}, {kSlewBit, Io(0)}});
// The 3000A family: select io[5], io[4], io[3].
constexpr MacrocellBitMap k3ABits =
    FamilyMap(true, {5, 4, 3}, {{kTerm2OptionBit, One}, {kOpenCollectorBit, NotIo(1)}, {kSlewBit, Io(0)}});
// The plain kinds: a 2-bit output-enable code, one global clock line.
constexpr MacrocellBitMap kPlainBits =
    FamilyMap(false, {0, 1, 0},
              {{kTerm2OptionBit, One}, {kClockSelectBit, One}, {kLowPowerBit, NotMc(11)},
               {kClockSelectCopyBit, One}, {kOpenCollectorBit, Zero}, {kSlewBit, NotMc(11)}});
// The 7128E: select in a 3-character record, S4 from mc[13].
constexpr MacrocellBitMap kEBits =
    FamilyMap(true, {0, 1, 2},
              {{kTerm2OptionBit, Mc(13)}, {kLowPowerBit, NotMc(11)}, {kOpenCollectorBit, Zero},
               {kSlewBit, NotMc(11)}});

// Value of one rule, or 0 when the bit is left alone.
char EvalRule(const BitRule& rule, const char* mc, int mcWidth, const char* io, int ioWidth) {
  switch (rule.from) {
    case BitFrom::kKeep: return 0;
    case BitFrom::kOne: return '1';
    case BitFrom::kZero: return '0';
    case BitFrom::kMc: return rule.pos < mcWidth ? mc[rule.pos] : 0;
    case BitFrom::kNotMc: return rule.pos < mcWidth ? BitNot(mc[rule.pos]) : 0;
    case BitFrom::kMcIfBinary:
      return rule.pos < mcWidth && IsBinary(mc[rule.pos]) ? mc[rule.pos] : 0;
    case BitFrom::kIo: return io && rule.pos < ioWidth ? io[rule.pos] : 0;
    case BitFrom::kNotIo: return io && rule.pos < ioWidth ? BitNot(io[rule.pos]) : 0;
  }
  return 0;
}

bool ReadsRecord(const BitRule& rule) {
  return rule.from == BitFrom::kIo || rule.from == BitFrom::kNotIo;
}

// Option override of S8, S20 and S22: the forced value, 'a' for AUTO (the
// rule's value), 0 to leave the bit.
char OptionValue(int bit, const ConversionOptions& o) {
  switch (bit) {
    case kLowPowerBit:
      return o.mcPower == ON ? '1' : o.mcPower == OFF ? '0' : o.mcPower == AUTO ? 'a' : 0;
    case kOpenCollectorBit:
      return o.openOut == ON ? '1' : o.openOut == OFF ? '0' : o.openOut == AUTO ? 'a' : 0;
    case kSlewBit:
      return o.slew == SLOW ? '1' : o.slew == FAST ? '0' : o.slew == AUTO ? 'a' : 0;
    default: return 'a';
  }
}

void Convert(BlockTargetImage& t, Outcome& outcome, int m, char x) {
  char* s = t.mcBits.row(m);
  s[kTerm4ToSumBit] = '0';
  s[kTermClockBit] = '0';
  outcome.ptClockConverted = true;
  s[kClockSelectBit] = x;
  s[kClockSelectCopyBit] = x;
  FillProductTerm(t, m, kClockTerm, '0');
}

bool AnyClockFlag(const PinUseFlags& f) {
  return f.gclk1TrueUsed || f.gclk1ComplementUsed || f.gclk2TrueUsed || f.gclk2ComplementUsed;
}

bool Carries(const LabRoutes& routes, int row, Signal s) {
  return row >= 0 && row < 36 && routes[row].picked && routes[row].signal == s;
}

}  // namespace

const MacrocellBitMap& MacrocellBitMapOf(SourceKind kind) {
  switch (FamilyOf(kind)) {
    case SourceFamily::kS: return kSBits;
    case SourceFamily::kAE: return kAEBits;
    case SourceFamily::k3A: return k3ABits;
    case SourceFamily::kPlain: return kPlainBits;
    case SourceFamily::kE: return kEBits;
  }
  return kSBits;
}

MacrocellBitPlan PlanMacrocellBits(const MacrocellBitMap& map, const ConversionOptions& options) {
  MacrocellBitPlan plan;
  for (int bit = kOutputSelectBits; bit < kMacrocellBits; ++bit) {
    if (bit == kTermsInUseBit) continue;
    const BitRule& rule = map.bits[bit];
    const char forced = OptionValue(bit, options);
    if (forced == 0 || (forced == 'a' && rule.from == BitFrom::kKeep)) continue;
    const BitRule written = forced == 'a' ? rule : BitRule{forced == '1' ? BitFrom::kOne : BitFrom::kZero, 0};
    plan.steps[static_cast<std::size_t>(plan.count++)] = {bit, written, ReadsRecord(rule)};
  }
  return plan;
}

void TranslateMacrocellBits(BlockTargetImage& t, const MacrocellBitPlan& plan, int m,
                            const OeEncoding& encoding, const MacrocellSource& source) {
  const MacrocellBitMap& map = *source.map;
  const char* mc = source.mc;
  const int mcWidth = source.mcWidth;
  const char* record = source.record;
  const int recordWidth = source.recordWidth;
  char* s = t.mcBits.row(m);
  if (record) {
    const char* bits = nullptr;
    if (map.selectFromIo) {
      int v = 0;
      bool ok = true;
      for (int i = 0; i < 3; ++i) {
        const int p = map.select[i];
        ok = ok && p < recordWidth && IsBinary(record[p]);
        v = 2 * v + (ok && record[p] == '1' ? 1 : 0);
      }
      if (ok) bits = encoding.fromSelect[v];
    } else if (recordWidth >= 2 && IsBinary(record[0]) && IsBinary(record[1])) {
      bits = encoding.fromCode[2 * (record[0] == '1') + (record[1] == '1')];
    }
    if (bits) std::memcpy(s, bits, 3);
  }
  for (int i = 0; i < plan.count; ++i) {
    const MacrocellBitPlan::Step& step = plan.steps[static_cast<std::size_t>(i)];
    if (step.needsRecord && !record) continue;
    const char v = EvalRule(step.rule, mc, mcWidth, record, recordWidth);
    if (v != 0) s[step.bit] = v;
  }
  for (int k = 0; k < 5; ++k) {
    if (IsProductTermUsed(t, m, k)) {
      s[kTermsInUseBit] = '0';
      break;
    }
  }
}

void FixFoldback(BlockTargetImage& t, int m) {
  char* s = t.mcBits.row(m);
  if (s[kFoldbackModeBit] != '1' || s[kFoldbackHighBit] != '1' || s[kFoldbackLowBit] != '0') return;
  const int first = (m / 16) * 16;
  const int own = m % 16;
  for (int mm = first; mm < first + 16; ++mm) {
    for (int k = 0; k < 5; ++k) {
      const PackedFuseArray::ConstRow fb = t.ptFoldbackFuses.row(mm, k);
      if (!(fb.programmed(0) && fb.programmed(1)) && fb.programmed(own)) {
        s[kFoldbackHighBit] = '0';
        return;
      }
    }
  }
}

void CleanUpClockTerm(BlockTargetImage& t, int m) {
  char* s = t.mcBits.row(m);
  if (s[kTermClockBit] == '0' && s[kTerm4ToSumBit] == '1' && CountProductTermZeros(t, m, kClockTerm) == 0) {
    s[kTerm4ToSumBit] = '0';
    FillProductTerm(t, m, kClockTerm, '0');
  }
}

PtClockMarks FindClockMarks(PackedFuseArray::ConstRow pt4, const LabRoutes& routes, const PtClockTaps& taps) {
  PtClockMarks marks;
  for (int r : taps.gclk1Rows) {
    if (!Carries(routes, r, taps.gclk1)) continue;
    marks.gclk1True = marks.gclk1True || pt4[2 * r] == '0';
    marks.gclk1Complement = marks.gclk1Complement || pt4[2 * r + 1] == '0';
  }
  for (int r : taps.gclk2Rows) {
    if (!Carries(routes, r, taps.gclk2)) continue;
    marks.gclk2True = marks.gclk2True || pt4[2 * r] == '0';
    marks.gclk2Complement = marks.gclk2Complement || pt4[2 * r + 1] == '0';
  }
  return marks;
}

PtClockMarks FindPlainClockMarks(PackedFuseArray::ConstRow pt4, const LabRoutes& routes,
                                 const PtClockTaps& taps) {
  PtClockMarks marks;
  for (int r : taps.gclk1Rows) {
    if (!Carries(routes, r, taps.gclk1)) continue;
    if (pt4[2 * r] == '0') {
      marks.gclk1True = true;
    } else if (pt4[2 * r + 1] == '0') {
      marks.gclk1Complement = true;
    }
  }
  return marks;
}

bool ConvertPtClockCoded(BlockTargetImage& t, Outcome& outcome, int m, int g,
                         const PtClockMarks& marks) {
  const char* s = t.mcBits.row(m);
  if (CountProductTermZeros(t, m, kClockTerm) != 1 || !AnyClockFlag(t.pinUse) ||
      s[kCombinationalBit] == '1' || s[kTermClockBit] == '0') {
    return false;
  }
  // Per clock, its true column then its complement column: the clock codes
  // under which the mark converts, and the clock select it writes (flipped
  // under one code).
  struct ClockRule {
    bool PtClockMarks::*mark;
    std::array<int, 3> codes;
    char value;
    int flipCode;
  };
  static const ClockRule kRules[2][2] = {
      {{&PtClockMarks::gclk1True, {1, 3, 5}, '1', -1}, {&PtClockMarks::gclk1Complement, {2, 3, 4}, '1', 3}},
      {{&PtClockMarks::gclk2True, {1, 4, 6}, '0', -1}, {&PtClockMarks::gclk2Complement, {2, 5, 6}, '0', 6}},
  };
  bool converted = false;
  for (const auto& clock : kRules) {
    for (const ClockRule& r : clock) {
      if (!(marks.*r.mark) || std::find(r.codes.begin(), r.codes.end(), g) == r.codes.end()) continue;
      Convert(t, outcome, m, g == r.flipCode ? BitNot(r.value) : r.value);
      converted = true;
      break;
    }
  }
  return converted;
}

bool ConvertPtClockPlain(BlockTargetImage& t, Outcome& outcome, int m,
                         const PtClockMarks& marks) {
  const char* s = t.mcBits.row(m);
  const PinUseFlags& f = t.pinUse;
  if (CountProductTermZeros(t, m, kClockTerm) != 1 || !(f.gclk1TrueUsed || f.gclk1ComplementUsed) ||
      s[kCombinationalBit] == '1' || s[kTermClockBit] == '0') {
    return false;
  }
  if (marks.gclk1True) {
    Convert(t, outcome, m, '1');
  } else if (marks.gclk1Complement) {
    Convert(t, outcome, m, '0');
  } else {
    return false;
  }
  return true;
}

}  // namespace fusecvt
