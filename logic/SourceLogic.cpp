#include "logic/SourceLogic.h"

#include "logic/SignalCodes.h"
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
  return From128Code(qpl6128::kPia[servingRow].picks[p]);
}

void DecodeConfig(const SourceImage& image, int m, Macrocell& mc) {
  const char* c = image.mcConfig.row(m);
  mc.known = true;
  mc.registered = c[10] == '0';
  if (!mc.registered) return;
  if (c[5] == '1') {
    mc.clock = ClockSource::ProductTerm;
  } else {
    const bool lineBit = !IsPlainKind(image.kind()) && image.layout().mcConfigWidth > 12;
    mc.clock = lineBit && c[12] == '0' ? ClockSource::GlobalLine2 : ClockSource::GlobalLine1;
  }
}

}  // namespace

Design DecodeSource(const SourceImage& image) {
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
  for (int m = 0; m < n; ++m) {
    Macrocell& mc = d.macrocells[static_cast<std::size_t>(m)];
    mc.number = m + 1;
    const int lab = m / 16;
    for (int k = 0; k < 5; ++k) {
      const char* s = image.logicArray.row(m, k);
      Term& t = mc.terms[k];
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
    DecodeConfig(image, m, mc);
  }
  return d;
}

}  // namespace fusecvt::logic
