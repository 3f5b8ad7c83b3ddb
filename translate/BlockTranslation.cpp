#include "translate/BlockTranslation.h"

#include <algorithm>
#include <cstring>

#include "translate/TargetDevice.h"
#include "translate/BitOps.h"

namespace fusecvt {

namespace {

constexpr int kPtInputs = 80;
constexpr int kUimLines = kPtInputs / 2;  // per block
constexpr int kSourceFoldbacks = 72;  // per source product term: 36 PIA rows of two
                                      // columns, then the 16 foldback columns

void WriteStars(TextOut& out, int count) { out << std::string(count, '*') << '\n'; }

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

int IsProductTermUsed(const BlockTargetImage& t, int m, int k) {
  if (t.ptInputFuses.row(m, k).AnyProgrammed() || t.ptFoldbackFuses.row(m, k).AnyProgrammed()) return 1;
  const char* s = t.mcBits.row(m);
  const auto is = [s](int bit, char c) { return s[bit] == c; };
  // The foldback bits with S10 '0' and S11 '1'.
  const bool foldbackLowOff = is(kFoldbackLowBit, '0') && is(kFoldbackHighBit, '1');
  switch (k) {
    case 0:
      return is(kTerm1ToSumBit, '0') || (is(kTerm1ToSumBit, '1') && is(kFoldbackModeBit, '1') && foldbackLowOff);
    case 1:
      return (is(kTerm2ToSumBit, '0') && (is(kCombinationalBit, '0') || is(kTerm2OptionBit, '1'))) ||
             (is(kTerm2ToSumBit, '1') && (is(kFoldbackModeBit, '1') || (is(kFoldbackModeBit, '0') && foldbackLowOff)));
    case 2: return is(kTerm3ToSumBit, '0');
    case 3:
      return is(kTerm4ToSumBit, '0') ||
             (is(kTerm4ToSumBit, '1') && is(kTermClockBit, '0') && is(kCombinationalBit, '0'));
    default: return 0;
  }
}

int IsPinUsed(const BlockTargetImage& t, int m) {
  const char* s = t.mcBits.row(m);
  const auto is = [s](int bit, char c) { return s[bit] == c; };
  if (std::memcmp(s + kOutputSelect, "111", kOutputSelectBits) != 0) return 1;
  bool anyUsed = false;
  for (int k = 0; k < 5 && !anyUsed; ++k) anyUsed = IsProductTermUsed(t, m, k) != 0;
  if (!anyUsed) return 0;
  if (is(kCombinationalBit, '1')) return 1;
  if (!is(kCombinationalBit, '0')) return 0;
  return is(kTermClockBit, '0') || is(kRegisterOption2Bit, '0') ||
         (is(kTermClockBit, '1') && is(kTerm4ToSumBit, '1') && is(kRegisterOptionBit, '1'));
}

UimLineSet UimLinesRead(const BlockTargetImage& t, int block) {
  // Bit 2u set where some term has exactly one programmed fuse in the pair
  // of line u (lines 0..31 in the first word, 32..39 in the second).
  constexpr std::uint64_t kEvenBits = 0x5555555555555555u;
  std::uint64_t oneOfPair[2] = {};
  for (int m = block * 16; m < block * 16 + 16; ++m) {
    for (int k = 0; k < 5; ++k) {
      const PackedFuseArray::ConstRow in = t.ptInputFuses.row(m, k);
      const std::uint64_t low = in.ProgrammedBits(0, 64);
      const std::uint64_t high = in.ProgrammedBits(64, kPtInputs - 64);
      oneOfPair[0] |= (low ^ (low >> 1)) & kEvenBits;
      oneOfPair[1] |= (high ^ (high >> 1)) & kEvenBits;
    }
  }
  UimLineSet read{};
  for (int u = 0; u < kUimLines; ++u) read[static_cast<std::size_t>(u)] = (oneOfPair[u / 32] >> (2 * (u % 32))) & 1u;
  return read;
}

// ---------------------------------------------------------------------------

namespace {

// Pin-use flags that a '0' in a source column raises, as bits.
enum ColumnFlag : unsigned {
  kTdiUsed = 1u << 0,
  kTmsUsed = 1u << 1,
  kTckUsed = 1u << 2,
  kTdoUsed = 1u << 3,
  kGclk1TrueUsed = 1u << 4,
  kGclk1ComplementUsed = 1u << 5,
  kGclk2TrueUsed = 1u << 6,
  kGclk2ComplementUsed = 1u << 7,
  kGclk3Used = 1u << 8,
};

// What a '0' in one of the 72 PIA-row columns of a LAB's source terms does:
// the input fuse of the target term it programs and the flags it raises.
struct ColumnEffect {
  int fuse;
  unsigned flags;
};
using LabColumns = std::array<ColumnEffect, kSourceFoldbacks>;

unsigned ClockFlag(int odd, ClockFlagRule rule, unsigned trueFlag, unsigned complementFlag) {
  if (rule == ClockFlagRule::kNone) return 0;
  return odd && rule == ClockFlagRule::kByParity ? complementFlag : trueFlag;
}

// The effects of the 72 columns through the LAB's resolved rows: column 2r
// (true) and 2r+1 (complement) of row r land on the pair of its UIM line.
LabColumns ColumnsOf(const LabRoutes& lab, const ProductTermRules& rules, const SpecialPins& pins) {
  LabColumns columns{};
  for (int c = 0; c < kSourceFoldbacks; ++c) {
    const RowRoute& rr = lab[c / 2];
    const int odd = c % 2;
    unsigned flags = 0;
    if (rr.picked) {
      const Signal sig = rr.signal;
      if (rules.recordsJtagPins && sig.kind == 0) {
        if (sig.code == pins.tdi + 1) flags |= kTdiUsed;
        if (sig.code == pins.tms + 1) flags |= kTmsUsed;
        if (sig.code == pins.tck + 1) flags |= kTckUsed;
        if (sig.code == pins.tdo + 1) flags |= kTdoUsed;
      }
      if (sig.code == rules.gclk1Code) flags |= ClockFlag(odd, rules.gclk1Rule, kGclk1TrueUsed, kGclk1ComplementUsed);
      if (sig.code == rules.gclk2Code) flags |= ClockFlag(odd, rules.gclk2Rule, kGclk2TrueUsed, kGclk2ComplementUsed);
      if (sig.code == rules.gclk3Code) flags |= kGclk3Used;
    }
    const int u = rr.line;
    const int swap = rules.swapOnOddLines ? u % 2 : 0;
    columns[static_cast<std::size_t>(c)] = {2 * u + (odd ^ swap), flags};
  }
  return columns;
}

void RaiseFlags(PinUseFlags& f, unsigned flags) {
  if (flags & kTdiUsed) f.tdiPinUsed = 1;
  if (flags & kTmsUsed) f.tmsPinUsed = 1;
  if (flags & kTckUsed) f.tckPinUsed = 1;
  if (flags & kTdoUsed) f.tdoPinUsed = 1;
  if (flags & kGclk1TrueUsed) f.gclk1TrueUsed = 1;
  if (flags & kGclk1ComplementUsed) f.gclk1ComplementUsed = 1;
  if (flags & kGclk2TrueUsed) f.gclk2TrueUsed = 1;
  if (flags & kGclk2ComplementUsed) f.gclk2ComplementUsed = 1;
  if (flags & kGclk3Used) f.gclk3Used = 1;
}

// The programmed columns of one source term: bit c of `rows` for columns
// 0..63, bit c - 64 of `rest` for columns 64..87 (the last 16 are the
// foldbacks).
struct ProgrammedColumns {
  std::uint64_t rows;
  std::uint32_t rest;

  explicit ProgrammedColumns(PackedFuseArray::ConstRow s)
      : rows(s.ProgrammedBits(0, 64)), rest(static_cast<std::uint32_t>(s.ProgrammedBits(64, 24))) {}
  bool all() const { return rows == ~std::uint64_t{0} && rest == 0xFFFFFFu; }
  std::uint32_t foldbacks() const { return rest >> (kSourceFoldbacks - 64); }
};

// One source term into target term (m, k); returns the flags it raises.
unsigned CopyProductTerm(BlockTargetImage& t, PackedFuseArray::ConstRow s, int m, int k, const LabColumns& columns) {
  const ProgrammedColumns zeros(s);
  if (zeros.all()) {
    FillProductTerm(t, m, k, '0');
    return 0;
  }
  PackedFuseArray::Row fb = t.ptFoldbackFuses.row(m, k);
  for (std::uint32_t b = zeros.foldbacks(); b != 0; b &= b - 1) fb.Program(__builtin_ctz(b));
  PackedFuseArray::Row in = t.ptInputFuses.row(m, k);
  unsigned flags = 0;
  const auto program = [&](int c) {
    const ColumnEffect& e = columns[static_cast<std::size_t>(c)];
    in.Program(e.fuse);
    flags |= e.flags;
  };
  for (std::uint64_t b = zeros.rows; b != 0; b &= b - 1) program(__builtin_ctzll(b));
  for (std::uint32_t b = zeros.rest & 0xFFu; b != 0; b &= b - 1) program(64 + __builtin_ctz(b));
  return flags;
}

}  // namespace

void CopyProductTerms(BlockTargetImage& t, const SourceImage& source, const std::vector<LabRoutes>& routes,
                      const ProductTermRules& rules, const SpecialPins& pins) {
  const int n = std::min(t.geometry().macrocells, source.macrocells());
  unsigned flags = 0;
  for (int lab = 0; lab * 16 < n; ++lab) {
    const LabColumns columns = ColumnsOf(routes.at(static_cast<std::size_t>(lab)), rules, pins);
    for (int m = lab * 16; m < std::min(n, lab * 16 + 16); ++m) {
      for (int k = 0; k < 5; ++k) flags |= CopyProductTerm(t, source.logicArray.row(m, k), m, k, columns);
    }
  }
  RaiseFlags(t.pinUse, flags);
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

void RouteUimLine(BlockTargetImage& t, int block, int u, Signal s, const UimLineChoices& line) {
  if (line.park) {
    t.uimMux.at(block, u, line.parkFuse) = '0';
    return;
  }
  const int width = t.geometry().uimWidth;
  const int j = MatchChoice(line.choices, width, s);
  if (j >= 0) t.uimMux.at(block, u, line.reversed ? width - 1 - j : j) = '0';
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

// ---------------------------------------------------------------------------

void WriteConversionErrorBox(const StageContext& run, bool toReport) {
  for (int pass = 0; pass < (toReport ? 2 : 1); ++pass) {
    TextOut& out = pass == 0 ? run.messages.console : run.messages.report();
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
