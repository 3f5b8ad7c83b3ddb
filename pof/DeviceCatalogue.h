#pragma once
// The device catalogue: the POF's device name is read once into a record
// (variant, package, pin count, grade text), and one row per source variant
// holds everything that depends on the source: image kind, target family,
// the report's target name, option defaults, summary heading and the package
// pins of PD1 and PD2. Nothing downstream reads the name text again.

#include <optional>
#include <string>
#include <vector>

#include "driver/ConversionOptions.h"
#include "pof/SourceKind.h"

namespace fusecvt {

// The target family a source converts to.
enum class TargetFamily {
  kQpl6032,          // always the QPL6032
  kQpl6032Only,      // the QPL6032; a device word holding "6000" is refused
  kQpl6032OrQpl6000, // the QPL6032 for a device word holding "6032", else the QPL6000
  kQpl6064,
  kQpl6128,
};

// Which settings summary closes the report.
enum class SummaryKind { kBlockTarget, kQpl6000 };

// The package pins of PD1 and PD2 for one package; a null package fits any.
struct PowerDownPins {
  int pinCount;
  const char* package;
  int pd1;
  int pd2;
};

// Everything that depends on the source device, one row per variant.
struct SourceVariant {
  const char* word;              // the name holds this text (first row wins)
  SourceKind kind;               // image kind, fuse map and translation rules
  TargetFamily target;
  const char* reportTarget;      // target name in the report; null: the device word
  OptionState slewDefault;       // for -slew not given
  OptionState pinOptionDefault;  // for -open_out and -jtag not given (UNSET: left)
  bool pinKeepOnlyOn6000e;       // -pin_keep is refused with "-device 6000e"
  SummaryKind summary;
  const char* summaryHeading;    // "6128" for "Options :  (6128 only)"; null: none
  std::vector<PowerDownPins> powerDownPins;  // searched in order
};

// The device name read into fields.
struct DeviceRecord {
  std::string name;                        // upper-cased Device_Name text
  const SourceVariant* variant = nullptr;  // null: no supported source
  std::string packageName;                 // "TQFP", "PLCC", "PQFP" or "unknown"
  int pinCount = 0;                        // 44 when the name gives none
  // Set when the package code names a pin count that no target has: the
  // digits as written.
  std::optional<std::string> unsupportedPins;
  std::string gradeText;                   // what follows the package's digits
  // The report header's package word ("!UNKNOWN_PACKAGE!" when none).
  std::string reportPackage = "!UNKNOWN_PACKAGE!";
  bool quadFlatPack = false;               // the QPL6000 file says "(TQFP)"

  SourceKind kind() const { return variant->kind; }
};

// Reads an upper-cased device name.
DeviceRecord ParseDeviceName(const std::string& name);

// The package pin of PD1 (or PD2) as text; "?" for a package not listed.
std::string PowerDownPinText(const DeviceRecord& device, bool pd2);

// "7032", "7032AE", ... for messages and tests.
const char* SourceKindName(SourceKind kind);

}  // namespace fusecvt
