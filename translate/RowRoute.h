#pragma once
// A PIA row of one LAB as a block target resolves it.

#include <array>

#include "translate/RoutingTables.h"

namespace fusecvt {

// What one PIA row of one LAB brings to the product terms, as the target
// resolves it (pick, pair row, special lines).
struct RowRoute {
  bool picked = false;  // false: the row has no pick (the fuse is still set)
  Signal signal = kNoneSignal;
  int line = 0;         // UIM line whose fuse pair the row's columns set
  int muxLine = 0;      // UIM line whose multiplexer stage 5 routes
  int extraLine = -1;   // one more UIM fuse stage 5 sets (-1: none)
  int extraFuse = -1;
};
using LabRoutes = std::array<RowRoute, 36>;

}  // namespace fusecvt
