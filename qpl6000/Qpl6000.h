#pragma once
// The QPL6000 and QPL6000E: 32 macrocells with a flat product-term array in
// which every term sees every input signal of the device (152 columns).

#include <string>

#include "translate/TargetDevice.h"
#include "pof/FuseArray.h"
#include "pof/SourceImage.h"

namespace fusecvt {

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
