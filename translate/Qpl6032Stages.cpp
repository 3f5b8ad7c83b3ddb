// QPL6032 translation of the 7032S, 7032AE, 3032A and plain 7032 sources:
// the target's tables and special pins over the shared block translation.
#include <ostream>

#include "translate/TargetDevice.h"
#include "translate/BlockTarget.h"
#include "translate/BlockTranslation.h"
#include "translate/RoutingTables.h"

namespace fusecvt {

namespace qpl6032 {
namespace {

const SpecialPins kSpecialPins{7, 31, 3, 8, 24, 19, {8, 24, 3}};

// S0 S1 S2 by the source's 3-bit output-enable select: GND 001 -> 000,
// VCC 111 -> 111, OE1 101 -> 101, OE2 011 -> 010, OE3 000 -> 001,
// OE4 100 -> 100, OE5 010 -> 011, OE6 110 -> 110; and by the plain kinds'
// 2-bit code: 00 -> 000, 01 -> 010, 10 -> 101, 11 -> 111.
const OeEncoding kOeEncoding{{"001", "000", "011", "010", "100", "101", "110", "111"},
                             {"000", "010", "101", "111"}};

// GCLK1 (-5) reaches the product terms through rows 27 and 35, GCLK2 (-2)
// through rows 0 and 8 (pick 1 each).
const PtClockTaps kClockTaps{{27, 35}, {0, 8}, {-5, 0}, {-2, 0}};

// configBits index set by the polarity bit of OE PIA rows 0..5.
constexpr std::array<int, 6> kOePolarityBit{23, 26, 27, 24, 25, 22};

// UIM lines that no PIA row feeds; each gets fuse 1.
constexpr int kUnfedLines[4] = {9, 19, 29, 39};

const ProductTermRules kProductTermRules{true, &kSpecialPins, -5, -2, 17,
                                         ClockFlagRule::kByParity, ClockFlagRule::kByParity};

std::vector<LabRoutes> Routes(const SourceImage& source) {
  std::vector<LabRoutes> routes;
  for (int lab = 0; lab < 2; ++lab) routes.push_back(DirectRoutes(source, lab, kPiaSignal, kPiaToUim));
  return routes;
}

DeviceOptionPlan OptionPlan(const SourceImage& source) {
  const bool plain = source.kind() == SourceKind::Max7032;
  DeviceOptionPlan plan;
  plan.pins = &kSpecialPins;
  plan.clockCode = plain ? -1 : GlobalClockCode(source.globalClocks.data());
  plan.illegalClockText = "Illegal GCLK\n";
  plan.oePolarityChar = plain ? -1 : OePolarityCharOf(source.kind());
  plan.oePolarityBit = kOePolarityBit;
  plan.jtagAuto = plain ? JtagAutoFrom::kNone : JtagAutoFrom::kJtagBit;
  plan.jtagAutoIndex = -1;
  plan.copyUes = !plain;
  return plan;
}

}  // namespace
}  // namespace qpl6032

using namespace qpl6032;

void Qpl6032::ReadProductTerms(const StageContext& run) {
  const SourceImage* s = &run.source;
  CopyProductTerms(*this, *s, Routes(*s), kProductTermRules);
}

void Qpl6032::TranslateMacrocells(const StageContext& run) {
  const SourceImage* s = &run.source;
  const bool plain = s->kind() == SourceKind::Max7032;
  const MacrocellBitMap& map = MacrocellBitMapOf(s->kind());
  const FuseArray& records = plain ? s->outputEnable : s->ioConfig;
  const std::vector<LabRoutes> routes = Routes(*s);
  const int g = plain ? -1 : GlobalClockCode(s->globalClocks.data());

  for (int m = 0; m < 32; ++m) {
    TranslateMacrocellBits(*this, run.options, m, map, kOeEncoding, s->mcConfig.row(m),
                           s->mcConfig.dim1(), records.row(m), records.dim1());
    FixFoldback(*this, m);
    CleanUpClockTerm(*this, m);
    if (run.options.pinClock == 1) {
      const char* pt4 = s->logicArray.row(m, 3);
      const LabRoutes& lab = routes[static_cast<std::size_t>(m / 16)];
      if (plain) {
        ConvertPtClockPlain(*this, run.outcome, m, FindPlainClockMarks(pt4, lab, kClockTaps));
      } else {
        ConvertPtClockCoded(*this, run.outcome, m, g, FindClockMarks(pt4, lab, kClockTaps));
      }
    }
  }

  if (s->kind() == SourceKind::Max3032A) {
    for (int m : {11, 21}) {
      char* bits = mcBits.row(m);
      bits[0] = bits[1] = bits[2] = '0';
    }
  }
  UpdatePowerDownPins(*this, kSpecialPins);
  if (plain) {
    UpdateJtagPins(*this, run, kSpecialPins, false);
  } else if (s->jtagBit == '0') {
    UpdateJtagPins(*this, run, kSpecialPins, true);
  }
}

void Qpl6032::RouteGlobalOe(const StageContext& run) {
  const SourceImage* s = &run.source;
  if (s->kind() == SourceKind::Max7032) {
    const PlainOeUse use = ScanPlainOutputEnables(s->outputEnable, s->outputEnable.dim0());
    if (use.oe1) SetGoe(*this, 4, 0);  // choice 4: the first OE input (-1)
    if (use.oe2) SetGoe(*this, 1, 0);  // choice 4: the second OE input (-2)
    return;
  }
  for (int r = 0; r < 6; ++r) {
    const int p = OePiaSelection(*s, r);
    if (p == kNoPick) continue;
    const int e = kOePiaToGoe[r];
    RouteGoe(*this, e, kOePiaSignal[r][p], kGoeChoice[e], true);
  }
}

void Qpl6032::ApplyDeviceOptions(const StageContext& run) {
  const SourceImage* s = &run.source;
  ApplyDeviceOptionPlan(*this, run, *s, OptionPlan(*s));
}

void Qpl6032::RouteUim(const StageContext& run) {
  const SourceImage* s = &run.source;
  const bool park = s->kind() == SourceKind::Max7032S;
  const std::vector<LabRoutes> routes = Routes(*s);
  for (int b = 0; b < 2; ++b) {
    for (const RowRoute& rr : routes[static_cast<std::size_t>(b)]) {
      if (!rr.picked) continue;
      RouteUimLine(*this, b, rr.line, rr.signal, kUimChoice[rr.line], false, kUimPark[rr.line],
                   park);
    }
    for (int u : kUnfedLines) uimMux.at(b, u, 1) = '0';
  }
  if (s->kind() != SourceKind::Max7032) ReportUnsupportedBits(run, *s);
}

void Qpl6032::ClearUnusedProductTerms(const StageContext&) {
  DisableUnusedProductTerms(*this);
}

}  // namespace fusecvt
