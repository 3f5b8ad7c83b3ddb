#pragma once
// Compares the logic of a source design with that of its target, macrocell by
// macrocell and term by term. The changes a conversion makes on purpose are
// counted by name; changes the conversion is known to make are listed apart.

#include <string>
#include <utility>
#include <vector>

#include "logic/LogicModel.h"

namespace fusecvt::logic {

struct CheckResult {
  int macrocells = 0, terms = 0, literals = 0;  // compared
  std::vector<std::string> differences;  // "MC 5 PT 2: input pin of MC 12 (true) missing in the target"
  std::vector<std::string> known;        // "MC 5 PT 2: ..." explained by a known trait of the translation
  std::vector<std::pair<std::string, int>> deliberate;  // name and count, fixed order
  bool Same() const { return differences.empty() && known.empty(); }
};

CheckResult CompareLogic(const Design& source, const Design& target);

// The closing account, each line starting "Logic check: " and ending "\n".
std::string AccountText(const CheckResult& r);

}  // namespace fusecvt::logic
