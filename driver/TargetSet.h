#pragma once
// The target images of a run: at most one is ever created.

#include <memory>
#include <string>

#include "driver/TargetDevice.h"

namespace fusecvt {

struct Conversion;
class Qpl6000;
class Qpl6032;
class Qpl6064;
class Qpl6128;

class TargetSet {
 public:
  TargetSet();
  ~TargetSet();

  // Creates the target for the source device text; 0 when none is created
  // (including the refused QPL6000 word for a 7032S source, reported here).
  int SelectTarget(const std::string* deviceText, Conversion& run);

  // Each forwards to the one target that exists; nothing when none does.
  void ReadProductTerms(Conversion& run);
  void TranslateMacrocells(Conversion& run);
  void RouteGlobalOe(Conversion& run);
  void ApplyDeviceOptions(Conversion& run);
  void RouteUim(Conversion& run);
  void ClearUnusedProductTerms(Conversion& run);
  void ApplySecurity(Conversion& run);
  int WriteJedec(Conversion& run);

  TargetDevice* current() const;
  bool IsQpl6000Family() const { return qpl6000 != nullptr; }

  std::unique_ptr<Qpl6000> qpl6000;
  std::unique_ptr<Qpl6128> qpl6128;
  std::unique_ptr<Qpl6064> qpl6064;
  std::unique_ptr<Qpl6032> qpl6032;
};

}  // namespace fusecvt
