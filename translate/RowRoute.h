#pragma once
// A PIA row of one LAB as a block target resolves it.

#include <array>
#include <cstdint>

#include "translate/RoutingTables.h"

namespace fusecvt {

// What one PIA row of one LAB brings to the product terms, as the target
// resolves it (pick, pair row, special lines). Lines (0..39) and fuses (under
// 32) are kept in single bytes: the routes of a run fill one page, not two.
struct RowRoute {
  bool picked = false;         // false: the row has no pick (the fuse is still set)
  Signal signal = kNoneSignal;
  std::int8_t line = 0;        // UIM line whose fuse pair the row's columns set
  std::int8_t muxLine = 0;     // UIM line whose multiplexer stage 5 routes
  std::int8_t extraLine = -1;  // one more UIM fuse stage 5 sets (-1: none)
  std::int8_t extraFuse = -1;
};
static_assert(sizeof(RowRoute) <= 16, "a route in 16 bytes");
using LabRoutes = std::array<RowRoute, 36>;

}  // namespace fusecvt
