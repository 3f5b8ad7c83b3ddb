#pragma once
// The choice of the run's one target image.

#include <memory>
#include <string>

#include "translate/TargetDevice.h"
#include "pof/DeviceCatalogue.h"

namespace fusecvt {

struct Conversion;

// A device word that names the plain QPL6000 (no security bit): its first five
// characters are "p6000" and it does not contain "6000e".
bool IsPlainQpl6000Word(const std::string& deviceWord);

struct TargetChoice {
  std::unique_ptr<TargetDevice> device;  // null: no target
  bool refused = false;       // the device word was refused (reported on console and report)
  bool plainQpl6000 = false;  // the plain QPL6000, the member without a security bit
};

// The target for the source and the run's device word.
TargetChoice SelectTarget(const DeviceRecord& source, Conversion& run);

}  // namespace fusecvt
