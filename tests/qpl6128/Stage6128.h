#pragma once
// A QPL6128 target and a hand-built source image of one of its five kinds,
// with the console and report captured, for running single translation stages.

#include <ctime>
#include <initializer_list>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"
#include "pof/SourceImage.h"

namespace fusecvt::test {

class Stage6128 {
 public:
  explicit Stage6128(SourceKind kind, int pinCount = 84)
      : run(console, error, Clock::Fixed(std::tm{}, 0)) {
    run.sources.Adopt(MakeSourceImage(kind));
    src = run.sources.image();
    run.SetReport(&report);
    // The driver's resolution of options not given: open_out and JTAG follow
    // the POF on the 7128S, 7128AE and 3128A and are off on the others.
    const bool follows = kind == SourceKind::Max7128S || kind == SourceKind::Max7128AE ||
                         kind == SourceKind::Max3128A;
    run.options.slew = AUTO;
    run.options.openOut = follows ? AUTO : OFF;
    run.options.jtag = follows ? AUTO : OFF;
    run.pof.sourceDeviceName = std::string("EPM") + SourceKindName(kind) + "LC84";
    run.pof.pinCount = pinCount;
    run.pof.packageName = "PLCC";
  }

  bool OneHot() const {
    return src->kind() != SourceKind::Max7128 && src->kind() != SourceKind::Max7128E;
  }

  // Stages 1 to 6, or only the first n of them.
  void Run(int stages = 6) {
    if (stages >= 1) target.ReadProductTerms(run);
    if (stages >= 2) target.TranslateMacrocells(run);
    if (stages >= 3) target.RouteGlobalOe(run);
    if (stages >= 4) target.ApplyDeviceOptions(run);
    if (stages >= 5) target.RouteUim(run);
    if (stages >= 6) target.ClearUnusedProductTerms(run);
  }

  // Pick p of PIA row r of a LAB: one-hot over characters 0..12 on the
  // 7128S family, a 4-bit code in characters 0..3 on the 7128E and plain
  // 7128 (p may be 13..15 there). The pair flag is left alone.
  void Pick(int lab, int row, int p) {
    char* c = src->pia.row(lab, row);
    if (OneHot()) {
      for (int i = 0; i < 13; ++i) c[i] = i == p ? '0' : '1';
    } else {
      for (int i = 0; i < 4; ++i) c[i] = (p >> (3 - i)) & 1 ? '1' : '0';
    }
  }
  // The pair flag of a row: character 13 (7128S family) or 4 (7128E).
  void PairFlag(int lab, int row, char flag) {
    src->pia.at(lab, row, OneHot() ? 13 : 4) = flag;
  }
  void Pair(int lab, int row) { PairFlag(lab, row, '0'); }

  // Connects source column c of PT k (0..4) of macrocell m.
  void Connect(int m, int k, int c) { src->logicArray.at(m, k, c) = '0'; }
  // A macrocell whose S bits route no product term (S6 = '0'), so that with
  // no array connections its pin counts as unused.
  void Idle(int m) { src->mcConfig.at(m, 7) = '0'; }
  void IdleAll() {
    for (int m = 0; m < 128; ++m) Idle(m);
  }
  // Writes text into row `row` of a two-dimensional field.
  void SetRow(FuseArray& f, int row, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(row, i) = text[i];
  }
  // Writes text into a one-dimensional field from index `first`.
  void SetFlat(FuseArray& f, int first, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(first + i) = text[i];
  }

  std::string Bits(int m) const { return std::string(target.mcBits.row(m), 24); }
  std::string Sel(int m) const { return std::string(target.mcBits.row(m), 3); }
  std::string Uim(int lab, int u) const { return std::string(target.uimMux.row(lab, u), 27); }
  std::string Goe(int e) const { return std::string(target.goeMux.row(e), 14); }
  std::string Config(int first, int count) const {
    return std::string(target.configBits.data() + first, static_cast<std::size_t>(count));
  }
  std::string Inputs(int m, int k) const { return std::string(target.ptInputFuses.row(m, k), 80); }
  std::string Foldbacks(int m, int k) const {
    return std::string(target.ptFoldbackFuses.row(m, k), 16);
  }

  std::ostringstream console, error, report;
  Conversion run;
  Qpl6128 target;
  SourceImage* src = nullptr;
};

// n characters '1' with '0' at the given positions.
inline std::string Ones(int n, std::initializer_list<int> zeros = {}) {
  std::string s(static_cast<std::size_t>(n), '1');
  for (int i : zeros) s[static_cast<std::size_t>(i)] = '0';
  return s;
}

inline std::string Stars(int n) { return std::string(static_cast<std::size_t>(n), '*') + "\n"; }

// The unsupported-settings box as the console (63 stars) or the report (62)
// shows it.
inline std::string ErrorBox(int stars) {
  return Stars(stars) + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + Stars(stars);
}

}  // namespace fusecvt::test
