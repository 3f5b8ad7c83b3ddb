#pragma once
// Guards the input and the two outputs of a run against each other.

#include <string>

#include "driver/ConversionOptions.h"
#include "pof/TextOut.h"

namespace fusecvt {

// Both paths name one file: the same device and inode when both exist (and
// are not both devices, pipes or sockets), otherwise the same absolute,
// lexically normalised path. Empty paths name no file.
bool SameFile(const std::string& a, const std::string& b);

// False, with one line on `error`, when the JEDEC or the report path names
// the input file, or the JEDEC and the report paths name the same file.
bool CheckOutputPaths(const ConversionOptions& options, TextOut& error);

}  // namespace fusecvt
