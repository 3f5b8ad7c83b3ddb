#include "translate/BlockTranslation.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "translate/TargetDevice.h"
#include "translate/BitOps.h"

namespace fusecvt {

namespace {

constexpr int kPtInputs = 80;
constexpr int kPtFoldbacks = 16;

bool IsBinary(char c) { return c == '0' || c == '1'; }

void WriteStars(std::ostream& out, int count) { out << std::string(count, '*') << '\n'; }

// Source-side rules of every kind, in slot order.
struct KindRules {
  SourceKind kind;
  SourceFamily family;
  PickRule pia;
  PickRule oePia;  // width 0: the kind has no OE PIA
  int oePolarityChar;
};

constexpr PickRule kNoRule{PickRule::kFirstZero, 0, 0};

constexpr KindRules kKindRules[kSourceKindCount] = {
    {SourceKind::Max7032, SourceFamily::kPlain, {PickRule::kStrictCode, 2, 4}, kNoRule, -1},
    {SourceKind::Max7032AE, SourceFamily::kAE, {PickRule::kFirstZero, 4, 0},
     {PickRule::kFirstZero, 5, 0}, 4},
    {SourceKind::Max7032S, SourceFamily::kS, {PickRule::kFirstZero, 4, 0},
     {PickRule::kFirstZero, 5, 0}, 4},
    {SourceKind::Max7128, SourceFamily::kPlain, {PickRule::kCode, 4, 13}, kNoRule, -1},
    {SourceKind::Max7128E, SourceFamily::kE, {PickRule::kCode, 4, 13}, {PickRule::kCode, 4, 13}, 4},
    {SourceKind::Max7128S, SourceFamily::kS, {PickRule::kFirstZero, 13, 0},
     {PickRule::kLastZero, 13, 0}, 13},
    {SourceKind::Max7128AE, SourceFamily::kAE, {PickRule::kFirstZero, 13, 0},
     {PickRule::kLastZero, 13, 0}, 13},
    {SourceKind::Max7064, SourceFamily::kPlain, {PickRule::kCode, 3, 8}, kNoRule, -1},
    {SourceKind::Max7064S, SourceFamily::kS, {PickRule::kFirstZero, 8, 0},
     {PickRule::kLastZero, 8, 0}, 8},
    {SourceKind::Max7064AE, SourceFamily::kAE, {PickRule::kFirstZero, 8, 0},
     {PickRule::kLastZero, 8, 0}, 8},
    {SourceKind::Max3032A, SourceFamily::k3A, {PickRule::kFirstZero, 4, 0},
     {PickRule::kFirstZero, 5, 0}, 4},
    {SourceKind::Max3064A, SourceFamily::k3A, {PickRule::kFirstZero, 8, 0},
     {PickRule::kLastZero, 8, 0}, 8},
    {SourceKind::Max3128A, SourceFamily::k3A, {PickRule::kFirstZero, 13, 0},
     {PickRule::kLastZero, 13, 0}, 13},
};

constexpr bool KindRulesInSlotOrder() {
  for (int i = 0; i < kSourceKindCount; ++i) {
    if (static_cast<int>(kKindRules[i].kind) != i) return false;
  }
  return true;
}
static_assert(KindRulesInSlotOrder(), "one entry per source kind, in slot order");

const KindRules& RulesOf(SourceKind kind) { return kKindRules[static_cast<int>(kind)]; }

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
    case 8:
      return o.mcPower == ON ? '1' : o.mcPower == OFF ? '0' : o.mcPower == AUTO ? 'a' : 0;
    case 20:
      return o.openOut == ON ? '1' : o.openOut == OFF ? '0' : o.openOut == AUTO ? 'a' : 0;
    case 22:
      return o.slew == SLOW ? '1' : o.slew == FAST ? '0' : o.slew == AUTO ? 'a' : 0;
    default: return 'a';
  }
}

void ClearOutputSelect(BlockTargetImage& t, int m) {
  char* s = t.mcBits.row(m);
  s[0] = s[1] = s[2] = '0';
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

bool AnyJtagFlag(const PinUseFlags& f) {
  return f.tdiPinUsed || f.tmsPinUsed || f.tckPinUsed || f.tdoPinUsed;
}

bool Carries(const LabRoutes& routes, int row, Signal s) {
  return row >= 0 && row < 36 && routes[row].picked && routes[row].signal == s;
}

void RefusePowerDown(const StageContext& run, bool pd2, const std::string& pin) {
  const char* name = pd2 ? "PD2" : "PD1";
  for (int pass = 0; pass < 2; ++pass) {
    std::ostream& out = pass == 0 ? run.messages.console : run.messages.report();
    const int stars = pass == 0 ? 67 : 68;
    WriteStars(out, stars);
    out << '-' << name << ": Error! Pin " << pin << " for " << name
        << " is used in your logic function.\n"
        << "             " << name << " option cannot be enabled.\n";
    WriteStars(out, stars);
  }
}

void RefusePullup(const StageContext& run, const char* name) {
  for (int pass = 0; pass < 2; ++pass) {
    std::ostream& out = pass == 0 ? run.messages.console : run.messages.report();
    WriteStars(out, 79);
    out << '-' << name << ": Error! Some or all four JTAG pins are used in your logic function.\n"
        << "                    " << name << " option cannot be enabled.\n";
    WriteStars(out, 79);
  }
}

void WarnJtagOn(const StageContext& run) {
  for (int pass = 0; pass < 2; ++pass) {
    std::ostream& out = pass == 0 ? run.messages.console : run.messages.report();
    out << "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
        << (pass == 0 ? "   this design.  If these pins are used for I/O in the design, use the \n"
                      : "   this design.  If these pins are used for I/O in the design, use the  \n")
        << "   -JTAG OFF option.\n\n";
  }
}

}  // namespace

// ---------------------------------------------------------------------------

SourceFamily FamilyOf(SourceKind kind) { return RulesOf(kind).family; }

int ReadPick(const char* chars, const PickRule& rule) {
  switch (rule.mode) {
    case PickRule::kFirstZero:
      for (int i = 0; i < rule.width; ++i) {
        if (chars[i] == '0') return i;
      }
      return kNoPick;
    case PickRule::kLastZero:
      for (int i = rule.width - 1; i >= 0; --i) {
        if (chars[i] == '0') return i;
      }
      return kNoPick;
    case PickRule::kCode:
    case PickRule::kStrictCode: {
      int code = 0;
      for (int i = 0; i < rule.width; ++i) {
        if (rule.mode == PickRule::kStrictCode && !IsBinary(chars[i])) return kNoPick;
        code = 2 * code + (chars[i] == '1' ? 1 : 0);
      }
      return code < rule.limit ? code : kNoPick;
    }
  }
  return kNoPick;
}

const PickRule& PiaPickRuleOf(SourceKind kind) { return RulesOf(kind).pia; }
const PickRule& OePiaPickRuleOf(SourceKind kind) { return RulesOf(kind).oePia; }
int OePolarityCharOf(SourceKind kind) { return RulesOf(kind).oePolarityChar; }

int PiaSelection(const SourceImage& source, int lab, int row) {
  const PickRule& rule = PiaPickRuleOf(source.kind());
  const FuseArray& pia = source.pia;
  if (pia.empty() || lab < 0 || lab >= pia.dim0() || row < 0 || row >= pia.dim1() ||
      rule.width > pia.dim2()) {
    return kNoPick;
  }
  return ReadPick(pia.row(lab, row), rule);
}

int OePiaSelection(const SourceImage& source, int row) {
  const PickRule& rule = OePiaPickRuleOf(source.kind());
  const FuseArray& oe = source.oePia;
  if (rule.width == 0 || oe.empty() || row < 0 || row >= oe.dim0() || rule.width > oe.dim1()) {
    return kNoPick;
  }
  return ReadPick(oe.row(row), rule);
}

int GlobalClockCode(const char* c3) {
  return 4 * (c3[0] == '1') + 2 * (c3[1] == '1') + (c3[2] == '1');
}

int MatchChoice(const Signal* choices, int count, Signal s) {
  int found = -1;
  for (int j = 0; j < count; ++j) {
    if (choices[j] == s) found = j;
  }
  return found;
}

// ---------------------------------------------------------------------------

int CountProductTermZeros(const BlockTargetImage& t, int m, int k) {
  int n = 0;
  const char* in = t.ptInputFuses.row(m, k);
  for (int i = 0; i < kPtInputs; ++i) n += in[i] == '0';
  const char* fb = t.ptFoldbackFuses.row(m, k);
  for (int i = 0; i < kPtFoldbacks; ++i) n += fb[i] == '0';
  return n;
}

void FillProductTerm(BlockTargetImage& t, int m, int k, char c) {
  std::memset(t.ptInputFuses.row(m, k), c, kPtInputs);
  std::memset(t.ptFoldbackFuses.row(m, k), c, kPtFoldbacks);
}

int IsProductTermUsed(const BlockTargetImage& t, int m, int k) {
  if (CountProductTermZeros(t, m, k) > 0) return 1;
  const char* s = t.mcBits.row(m);
  switch (k) {
    case 0:
      return s[9] == '0' || (s[9] == '1' && s[6] == '1' && s[10] == '0' && s[11] == '1');
    case 1:
      return (s[13] == '0' && (s[3] == '0' || s[4] == '1')) ||
             (s[13] == '1' && (s[6] == '1' || (s[6] == '0' && s[10] == '0' && s[11] == '1')));
    case 2: return s[16] == '0';
    case 3: return s[12] == '0' || (s[12] == '1' && s[5] == '0' && s[3] == '0');
    default: return 0;
  }
}

int IsPinUsed(const BlockTargetImage& t, int m) {
  const char* s = t.mcBits.row(m);
  if (s[0] != '1' || s[1] != '1' || s[2] != '1') return 1;
  bool anyUsed = false;
  for (int k = 0; k < 5 && !anyUsed; ++k) anyUsed = IsProductTermUsed(t, m, k) != 0;
  if (!anyUsed) return 0;
  if (s[3] == '1') return 1;
  if (s[3] != '0') return 0;
  return s[5] == '0' || s[15] == '0' || (s[5] == '1' && s[12] == '1' && s[14] == '1');
}

int IsUimLineUsed(const BlockTargetImage& t, int block, int u) {
  for (int m = block * 16; m < block * 16 + 16; ++m) {
    for (int k = 0; k < 5; ++k) {
      const char* in = t.ptInputFuses.row(m, k);
      if ((in[2 * u] == '0') != (in[2 * u + 1] == '0')) return 1;
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------

void CopyProductTerms(BlockTargetImage& t, const SourceImage& source,
                      const std::vector<LabRoutes>& routes, const ProductTermRules& rules) {
  PinUseFlags& f = t.pinUse;
  const int n = std::min(t.geometry().macrocells, source.macrocells());
  for (int m = 0; m < n; ++m) {
    const LabRoutes& lab = routes.at(static_cast<std::size_t>(m / 16));
    for (int k = 0; k < 5; ++k) {
      const char* s = source.logicArray.row(m, k);
      int zeros = 0;
      for (int c = 0; c < 88; ++c) zeros += s[c] == '0';
      if (zeros == 88) {
        FillProductTerm(t, m, k, '0');
        continue;
      }
      char* in = t.ptInputFuses.row(m, k);
      char* fb = t.ptFoldbackFuses.row(m, k);
      for (int c = 0; c < 88; ++c) {
        if (s[c] != '0') continue;
        if (c >= 72) {
          fb[c - 72] = '0';
          continue;
        }
        const RowRoute& rr = lab[c / 2];
        const int odd = c % 2;
        if (rr.picked) {
          const Signal sig = rr.signal;
          if (rules.jtagPins && sig.kind == 0) {
            const SpecialPins& p = *rules.jtagPins;
            if (sig.code == p.tdi + 1) f.tdiPinUsed = 1;
            if (sig.code == p.tms + 1) f.tmsPinUsed = 1;
            if (sig.code == p.tck + 1) f.tckPinUsed = 1;
            if (sig.code == p.tdo + 1) f.tdoPinUsed = 1;
          }
          if (sig.code == rules.gclk1Code && rules.gclk1Rule != ClockFlagRule::kNone) {
            (odd && rules.gclk1Rule == ClockFlagRule::kByParity ? f.gclk1ComplementUsed
                                                                 : f.gclk1TrueUsed) = 1;
          }
          if (sig.code == rules.gclk2Code && rules.gclk2Rule != ClockFlagRule::kNone) {
            (odd && rules.gclk2Rule == ClockFlagRule::kByParity ? f.gclk2ComplementUsed
                                                                 : f.gclk2TrueUsed) = 1;
          }
          if (sig.code == rules.gclk3Code) f.gclk3Used = 1;
        }
        const int u = rr.line;
        const int swap = rules.swapOnOddLines ? u % 2 : 0;
        in[2 * u + (odd ^ swap)] = '0';
      }
    }
  }
}

// ---------------------------------------------------------------------------

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
                            const MacrocellBitMap& map, const OeEncoding& encoding,
                            const char* mc, int mcWidth, const char* record, int recordWidth) {
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
  for (int bit = 3; bit < 24; ++bit) {
    if (bit == 21) continue;
    const BitRule& rule = map.bits[bit];
    if (ReadsRecord(rule) && !record) continue;
    const char forced = OptionValue(bit, options);
    if (forced == 0) continue;
    const char v = forced == 'a' ? EvalRule(rule, mc, mcWidth, record, recordWidth) : forced;
    if (v != 0) s[bit] = v;
  }
  for (int k = 0; k < 5; ++k) {
    if (IsProductTermUsed(t, m, k)) {
      s[21] = '0';
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

std::vector<int> RecordsInOrder(int macrocells, const std::vector<bool>& hasPin) {
  std::vector<int> records(static_cast<std::size_t>(macrocells), -1);
  int next = 0;
  for (int m = 0; m < macrocells; ++m) {
    if (static_cast<std::size_t>(m) < hasPin.size() && hasPin[static_cast<std::size_t>(m)]) {
      records[static_cast<std::size_t>(m)] = next++;
    }
  }
  return records;
}

// ---------------------------------------------------------------------------

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
  bool converted = false;
  if (marks.gclk1True && (g == 1 || g == 3 || g == 5)) {
    Convert(t, outcome, m, '1');
    converted = true;
  } else if (marks.gclk1Complement && (g == 2 || g == 3 || g == 4)) {
    Convert(t, outcome, m, g == 3 ? '0' : '1');
    converted = true;
  }
  if (marks.gclk2True && (g == 1 || g == 4 || g == 6)) {
    Convert(t, outcome, m, '0');
    converted = true;
  } else if (marks.gclk2Complement && (g == 2 || g == 5 || g == 6)) {
    Convert(t, outcome, m, g == 6 ? '1' : '0');
    converted = true;
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

// ---------------------------------------------------------------------------

void UpdatePowerDownPins(BlockTargetImage& t, const SpecialPins& pins) {
  t.pinUse.pd1PinUsed = IsPinUsed(t, pins.pd1);
  t.pinUse.pd2PinUsed = IsPinUsed(t, pins.pd2);
}

void UpdateJtagPins(BlockTargetImage& t, const StageContext& run, const SpecialPins& pins, bool warn) {
  PinUseFlags& f = t.pinUse;
  const struct {
    int* flag;
    const char* name;
    int mc;
  } jtag[] = {{&f.tdiPinUsed, "TDI", pins.tdi},
              {&f.tmsPinUsed, "TMS", pins.tms},
              {&f.tckPinUsed, "TCK", pins.tck},
              {&f.tdoPinUsed, "TDO", pins.tdo}};
  for (const auto& j : jtag) {
    *j.flag = IsPinUsed(t, j.mc);
    if (warn && *j.flag) {
      run.messages.console << "Warning!! Jtag port " << j.name << " MC " << j.mc + 1 << " is used as\n"
                  << "Input or bidirectional port.\n"
                  << "Jtag disabled.\n\n";
    }
  }
}

// ---------------------------------------------------------------------------

void RouteGoe(BlockTargetImage& t, int goe, Signal s, const Signal* choices, bool reversed) {
  const int width = t.geometry().goeWidth;
  std::memset(t.goeMux.row(goe), '1', static_cast<std::size_t>(width));
  const int j = MatchChoice(choices, width, s);
  if (j >= 0) t.goeMux.at(goe, reversed ? width - 1 - j : j) = '0';
}

void SetGoe(BlockTargetImage& t, int goe, int fuse) {
  std::memset(t.goeMux.row(goe), '1', static_cast<std::size_t>(t.geometry().goeWidth));
  t.goeMux.at(goe, fuse) = '0';
}

void RouteUimLine(BlockTargetImage& t, int block, int u, Signal s, const Signal* choices,
                  bool reversed, int parkFuse, bool park) {
  if (park && !IsUimLineUsed(t, block, u)) {
    t.uimMux.at(block, u, parkFuse) = '0';
    return;
  }
  const int width = t.geometry().uimWidth;
  const int j = MatchChoice(choices, width, s);
  if (j >= 0) t.uimMux.at(block, u, reversed ? width - 1 - j : j) = '0';
}

bool HoldsProgrammedFuse(const FuseArray& field, int first, int count) {
  for (int i = first; i < first + count && static_cast<std::size_t>(i) < field.size(); ++i) {
    if (field.at(i) == '0') return true;
  }
  return false;
}

void DisableUnusedProductTerms(BlockTargetImage& t) {
  for (int m = 0; m < t.geometry().macrocells; ++m) {
    for (int k = 0; k < 5; ++k) {
      if (!IsProductTermUsed(t, m, k)) FillProductTerm(t, m, k, '0');
    }
  }
}

// ---------------------------------------------------------------------------

char ApplyItd(const StageContext& run, int used, int clock) {
  const int asked = clock == 0 ? run.options.gclk1Itd : clock == 1 ? run.options.gclk2Itd : run.options.gclk3Itd;
  const std::string name = "GCLK" + std::to_string(clock + 1);
  if (used) {
    if (asked == 0) {
      run.messages.console << '\n'
                           << name << " ITD setting override: (ignore user request to disable)\n"
                           << name << " pin is used as a logic input so ITD wake-up enable is required\n\n";
      run.outcome.itdKept[static_cast<std::size_t>(clock)] = true;
    }
    return '0';
  }
  if (asked == 0) {
    run.messages.console << " ITD Disabled, activity on " << name << " dose not cause a part wake-up\n";
    return '1';
  }
  return '0';
}

const char* GlobalClockBits(int g) {
  static const char* const kBits[8] = {nullptr,  "010110", "011111", "---110",
                                       "010111", "011110", "010011", nullptr};
  return g >= 0 && g < 8 ? kBits[g] : nullptr;
}

void ApplyDeviceOptionPlan(BlockTargetImage& t, const StageContext& run, const SourceImage& source,
                           const DeviceOptionPlan& plan) {
  const ConversionOptions& o = run.options;
  Outcome& outcome = run.outcome;
  PinUseFlags& f = t.pinUse;
  FuseArray& cfg = t.configBits;

  // Power-up reset hysteresis.
  if (o.powerResetBit == 0) cfg.at(6) = '0';

  // Global clock configuration.
  if (plan.clockCode >= 0) {
    if (const char* bits = GlobalClockBits(plan.clockCode)) {
      for (int i = 0; i < 6; ++i) {
        if (bits[i] != '-') cfg.at(15 + i) = bits[i];
      }
    } else if (plan.illegalClockText) {
      run.messages.console << plan.illegalClockText;
    }
  }

  // ITD fuses of the three global clock pins.
  cfg.at(11) = ApplyItd(run, f.gclk1TrueUsed || f.gclk1ComplementUsed, 0);
  cfg.at(10) = ApplyItd(run, f.gclk2TrueUsed || f.gclk2ComplementUsed, 1);
  cfg.at(9) = ApplyItd(run, f.gclk3Used, 2);

  // Polarity of the global output enables.
  if (plan.oePolarityChar >= 0 && !source.oePia.empty() &&
      plan.oePolarityChar < source.oePia.dim1()) {
    for (int r = 0; r < 6 && r < source.oePia.dim0(); ++r) {
      if (source.oePia.at(r, plan.oePolarityChar) == '0') cfg.at(plan.oePolarityBit[r]) = '1';
    }
  }

  // Power-down pins.
  const SpecialPins& pins = *plan.pins;
  const struct {
    int option;
    bool* refused;
    int used;
    int mc;
    int bit;
    bool pd2;
  } powerDown[] = {{o.pd1, &outcome.pd1Refused, f.pd1PinUsed, pins.pd1, 29, false},
                   {o.pd2, &outcome.pd2Refused, f.pd2PinUsed, pins.pd2, 28, true}};
  for (const auto& pd : powerDown) {
    if (pd.option != 1) continue;
    if (pd.used) {
      RefusePowerDown(run, pd.pd2, PowerDownPinText(run.device, pd.pd2));
      *pd.refused = true;
    } else {
      ClearOutputSelect(t, pd.mc);
      cfg.at(pd.bit) = '0';
    }
  }

  // Pin keeper.
  if (o.pinKeep == 1) cfg.at(30) = '0';

  // JTAG mode.
  if (o.jtag == AUTO) {
    if (plan.jtagAuto == JtagAutoFrom::kJtagBit) {
      t.jtagBit = source.jtagBit;
    } else if (plan.jtagAuto == JtagAutoFrom::kUnknownBit && plan.jtagAutoIndex >= 0 &&
               static_cast<std::size_t>(plan.jtagAutoIndex) < source.unknownBits.size()) {
      t.jtagBit = source.unknownBits.at(plan.jtagAutoIndex);
    }
  } else if (o.jtag == ON) {
    t.jtagBit = '1';
    if (AnyJtagFlag(f)) WarnJtagOn(run);
  }

  // TDI and TMS pull-ups need JTAG mode.
  if (o.tdiPullup == 1 || o.tmsPullup == 1) {
    if (o.jtag == ON || !AnyJtagFlag(f)) {
      if (o.tdiPullup == 1) cfg.at(7) = '0';
      if (o.tmsPullup == 1) cfg.at(8) = '0';
      if (o.jtag != ON) {
        t.jtagBit = '1';
        outcome.jtagForcedOn = true;
      }
    } else {
      if (o.tdiPullup == 1) {
        RefusePullup(run, "TDI_pullup");
        outcome.tdiPullupRefused = true;
      }
      if (o.tmsPullup == 1) {
        RefusePullup(run, "TMS_pullup");
        outcome.tmsPullupRefused = true;
      }
    }
  }

  // The JTAG pins serve the port.
  if (t.jtagBit == '1') {
    for (int mc : pins.jtagCleared) ClearOutputSelect(t, mc);
  }

  // User signature.
  if (plan.copyUes && source.ues.size() >= 16) {
    for (int i = 0; i < 16; ++i) t.uesBits.at(i) = source.ues.at(i);
  }
}

// ---------------------------------------------------------------------------

void WriteConversionErrorBox(const StageContext& run, bool toReport) {
  for (int pass = 0; pass < (toReport ? 2 : 1); ++pass) {
    std::ostream& out = pass == 0 ? run.messages.console : run.messages.report();
    const int stars = pass == 0 ? 63 : 62;
    WriteStars(out, stars);
    out << "Error! POF Conversion may not be correct.\n"
        << "       Some source settings have no counterpart on the target device.\n"
        << "       Please check the design, or ask your device supplier for help.\n";
    WriteStars(out, stars);
  }
}

// ---------------------------------------------------------------------------

PlainOeUse ScanPlainOutputEnables(const FuseArray& outputEnable, int rows) {
  PlainOeUse use;
  const int n = outputEnable.empty() ? 0 : std::min(rows, outputEnable.dim0());
  for (int i = 0; i < n; ++i) {
    const char* oe = outputEnable.row(i);
    use.oe1 = use.oe1 || (oe[0] == '1' && oe[1] == '0');
    use.oe2 = use.oe2 || (oe[0] == '0' && oe[1] == '1');
  }
  return use;
}

void ReportUnsupportedBits(const StageContext& run, const SourceImage& source) {
  if (HoldsProgrammedFuse(source.unknownBits, 0, 7)) WriteConversionErrorBox(run, true);
  if (HoldsProgrammedFuse(source.remainingBits, 0, 7)) WriteConversionErrorBox(run, true);
}

}  // namespace fusecvt
