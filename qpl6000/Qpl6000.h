#pragma once
// The QPL6000 and QPL6000E: 32 macrocells with a flat product-term array in
// which every term sees every input signal of the device (152 columns).

#include <iosfwd>

#include "driver/TargetDevice.h"
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

  void ReadMaxInputBits(const SourceImage& source, Conversion& run);
  void TranslateMacrocells(const SourceImage& source, Conversion& run);
  void ClearUnusedTerms(Conversion& run);
  // The combinational-latch pass; notices go to standard output and `out`.
  void CoverRaces(std::ostream& out, Conversion& run);
  // The column of the same signal in the other polarity, or -1.
  static int FindOppositeColumn(int column);

  // TargetDevice: the stages this target has, under the driver's names.
  void ReadProductTerms(Conversion& run) override;
  void TranslateMacrocells(Conversion& run) override;
  void RouteGlobalOe(Conversion&) override {}
  void ApplyDeviceOptions(Conversion&) override {}
  void RouteUim(Conversion&) override {}
  void ClearUnusedProductTerms(Conversion& run) override;
  int WriteJedec(Conversion& run) override;
};

}  // namespace fusecvt
