#pragma once
// Seeded random designs over every source kind, package and option set, as
// the random-design campaign converts them and the design dumper writes them.

#include <string>
#include <vector>

#include "support/PofBuilder.h"

namespace fusecvt::test {

struct RandomDesign {
  std::string device;             // full device name, e.g. "EPM7064SLC44-10"
  std::string word;               // the -device word ("" = none)
  int target = 0;                 // 0: QPL6000, else block target index + 1
  int density = 0;                // percent of fuses programmed; 0: a blank part
  bool refused = false;           // a 7032S asked for a QPL6000 word
  std::string pof;                // the POF's bytes
  std::vector<std::string> options;  // everything between the program name and the POF path
};

// Case n of the random designs of `seed`; the same pair gives the same design.
RandomDesign MakeRandomDesign(unsigned seed, long n);

}  // namespace fusecvt::test
