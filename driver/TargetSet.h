#pragma once
// The choice of the run's one target image.

#include <memory>
#include <string>
#include <vector>

#include "translate/TargetDevice.h"
#include "pof/DeviceCatalogue.h"

namespace fusecvt {

struct Conversion;

// A device word that names the plain QPL6000 (no security bit): its first five
// characters are "p6000" and it does not contain "6000e".
bool IsPlainQpl6000Word(const std::string& deviceWord);

// The -device words that lead to a target of the family; the first is of the
// target taken when no word is given.
const std::vector<const char*>& DeviceWordsOf(TargetFamily family);

// A lower-cased -device word names a target of the family: the 32-macrocell
// word (and the QPL6000 words where the family has it, or refuses it with its
// own message), the 64- or the 128-macrocell word.
bool DeviceWordFits(TargetFamily family, const std::string& lowerWord);

struct TargetChoice {
  std::unique_ptr<TargetDevice> device;  // null: no target
  bool refused = false;       // the device word was refused (reported on console and report)
  bool plainQpl6000 = false;  // the plain QPL6000, the member without a security bit
};

// The target for the source and the run's device word.
TargetChoice SelectTarget(const DeviceRecord& source, Conversion& run);

}  // namespace fusecvt
