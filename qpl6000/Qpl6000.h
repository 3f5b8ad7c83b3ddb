#pragma once
// The QPL6000 and QPL6000E: 32 macrocells with a flat product-term array in
// which every term sees every input signal of the device (152 columns).

#include <string>

#include "translate/TargetDevice.h"
#include "pof/FuseArray.h"
#include "pof/SourceImage.h"

namespace fusecvt {

namespace qpl6000 {
// The 16 configuration bits of a QPL6000 macrocell, by the role the
// conversion gives them. They carry the block targets' S bits of the same
// meaning, some of them inverted.
enum ConfigBit : int {
  kTerm1ToSum = 0,      // '1' product term 1 goes into the sum
  kTerm2ToSum = 1,      // '1' product term 2 goes into the sum
  kFoldbackMode = 2,    // bits 2, 3, 4: how product terms 1 and 2 reach the foldback
  kFoldbackLow = 3,     //   lines; 1 1 1 beside bit 1 '1' makes product term 2 a
  kFoldbackHigh = 4,    //   constant (VCC)
  kTerm3Off = 5,        // '0' product term 3 goes into the sum
  kRegisterOption = 6,
  kTerm4Off = 7,        // '0' product term 4 goes into the sum
  kGlobalClock = 8,     // '1' a global clock, '0' product term 4 clocks the register
  kOutputOff = 9,       // bits 9, 10, 11: 1 1 1 the output is never enabled (the pin
  kOutputEnable1 = 10,  //   is an input), 0 1 1 always enabled
  kOutputEnable2 = 11,
  kTerm5Off = 12,       // '0' product term 5 goes into the sum
  kCombinational = 13,  // '1' the output bypasses the register
  kSlowSlew = 14,       // '1' slow, '0' fast
  kFixed15 = 15,        // '1' in every converted file
};
}  // namespace qpl6000

class Qpl6000 final : public TargetDevice {
 public:
  static constexpr int kMacrocells = 32;
  static constexpr int kTermsPerMacrocell = 5;
  static constexpr int kColumns = 152;  // fuses of one product term
  static constexpr int kConfigBits = 16;

  Qpl6000();

  FuseArray ptFuses;  // [32][5][152]
  FuseArray mcBits;   // [32][16]

  // Notices of the combinational-latch pass: for the JEDEC header, and for
  // standard output once the file is open.
  std::string raceNotes;
  std::string raceConsole;

  // The column of the same signal in the other polarity, or -1.
  static int FindOppositeColumn(int column);

  // Product terms through the flat array (a plain 7032 source only).
  void ReadProductTerms(const StageContext& run) override;
  void TranslateMacrocells(const StageContext& run) override;
  void RouteGlobalOe(const StageContext&) override {}
  void ApplyDeviceOptions(const StageContext&) override {}
  void RouteUim(const StageContext&) override {}
  void ClearUnusedProductTerms(const StageContext& run) override;
  // With race coverage on: the combinational-latch pass; its notices are
  // kept in raceNotes and raceConsole.
  void CoverRaces(const StageContext& run) override;
  int WriteJedec(const JedecJob& job) override;
};

}  // namespace fusecvt
