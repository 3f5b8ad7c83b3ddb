// QPL6064 translation of the 7064S, 7064AE, 3064A and plain 7064 sources:
// the target's tables, pin records and special pins over the shared block
// translation.
#include "translate/Qpl6064Stages.h"

#include <ostream>

#include "translate/TargetDevice.h"
#include "translate/BlockTarget.h"
#include "translate/BlockTranslation.h"
#include "translate/RoutingTables.h"

namespace fusecvt {

namespace qpl6064 {
namespace {

// PD1 is the pin of MC 3, PD2 that of MC 35; the JTAG pins are TDI MC 8,
// TMS MC 32, TCK MC 48 and TDO MC 56. With jtagBit '1' the outputs of MC 32,
// 48 and 8 are switched off, in that order.
const SpecialPins kSpecialPins{2, 34, 7, 31, 47, 55, {31, 47, 7}};

// S0 S1 S2 by the source's 3-bit output-enable select, read in base two:
// OE3 000 -> 010, GND 001 -> 000, OE5 010 -> 100, OE2 011 -> 011,
// OE4 100 -> 101, OE1 101 -> 001, OE6 110 -> 110, VCC 111 -> 111 (1 + the GOE
// that carries OE1..OE6: 0, 2, 1, 4, 3, 5). By the plain 7064's two-bit code
// (c0 c1): S0 = c0 AND c1, S1 = c1, S2 = c0.
const OeEncoding kOeEncoding{{"010", "000", "100", "011", "101", "001", "110", "111"},
                             {"000", "010", "001", "111"}};

// GCLK1 (-5) reaches the product terms through rows 33 and 35, GCLK2 (-2)
// through rows 6 and 8 (pick 3 each).
const PtClockTaps kClockTaps{{33, 35}, {6, 8}, {-5, 0}, {-2, 0}};

// configBits index set by the polarity bit of OE PIA rows 0..5.
constexpr std::array<int, 6> kOePolarityBit{27, 25, 26, 23, 24, 22};

// UIM lines that no PIA row feeds; each gets fuse 1.
constexpr int kUnfedLines[4] = {18, 19, 38, 39};

// Odd UIM lines keep the true column at 2u. GCLK3 is signal code 64; the
// plain 7064 records no GCLK2 use.
const ProductTermRules kProductTermRules{false, &kSpecialPins, -5, -2, 64,
                                         ClockFlagRule::kByParity, ClockFlagRule::kByParity};
const ProductTermRules kPlainProductTermRules{false, &kSpecialPins, -5, -2, 64,
                                              ClockFlagRule::kByParity, ClockFlagRule::kNone};

// Macrocells (MC numbers) without an I/O pin in the plain 7064's 44- and
// 68-pin packages; the others take the output-enable records in order.
constexpr int kNoPin44[] = {2,  6,  7,  9,  10, 12, 13, 15, 18, 22, 23, 26, 27, 28, 29, 31,
                            34, 38, 39, 42, 43, 44, 45, 47, 50, 54, 55, 58, 59, 60, 61, 63};
constexpr int kNoPin68[] = {2, 7, 10, 15, 18, 23, 26, 31, 34, 39, 42, 47, 50, 55, 58, 63};
static_assert(sizeof(kNoPin44) / sizeof(int) == 32, "44 pins bond out 32 of the 64 macrocells");
static_assert(sizeof(kNoPin68) / sizeof(int) == 16, "68 pins bond out 48 of the 64 macrocells");

bool IsPlain(const SourceImage& s) { return s.kind() == SourceKind::Max7064; }

std::vector<LabRoutes> Routes(const SourceImage& source) {
  std::vector<LabRoutes> routes;
  for (int lab = 0; lab < 4; ++lab) {
    routes.push_back(DirectRoutes(source, lab, kPiaSignal, kPiaToUim));
  }
  return routes;
}

DeviceOptionPlan OptionPlan(const SourceImage& source) {
  const bool plain = IsPlain(source);
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

PlainPinRecords PlainPinRecordsOf(int pinCount) {
  PlainPinRecords records;
  records.index.assign(64, -1);
  if (pinCount == 84 || pinCount == 100) {
    for (int m = 0; m < 64; ++m) records.index[static_cast<std::size_t>(m)] = m;
  } else if (pinCount == 44 || pinCount == 68) {
    std::vector<bool> hasPin(64, true);
    if (pinCount == 44) {
      for (int mc : kNoPin44) hasPin[static_cast<std::size_t>(mc - 1)] = false;
    } else {
      for (int mc : kNoPin68) hasPin[static_cast<std::size_t>(mc - 1)] = false;
    }
    records.index = RecordsInOrder(64, hasPin);
  }
  for (int i : records.index) records.count += i >= 0;
  return records;
}

}  // namespace qpl6064

using namespace qpl6064;

void Qpl6064::ReadProductTerms(const StageContext& run) {
  const SourceImage* s = &run.source;
  CopyProductTerms(*this, *s, Routes(*s), IsPlain(*s) ? kPlainProductTermRules : kProductTermRules);
}

void Qpl6064::TranslateMacrocells(const StageContext& run) {
  const SourceImage* s = &run.source;
  const bool plain = IsPlain(*s);
  const MacrocellBitMap& map = MacrocellBitMapOf(s->kind());
  const PlainPinRecords pins = PlainPinRecordsOf(run.device.pinCount);
  const std::vector<LabRoutes> routes = Routes(*s);
  const int g = plain ? -1 : GlobalClockCode(s->globalClocks.data());

  for (int m = 0; m < 64; ++m) {
    const char* record = nullptr;
    int recordWidth = 0;
    if (plain) {
      const int i = pins.index[static_cast<std::size_t>(m)];
      if (i >= 0 && i < s->outputEnable.dim0()) {
        record = s->outputEnable.row(i);
        recordWidth = s->outputEnable.dim1();
      }
    } else {
      record = s->ioConfig.row(m);
      recordWidth = s->ioConfig.dim1();
    }
    TranslateMacrocellBits(*this, run.options, m, map, kOeEncoding, s->mcConfig.row(m),
                           s->mcConfig.dim1(), record, recordWidth);
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

  UpdatePowerDownPins(*this, kSpecialPins);
  // No JTAG-port warnings on this target. The 7064S and plain 7064 always
  // take the flags from the pins; the 7064AE and 3064A only when the source
  // leaves JTAG off.
  const bool always = plain || s->kind() == SourceKind::Max7064S;
  if (always || s->jtagBit == '0') UpdateJtagPins(*this, run, kSpecialPins, false);
}

void Qpl6064::RouteGlobalOe(const StageContext& run) {
  const SourceImage* s = &run.source;
  if (IsPlain(*s)) {
    const PlainOeUse use =
        ScanPlainOutputEnables(s->outputEnable, PlainPinRecordsOf(run.device.pinCount).count);
    if (use.oe1) SetGoe(*this, 0, 0);  // fuse 0: the first OE input (-1)
    if (use.oe2) SetGoe(*this, 1, 0);  // fuse 0: the second OE input (-2)
    return;
  }
  for (int r = 0; r < 6; ++r) {
    const int p = OePiaSelection(*s, r);
    if (p == kNoPick) continue;
    const int e = kOePiaToGoe[r];
    RouteGoe(*this, e, kOePiaSignal[r][p], kGoeChoice[e], true);
  }
}

void Qpl6064::ApplyDeviceOptions(const StageContext& run) {
  const SourceImage* s = &run.source;
  ApplyDeviceOptionPlan(*this, run, *s, OptionPlan(*s));
}

void Qpl6064::RouteUim(const StageContext& run) {
  const SourceImage* s = &run.source;
  const std::vector<LabRoutes> routes = Routes(*s);
  for (int b = 0; b < 4; ++b) {
    for (const RowRoute& rr : routes[static_cast<std::size_t>(b)]) {
      if (!rr.picked) continue;
      RouteUimLine(*this, b, rr.line, rr.signal, kUimChoice[rr.line], true,
                   kUimParkFuse[rr.line], true);
    }
    for (int u : kUnfedLines) uimMux.at(b, u, 1) = '0';
  }
  if (!IsPlain(*s)) ReportUnsupportedBits(run, *s);
}

void Qpl6064::ClearUnusedProductTerms(const StageContext&) {
  DisableUnusedProductTerms(*this);
}

}  // namespace fusecvt
