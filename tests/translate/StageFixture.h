#pragma once
// A QPL6032 target and a hand-built source image of one kind, with the
// console and report captured, for running single translation stages.

#include <ctime>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"
#include "pof/SourceImage.h"

namespace fusecvt::test {

class Stage6032 {
 public:
  explicit Stage6032(SourceKind kind) : run(console, error, Clock::Fixed(std::tm{}, 0)) {
    run.sources.Adopt(MakeSourceImage(kind));
    src = run.sources.image();
    run.SetReport(&report);
    // The driver's resolution of options not given, for this source kind.
    const bool plain = kind == SourceKind::Max7032;
    run.options.slew = plain ? FAST : AUTO;
    run.options.openOut = plain ? UNSET : AUTO;
    run.options.jtag = plain ? UNSET : AUTO;
    run.pof.sourceDeviceName = plain ? "EPM7032LC44" : "EPM7032SLC44";
    run.pof.pinCount = 44;
    run.pof.packageName = "PLCC";
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

  // Pick p of PIA row r of a LAB: one-hot (first '0') for the S kinds, a
  // two-character code for the plain 7032.
  void Pick(int lab, int row, int p) {
    char* c = src->pia.row(lab, row);
    if (src->kind() == SourceKind::Max7032) {
      c[0] = (p & 2) ? '1' : '0';
      c[1] = (p & 1) ? '1' : '0';
    } else {
      for (int i = 0; i < src->pia.dim2(); ++i) c[i] = i == p ? '0' : '1';
    }
  }
  // Connects source column c of PT k (0..4) of macrocell m.
  void Connect(int m, int k, int c) { src->logicArray.at(m, k, c) = '0'; }
  // A macrocell whose S bits route no product term and whose pin is unused
  // (S6 = '0'; every other bit of an erased source keeps the rest off).
  void Idle(int m) { src->mcConfig.at(m, 7) = '0'; }
  void IdleAll() {
    for (int m = 0; m < 32; ++m) Idle(m);
  }
  // Row `row` of a two-dimensional field, from its first character.
  void SetField(FuseArray& f, int row, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(row, i) = text[i];
  }
  // A one-dimensional field (globalClocks), from its first character.
  void SetChars(FuseArray& f, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(i) = text[i];
  }

  std::string Bits(int m) const { return std::string(target.mcBits.row(m), 24); }
  std::string Sel(int m) const { return std::string(target.mcBits.row(m), 3); }
  std::string Uim(int b, int u) const { return std::string(target.uimMux.row(b, u), 5); }
  std::string Goe(int e) const { return std::string(target.goeMux.row(e), 5); }
  std::string Config(int first, int count) const {
    return std::string(target.configBits.data() + first, static_cast<std::size_t>(count));
  }
  std::string Inputs(int m, int k) const { return std::string(target.ptInputFuses.row(m, k), 80); }
  std::string Foldbacks(int m, int k) const {
    return std::string(target.ptFoldbackFuses.row(m, k), 16);
  }

  std::ostringstream console, error, report;
  Conversion run;
  Qpl6032 target;
  SourceImage* src = nullptr;
};

inline std::string Stars(int n) { return std::string(static_cast<std::size_t>(n), '*') + "\n"; }

}  // namespace fusecvt::test
