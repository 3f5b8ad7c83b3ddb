#pragma once
// The routing tables' signal codes in the logic model's naming.

#include "logic/LogicModel.h"
#include "translate/RoutingTables.h"

namespace fusecvt::logic {

// A QPL6032 / QPL6064 table code: feedback (n, 2), pin (n, 0), dedicated
// inputs -5, -2, -1, -6, none -4; kind -1 matches no source signal.
Signal FromBlockCode(fusecvt::Signal code);
// A QPL6128 table code: feedback (n, 1), pin (n, 0), dedicated inputs
// 129..132, none 0; (-1, -1) matches no source signal.
Signal From128Code(fusecvt::Signal code);

}  // namespace fusecvt::logic
