// The profiles of the block targets: for each of QPL6032, QPL6064 and QPL6128
// its special pins, output-enable encoding, clock taps, routing tables and
// the rules where the three differ.
#include "translate/BlockProfile.h"

#include <ostream>
#include <utility>

namespace fusecvt {

namespace {

// --- QPL6032 ------------------------------------------------------------------

std::vector<LabRoutes> Resolve6032(const SourceImage& source) {
  std::vector<LabRoutes> routes;
  for (int lab = 0; lab < 2; ++lab) routes.push_back(DirectRoutes(source, lab, qpl6032::kPiaSignal, qpl6032::kPiaToUim));
  return routes;
}

// The unknown and remaining bits of the newer kinds have no counterpart.
void ReportUnknownBits(const StageContext& run) {
  if (FamilyOf(run.source.kind()) != SourceFamily::kPlain) ReportUnsupportedBits(run, run.source);
}

// --- QPL6064 ------------------------------------------------------------------

std::vector<LabRoutes> Resolve6064(const SourceImage& source) {
  std::vector<LabRoutes> routes;
  for (int lab = 0; lab < 4; ++lab) routes.push_back(DirectRoutes(source, lab, qpl6064::kPiaSignal, qpl6064::kPiaToUim));
  return routes;
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
PtClockTaps Taps(std::vector<int> gclk1Rows, std::vector<int> gclk2Rows, Signal gclk1, Signal gclk2) {
  PtClockTaps t;
  t.gclk1Rows = std::move(gclk1Rows);
  t.gclk2Rows = std::move(gclk2Rows);
  t.gclk1 = gclk1;
  t.gclk2 = gclk2;
  return t;
}

ProductTermRules TermRules(int gclk1, int gclk2, int gclk3) {
  ProductTermRules r;
  r.gclk1Code = gclk1;
  r.gclk2Code = gclk2;
  r.gclk3Code = gclk3;
  return r;
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

// Stage 4: the notice for an illegal clock code, and the configuration bit
// that the polarity of each OE PIA row sets.
void UseOptionBits(BlockProfile& p, const char* illegalClockText, std::array<int, 6> oePolarityBit) {
  p.illegalClockText = illegalClockText;
  p.oePolarityBit = oePolarityBit;
}

// The UIM multiplexer choices and park fuses of a target.
template <std::size_t Width>
void UseUimTables(BlockProfile& p, const Signal (&uim)[40][Width], const int (&park)[40]) {
  p.uimChoice = &uim[0][0];
  p.uimParkFuse = park;
}

// The target's special pins, output-enable encoding and PIA resolver.
void UseDevice(BlockProfile& p, const SpecialPins& pins, const OeEncoding& oe,
               std::vector<LabRoutes> (*resolve)(const SourceImage&)) {
  p.pins = pins;
  p.oeEncoding = oe;
  p.resolveRoutes = resolve;
}

BlockProfile Profile6032() {
  BlockProfile p{};
  // PD1 on MC 8, PD2 on MC 32; TDI, TMS, TCK, TDO on MC 4, 9, 25, 20; a set
  // JTAG bit clears the output selects of MC 9, 25 and 4.
  // S0 S1 S2 by the source's 3-bit output-enable select: GND 001 -> 000,
  // VCC 111 -> 111, OE1 101 -> 101, OE2 011 -> 010, OE3 000 -> 001,
  // OE4 100 -> 100, OE5 010 -> 011, OE6 110 -> 110; and by the plain kinds'
  // 2-bit code: 00 -> 000, 01 -> 010, 10 -> 101, 11 -> 111.
  UseDevice(p, Pins(7, 31, {3, 8, 24, 19}, {8, 24, 3}),
            OeEncoding{{"001", "000", "011", "010", "100", "101", "110", "111"}, {"000", "010", "101", "111"}},
            Resolve6032);
  // GCLK1 is signal -5, GCLK2 -2, GCLK3 17; odd UIM lines take the
  // complement column at 2u.
  p.termRules = TermRules(-5, -2, 17);
  p.termRules.swapOnOddLines = p.termRules.recordsJtagPins = true;
  p.plainTermRules = p.termRules;
  // GCLK1 reaches the product terms through rows 27 and 35, GCLK2 through
  // rows 0 and 8 (pick 1 each).
  p.clockTaps[0] = p.clockTaps[1] = p.plainClockTaps = Taps({27, 35}, {0, 8}, {-5, 0}, {-2, 0});
  p.unbondedKind = SourceKind::Max3032A;  // MC 12 and 22 have no pin
  p.unbondedMacrocells = {11, 21};
  p.warnJtagPorts = true;
  p.jtagPinsAlways = {SourceKind::Max7032};
  // The plain kinds' OE1 (-1) on GOE 4, OE2 (-2) on GOE 1; fuse 0 is choice 4.
  p.plainOe = {{{4, 0}, {1, 0}}};
  UseOeTables(p, qpl6032::kOePiaSignal, qpl6032::kOePiaToGoe, qpl6032::kGoeChoice, true);
  UseOptionBits(p, "Illegal GCLK\n", {23, 26, 27, 24, 25, 22});
  UseUimTables(p, qpl6032::kUimChoice, qpl6032::kUimPark);
  p.parkingKind = SourceKind::Max7032S;  // only the 7032S parks unread lines
  p.unfedLines = {9, 19, 29, 39};
  p.reportUnsupported = ReportUnknownBits;
  return p;
}

BlockProfile Profile6064() {
  BlockProfile p{};
  // PD1 is the pin of MC 3, PD2 that of MC 35; the JTAG pins are TDI MC 8,
  // TMS MC 32, TCK MC 48 and TDO MC 56. With the JTAG bit '1' the outputs of
  // MC 32, 48 and 8 are switched off, in that order.
  // S0 S1 S2 by the source's 3-bit output-enable select, read in base two:
  // OE3 000 -> 010, GND 001 -> 000, OE5 010 -> 100, OE2 011 -> 011,
  // OE4 100 -> 101, OE1 101 -> 001, OE6 110 -> 110, VCC 111 -> 111 (1 + the
  // GOE that carries OE1..OE6: 0, 2, 1, 4, 3, 5). By the plain 7064's
  // two-bit code (c0 c1): S0 = c0 AND c1, S1 = c1, S2 = c0.
  UseDevice(p, Pins(2, 34, {7, 31, 47, 55}, {31, 47, 7}),
            OeEncoding{{"010", "000", "100", "011", "101", "001", "110", "111"}, {"000", "010", "001", "111"}},
            Resolve6064);
  // Odd UIM lines keep the true column at 2u. GCLK3 is signal code 64; the
  // plain kind records no GCLK2 use.
  p.termRules = TermRules(-5, -2, 64);
  p.termRules.recordsJtagPins = true;
  p.plainTermRules = p.termRules;
  p.plainTermRules.gclk2Rule = ClockFlagRule::kNone;
  // GCLK1 reaches the product terms through rows 33 and 35, GCLK2 through
  // rows 6 and 8 (pick 3 each).
  p.clockTaps[0] = p.clockTaps[1] = p.plainClockTaps = Taps({33, 35}, {6, 8}, {-5, 0}, {-2, 0});
  p.unbondedKind = SourceKind::Max7064;  // no macrocell listed
  p.jtagPinsAlways = {SourceKind::Max7064, SourceKind::Max7064S};
  // The plain kind's OE1 (-1) on GOE 0, OE2 (-2) on GOE 1, fuse 0 each.
  p.plainOe = {{{0, 0}, {1, 0}}};
  UseOeTables(p, qpl6064::kOePiaSignal, qpl6064::kOePiaToGoe, qpl6064::kGoeChoice, true);
  UseOptionBits(p, "Illegal GCLK\n", {27, 25, 26, 23, 24, 22});
  UseUimTables(p, qpl6064::kUimChoice, qpl6064::kUimParkFuse);
  p.uimReversed = true;
  p.parksEveryKind = true;
  p.unfedLines = {18, 19, 38, 39};
  p.reportUnsupported = ReportUnknownBits;
  return p;
}

BlockProfile Profile6128() {
  constexpr Signal kGclk1{-5, 0};
  constexpr Signal kGclk2{-2, 0};
  BlockProfile p{};
  // PD1 on MC 3, PD2 on MC 67; TDI, TMS, TCK, TDO on MC 32, 48, 96, 112; a
  // set JTAG bit clears the output selects of MC 32, 48 and 96.
  // S0 S1 S2 by the 3-bit output-enable select (index = select in base two):
  // OE3 000 -> 011, GND 001 -> 000, OE5 010 -> 010, OE2 011 -> 100,
  // OE4 100 -> 101, OE1 101 -> 001, OE6 110 -> 110, VCC 111 -> 111; and by
  // the plain 7128's code o0 o1: 00 -> 000, 01 -> 100, 10 -> 001, 11 -> 111.
  UseDevice(p, Pins(2, 66, {31, 47, 95, 111}, {31, 47, 95}),
            OeEncoding{{"011", "000", "010", "100", "101", "001", "110", "111"}, {"000", "100", "001", "111"}},
            qpl6128::ResolveRoutes);
  p.termRules = TermRules(kGclk1.code, kGclk2.code, 128);
  // The plain 7128 records GCLK1 in one flag whatever the column, and no GCLK2.
  p.plainTermRules = p.termRules;
  p.plainTermRules.gclk1Rule = ClockFlagRule::kTrueOnly;
  p.plainTermRules.gclk2Rule = ClockFlagRule::kNone;
  // GCLK1 is pick 7 of rows 27 and 33, GCLK2 pick 7 of rows 0 and 6. A LAB
  // reaches them through those rows unpaired, or through the rows whose pair
  // row (of its half) they are.
  p.clockTaps[0] = Taps({27, 33, 19, 25}, {0, 6, 10, 16}, kGclk1, kGclk2);
  p.clockTaps[1] = Taps({27, 33, 18, 23}, {0, 6, 9, 14}, kGclk1, kGclk2);
  p.plainClockTaps = Taps({27, 33}, {}, kGclk1, kGclk2);
  p.unbondedKind = SourceKind::Max7128;  // no macrocell listed
  p.jtagPinsAlwaysForAll = true;
  // The plain kind's OE1 (-1) on GOE 0 fuse 0, OE2 (-2) on GOE 3 fuse 10.
  p.plainOe = {{{0, 0}, {3, 10}}};
  UseOeTables(p, qpl6128::kOePiaSignal, qpl6128::kOePiaToGoe, qpl6128::kGoeChoice, false);
  UseOptionBits(p, "Illegal unknown bits\n", {27, 24, 25, 23, 26, 22});
  UseUimTables(p, qpl6128::kUimChoice, qpl6128::kUimParkFuse);
  p.parksEveryKind = true;
  p.noneChoiceOnHighLines = true;
  p.reportUnsupported = Report6128Unknown;
  return p;
}

}  // namespace

const BlockProfile& ProfileOf(BlockTargetKind kind) {
  static const BlockProfile kProfiles[3] = {Profile6032(), Profile6064(), Profile6128()};
  return kProfiles[static_cast<int>(kind)];
}

}  // namespace fusecvt
