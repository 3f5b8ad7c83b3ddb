#include "logic/SourceLogic.h"

#include <algorithm>

#include "logic/SignalCodes.h"
#include "pof/DeviceCatalogue.h"
#include "pof/PinOut.h"
#include "translate/RoutingTables.h"

namespace fusecvt::logic {

namespace {

constexpr int kNoPick = -1;

// Index of the first '0' among the first n characters, or kNoPick.
int FirstZero(const char* row, int n) {
  for (int i = 0; i < n; ++i) {
    if (row[i] == '0') return i;
  }
  return kNoPick;
}

// A binary code of n characters, first character most significant; kNoPick
// when a character is neither '0' nor '1'.
int BinaryCode(const char* row, int n) {
  int code = 0;
  for (int i = 0; i < n; ++i) {
    if (row[i] != '0' && row[i] != '1') return kNoPick;
    code = code * 2 + (row[i] == '1');
  }
  return code;
}

bool IsPlainKind(SourceKind k) {
  return k == SourceKind::Max7032 || k == SourceKind::Max7064 || k == SourceKind::Max7128;
}

// The signal that PIA row r of LAB lab carries into the product terms of that LAB.
Signal RowSignal(const SourceImage& image, int lab, int r) {
  const SourceKind kind = image.kind();
  const int width = image.layout().piaWidth;
  const char* row = image.pia.row(lab, r);
  switch (image.macrocells()) {
    case 32: {
      const int p = kind == SourceKind::Max7032 ? BinaryCode(row, 2) : FirstZero(row, 4);
      return p == kNoPick ? Signal{SignalType::NoSelect, 0, 0} : FromBlockCode(qpl6032::kPiaSignal[r][p]);
    }
    case 64: {
      const int p = kind == SourceKind::Max7064 ? BinaryCode(row, 3) : FirstZero(row, 8);
      return p == kNoPick ? Signal{SignalType::NoSelect, 0, 0} : FromBlockCode(qpl6064::kPiaSignal[r][p]);
    }
    default: break;
  }
  // 128 macrocells: a row can be served by its pair row in the mirror LAB.
  int servingLab = lab, servingRow = r;
  if (kind != SourceKind::Max7128) {
    const char flag = row[width - 1];
    if (flag != '0' && flag != '1') return Signal{SignalType::NoSelect, 0, 0};
    if (flag == '0') {
      servingRow = lab < 4 ? qpl6128::kPia[r].pairRowLow : qpl6128::kPia[r].pairRowHigh;
      servingLab = 7 - lab;
    }
  }
  const char* serving = image.pia.row(servingLab, servingRow);
  const int p = kind == SourceKind::Max7128 || kind == SourceKind::Max7128E ? BinaryCode(serving, 4)
                                                                            : FirstZero(serving, 13);
  if (p == kNoPick || p >= 13) return Signal{SignalType::NoSelect, 0, 0};
  return FromBlockCode(qpl6128::kPia[servingRow].picks[p]);
}

// Index of the last '0' among the first n characters, or kNoPick.
int LastZero(const char* row, int n) {
  for (int i = n - 1; i >= 0; --i) {
    if (row[i] == '0') return i;
  }
  return kNoPick;
}

// The signal that OE PIA row r carries, and whether its polarity bit inverts it.
std::string OePiaSignal(const SourceImage& image, int r) {
  const char* row = image.oePia.row(r);
  switch (image.macrocells()) {
    case 32: {
      const int p = FirstZero(row, 5);
      return p == kNoPick ? "no signal" : OutputEnableOf(FromBlockCode(qpl6032::kOePiaSignal[r][p]), row[4] == '0');
    }
    case 64: {
      const int p = LastZero(row, 8);
      return p == kNoPick ? "no signal" : OutputEnableOf(FromBlockCode(qpl6064::kOePiaSignal[r][p]), row[8] == '0');
    }
    default: {
      // The 7128E: a 4-bit code and its polarity bit after it; the others:
      // the last '0' of 13 picks, the polarity bit last.
      const bool coded = image.kind() == SourceKind::Max7128E;
      const int p = coded ? BinaryCode(row, 4) : LastZero(row, 13);
      if (p == kNoPick || p >= 13) return "no signal";
      return OutputEnableOf(FromBlockCode(qpl6128::kOePiaSignal[r][p]), row[coded ? 4 : 13] == '0');
    }
  }
}

// Output enable of macrocell m as its I/O select names it: GND, VCC, or one
// of the six OE signals, each fed by its OE PIA row.
std::string SourceOutputEnable(const SourceImage& image, int record) {
  const SourceKind kind = image.kind();
  if (IsPlainKind(kind)) {
    if (record < 0 || record >= image.outputEnable.dim0()) return "";
    const char* o = image.outputEnable.row(record);
    if (o[0] == '0' && o[1] == '0') return "never";
    if (o[0] == '1' && o[1] == '1') return "always";
    if (o[0] == '1' && o[1] == '0') return "OE1";
    if (o[0] == '0' && o[1] == '1') return ShortName(Signal{SignalType::Gclk2, 0, 0});
    return "";
  }
  if (record < 0 || record >= image.ioConfig.dim0()) return "";
  const char* io = image.ioConfig.row(record);
  // Where the three select characters stand: the S kinds at 0..2, the AE
  // kinds at 6, 5, 4, the 3000A kinds at 5, 4, 3.
  int at[3] = {0, 1, 2};
  if (kind == SourceKind::Max7032AE || kind == SourceKind::Max7064AE || kind == SourceKind::Max7128AE) {
    at[0] = 6, at[1] = 5, at[2] = 4;
  } else if (kind == SourceKind::Max3032A || kind == SourceKind::Max3064A || kind == SourceKind::Max3128A) {
    at[0] = 5, at[1] = 4, at[2] = 3;
  }
  const int code = BinaryCode((std::string() + io[at[0]] + io[at[1]] + io[at[2]]).c_str(), 3);
  // Select codes 000..111: OE3, GND, OE5, OE2, OE4, OE1, OE6, VCC.
  constexpr int kOeOfCode[8] = {3, 0, 5, 2, 4, 1, 6, 7};
  if (code == kNoPick) return "";
  const int oe = kOeOfCode[code];
  if (oe == 0) return "never";
  if (oe == 7) return "always";
  return OePiaSignal(image, oe - 1);
}

// The global clock code: the three globalClocks characters (the 7128S and
// 7128E keep them in the first three unknownBits) read as a number in base
// two; the plain kinds have no code and clock line 1 from GCLK1.
int GlobalClockCode(const SourceImage& image) {
  const SourceKind kind = image.kind();
  if (IsPlainKind(kind)) return 3;
  const bool inUnknown = kind == SourceKind::Max7128S || kind == SourceKind::Max7128E;
  const FuseArray& field = inUnknown ? image.unknownBits : image.globalClocks;
  if (field.size() < 3) return 0;
  return BinaryCode(field.data(), 3);
}

void DecodeConfig(const SourceImage& image, int m, int clockCode, Macrocell& mc) {
  const char* c = image.mcConfig.row(m);
  mc.known = true;
  mc.registered = c[10] == '0';
  if (!mc.registered) return;
  if (c[5] == '1') {
    mc.clock = kPtClock;
    return;
  }
  // mc[12] picks the global clock line ('1' the first); the plain kinds have line 1.
  const bool lineBit = !IsPlainKind(image.kind()) && image.layout().mcConfigWidth > 12;
  mc.clock = GlobalClockOf(clockCode, lineBit && c[12] == '0' ? 2 : 1);
}

}  // namespace

Design DecodeSource(const SourceImage& image, int pinCount) {
  Design d;
  d.device = SourceKindName(image.kind());
  const int n = image.macrocells();
  // The signal of every PIA row of every LAB, read once.
  std::vector<Signal> rows(static_cast<std::size_t>(image.labs()) * 36);
  for (int lab = 0; lab < image.labs(); ++lab) {
    bool none = false;
    for (int r = 0; r < 36; ++r) {
      const Signal s = RowSignal(image, lab, r);
      rows[static_cast<std::size_t>(lab * 36 + r)] = s;
      none = none || s.type == SignalType::None;
    }
    d.nonePickInLab.push_back(none);
  }
  d.macrocells.resize(static_cast<std::size_t>(n));
  const int clockCode = GlobalClockCode(image);
  const std::vector<int> records = IoRecordIndex(image.kind(), image.macrocells(), pinCount);
  for (int m = 0; m < n; ++m) {
    Macrocell& mc = d.macrocells[static_cast<std::size_t>(m)];
    mc.number = m + 1;
    const int lab = m / 16;
    for (int k = 0; k < 5; ++k) {
      const PackedFuseArray::ConstRow s = image.logicArray.row(m, k);
      Term& t = mc.terms[k];
      t.literals.reserve(static_cast<std::size_t>(s.CountProgrammed()));
      bool all = true;
      for (int c = 0; c < 88; ++c) {
        if (s[c] != '0') {
          all = false;
          continue;
        }
        if (c >= 72) {
          t.literals.push_back(Literal{Signal{SignalType::Expander, lab * 16 + (c - 72) + 1, 0}, false});
          continue;
        }
        if (c % 2 == 1 && s[c - 1] == '0') t.state = TermState::False;  // a row in both polarities
        t.literals.push_back(Literal{rows[static_cast<std::size_t>(lab * 36 + c / 2)], c % 2 == 1});
      }
      t.disabled = all;
      FinishTerm(t);
    }
    DecodeConfig(image, m, clockCode, mc);
    mc.outputEnable = SourceOutputEnable(image, records[static_cast<std::size_t>(m)]);
  }
  return d;
}

}  // namespace fusecvt::logic
