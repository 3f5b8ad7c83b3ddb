#pragma once
// The logic of a JEDEC file of a QPL target, the target told by the fuse
// count: each product-term fuse read through the UIM line's selected choice
// and the target's choice table (QPL6032, QPL6064, QPL6128), or through the
// column table of the QPL6000.

#include <string>

#include "jedec/JedecReader.h"
#include "logic/LogicModel.h"

namespace fusecvt::logic {

// False (and the reason in `error`) when the fuse count names no target.
bool DecodeTarget(const JedecFuses& file, Design& design, std::string& error);

// QPL6000: the other macrocell whose foldback term shares the foldback
// column of macrocell mc (from 1), or 0 when it has none.
int SharedFoldbackPartner(int mc);

}  // namespace fusecvt::logic
