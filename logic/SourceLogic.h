#pragma once
// The logic of a source image: each product-term column read through its PIA
// row's pick and the source kind's PIA signal table.

#include "logic/LogicModel.h"
#include "pof/SourceImage.h"

namespace fusecvt::logic {

Design DecodeSource(const SourceImage& image);

}  // namespace fusecvt::logic
