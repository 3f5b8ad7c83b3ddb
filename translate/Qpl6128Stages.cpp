// QPL6128 translation of the 7128S (and 7128A), 7128AE, 3128A, 7128E and
// plain 7128 sources over the shared block translation.
//
// What sets this target apart is its PIA: a row of a LAB may be served by the
// pair row of the mirror LAB (7 - L), each row feeds one of two UIM lines
// (primary or secondary) by the side rule, and a few signals have fixed
// placements of their own, each with one extra fuse in stage 5.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "translate/TargetDevice.h"
#include "translate/BlockTarget.h"
#include "translate/BlockTranslation.h"
#include "translate/RoutingTables.h"

namespace fusecvt {

namespace qpl6128 {
namespace {

constexpr int kLabs = 8;
constexpr int kMacrocells = 128;

// PD1 on MC 3, PD2 on MC 67; TDI, TMS, TCK, TDO on MC 32, 48, 96, 112; a set
// jtagBit clears the output selects of MC 32, 48 and 96.
const SpecialPins kSpecialPins{2, 66, 31, 47, 95, 111, {31, 47, 95}};

// S0 S1 S2 by the 3-bit output-enable select (index = select in base two):
// OE3 000 -> 011, GND 001 -> 000, OE5 010 -> 010, OE2 011 -> 100,
// OE4 100 -> 101, OE1 101 -> 001, OE6 110 -> 110, VCC 111 -> 111;
// and by the plain 7128's code o0 o1: 00 -> 000, 01 -> 100, 10 -> 001, 11 -> 111.
const OeEncoding kOeEncoding{{"011", "000", "010", "100", "101", "001", "110", "111"},
                             {"000", "100", "001", "111"}};

constexpr Signal kGclk1{130, 0};
constexpr Signal kGclk2{129, 0};
constexpr Signal kNoneSignal{0, 0};

const ProductTermRules kPairedTermRules{false, nullptr, 130, 129, 128, ClockFlagRule::kByParity,
                                        ClockFlagRule::kByParity};
// The plain 7128 records GCLK1 in one flag whatever the column, and no GCLK2.
const ProductTermRules kPlainTermRules{false, nullptr, 130, 129, 128, ClockFlagRule::kTrueOnly,
                                       ClockFlagRule::kNone};

// GCLK1 is pick 7 of rows 27 and 33, GCLK2 pick 7 of rows 0 and 6. A LAB
// reaches them through those rows unpaired, or through the rows whose pair
// row (of its half) they are.
const PtClockTaps kClockTapsLow{{27, 33, 19, 25}, {0, 6, 10, 16}, kGclk1, kGclk2};
const PtClockTaps kClockTapsHigh{{27, 33, 18, 23}, {0, 6, 9, 14}, kGclk1, kGclk2};
const PtClockTaps kPlainClockTaps{{27, 33}, {}, kGclk1, kGclk2};

// configBits index set by the polarity bit of OE PIA rows 0..5.
constexpr std::array<int, 6> kOePolarityBit{27, 24, 25, 23, 26, 22};

// --- Macrocells that have a pin ---------------------------------------------

constexpr std::uint16_t Positions(std::initializer_list<int> list) {
  std::uint16_t mask = 0;
  for (int p : list) mask = static_cast<std::uint16_t>(mask | (1u << p));
  return mask;
}

// Positions (within the LAB) of the macrocells that have a pin, for LABs 0,
// 2, 5, 7 and for LABs 1, 3, 4, 6.
struct PinPositions {
  int pinCount;
  int ios;  // macrocells with a pin
  std::uint16_t outer;
  std::uint16_t inner;
};
constexpr std::uint16_t k160Positions = Positions({0, 2, 3, 4, 5, 7, 8, 10, 11, 12, 13, 15});
constexpr PinPositions kPinPositions[] = {
    {84, 64, Positions({2, 4, 5, 7, 10, 12, 13, 15}), Positions({0, 2, 4, 7, 8, 10, 12, 15})},
    {100, 80, Positions({0, 2, 4, 5, 7, 8, 10, 12, 13, 15}),
     Positions({0, 2, 4, 5, 7, 8, 10, 12, 13, 15})},
    {160, 96, k160Positions, k160Positions},
};

constexpr int CountPositions(std::uint16_t mask) {
  int n = 0;
  for (int p = 0; p < 16; ++p) n += (mask >> p) & 1;
  return n;
}
constexpr bool PinCountsAgree() {
  for (const PinPositions& p : kPinPositions) {
    if (4 * CountPositions(p.outer) + 4 * CountPositions(p.inner) != p.ios) return false;
  }
  return true;
}
static_assert(PinCountsAgree(), "each package lists as many pinned macrocells as it has I/Os");

const PinPositions* PinPositionsOf(int pinCount) {
  for (const PinPositions& p : kPinPositions) {
    if (p.pinCount == pinCount) return &p;
  }
  return nullptr;
}

bool IsOuterLab(int lab) { return lab == 0 || lab == 2 || lab == 5 || lab == 7; }

// Which macrocells carry an I/O record. The 7128S family has 96 in every
// package: all but positions 1, 6, 9 and 14. The 7128E and plain 7128 have
// as many as the package has pins; an unknown pin count gives none.
std::vector<bool> PinnedMacrocells(const SourceImage& source, int pinCount) {
  const SourceFamily family = FamilyOf(source.kind());
  const bool byPackage = family == SourceFamily::kE || family == SourceFamily::kPlain;
  const PinPositions* package = byPackage ? PinPositionsOf(pinCount) : nullptr;
  std::vector<bool> pinned(kMacrocells, false);
  for (int m = 0; m < kMacrocells; ++m) {
    std::uint16_t mask = k160Positions;
    if (byPackage) mask = !package ? 0 : IsOuterLab(m / 16) ? package->outer : package->inner;
    pinned[static_cast<std::size_t>(m)] = (mask >> (m % 16)) & 1u;
  }
  return pinned;
}

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

struct Route {
  RowRoute term;  // signal and the line whose fuse pair the columns set
  int muxLine = 0;
  FuseRef extra;
};
using LabRoute = std::array<Route, 36>;

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

LabRoute ResolveLab(const SourceImage& source, int lab) {
  const bool plain = FamilyOf(source.kind()) == SourceFamily::kPlain;
  const int flagChar = PairFlagChar(source.kind());
  const bool high = lab >= 4;
  LabRoute routes;
  for (int r = 0; r < 36; ++r) {
    const bool paired = flagChar >= 0 && flagChar < source.pia.dim2() &&
                        source.pia.at(lab, r, flagChar) == '0';
    const int serving = paired ? (high ? kPia[r].pairRowHigh : kPia[r].pairRowLow) : r;
    const int servingLab = paired ? kLabs - 1 - lab : lab;
    const bool secondary = !plain && (high != paired);
    const PiaRow& row = kPia[serving];

    Route& route = routes[static_cast<std::size_t>(r)];
    route.term.line = secondary ? row.secondaryLine : row.primaryLine;
    route.muxLine = route.term.line;
    const int p = PiaSelection(source, servingLab, serving);
    if (p == kNoPick || p >= 13) continue;
    route.term.picked = true;
    route.term.signal = row.picks[p];
    for (const Placement& pl : plain ? Placements(kPlainPlacements) : Placements(kPairedPlacements)) {
      if (pl.row == serving && pl.signal == route.term.signal && OnSide(pl.when, secondary)) {
        route.term.line = pl.termLine;
        route.muxLine = pl.muxLine;
        route.extra = pl.extra[high ? 1 : 0];
        break;
      }
    }
  }
  return routes;
}

std::vector<LabRoute> ResolveAll(const SourceImage& source) {
  std::vector<LabRoute> all;
  for (int lab = 0; lab < kLabs; ++lab) all.push_back(ResolveLab(source, lab));
  return all;
}

std::vector<LabRoutes> TermRoutes(const std::vector<LabRoute>& all) {
  std::vector<LabRoutes> routes(all.size());
  for (std::size_t lab = 0; lab < all.size(); ++lab) {
    for (std::size_t r = 0; r < 36; ++r) routes[lab][r] = all[lab][r].term;
  }
  return routes;
}

// --- Source kinds -----------------------------------------------------------

bool IsPlain(const SourceImage& s) { return s.kind() == SourceKind::Max7128; }

// The global clock code: from the first three unknownBits on the 7128S and
// 7128E, from globalClocks on the 7128AE and 3128A; -1 for the plain 7128.
int ClockCode(const SourceImage& s) {
  switch (s.kind()) {
    case SourceKind::Max7128S:
    case SourceKind::Max7128E:
      return s.unknownBits.size() >= 3 ? GlobalClockCode(s.unknownBits.data()) : -1;
    case SourceKind::Max7128AE:
    case SourceKind::Max3128A:
      return s.globalClocks.size() >= 3 ? GlobalClockCode(s.globalClocks.data()) : -1;
    default: return -1;
  }
}

DeviceOptionPlan OptionPlan(const SourceImage& source) {
  DeviceOptionPlan plan;
  plan.pins = &kSpecialPins;
  plan.clockCode = ClockCode(source);
  plan.illegalClockText =
      source.kind() == SourceKind::Max7128E ? nullptr : "Illegal unknown bits\n";
  plan.oePolarityChar = OePolarityCharOf(source.kind());
  plan.oePolarityBit = kOePolarityBit;
  plan.jtagAuto = JtagAutoFrom::kNone;
  plan.jtagAutoIndex = -1;
  switch (source.kind()) {
    case SourceKind::Max7128AE:
    case SourceKind::Max3128A: plan.jtagAuto = JtagAutoFrom::kJtagBit; break;
    case SourceKind::Max7128S:
      plan.jtagAuto = JtagAutoFrom::kUnknownBit;
      plan.jtagAutoIndex = 10;
      break;
    default: break;
  }
  plan.copyUes = true;  // only the kinds that have a signature field copy it
  return plan;
}

}  // namespace
}  // namespace qpl6128

using namespace qpl6128;

void Qpl6128::ReadProductTerms(const StageContext& run) {
  const SourceImage* s = &run.source;
  CopyProductTerms(*this, *s, TermRoutes(ResolveAll(*s)),
                   IsPlain(*s) ? kPlainTermRules : kPairedTermRules);
}

void Qpl6128::TranslateMacrocells(const StageContext& run) {
  const SourceImage* s = &run.source;
  const bool plain = IsPlain(*s);
  const MacrocellBitMap& map = MacrocellBitMapOf(s->kind());
  const FuseArray& records = plain ? s->outputEnable : s->ioConfig;
  const std::vector<int> recordOf =
      RecordsInOrder(kMacrocells, PinnedMacrocells(*s, run.device.pinCount));
  const std::vector<LabRoutes> routes = TermRoutes(ResolveAll(*s));
  const int g = ClockCode(*s);

  for (int m = 0; m < kMacrocells; ++m) {
    const int rec = recordOf[static_cast<std::size_t>(m)];
    const char* record = rec >= 0 && rec < records.dim0() ? records.row(rec) : nullptr;
    TranslateMacrocellBits(*this, run.options, m, map, kOeEncoding, s->mcConfig.row(m),
                           s->mcConfig.dim1(), record, records.dim1());
    FixFoldback(*this, m);
    CleanUpClockTerm(*this, m);
    if (run.options.pinClock == 1) {
      const char* pt4 = s->logicArray.row(m, 3);
      const int lab = m / 16;
      const LabRoutes& labRoutes = routes[static_cast<std::size_t>(lab)];
      if (plain) {
        ConvertPtClockPlain(*this, run.outcome, m,
                            FindPlainClockMarks(pt4, labRoutes, kPlainClockTaps));
      } else {
        const PtClockTaps& taps = lab < 4 ? kClockTapsLow : kClockTapsHigh;
        ConvertPtClockCoded(*this, run.outcome, m, g, FindClockMarks(pt4, labRoutes, taps));
      }
    }
  }

  UpdatePowerDownPins(*this, kSpecialPins);
  UpdateJtagPins(*this, run, kSpecialPins, false);
}

void Qpl6128::RouteGlobalOe(const StageContext& run) {
  const SourceImage* s = &run.source;
  if (IsPlain(*s)) {
    // The output-enable codes of the package's I/O pins.
    const PinPositions* package = PinPositionsOf(run.device.pinCount);
    const PlainOeUse use = ScanPlainOutputEnables(s->outputEnable, package ? package->ios : 0);
    if (use.oe1) SetGoe(*this, 0, 0);   // D132, the first OE input
    if (use.oe2) SetGoe(*this, 3, 10);  // D129, the second OE input
    return;
  }
  for (int r = 0; r < 6; ++r) {
    const int p = OePiaSelection(*s, r);
    if (p == kNoPick || p >= 13) continue;
    const int e = kOePiaToGoe[r];
    RouteGoe(*this, e, kOePiaSignal[r][p], kGoeChoice[e], false);
  }
}

void Qpl6128::ApplyDeviceOptions(const StageContext& run) {
  const SourceImage* s = &run.source;
  ApplyDeviceOptionPlan(*this, run, *s, OptionPlan(*s));
}

void Qpl6128::RouteUim(const StageContext& run) {
  const SourceImage* s = &run.source;
  const bool plain = IsPlain(*s);
  const std::vector<LabRoute> all = ResolveAll(*s);
  for (int lab = 0; lab < kLabs; ++lab) {
    for (const Route& route : all[static_cast<std::size_t>(lab)]) {
      if (!route.term.picked) continue;
      const int u = route.muxLine;
      RouteUimLine(*this, lab, u, route.term.signal, kUimChoice[u], false, kUimParkFuse[u], true);
      if (route.extra.line >= 0) uimMux.at(lab, route.extra.line, route.extra.fuse) = '0';
    }
    // Lines 36..39 that nothing selected take a "none" choice: fuse 12 on
    // lines 36 and 37 (the plain 7128 sets it there in any case), fuse 2 on
    // lines 38 and 39.
    for (int u = 36; u < 40; ++u) {
      const char* fuses = uimMux.row(lab, u);
      bool selected = false;
      for (int j = 0; j < geometry().uimWidth; ++j) selected = selected || fuses[j] == '0';
      const int noneFuse = u < 38 ? 12 : 2;
      if (!selected || (plain && u < 38)) uimMux.at(lab, u, noneFuse) = '0';
    }
  }

  // Source settings the target cannot take.
  switch (FamilyOf(s->kind())) {
    case SourceFamily::kPlain: break;
    case SourceFamily::kE:
      for (int i = 3; i <= 9; ++i) {
        if (HoldsProgrammedFuse(s->unknownBits, i, 1)) WriteConversionErrorBox(run, true);
      }
      break;
    default:
      if (HoldsProgrammedFuse(s->unknownBits, 3, 7)) WriteConversionErrorBox(run, true);
      if (HoldsProgrammedFuse(s->unknownBits, 27, 1)) WriteConversionErrorBox(run, false);
      break;
  }
}

void Qpl6128::ClearUnusedProductTerms(const StageContext&) {
  DisableUnusedProductTerms(*this);
}

}  // namespace fusecvt
