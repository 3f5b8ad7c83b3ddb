// Placeholder writer. Replaced by the JEDEC writer.
#include <ostream>

#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"

namespace fusecvt {

int BlockTargetImage::WriteJedec(Conversion& run) {
  run.error << "Cannot write output_file " << run.options.outputFileName << '\n';
  return kJedecOpenFailed;
}

}  // namespace fusecvt
