#pragma once
// The option record of one conversion: filled from the command line and
// completed once the source device is known; from then on it is only read (by
// the translation stages, the JEDEC writers and the settings summary). What the
// run decided instead is kept in its Outcome.

#include <cstdint>
#include <string>

namespace fusecvt {

// Three-way device options. The values are those that stored scripts and the
// summary rely on; they are plain 32-bit integers.
enum OptionState : std::int32_t {
  AUTO = 0,   // follow the setting found in the POF
  SLOW = 1,   // slew rate slow (slew only)
  FAST = 2,   // slew rate fast (slew only)
  ON = 3,     // feature on
  OFF = 4,    // feature off
  UNSET = 5,  // not given on the command line; resolved after the POF is read
};

struct ConversionOptions {
  std::string programName;             // the program's own name (banner, usage)
  std::string inputFileName;           // the POF to read
  std::string outputFileName;          // the JEDEC file to write
  std::string reportFileName;          // the conversion report to write
  std::string targetDeviceName = "Unselected";  // word given with -device
  int targetDeviceGiven = 0;           // -device was given
  std::string helpTarget;              // which usage screen a target word asked for

  OptionState slew = UNSET;            // AUTO, SLOW, FAST
  OptionState openOut = UNSET;         // AUTO, ON (open collector), OFF (normal)
  OptionState jtag = UNSET;            // AUTO, ON, OFF
  OptionState mcPower = AUTO;          // AUTO, ON, OFF (no UNSET state)

  int raceCover = 1;                   // race coverage on (1) or off (0)
  int powerResetBit = 1;               // 1: hysteresis small; 0: large
  int powerResetGiven = 0;             // -power_reset was given
  int gclk1Itd = 1;                    // ITD enabled (1) or disabled by request (0)
  int gclk2Itd = 1;
  int gclk3Itd = 1;
  int pd1 = 0;                         // power-down on pin PD1
  int pd2 = 0;                         // power-down on pin PD2
  int secure = 0;                      // set the security bit
  int pinClock = 0;                    // use a pin clock wherever applicable
  int pinKeep = 0;                     // enable the pin keeper circuits
  int verbose = 0;                     // report configuration changes
  int tdiPullup = 0;                   // pull-up on TDI
  int tmsPullup = 0;                   // pull-up on TMS
};

}  // namespace fusecvt
