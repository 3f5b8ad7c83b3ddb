#pragma once
// The logic of a source image: each product-term column read through its PIA
// row's pick and the source kind's PIA signal table.

#include "logic/LogicModel.h"
#include "pof/SourceImage.h"

namespace fusecvt::logic {

// pinCount: of the POF's package (the plain 7064 bonds out only some
// macrocells in 44 and 68 pins; their output enables are then not decoded).
Design DecodeSource(const SourceImage& image, int pinCount);

}  // namespace fusecvt::logic
