#pragma once
// A QPL6064 target and a hand-built source image of one of its four kinds,
// with the console and report captured, for running single translation
// stages.

#include <ctime>
#include <initializer_list>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"
#include "pof/SourceImage.h"

namespace fusecvt::test {

// The device name and pin count a stage test gives each kind unless it says
// otherwise.
inline const char* DefaultDeviceName(SourceKind kind) {
  switch (kind) {
    case SourceKind::Max7064S: return "EPM7064SLC44";
    case SourceKind::Max7064AE: return "EPM7064AETC100";
    case SourceKind::Max3064A: return "EPM3064ATC100";
    default: return "EPM7064LC84";
  }
}
inline int DefaultPinCount(SourceKind kind) {
  switch (kind) {
    case SourceKind::Max7064S: return 44;
    case SourceKind::Max7064: return 84;
    default: return 100;
  }
}

constexpr SourceKind kAll6064Kinds[] = {SourceKind::Max7064S, SourceKind::Max7064AE,
                                        SourceKind::Max3064A, SourceKind::Max7064};
constexpr SourceKind kSelect6064Kinds[] = {SourceKind::Max7064S, SourceKind::Max7064AE,
                                           SourceKind::Max3064A};

class Stage6064 {
 public:
  explicit Stage6064(SourceKind kind, const char* deviceName = nullptr, int pinCount = 0)
      : run(console, error, Clock::Fixed(std::tm{}, 0)) {
    run.sources.Adopt(MakeSourceImage(kind));
    src = run.sources.image();
    run.SetReport(&report);
    // The driver's resolution of options not given, for this source kind.
    const bool plain = kind == SourceKind::Max7064;
    run.options.slew = AUTO;
    run.options.openOut = plain ? OFF : AUTO;
    run.options.jtag = plain ? OFF : AUTO;
    run.pof.sourceDeviceName = deviceName ? deviceName : DefaultDeviceName(kind);
    run.pof.pinCount = pinCount ? pinCount : DefaultPinCount(kind);
    run.pof.packageName = "PLCC";
  }

  bool plain() const { return src->kind() == SourceKind::Max7064; }

  // Stages 1 to 6, or only the first n of them.
  void Run(int stages = 6) {
    if (stages >= 1) target.ReadProductTerms(run);
    if (stages >= 2) target.TranslateMacrocells(run);
    if (stages >= 3) target.RouteGlobalOe(run);
    if (stages >= 4) target.ApplyDeviceOptions(run);
    if (stages >= 5) target.RouteUim(run);
    if (stages >= 6) target.ClearUnusedProductTerms(run);
  }

  // Pick p (0..7) of PIA row r of a LAB: one-hot (first '0') for the select
  // kinds, a three-character binary code for the plain 7064.
  void Pick(int lab, int row, int p) {
    char* c = src->pia.row(lab, row);
    if (plain()) {
      c[0] = (p & 4) ? '1' : '0';
      c[1] = (p & 2) ? '1' : '0';
      c[2] = (p & 1) ? '1' : '0';
    } else {
      for (int i = 0; i < src->pia.dim2(); ++i) c[i] = i == p ? '0' : '1';
    }
  }
  // Connects source column c of PT k (0..4) of macrocell m.
  void Connect(int m, int k, int c) { src->logicArray.at(m, k, c) = '0'; }
  // A macrocell whose S bits route no product term (S6 = '0'; every other
  // bit of an erased source keeps the rest off).
  void Idle(int m) { src->mcConfig.at(m, 7) = '0'; }
  void IdleAll() {
    for (int m = 0; m < 64; ++m) Idle(m);
  }
  void SetRow(FuseArray& f, int row, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(row, i) = text[i];
  }
  void SetFlat(FuseArray& f, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(i) = text[i];
  }
  // A legal global clock code (1) where the kind has one, so that a full run
  // prints nothing about it.
  void LegalClocks() {
    if (!plain()) SetFlat(src->globalClocks, "001");
  }
  // The output-enable select of macrocell m, written at the kind's three
  // positions: io[0..2] (7064S), io[6] io[5] io[4] (7064AE), io[5] io[4] io[3]
  // (3064A).
  void Select(int m, const char* select) {
    const int* pos = src->kind() == SourceKind::Max7064S    ? kSPos
                     : src->kind() == SourceKind::Max7064AE ? kAEPos
                                                            : k3APos;
    for (int b = 0; b < 3; ++b) src->ioConfig.at(m, pos[b]) = select[b];
  }

  std::string Bits(int m) const { return std::string(target.mcBits.row(m), 24); }
  std::string Sel(int m) const { return std::string(target.mcBits.row(m), 3); }
  std::string Uim(int b, int u) const { return std::string(target.uimMux.row(b, u), 9); }
  std::string Goe(int e) const { return std::string(target.goeMux.row(e), 9); }
  std::string Config(int first, int count) const {
    return std::string(target.configBits.data() + first, static_cast<std::size_t>(count));
  }
  std::string Inputs(int m, int k) const { return std::string(target.ptInputFuses.row(m, k), 80); }
  std::string Foldbacks(int m, int k) const {
    return std::string(target.ptFoldbackFuses.row(m, k), 16);
  }
  std::string Uses() const {
    const PinUseFlags& f = target.pinUse;
    std::string u;
    for (int v : {f.pd1PinUsed, f.pd2PinUsed, f.tdiPinUsed, f.tmsPinUsed, f.tckPinUsed,
                  f.tdoPinUsed, f.gclk1TrueUsed, f.gclk1ComplementUsed, f.gclk2TrueUsed,
                  f.gclk2ComplementUsed, f.gclk3Used}) {
      u += v ? '1' : '0';
    }
    return u;
  }

  std::ostringstream console, error, report;
  Conversion run;
  Qpl6064 target;
  SourceImage* src = nullptr;

 private:
  static constexpr int kSPos[3] = {0, 1, 2};
  static constexpr int kAEPos[3] = {6, 5, 4};
  static constexpr int k3APos[3] = {5, 4, 3};
};

// `n` '1' characters with '0' at the given positions.
inline std::string OnesWithZeros(int n, std::initializer_list<int> zeros) {
  std::string s(static_cast<std::size_t>(n), '1');
  for (int z : zeros) s[static_cast<std::size_t>(z)] = '0';
  return s;
}

// Park fuse of a fed UIM line u as the park column lists it: the same for
// lines 0..17 and 20..37.
inline int ParkFuse(int u) {
  static const int kPark[18] = {8, 8, 0, 0, 0, 0, 8, 8, 1, 1, 0, 0, 8, 8, 0, 0, 1, 1};
  return kPark[u % 20];
}
// The UIM lines that no PIA row feeds.
inline bool Unfed(int u) { return u == 18 || u == 19 || u == 38 || u == 39; }

inline std::string Stars(int n) { return std::string(static_cast<std::size_t>(n), '*') + "\n"; }

}  // namespace fusecvt::test
