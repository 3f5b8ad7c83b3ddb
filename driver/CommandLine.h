#pragma once
// The command line: the program's own name, the argument loop that fills the
// option record, and the steps that complete the options once the source
// device is known (defaults, device word, output file names).

#include <string>
#include <vector>

#include "driver/ConversionOptions.h"
#include "pof/DeviceCatalogue.h"

namespace fusecvt {

struct Conversion;

enum ParseResult : int {
  CONTINUE = 0,  // go on with the conversion
  EXIT = 1,      // a help screen was shown; the run ends with status 1
};

// The program name from the path it was started under: after the last
// backslash, cut at the last '.' of that text; without a backslash the path
// is kept unchanged.
std::string ExtractProgramName(const std::string& path);

// Fills run.options from args[1..]. args[0] is the program path and is not
// looked at. The argument that follows a target word (-6128es, -6064es,
// -6032es) is lower-cased in place. Help screens go to run.console.
ParseResult ParseCommandLine(std::vector<std::string>& args, Conversion& run);

// Replaces UNSET in slew, openOut and jtag by the default of the source variant.
void ResolveSourceDefaults(const DeviceRecord& device, ConversionOptions& options);

// Lower-cases the device word and refuses -pin_keep for "-device 6000e" with
// a 7032-family source (notice on run.console).
void NormalizeDeviceName(const DeviceRecord& device, Conversion& run);

// Completes outputFileName (".jed") and reportFileName (".txt") from the
// input name or the -o name. Only the last path component is looked at for
// an extension.
void DeriveFileNames(ConversionOptions& options);

}  // namespace fusecvt
