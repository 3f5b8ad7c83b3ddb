#include "support/DesignRun.h"

#include "support/TestPaths.h"

namespace fusecvt::test {

Converted ConvertDesign(const std::string& device, const DesignEdit& edit, std::vector<std::string> options) {
  ScratchDir dir;
  PofBuilder b(device);
  edit(b.image());
  b.WriteTo(dir.File("design.pof"));
  options.insert(options.begin(), "fusecvt");
  options.push_back("design.pof");
  RunResult r = RunBinary(options, dir.path());
  const std::string jed = ReadFile(dir.File("design.jed"));
  return {r, JedecFacts(jed), ReadFile(dir.File("design.txt"))};
}

}  // namespace fusecvt::test
