// Fuzzes the logic side of JEDEC files: the product's JEDEC reader, the
// decoding of a target's fuse map into logic, both listings, and the check of
// a design against itself, which must find no difference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "jedec/JedecReader.h"
#include "logic/Equations.h"
#include "logic/LogicCheck.h"
#include "logic/TargetLogic.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using namespace fusecvt;
  const JedecFuses file = ParseJedec(std::string(reinterpret_cast<const char *>(data), size));
  if (!file.ok()) return 0;
  logic::Design design;
  std::string error;
  if (!logic::DecodeTarget(file, design, error)) return 0;
  if (logic::EquationsText(design).empty() || logic::EquationsJson(design).empty()) std::abort();
  if (!logic::CompareLogic(design, design).Same()) std::abort();
  return 0;
}
