// Writes seeded random designs for replay by other tools:
//   design_dump DIR COUNT [SEED [FIRST]]
// makes DIR/<case>/in.pof and DIR/<case>/args (the argument vector, one per
// line: program name, options, "in.pof") for cases FIRST .. FIRST+COUNT-1.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/RandomDesign.h"
#include "support/TestPaths.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DIR COUNT [SEED [FIRST]]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const long count = std::strtol(argv[2], nullptr, 0);
  const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 0)) : 20261207u;
  const long first = argc > 4 ? std::strtol(argv[4], nullptr, 0) : 0;
  for (long n = first; n < first + count; ++n) {
    const fusecvt::test::RandomDesign d = fusecvt::test::MakeRandomDesign(seed, n);
    char name[32];
    std::snprintf(name, sizeof name, "random-%u-%06ld", seed, n);
    const std::string caseDir = dir + "/" + name;
    std::error_code ec;
    std::filesystem::create_directories(caseDir, ec);
    if (ec) {
      std::fprintf(stderr, "%s: cannot create %s\n", argv[0], caseDir.c_str());
      return 1;
    }
    std::string args = "fusecvt\n";
    for (const std::string& o : d.options) args += o + "\n";
    fusecvt::test::WriteFile(caseDir + "/in.pof", d.pof);
    fusecvt::test::WriteFile(caseDir + "/args", args + "in.pof\n");
  }
  return 0;
}
