// The six translation stages of the block targets QPL6032, QPL6064 and
// QPL6128: one implementation, driven by the target's profile.
#include <algorithm>
#include <cstring>

#include "pof/PinOut.h"
#include "translate/BlockProfile.h"
#include "translate/BlockTarget.h"

namespace fusecvt {

namespace {

bool IsPlainKind(SourceKind kind) { return FamilyOf(kind) == SourceFamily::kPlain; }

// The global clock code: from the first three unknownBits on the 7128S and
// 7128E, from globalClocks on the other kinds that have them; -1 otherwise.
int ClockCode(const SourceImage& s) {
  const bool fromUnknown = s.kind() == SourceKind::Max7128S || s.kind() == SourceKind::Max7128E;
  const FuseArray& field = fromUnknown ? s.unknownBits : s.globalClocks;
  return field.size() >= 3 ? GlobalClockCode(field.data()) : -1;
}

// The JTAG mode a source in AUTO brings along.
void JtagAutoOf(const SourceImage& s, DeviceOptionPlan& plan) {
  plan.jtagAuto = JtagAutoFrom::kJtagBit;
  plan.jtagAutoIndex = -1;
  if (s.kind() == SourceKind::Max7128S) {
    plan.jtagAuto = JtagAutoFrom::kUnknownBit;
    plan.jtagAutoIndex = 10;
  } else if (IsPlainKind(s.kind()) || s.kind() == SourceKind::Max7128E) {
    plan.jtagAuto = JtagAutoFrom::kNone;
  }
}

}  // namespace

void BlockTargetImage::ReadProductTerms(const StageContext& run) {
  const BlockProfile& p = *profile_;
  routes_ = p.resolveRoutes(run.source);
  const ProductTermRules& rules = IsPlainKind(run.source.kind()) ? p.plainTermRules : p.termRules;
  CopyProductTerms(*this, run.source, routes_, rules, p.pins);
}

void BlockTargetImage::TranslateMacrocells(const StageContext& run) {
  const BlockProfile& p = *profile_;
  const SourceImage& s = run.source;
  const bool plain = IsPlainKind(s.kind());
  const MacrocellBitMap& map = MacrocellBitMapOf(s.kind());
  const FuseArray& records = plain ? s.outputEnable : s.ioConfig;
  const std::vector<int> recordOf = IoRecordIndex(s.kind(), s.macrocells(), run.device.pinCount);
  const int g = ClockCode(s);
  const MacrocellBitPlan plan = PlanMacrocellBits(map, run.options);

  for (int m = 0; m < geometry().macrocells; ++m) {
    const int rec = recordOf[static_cast<std::size_t>(m)];
    const char* record = rec >= 0 && rec < records.dim0() ? records.row(rec) : nullptr;
    TranslateMacrocellBits(*this, plan, m, p.oeEncoding,
                           MacrocellSource{&map, s.mcConfig.row(m), s.mcConfig.dim1(), record, records.dim1()});
    FixFoldback(*this, m);
    CleanUpClockTerm(*this, m);
    if (run.options.pinClock != 1) continue;
    const PackedFuseArray::ConstRow pt4 = s.logicArray.row(m, 3);
    const int lab = m / 16;
    const LabRoutes& labRoutes = routes_[static_cast<std::size_t>(lab)];
    if (plain) {
      ConvertPtClockPlain(*this, run.outcome, m, FindPlainClockMarks(pt4, labRoutes, p.plainClockTaps));
    } else {
      const PtClockTaps& taps = p.clockTaps[lab < geometry().blocks / 2 ? 0 : 1];
      ConvertPtClockCoded(*this, run.outcome, m, g, FindClockMarks(pt4, labRoutes, taps));
    }
  }

  if (s.kind() == p.unbondedKind) {
    for (int m : p.unbondedMacrocells) std::fill(mcBits.row(m), mcBits.row(m) + 3, '0');
  }
  UpdatePowerDownPins(*this, p.pins);
  const bool always = p.jtagPinsAlwaysForAll ||
                      std::find(p.jtagPinsAlways.begin(), p.jtagPinsAlways.end(), s.kind()) != p.jtagPinsAlways.end();
  if (always || s.jtagBit == '0') UpdateJtagPins(*this, run, p.pins, p.warnJtagPorts && !plain);
}

void BlockTargetImage::RouteGlobalOe(const StageContext& run) {
  const BlockProfile& p = *profile_;
  const SourceImage& s = run.source;
  if (IsPlainKind(s.kind())) {
    const std::vector<int> records = IoRecordIndex(s.kind(), s.macrocells(), run.device.pinCount);
    const int count = static_cast<int>(std::count_if(records.begin(), records.end(), [](int i) { return i >= 0; }));
    const PlainOeUse use = ScanPlainOutputEnables(s.outputEnable, count);
    if (use.oe1) SetGoe(*this, p.plainOe[0][0], p.plainOe[0][1]);
    if (use.oe2) SetGoe(*this, p.plainOe[1][0], p.plainOe[1][1]);
    return;
  }
  for (int r = 0; r < 6; ++r) {
    const int pick = OePiaSelection(s, r);
    if (pick == kNoPick || pick >= p.oePicks) continue;
    const int e = p.oePiaToGoe[r];
    RouteGoe(*this, e, p.oePiaSignal[r * p.oePicks + pick], p.goeChoice + e * geometry().goeWidth, p.goeReversed);
  }
}

void BlockTargetImage::ApplyDeviceOptions(const StageContext& run) {
  const BlockProfile& p = *profile_;
  const SourceImage& s = run.source;
  DeviceOptionPlan plan;
  plan.pins = &p.pins;
  plan.clockCode = ClockCode(s);
  plan.illegalClockText = s.kind() == SourceKind::Max7128E ? nullptr : p.illegalClockText;
  plan.oePolarityChar = OePolarityCharOf(s.kind());
  plan.oePolarityBit = p.oePolarityBit;
  JtagAutoOf(s, plan);
  plan.copyUes = true;  // only the kinds that have a signature field copy it
  ApplyDeviceOptionPlan(*this, run, s, plan);
}

void BlockTargetImage::RouteUim(const StageContext& run) {
  const BlockProfile& p = *profile_;
  const bool park = p.parksEveryKind || run.source.kind() == p.parkingKind;
  const bool plain = IsPlainKind(run.source.kind());
  const int width = geometry().uimWidth;
  for (int b = 0; b < geometry().blocks; ++b) {
    const UimLineSet read = UimLinesRead(*this, b);
    for (const RowRoute& rr : routes_[static_cast<std::size_t>(b)]) {
      if (!rr.picked) continue;
      const int u = rr.muxLine;
      const bool parked = park && !read[static_cast<std::size_t>(u)];
      RouteUimLine(*this, b, u, rr.signal, UimLineChoices{p.uimChoice + u * width, p.uimReversed, p.uimParkFuse[u], parked});
      if (rr.extraLine >= 0) uimMux.at(b, rr.extraLine, rr.extraFuse) = '0';
    }
    for (int u : p.unfedLines) uimMux.at(b, u, 1) = '0';
    if (!p.noneChoiceOnHighLines) continue;
    // Lines 36..39 that nothing selected take a "none" choice: fuse 12 on
    // lines 36 and 37 (the plain kinds set it there in any case), fuse 2 on
    // lines 38 and 39.
    for (int u = 36; u < 40; ++u) {
      const bool selected = uimMux.row(b, u).AnyProgrammed();
      const int noneFuse = u < 38 ? 12 : 2;
      if (!selected || (plain && u < 38)) uimMux.at(b, u, noneFuse) = '0';
    }
  }
  p.reportUnsupported(run);
}

void BlockTargetImage::ClearUnusedProductTerms(const StageContext&) {
  DisableUnusedProductTerms(*this);
  // An output always enabled (S0 S1 S2 = 111) on a macrocell none of whose
  // product terms is in use (S21 '1') is never enabled instead.
  for (int m = 0; m < geometry().macrocells; ++m) {
    char* s = mcBits.row(m) + kOutputSelect;
    if (std::memcmp(s, "111", kOutputSelectBits) == 0 && mcBits.at(m, kTermsInUseBit) == '1') {
      std::fill(s, s + kOutputSelectBits, '0');
    }
  }
}

}  // namespace fusecvt
