#pragma once
// Whole help screens as the program must print them (program name "fusecvt"),
// byte for byte. Lines that two screens share are written once.

#include <string>

namespace fusecvt::test::screens {

inline const std::string kPrompt =
    " Please provide the device type to get the appropriate options as follow :\n"
    " fusecvt [-6000|-6000e|-6032es|-6032esl|-6064es|-6064esl|-6128es|-6128esl]\n";

// The opening of every usage screen, and the device-word lines.
inline const std::string kUsageOpening =
    "usg: fusecvt [-i] filename.POF [-o filename.JED] [options]\n"
    "options:\n"
    "   -i                     : specify input POF file\n"
    "   -o                     : specify output JEDEC file\n";
inline const std::string kDeviceNotes =
    "   -device device_name    : specify target device name, e.g. 6000,\n"
    "         6000e, 6032es, 6032esl, 6064es, 6064esl, 6128es, 6128esl\n"
    "         note: fusecvt can only convert to a part with coresponding\n"
    "         architecture, the only cross architecture conversion possible\n"
    "         is from Max7000 non-S to QPL6032ES(L)\n";

inline const std::string kFamily6000 = kUsageOpening +
    "   -powerdown             : turn ON the Power Down mode\n"
    "                            (defaults to OFF).\n"
    "   -secure                : set security bit\n"
    "                            (defaults to unsecure)\n"
    "   -slew [FAST|slow|auto] : set slew rate for all outputs\n"
    "                            FAST: set output slew to FAST\n"
    "                            SLOW: set output slew to SLOW\n"
    "                            AUTO: follows settings from POF\n"
    "                            (defaults to FAST)\n"
    "   -pinclk                : use pin clock wherever applicable\n"
    "   -race_cover_off        : turn OFF race coverage option\n"
    "                            (defaults to ON)\n" + kDeviceNotes +
    "   -verbose               : see configuration changes\n";

inline const std::string kFamily6000e = kFamily6000 +
    "   -pin_keep              : Enable pin keeper circuits\n"
    "\t\t\t    (defaults to Disabled).\n";

inline const std::string kTarget = kUsageOpening +
    "   -PD1\t                  : Enable the Power Down mode on pin PD1\n"
    "\t\t\t    (defaults to Disabled.)\n"
    "   -PD2\t                  : Enable the Power Down mode on pin PD2\n"
    "\t\t\t    (defaults to Disabled.)\n"
    "   -secure                : set security bit on\n"
    "                            (defaults to unsecure.)\n"
    "   -slew [FAST|slow|AUTO] : set slew rate for all outputs\n"
    "                            FAST: set output slew to FAST\n"
    "                            SLOW: set output slew to SLOW\n"
    "                            AUTO: follows settings from POF\n"
    "\t\t\t    (defaults to AUTO).\n"
    "   -pinclk                : use pin clock wherever applicable\n"
    "   -race_cover_off        : turn OFF race coverage option\n"
    "\t\t\t    (defaults to ON.)\n"
    "   -verbose               : see configuration changes\n"
    "   -pin_keep              : Enable pin keeper circuits\n"
    "\t\t\t    (defaults to Disabled).\n" + kDeviceNotes +
    "   -h2\t\t\t  : Displays Advanced Help Options\n";

// The lines every advanced screen opens with.
inline const std::string kAdvancedHead =
    "Advance Help Options:\n"
    "   -MC_power [on|off|AUTO] : sets Low Power mode for all Macrocells\n"
    "\t\t\t     ON:  turns ON Low Power mode for all MCs\n"
    "\t\t\t     OFF: turns OFF Low Power mode for all MCs\n"
    "\t\t\t     AUTO:follows settings from POF\n"
    "\t\t\t     (defaults to AUTO).\n"
    "   -power_reset            : Sets device power-up reset hysteresis to Large.\n"
    "\t\t\t     (ignore VCC glitches).\n"
    "\t\t\t     defaults to small hysteresis -\n"
    "\t\t\t     (reset whenever Vcc is at the reset voltage level))\n"
    "   -GCLK1_ITD               : Disables ITD fuse on GCLK1\n"
    "\t\t\t     (defaults to enabled).\n"
    "   -GCLK2_ITD               : Disables ITD fuse on GCLK2\n"
    "\t\t\t     (defaults to enabled).\n"
    "   -GCLK3_ITD               : Disables ITD fuse on GCLK3\n"
    "\t\t\t     (defaults to enabled).\n"
    "   -open_out [on|OFF|AUTO] : Sets all macrocell Output types\n";

inline const std::string kJtagLines =
    "   -JTAG [on|OFF|AUTO]     : Sets JTAG Mode\n"
    "\t\t\t     ON:  Enables JTAG mode.\n"
    "\t\t\t     OFF: Disables JTAG mode.\n"
    "\t\t\t     AUTO:follows settings from POF.\n";

// Follows each pull-up line.
inline const std::string kPullupNote =
    "\t\t\t     (defaults to Disabled).\n"
    "\t\t\t     When this option is selected JTAG mode is enabled,\n"
    "\t\t\t     and you do not need to specify JTAG option.\n";

inline const std::string kTabbedOutputTypes =
    "\t\t\t     ON:  Sets to Open Collector mode.\n"
    "\t\t\t     OFF: Sets to Normal mode.\n"
    "\t\t\t     AUTO:follows settings from POF.\n";

inline const std::string kAdvanced6128 = kAdvancedHead + kTabbedOutputTypes +
    "                             (7128/E : defaults to OFF,\n"
    "\t\t\t      7128S/AE  : defaults to AUTO).\n"
    "   -device <device_name>   : specify target device name,\n"
    "                             like  -device QPL6128ESL\n" + kJtagLines +
    "\t\t\t     (7128/E : defaults to OFF,\n"
    "\t\t\t      7128S/AE  : defaults to AUTO).\n"
    "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin (7128S/AE only).\n" + kPullupNote +
    "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin (7128S/AE only).\n" + kPullupNote;

inline const std::string kAdvanced6064 = kAdvancedHead + kTabbedOutputTypes +
    "                             (7064   : defaults to OFF,\n"
    "\t\t\t      7064S/AE  : defaults to AUTO).\n" + kJtagLines +
    "\t\t\t     (7064   : defaults to OFF,\n"
    "\t\t\t      7064S/AE  : defaults to AUTO).\n"
    "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin (7064S/AE only).\n" + kPullupNote +
    "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin (7064S/AE only).\n" + kPullupNote;

inline const std::string kAdvanced6032 = kAdvancedHead +
    "                             ON:  Sets to Open Collector mode.\n"
    "                             OFF: Sets to Normal mode.\n"
    "                             AUTO:follows settings from POF.\n"
    "\t\t\t     7032S/AE : defaults to AUTO).\n" + kJtagLines +
    "\t\t\t     7032S/AE : defaults to AUTO).\n"
    "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin \n" + kPullupNote +
    "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin.\n" + kPullupNote;

}  // namespace fusecvt::test::screens
