#pragma once
// The usage and help screens. There is no general help option: naming a
// device family on the command line asks for the screen of that family.

#include "driver/ConversionOptions.h"
#include "pof/TextOut.h"

namespace fusecvt {

// The device-type prompt shown after the banner when no argument is given.
void ShowDeviceTypePrompt(TextOut& console);
// QPL6000 family usage; the pin-keeper lines for helpTarget "-6000e".
void ShowFamilyUsage(const ConversionOptions& options, TextOut& console);
// QPL6032ES/6064ES/6128ES usage.
void ShowTargetUsage(const ConversionOptions& options, TextOut& console);
// Advanced options of the family named by helpTarget ("6128", "6064", "6032").
void ShowAdvancedHelp(const ConversionOptions& options, TextOut& console);

}  // namespace fusecvt
