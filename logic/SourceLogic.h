#pragma once
// The logic of a source image: each product-term column read through its PIA
// row's pick and the source kind's PIA signal table.

#include "logic/LogicModel.h"
#include "pof/SourceImage.h"

namespace fusecvt::logic {

// pinCount: of the POF's package, which decides which macrocells of the
// plain 7064, the 7128E and the plain 7128 have a pin and an I/O record.
Design DecodeSource(const SourceImage& image, int pinCount);

}  // namespace fusecvt::logic
