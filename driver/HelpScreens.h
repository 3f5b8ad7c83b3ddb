#pragma once
// The usage and help screens. There is no general help option: naming a
// device family on the command line asks for the screen of that family.

#include <iosfwd>

#include "driver/ConversionOptions.h"

namespace fusecvt {

// The device-type prompt shown after the banner when no argument is given.
void ShowDeviceTypePrompt(std::ostream& console);
// QPL6000 family usage; the pin-keeper lines for helpTarget "-6000e".
void ShowFamilyUsage(const ConversionOptions& options, std::ostream& console);
// QPL6032ES/6064ES/6128ES usage.
void ShowTargetUsage(const ConversionOptions& options, std::ostream& console);
// Advanced options of the family named by helpTarget ("6128", "6064", "6032").
void ShowAdvancedHelp(const ConversionOptions& options, std::ostream& console);

}  // namespace fusecvt
