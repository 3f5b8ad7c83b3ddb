#pragma once
// The three logic modes of the command line, chosen by the first argument:
//   --verify [options] design.pof    convert as usual, then check the logic of
//                                    the written JEDEC file against the POF's
//   --check design.pof file.jed      the same check for an existing file
//   --equations [--json] file        the design of a POF or JEDEC file as text

#include <optional>
#include <string>
#include <vector>

namespace fusecvt {

struct Conversion;

// Exit status of the mode, or nothing when args[1] names no logic mode.
std::optional<int> RunLogicMode(const std::vector<std::string>& args, Conversion& run);

}  // namespace fusecvt
