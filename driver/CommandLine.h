#pragma once
// The command line: the program's own name, the argument loop that fills the
// option record, and the steps that complete the options once the source
// device is known (defaults, device word, output file names).

#include <string>
#include <vector>

#include "driver/ConversionOptions.h"

namespace fusecvt {

struct Conversion;

enum ParseResult : int {
  CONTINUE = 0,  // go on with the conversion
  EXIT = 1,      // a help screen was shown; the run ends with status 1
};

// The program name from the path it was started under: the text after the
// last '/' or backslash; when the path holds a backslash, also cut at the last
// '.' of that text.
std::string ExtractProgramName(const std::string& path);

// Fills run.options from args[1..]. args[0] is the program path and is not
// looked at. Help screens and notices go to run.console; warnings about
// unknown option words, unknown value words and replaced input names go to
// run.error, in argument order.
ParseResult ParseCommandLine(const std::vector<std::string>& args, Conversion& run);

// Replaces UNSET in slew, openOut and jtag by the default of the source kind.
void ResolveSourceDefaults(const std::string& sourceDeviceName, ConversionOptions& options);

// Drops a device word that names no target of the source image's family
// (warning on run.error), lower-cases the device word and refuses -pin_keep
// for "-device 6000e" with a 7032-family source (notice on run.console).
void NormalizeDeviceName(const std::string& sourceDeviceName, Conversion& run);

// Completes outputFileName (".jed") and reportFileName (".txt") from the
// input name or the -o name. Only the last path component is looked at for
// an extension. An -o name ending in a separator or naming an existing
// directory is a folder: both files go there, named after the input file.
void DeriveFileNames(ConversionOptions& options);

}  // namespace fusecvt
