// The QPL6128's PIA resolver.
//
// What sets this target apart is its PIA: a row of a LAB may be served by the
// pair row of the mirror LAB (7 - L), each row feeds one of two UIM lines
// (primary or secondary) by the side rule, and a few signals have fixed
// placements of their own, each with one extra fuse in stage 5.
#include <array>
#include <vector>

#include "translate/BlockProfile.h"

namespace fusecvt {

namespace qpl6128 {
namespace {

constexpr int kLabs = 8;

// --- PIA rows as the target resolves them ----------------------------------

enum class Side { kPrimary, kSecondary, kAny };

struct FuseRef {
  int line = -1;  // -1: none
  int fuse = -1;
};

// A signal that leaves its row's line: on serving row `row`, when the side
// rule gives `when`, the product terms read line `termLine`, and stage 5
// routes line `muxLine` and sets one extra fuse ([0] LABs 0..3, [1] 4..7).
struct Placement {
  int row;
  Signal signal;
  Side when;
  int termLine;
  int muxLine;
  FuseRef extra[2];
};

constexpr Placement kPairedPlacements[] = {
    {5, {64, 0}, Side::kPrimary, 38, 38, {{24, 23}, {24, 23}}},
    {32, {65, 0}, Side::kPrimary, 39, 39, {{25, 3}, {25, 3}}},
    {34, {68, 0}, Side::kSecondary, 37, 37, {{3, 23}, {3, 23}}},
    {7, {61, 0}, Side::kSecondary, 36, 36, {{2, 23}, {2, 23}}},
    {6, kNoneSignal, Side::kAny, 36, 36, {{22, 9}, {4, 8}}},
    {33, kNoneSignal, Side::kAny, 36, 36, {{23, 26}, {5, 8}}},
    {10, kNoneSignal, Side::kSecondary, 36, 36, {{30, 0}, {30, 0}}},
    {19, kNoneSignal, Side::kSecondary, 36, 36, {{31, 0}, {31, 0}}},
};

// The plain 7128 has no pairing and always uses the primary side. Its
// product terms read the "none" of rows 6 and 33 on line 39, while stage 5
// routes line 36 for it.
constexpr Placement kPlainPlacements[] = {
    {5, {64, 0}, Side::kAny, 38, 38, {{24, 23}, {24, 23}}},
    {32, {65, 0}, Side::kAny, 39, 39, {{25, 3}, {25, 3}}},
    {6, kNoneSignal, Side::kAny, 39, 36, {{22, 9}, {22, 9}}},
    {33, kNoneSignal, Side::kAny, 39, 36, {{23, 26}, {23, 26}}},
};

// A table of placements, iterable.
struct Placements {
  template <std::size_t N>
  constexpr explicit Placements(const Placement (&table)[N]) : first(table), last(table + N) {}
  const Placement* begin() const { return first; }
  const Placement* end() const { return last; }
  const Placement* first;
  const Placement* last;
};

// Character of a PIA row that says whether the row is served by its pair
// row ('0') or used as is (anything else); -1: the kind has no pairing.
int PairFlagChar(SourceKind kind) {
  switch (FamilyOf(kind)) {
    case SourceFamily::kE: return 4;
    case SourceFamily::kPlain: return -1;
    default: return 13;
  }
}

bool OnSide(Side when, bool secondary) {
  return when == Side::kAny || (when == Side::kSecondary) == secondary;
}

LabRoutes ResolveLab(const SourceImage& source, int lab) {
  const bool plain = FamilyOf(source.kind()) == SourceFamily::kPlain;
  const int flagChar = PairFlagChar(source.kind());
  const bool high = lab >= 4;
  LabRoutes routes;
  for (int r = 0; r < 36; ++r) {
    const bool paired = flagChar >= 0 && flagChar < source.pia.dim2() &&
                        source.pia.at(lab, r, flagChar) == '0';
    const int serving = paired ? (high ? kPia[r].pairRowHigh : kPia[r].pairRowLow) : r;
    const int servingLab = paired ? kLabs - 1 - lab : lab;
    const bool secondary = !plain && (high != paired);
    const PiaRow& row = kPia[serving];

    RowRoute& route = routes[static_cast<std::size_t>(r)];
    route.line = static_cast<std::int8_t>(secondary ? row.secondaryLine : row.primaryLine);
    route.muxLine = route.line;
    const int p = PiaSelection(source, servingLab, serving);
    if (p == kNoPick || p >= 13) continue;
    route.picked = true;
    route.signal = row.picks[p];
    for (const Placement& pl : plain ? Placements(kPlainPlacements) : Placements(kPairedPlacements)) {
      if (pl.row == serving && pl.signal == route.signal && OnSide(pl.when, secondary)) {
        route.line = static_cast<std::int8_t>(pl.termLine);
        route.muxLine = static_cast<std::int8_t>(pl.muxLine);
        route.extraLine = static_cast<std::int8_t>(pl.extra[high ? 1 : 0].line);
        route.extraFuse = static_cast<std::int8_t>(pl.extra[high ? 1 : 0].fuse);
        break;
      }
    }
  }
  return routes;
}

}  // namespace

std::vector<LabRoutes> ResolveRoutes(const SourceImage& source) {
  std::vector<LabRoutes> all;
  all.reserve(kLabs);
  for (int lab = 0; lab < kLabs; ++lab) all.push_back(ResolveLab(source, lab));
  return all;
}

}  // namespace qpl6128
}  // namespace fusecvt
