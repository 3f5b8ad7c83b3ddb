#pragma once
// Texts of the usage and help screens, piece by piece. Generated, not typed:
// regenerate rather than edit. The line count of each piece is checked where the
// screens are put together (HelpScreens.cpp).

namespace fusecvt::help {
// Shown after the banner when the program is started without arguments.
inline constexpr char kDeviceTypePrompt[] =
    " Please provide the device type to get the appropriate options as follow :\n"
    " fusecvt [-6000|-6000e|-6032es|-6032esl|-6064es|-6064esl|-6128es|-6128esl]\n";
inline constexpr int kDeviceTypePromptLines = 2;
// Opening of the family and target usage screens; %s is the program name.
inline constexpr char kUsageLine[] =
    "usg: %s [-i] filename.POF [-o filename.JED] [options]\n";
// The option lines common to both usage screens.
inline constexpr char kUsageOptions[] =
    "options:\n"
    "   -i                     : specify input POF file\n"
    "   -o                     : specify output JEDEC file\n";
inline constexpr int kUsageOptionsLines = 3;
// QPL6000 family usage, up to the device word.
inline constexpr char kFamilyOptions[] =
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
    "                            (defaults to ON)\n";
inline constexpr int kFamilyOptionsLines = 12;
// The -device lines, shared by both usage screens.
inline constexpr char kDeviceWordNotes[] =
    "   -device device_name    : specify target device name, e.g. 6000,\n"
    "         6000e, 6032es, 6032esl, 6064es, 6064esl, 6128es, 6128esl\n"
    "         note: fusecvt can only convert to a part with coresponding\n"
    "         architecture, the only cross architecture conversion possible\n"
    "         is from Max7000 non-S to QPL6032ES(L)\n";
inline constexpr int kDeviceWordNotesLines = 5;
// QPL6000 family usage, after the device word.
inline constexpr char kFamilyVerbose[] =
    "   -verbose               : see configuration changes\n";
inline constexpr int kFamilyVerboseLines = 1;
// QPL6000E only.
inline constexpr char kFamilyPinKeep[] =
    "   -pin_keep              : Enable pin keeper circuits\n"
    "\t\t\t    (defaults to Disabled).\n";
inline constexpr int kFamilyPinKeepLines = 2;
// The help word whose first six characters select the pin-keeper lines.
inline constexpr char kPinKeepHelpWord[] = "-6000e";
// QPL6032ES/6064ES/6128ES usage, up to the device word.
inline constexpr char kTargetOptions[] =
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
    "\t\t\t    (defaults to Disabled).\n";
inline constexpr int kTargetOptionsLines = 17;
// Last line of the QPL6032ES/6064ES/6128ES usage.
inline constexpr char kAdvancedHint[] =
    "   -h2\t\t\t  : Displays Advanced Help Options\n";
inline constexpr int kAdvancedHintLines = 1;
// Advanced help, common first block.
inline constexpr char kAdvancedOptions[] =
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
    "\t\t\t     (defaults to enabled).\n";
inline constexpr int kAdvancedOptionsLines = 16;
// Advanced help, JTAG mode.
inline constexpr char kJtagOptions[] =
    "   -JTAG [on|OFF|AUTO]     : Sets JTAG Mode\n"
    "\t\t\t     ON:  Enables JTAG mode.\n"
    "\t\t\t     OFF: Disables JTAG mode.\n"
    "\t\t\t     AUTO:follows settings from POF.\n";
inline constexpr int kJtagOptionsLines = 4;
// Advanced help, after each pull-up line.
inline constexpr char kPullupNotes[] =
    "\t\t\t     (defaults to Disabled).\n"
    "\t\t\t     When this option is selected JTAG mode is enabled,\n"
    "\t\t\t     and you do not need to specify JTAG option.\n";
inline constexpr int kPullupNotesLines = 3;
// Advanced help parts that differ per family.
struct AdvancedVariant {
  const char* family;       // first four characters of the help target
  const char* outputType;   // -open_out lines
  int outputTypeLines;
  const char* deviceWord;   // -device lines (empty where the family has none)
  int deviceWordLines;
  const char* jtagDefaults;
  int jtagDefaultsLines;
  const char* tdiLine;
  const char* tmsLine;
};

inline constexpr AdvancedVariant kAdvancedVariants[] = {
    {"6128",
     "   -open_out [on|OFF|AUTO] : Sets all macrocell Output types\n"
     "\t\t\t     ON:  Sets to Open Collector mode.\n"
     "\t\t\t     OFF: Sets to Normal mode.\n"
     "\t\t\t     AUTO:follows settings from POF.\n"
     "                             (7128/E : defaults to OFF,\n"
     "\t\t\t      7128S/AE  : defaults to AUTO).\n",
     6,
     "   -device <device_name>   : specify target device name,\n"
     "                             like  -device QPL6128ESL\n",
     2,
     "\t\t\t     (7128/E : defaults to OFF,\n"
     "\t\t\t      7128S/AE  : defaults to AUTO).\n",
     2,
     "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin (7128S/AE only).\n",
     "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin (7128S/AE only).\n"},
    {"6064",
     "   -open_out [on|OFF|AUTO] : Sets all macrocell Output types\n"
     "\t\t\t     ON:  Sets to Open Collector mode.\n"
     "\t\t\t     OFF: Sets to Normal mode.\n"
     "\t\t\t     AUTO:follows settings from POF.\n"
     "                             (7064   : defaults to OFF,\n"
     "\t\t\t      7064S/AE  : defaults to AUTO).\n",
     6,
     "",
     0,
     "\t\t\t     (7064   : defaults to OFF,\n"
     "\t\t\t      7064S/AE  : defaults to AUTO).\n",
     2,
     "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin (7064S/AE only).\n",
     "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin (7064S/AE only).\n"},
    {"6032",
     "   -open_out [on|OFF|AUTO] : Sets all macrocell Output types\n"
     "                             ON:  Sets to Open Collector mode.\n"
     "                             OFF: Sets to Normal mode.\n"
     "                             AUTO:follows settings from POF.\n"
     "\t\t\t     7032S/AE : defaults to AUTO).\n",
     5,
     "",
     0,
     "\t\t\t     7032S/AE : defaults to AUTO).\n",
     1,
     "   -TDI_PULLUP\t\t   : Enables pull-up on TDI pin \n",
     "   -TMS_PULLUP\t\t   : Enables pull-up  on TMS pin.\n"},
};

}  // namespace fusecvt::help
