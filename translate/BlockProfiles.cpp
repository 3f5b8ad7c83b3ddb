// The profiles of the block targets: for each of QPL6032, QPL6064 and QPL6128
// its special pins, output-enable encoding, clock taps, routing tables and
// the rules where the three differ.
#include "translate/BlockProfile.h"

#include <utility>

namespace fusecvt {

namespace {

// --- QPL6032 ------------------------------------------------------------------

// The rows of every LAB of a target whose rows feed one fixed line each.
template <std::size_t Picks>
std::vector<LabRoutes> AllDirectRoutes(const SourceImage& source, int labs, const Signal (&signals)[36][Picks],
                                       const int (&toUim)[36]) {
  std::vector<LabRoutes> routes;
  routes.reserve(static_cast<std::size_t>(labs));
  for (int lab = 0; lab < labs; ++lab) routes.push_back(DirectRoutes(source, lab, signals, toUim));
  return routes;
}

std::vector<LabRoutes> Resolve6032(const SourceImage& source) {
  return AllDirectRoutes(source, 2, qpl6032::kPiaSignal, qpl6032::kPiaToUim);
}

// The unknown and remaining bits of the newer kinds have no counterpart.
void ReportUnknownBits(const StageContext& run) {
  if (FamilyOf(run.source.kind()) != SourceFamily::kPlain) ReportUnsupportedBits(run, run.source);
}

// --- QPL6064 ------------------------------------------------------------------

std::vector<LabRoutes> Resolve6064(const SourceImage& source) {
  return AllDirectRoutes(source, 4, qpl6064::kPiaSignal, qpl6064::kPiaToUim);
}

// --- QPL6128 ------------------------------------------------------------------

// Unknown bits 3..9 (each alone on the 7128E) and 27 (console only) have no
// counterpart.
void Report6128Unknown(const StageContext& run) {
  const SourceImage& s = run.source;
  switch (FamilyOf(s.kind())) {
    case SourceFamily::kPlain: break;
    case SourceFamily::kE:
      for (int i = 3; i <= 9; ++i) {
        if (HoldsProgrammedFuse(s.unknownBits, i, 1)) WriteConversionErrorBox(run, true);
      }
      break;
    default:
      if (HoldsProgrammedFuse(s.unknownBits, 3, 7)) WriteConversionErrorBox(run, true);
      if (HoldsProgrammedFuse(s.unknownBits, 27, 1)) WriteConversionErrorBox(run, false);
      break;
  }
}

// Macrocell indexes of the special pins: PD1, PD2, TDI, TMS, TCK, TDO, and
// the outputs a set JTAG bit switches off, in order.
SpecialPins Pins(int pd1, int pd2, std::array<int, 4> jtag, std::array<int, 3> cleared) {
  SpecialPins p{};
  p.pd1 = pd1;
  p.pd2 = pd2;
  p.tdi = jtag[0];
  p.tms = jtag[1];
  p.tck = jtag[2];
  p.tdo = jtag[3];
  p.jtagCleared = cleared;
  return p;
}

// The PIA rows through which GCLK1 and GCLK2 reach a product term.
PtClockTaps Taps(std::vector<int> gclk1Rows, std::vector<int> gclk2Rows) {
  PtClockTaps t;
  t.gclk1Rows = std::move(gclk1Rows);
  t.gclk2Rows = std::move(gclk2Rows);
  t.gclk1 = kGclk1Signal;
  t.gclk2 = kGclk2Signal;
  return t;
}

// The OE PIA and global OE tables of a target.
// `reversed`: choice j of a GOE is selected by fuse width-1-j.
template <std::size_t Picks, std::size_t GoeWidth>
void UseOeTables(BlockProfile& p, const Signal (&oePia)[6][Picks], const int (&toGoe)[6],
                 const Signal (&goe)[6][GoeWidth], bool reversed) {
  p.goeReversed = reversed;
  p.oePiaSignal = &oePia[0][0];
  p.oePicks = static_cast<int>(Picks);
  p.oePiaToGoe = toGoe;
  p.goeChoice = &goe[0][0];
}

// The UIM multiplexer choices and park fuses of a target.
template <std::size_t Width>
void UseUimTables(BlockProfile& p, const Signal (&uim)[40][Width], const int (&park)[40]) {
  p.uimChoice = &uim[0][0];
  p.uimParkFuse = park;
}

// --- The three targets side by side: one table per property, indexed by
// BlockTargetKind (QPL6032, QPL6064, QPL6128).

constexpr int kTargets = 3;

// PD1, PD2, then TDI, TMS, TCK, TDO (macrocell indexes), then the outputs a
// set JTAG bit switches off, in order.
// QPL6032: PD1 MC 8, PD2 MC 32; JTAG MC 4, 9, 25, 20; switches off MC 9, 25, 4.
// QPL6064: PD1 MC 3, PD2 MC 35; JTAG MC 8, 32, 48, 56; switches off MC 32, 48, 8.
// QPL6128: PD1 MC 3, PD2 MC 67; JTAG MC 32, 48, 96, 112; switches off MC 32, 48, 96.
const SpecialPins kSpecialPins[kTargets] = {
    Pins(7, 31, {3, 8, 24, 19}, {8, 24, 3}),
    Pins(2, 34, {7, 31, 47, 55}, {31, 47, 7}),
    Pins(2, 66, {31, 47, 95, 111}, {31, 47, 95}),
};

// S0 S1 S2 by the source's 3-bit output-enable select read in base two (OE3
// 000, GND 001, OE5 010, OE2 011, OE4 100, OE1 101, OE6 110, VCC 111): 1 +
// the GOE that carries the OE signal, 000 never and 111 always enabled; and by
// the plain kinds' 2-bit code 00, 01, 10, 11.
const OeEncoding kOeEncoding[kTargets] = {
    {{"001", "000", "011", "010", "100", "101", "110", "111"}, {"000", "010", "101", "111"}},
    {{"010", "000", "100", "011", "101", "001", "110", "111"}, {"000", "010", "001", "111"}},
    {{"011", "000", "010", "100", "101", "001", "110", "111"}, {"000", "100", "001", "111"}},
};

std::vector<LabRoutes> (*const kResolveRoutes[kTargets])(const SourceImage&) = {
    Resolve6032, Resolve6064, qpl6128::ResolveRoutes};

// Signal code of GCLK3 per target.
constexpr int kGclk3Code[kTargets] = {17, 64, 128};
// QPL6032 odd UIM lines take the complement column at 2u; the others keep
// the true column there.
constexpr bool kSwapOnOddLines[kTargets] = {true, false, false};
constexpr bool kRecordsJtagPins[kTargets] = {true, true, false};
// How the plain kinds record GCLK1 and GCLK2 use in stage 1: the plain 7064
// records no GCLK2, the plain 7128 GCLK1 in one flag whatever the column and
// no GCLK2.
constexpr ClockFlagRule kPlainGclk1Rule[kTargets] = {ClockFlagRule::kByParity, ClockFlagRule::kByParity,
                                                     ClockFlagRule::kTrueOnly};
constexpr ClockFlagRule kPlainGclk2Rule[kTargets] = {ClockFlagRule::kByParity, ClockFlagRule::kNone,
                                                     ClockFlagRule::kNone};

// The PIA rows through which GCLK1 and GCLK2 reach a product term, for the
// LABs of the low half, of the high half, and for the plain kinds. QPL6032:
// rows 27, 35 and 0, 8 (pick 1); QPL6064: rows 33, 35 and 6, 8 (pick 3);
// QPL6128: pick 7 of rows 27, 33 and 0, 6, reached unpaired or through the
// rows whose pair row (of the LAB's half) they are. The plain kinds convert
// GCLK1 only.
const std::array<PtClockTaps, 3> kClockTaps[kTargets] = {
    {Taps({27, 35}, {0, 8}), Taps({27, 35}, {0, 8}), Taps({27, 35}, {})},
    {Taps({33, 35}, {6, 8}), Taps({33, 35}, {6, 8}), Taps({33, 35}, {})},
    {Taps({27, 33, 19, 25}, {0, 6, 10, 16}), Taps({27, 33, 18, 23}, {0, 6, 9, 14}), Taps({27, 33}, {})},
};

// The 3032A's MC 12 and 22 have no pin; the others list none.
constexpr SourceKind kUnbondedKind[kTargets] = {SourceKind::Max3032A, SourceKind::Max7064, SourceKind::Max7128};
const std::vector<int> kUnbondedMacrocells[kTargets] = {{11, 21}, {}, {}};
constexpr bool kWarnJtagPorts[kTargets] = {true, false, false};
// The kinds whose JTAG pin flags are always recomputed (QPL6128: all).
const std::vector<SourceKind> kJtagPinsAlways[kTargets] = {
    {SourceKind::Max7032}, {SourceKind::Max7064, SourceKind::Max7064S}, {}};
constexpr bool kJtagPinsAlwaysForAll[kTargets] = {false, false, true};

// The plain kinds' OE1 and OE2: GOE and fuse of each.
constexpr std::array<std::array<int, 2>, 2> kPlainOe[kTargets] = {
    {{{4, 0}, {1, 0}}}, {{{0, 0}, {1, 0}}}, {{{0, 0}, {3, 10}}}};

// Stage 4: the notice for an illegal clock code, and the configuration bit
// that the polarity of each OE PIA row sets.
const char* const kIllegalClockText[kTargets] = {"Illegal GCLK\n", "Illegal GCLK\n", "Illegal unknown bits\n"};
constexpr std::array<int, 6> kOePolarityBit[kTargets] = {
    {23, 26, 27, 24, 25, 22}, {27, 25, 26, 23, 24, 22}, {27, 24, 25, 23, 26, 22}};

// Stage 5: UIM choice order, which kinds park unread lines (QPL6032: only
// the 7032S), the lines no row feeds (fuse 1) or the QPL6128's rule for its
// lines 36..39.
constexpr bool kUimReversed[kTargets] = {false, true, false};
constexpr bool kParksEveryKind[kTargets] = {false, true, true};
const std::vector<int> kUnfedLines[kTargets] = {{9, 19, 29, 39}, {18, 19, 38, 39}, {}};
constexpr bool kNoneChoiceOnHighLines[kTargets] = {false, false, true};

void (*const kReportUnsupported[kTargets])(const StageContext&) = {ReportUnknownBits, ReportUnknownBits,
                                                                   Report6128Unknown};

// The routing tables, whose widths differ per target.
void UseRoutingTables(BlockProfile& p, BlockTargetKind kind) {
  switch (kind) {
    case BlockTargetKind::Qpl6032:
      UseOeTables(p, qpl6032::kOePiaSignal, qpl6032::kOePiaToGoe, qpl6032::kGoeChoice, true);
      UseUimTables(p, qpl6032::kUimChoice, qpl6032::kUimPark);
      break;
    case BlockTargetKind::Qpl6064:
      UseOeTables(p, qpl6064::kOePiaSignal, qpl6064::kOePiaToGoe, qpl6064::kGoeChoice, true);
      UseUimTables(p, qpl6064::kUimChoice, qpl6064::kUimParkFuse);
      break;
    case BlockTargetKind::Qpl6128:
      UseOeTables(p, qpl6128::kOePiaSignal, qpl6128::kOePiaToGoe, qpl6128::kGoeChoice, false);
      UseUimTables(p, qpl6128::kUimChoice, qpl6128::kUimParkFuse);
      break;
  }
}

BlockProfile MakeProfile(BlockTargetKind kind) {
  const auto t = static_cast<std::size_t>(kind);
  BlockProfile p{};
  p.pins = kSpecialPins[t];
  p.oeEncoding = kOeEncoding[t];
  p.resolveRoutes = kResolveRoutes[t];
  p.termRules.gclk1Code = kGclk1Signal.code;
  p.termRules.gclk2Code = kGclk2Signal.code;
  p.termRules.gclk3Code = kGclk3Code[t];
  p.termRules.swapOnOddLines = kSwapOnOddLines[t];
  p.termRules.recordsJtagPins = kRecordsJtagPins[t];
  p.plainTermRules = p.termRules;
  p.plainTermRules.gclk1Rule = kPlainGclk1Rule[t];
  p.plainTermRules.gclk2Rule = kPlainGclk2Rule[t];
  p.clockTaps[0] = kClockTaps[t][0];
  p.clockTaps[1] = kClockTaps[t][1];
  p.plainClockTaps = kClockTaps[t][2];
  p.unbondedKind = kUnbondedKind[t];
  p.unbondedMacrocells = kUnbondedMacrocells[t];
  p.warnJtagPorts = kWarnJtagPorts[t];
  p.jtagPinsAlways = kJtagPinsAlways[t];
  p.jtagPinsAlwaysForAll = kJtagPinsAlwaysForAll[t];
  p.plainOe = kPlainOe[t];
  p.illegalClockText = kIllegalClockText[t];
  p.oePolarityBit = kOePolarityBit[t];
  p.uimReversed = kUimReversed[t];
  p.parksEveryKind = kParksEveryKind[t];
  p.parkingKind = SourceKind::Max7032S;  // where not every kind parks, only the 7032S does
  p.unfedLines = kUnfedLines[t];
  p.noneChoiceOnHighLines = kNoneChoiceOnHighLines[t];
  p.reportUnsupported = kReportUnsupported[t];
  UseRoutingTables(p, kind);
  return p;
}

}  // namespace

const BlockProfile& ProfileOf(BlockTargetKind kind) {
  static const BlockProfile kProfiles[kTargets] = {
      MakeProfile(BlockTargetKind::Qpl6032), MakeProfile(BlockTargetKind::Qpl6064),
      MakeProfile(BlockTargetKind::Qpl6128)};
  return kProfiles[static_cast<int>(kind)];
}

}  // namespace fusecvt
