#pragma once
// The routing tables' signal codes in the logic model's naming.

#include "logic/LogicModel.h"
#include "translate/RoutingTables.h"

namespace fusecvt::logic {

// A routing-table code of any block target: feedback (n, 2), pin (n, 0),
// dedicated inputs -5, -2, -1, -6, none -4; kind -1 matches no source signal.
Signal FromBlockCode(fusecvt::Signal code);

}  // namespace fusecvt::logic
