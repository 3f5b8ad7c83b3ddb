#pragma once
// What sets QPL6032, QPL6064 and QPL6128 apart, as data for the one block
// pipeline (BlockStages.cpp): special pins, output-enable encoding, clock taps,
// routing tables, unfed UIM lines, parking rule and the PIA resolver.

#include <array>
#include <vector>

#include "translate/BlockTranslation.h"

namespace fusecvt {

struct BlockProfile {
  SpecialPins pins;
  OeEncoding oeEncoding;

  // The resolved PIA rows of every LAB; computed once per run.
  std::vector<LabRoutes> (*resolveRoutes)(const SourceImage& source);
  ProductTermRules termRules;       // stage 1, the S, AE, 3000A and E kinds
  ProductTermRules plainTermRules;  // stage 1, the plain kinds

  // Stage 2 (the pin records of the macrocells follow the source's pin-out).
  PtClockTaps clockTaps[2];  // LABs of the low and high half
  PtClockTaps plainClockTaps;
  SourceKind unbondedKind;             // a kind whose macrocells below have no output
  std::vector<int> unbondedMacrocells;
  bool warnJtagPorts;                  // stage 2 prints the JTAG port notice
  std::vector<SourceKind> jtagPinsAlways;  // kinds whose JTAG pin flags are always recomputed
  bool jtagPinsAlwaysForAll;

  // Stage 3: the plain kinds' output enables: GOE and fuse of OE1, of OE2.
  std::array<std::array<int, 2>, 2> plainOe;
  // The OE PIA picks: signal of row r pick p at oePiaSignal[r * oePicks + p].
  const Signal* oePiaSignal;
  int oePicks;
  const int* oePiaToGoe;
  const Signal* goeChoice;  // choices of GOE e at goeChoice[e * goeWidth]
  bool goeReversed;         // choice j is selected by fuse width-1-j

  // Stage 4.
  const char* illegalClockText;  // for codes 0 and 7; null: silent
  std::array<int, 6> oePolarityBit;

  // Stage 5: choices of UIM line u at uimChoice[u * uimWidth].
  const Signal* uimChoice;
  bool uimReversed;
  const int* uimParkFuse;
  bool parksEveryKind;       // false: only the kind below parks unread lines
  SourceKind parkingKind;
  // After a block's rows: the lines no row feeds (fuse 1), or the QPL6128's
  // rule for its lines 36..39.
  std::vector<int> unfedLines;
  bool noneChoiceOnHighLines;
  // The settings the target cannot take, reported after the UIM.
  void (*reportUnsupported)(const StageContext& run);
};

const BlockProfile& ProfileOf(BlockTargetKind kind);

// The QPL6128 paired-PIA resolver (Qpl6128Pia.cpp).
namespace qpl6128 {
std::vector<LabRoutes> ResolveRoutes(const SourceImage& source);
}  // namespace qpl6128

}  // namespace fusecvt
