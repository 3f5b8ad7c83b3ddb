#pragma once
// Everything the POF reader fills: the values read from the file (device
// record, last programmed address) and the source image with its texts.

#include "pof/PofValues.h"
#include "pof/SourceImage.h"

namespace fusecvt {

struct SourceData {
  PofValues pof;
  SourceImageSet sources;
};

}  // namespace fusecvt
