// Placeholder reader: refuses every file. Replaced by the packet reader.
#include "pof/PofReader.h"

#include <ostream>

#include "driver/Conversion.h"

namespace fusecvt {

PofReader::PofReader(Conversion& run) : run_(run) {}

LoadStatus PofReader::Load() {
  run_.console << "Cannot open " << run_.options.inputFileName << " for read\n";
  LoadStatus s;
  s.result = 1;
  s.exitStatus = 1;
  return s;
}

}  // namespace fusecvt
