// Stage 2 of the block targets: the macrocell bits S0..S23 from the source's
// macrocell and pin records, the foldback and clock-term fix-ups, and the
// product-term clock turned into a pin clock.
#include <algorithm>
#include <array>
#include <cstring>

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

//                                  S0 S1 S2 S3      S4      S5     S6     S7      S8
constexpr MacrocellBitMap kSBits{true, {0, 1, 2}, {K, K, K, Mc(10), Io(4), Mc(5), Mc(7), Mc(12), Mc(11),
    // S9   S10    S11    S12    S13    S14    S15       S16    S17  S18             S19
    Mc(0), Mc(8), Mc(9), Mc(3), Mc(1), Mc(4), NotMc(6), Mc(2), One, McIfBinary(10), Mc(12),
    // S20    S21 S22    S23
    NotIo(5), K, Io(3), One}};
constexpr MacrocellBitMap kAEBits{true, {6, 5, 4}, {K, K, K, Mc(10), Io(1), Mc(5), Mc(7), Mc(12),
    Mc(11), Mc(0), Mc(8), Mc(9), Mc(3), Mc(1), Mc(4), NotMc(6), Mc(2), One, McIfBinary(10),
    Mc(12), NotIo(2), K, Io(0), One}};
constexpr MacrocellBitMap k3ABits{true, {5, 4, 3}, {K, K, K, Mc(10), One, Mc(5), Mc(7), Mc(12),
    Mc(11), Mc(0), Mc(8), Mc(9), Mc(3), Mc(1), Mc(4), NotMc(6), Mc(2), One, McIfBinary(10),
    Mc(12), NotIo(1), K, Io(0), One}};
constexpr MacrocellBitMap kPlainBits{false, {0, 1, 0}, {K, K, K, Mc(10), One, Mc(5), Mc(7), One,
    NotMc(11), Mc(0), Mc(8), Mc(9), Mc(3), Mc(1), Mc(4), NotMc(6), Mc(2), One, McIfBinary(10),
    One, Zero, K, NotMc(11), One}};
constexpr MacrocellBitMap kEBits{true, {0, 1, 2}, {K, K, K, Mc(10), Mc(13), Mc(5), Mc(7), Mc(12),
    NotMc(11), Mc(0), Mc(8), Mc(9), Mc(3), Mc(1), Mc(4), NotMc(6), Mc(2), One, McIfBinary(10),
    Mc(12), Zero, K, NotMc(11), One}};

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
  s[12] = '0';
  s[5] = '0';
  outcome.ptClockConverted = true;
  s[7] = x;
  s[19] = x;
  FillProductTerm(t, m, 3, '0');
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

void TranslateMacrocellBits(BlockTargetImage& t, const ConversionOptions& options, int m,
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
  for (int bit = kOutputSelectBits; bit < kMacrocellBits; ++bit) {
    if (bit == kTermsInUseBit) continue;
    const BitRule& rule = map.bits[bit];
    if (ReadsRecord(rule) && !record) continue;
    const char forced = OptionValue(bit, options);
    if (forced == 0) continue;
    const char v = forced == 'a' ? EvalRule(rule, mc, mcWidth, record, recordWidth) : forced;
    if (v != 0) s[bit] = v;
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
  if (s[6] != '1' || s[11] != '1' || s[10] != '0') return;
  const int first = (m / 16) * 16;
  const int own = m % 16;
  for (int mm = first; mm < first + 16; ++mm) {
    for (int k = 0; k < 5; ++k) {
      const char* fb = t.ptFoldbackFuses.row(mm, k);
      if (!(fb[0] == '0' && fb[1] == '0') && fb[own] == '0') {
        s[11] = '0';
        return;
      }
    }
  }
}

void CleanUpClockTerm(BlockTargetImage& t, int m) {
  char* s = t.mcBits.row(m);
  if (s[5] == '0' && s[12] == '1' && CountProductTermZeros(t, m, 3) == 0) {
    s[12] = '0';
    FillProductTerm(t, m, 3, '0');
  }
}

PtClockMarks FindClockMarks(const char* pt4, const LabRoutes& routes, const PtClockTaps& taps) {
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

PtClockMarks FindPlainClockMarks(const char* pt4, const LabRoutes& routes,
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
  if (CountProductTermZeros(t, m, 3) != 1 || !AnyClockFlag(t.pinUse) || s[3] == '1' ||
      s[5] == '0') {
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
  if (CountProductTermZeros(t, m, 3) != 1 || !(f.gclk1TrueUsed || f.gclk1ComplementUsed) ||
      s[3] == '1' || s[5] == '0') {
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
