#pragma once
// The source device kinds: one per fuse layout of the MAX7000-family parts.

namespace fusecvt {

// Source device kinds, in the order of the layout and fuse-map tables.
enum class SourceKind : int {
  Max7032 = 0,
  Max7032AE = 1,
  Max7032S = 2,
  Max7128 = 3,
  Max7128E = 4,
  Max7128S = 5,   // also the 7128A
  Max7128AE = 6,
  Max7064 = 7,
  Max7064S = 8,
  Max7064AE = 9,
  Max3032A = 10,
  Max3064A = 11,
  Max3128A = 12,
};
inline constexpr int kSourceKindCount = 13;

}  // namespace fusecvt
