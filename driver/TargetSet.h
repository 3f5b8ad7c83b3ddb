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

// A device word that names the plain QPL6000 (no security bit): its first five
// characters are "p6000" and it does not contain "6000e".
bool IsPlainQpl6000Word(const std::string& deviceWord);

class TargetSet {
 public:
  TargetSet();
  ~TargetSet();

  // Creates the target for the source device text; 0 when none is created
  // (including the refused QPL6000 word for a 7032S source, reported here).
  // A second call replaces the target of the first.
  int SelectTarget(const std::string* deviceText, Conversion& run);
  // The last SelectTarget refused the device word (a QPL6000 word for a 7032S).
  bool DeviceWordRefused() const { return deviceWordRefused_; }

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
  // The target is the plain QPL6000, the member without a security bit.
  bool IsPlainQpl6000(const std::string& deviceWord) const {
    return IsQpl6000Family() && IsPlainQpl6000Word(deviceWord);
  }

  std::unique_ptr<Qpl6000> qpl6000;
  std::unique_ptr<Qpl6128> qpl6128;
  std::unique_ptr<Qpl6064> qpl6064;
  std::unique_ptr<Qpl6032> qpl6032;

 private:
  bool deviceWordRefused_ = false;
};

}  // namespace fusecvt
