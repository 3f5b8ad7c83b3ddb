// Feeds arbitrary bytes to the POF reader as a file's content and checks what
// it leaves behind.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <ostream>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "pof/PofReader.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool OneOf(int v, std::initializer_list<int> set) {
  for (int s : set) {
    if (v == s) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace fusecvt;
  std::ostream console(nullptr);
  std::ostream error(nullptr);
  Conversion run(console, error, Clock::Fixed(std::tm{}));
  run.options.programName = "fusecvt";
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));

  const LoadStatus status = PofReader(run, run, run.options.programName).LoadFrom(in, "fuzz.pof");

  Check(status.result == 0 || status.result == 1);
  // Without a whole header marked "POF" nothing is read and the status is 1.
  const bool marked = size >= 12 && std::string(reinterpret_cast<const char*>(data), 3) == "POF";
  if (!marked) {
    Check(status.result == 1 && status.exitStatus == 1 && !run.sources.image());
    return 0;
  }
  const bool refused = run.pof.device.variant && run.pof.device.unsupportedPins.has_value();
  Check(!status.exitStatus || *status.exitStatus == (refused ? 1 : 2));
  Check(status.exitStatus.has_value() == (refused || run.pof.lastProgrammedAddress == -1));
  Check(run.pof.lastProgrammedAddress >= -1 && run.pof.lastProgrammedAddress < 62932);
  Check(run.pof.device.name.size() <= size);  // kept whole, but never more than was read
  if (const SourceImage* image = run.sources.image()) {
    Check(run.pof.device.variant && run.pof.device.kind() == image->kind());
    Check(OneOf(run.pof.device.pinCount, {44, 68, 84, 100, 160}));
    // The decoder writes only '0' into images that start all '1' (the packed
    // logic array holds nothing but fuses).
    for (const FuseArray* f : {&image->mcConfig, &image->pia,
                               &image->oePia, &image->ioConfig, &image->outputEnable,
                               &image->globalClocks, &image->unknownBits, &image->ues}) {
      for (std::size_t i = 0; i < f->size(); ++i) Check(f->data()[i] == '0' || f->data()[i] == '1');
    }
    Check(image->remainingBits.size() == 0 ||
          std::string(image->remainingBits.data(), image->remainingBits.size()) ==
              std::string(image->remainingBits.size(), '1'));
  } else {
    Check(!run.pof.device.variant || refused);
    Check(!run.sources.creatorId && !run.sources.commentText && run.sources.testVectors.empty());
  }
  return 0;
}
