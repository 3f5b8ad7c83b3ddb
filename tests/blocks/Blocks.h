#pragma once
// What the block-target tests know of the source kinds (how a PIA pick, a pair
// flag, an output-enable select, an OE PIA pick and the clock code are written),
// and a stage fixture: one target of the kind's family and a hand-built source
// image, console and report captured, for running single translation stages.

#include <cstring>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "translate/BlockTarget.h"
#include "pof/SourceImage.h"
#include "support/EndToEnd.h"
#include "support/ExpectedJedec.h"

namespace fusecvt::test {

using K = SourceKind;

// The target of the source's macrocell count: 32, 64 or 128.
inline std::unique_ptr<BlockTargetImage> TargetFor(const SourceImage& s) {
  return MakeBlockTarget(static_cast<BlockTargetKind>(s.macrocells() / 64));
}

// Kinds whose PIA picks are binary codes (first character most significant).
inline int PickCodeWidth(K k) {
  return k == K::Max7032 ? 2 : k == K::Max7064 ? 3 : k == K::Max7128 || k == K::Max7128E ? 4 : 0;
}

// Pick p of PIA row `row` of LAB `lab`: a code, or one-hot over the picks.
inline void WritePick(SourceImage& s, int lab, int row, int p) {
  char* c = s.pia.row(lab, row);
  if (const int w = PickCodeWidth(s.kind())) {
    for (int i = 0; i < w; ++i) c[i] = (p >> (w - 1 - i)) & 1 ? '1' : '0';
    return;
  }
  const int picks = s.macrocells() == 32 ? 4 : s.macrocells() == 64 ? 8 : 13;
  for (int i = 0; i < picks; ++i) c[i] = i == p ? '0' : '1';
}

// The row is served by its pair row of the mirror LAB (QPL6128 kinds).
inline void WritePair(SourceImage& s, int lab, int row) {
  s.pia.at(lab, row, s.kind() == K::Max7128E ? 4 : 13) = '0';
}

// The 3-bit output-enable select of I/O record `rec`, in reading order.
inline void WriteSelect(SourceImage& s, int rec, const char* sel) {
  const K k = s.kind();
  const bool ae = k == K::Max7032AE || k == K::Max7064AE || k == K::Max7128AE;
  const bool a3 = k == K::Max3032A || k == K::Max3064A || k == K::Max3128A;
  const int pos[3][3] = {{0, 1, 2}, {6, 5, 4}, {5, 4, 3}};
  const int* p = pos[ae ? 1 : a3 ? 2 : 0];
  for (int i = 0; i < 3; ++i) s.ioConfig.at(rec, p[i]) = sel[i];
}

// OE PIA row `row`: pick p (-1: none) and, with `polarity`, its polarity bit.
inline void WriteOePick(SourceImage& s, int row, int p, bool polarity) {
  char* c = s.oePia.row(row);
  const bool coded = s.kind() == K::Max7128E;
  if (p >= 0 && coded) {
    for (int i = 0; i < 4; ++i) c[i] = (p >> (3 - i)) & 1 ? '1' : '0';
  } else if (p >= 0) {
    c[p] = '0';
  }
  if (polarity) c[coded || s.macrocells() == 32 ? 4 : s.macrocells() == 64 ? 8 : 13] = '0';
}

// The global clock code: unknownBits 0..2 on the 7128S and 7128E, else globalClocks.
inline void WriteClockCode(SourceImage& s, const char* code) {
  FuseArray& f = s.kind() == K::Max7128S || s.kind() == K::Max7128E ? s.unknownBits : s.globalClocks;
  for (int i = 0; i < 3; ++i) f.at(i) = code[i];
}

// Every macrocell idle: S6 = mc[7] = '0' routes no product term.
inline void IdleAll(SourceImage& s) {
  for (int m = 0; m < s.macrocells(); ++m) s.mcConfig.at(m, 7) = '0';
}

// n characters '1' with '0' at the given positions (negative ones ignored).
inline std::string Ones(int n, std::initializer_list<int> zeros = {}) {
  std::string s(static_cast<std::size_t>(n), '1');
  for (int z : zeros) {
    if (z >= 0) s[static_cast<std::size_t>(z)] = '0';
  }
  return s;
}

// The unsupported-settings box: 63 stars on the console, 62 in the report.
inline std::string ErrorBox(int stars) {
  return StarLine(stars) + "Error! POF Conversion may not be correct.\n" +
         "       Some source settings have no counterpart on the target device.\n" +
         "       Please check the design, or ask your device supplier for help.\n" + StarLine(stars);
}

// A JTAG pull-up refused ("TDI", "TMS") and a GCLK's ITD switched off.
inline std::string PullupRefusal(const std::string& name) {
  return StarLine(79) + "-" + name + "_pullup: Error! Some or all four JTAG pins are used in your logic function.\n" +
         "                    " + name + "_pullup option cannot be enabled.\n" + StarLine(79);
}
// A JTAG pin ("TDI MC 4") used for I/O; -jtag on with JTAG pins used (the
// report has one blank more after "use the").
inline std::string JtagPort(const std::string& port) {
  return "Warning!! Jtag port " + port + " is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
}
inline std::string JtagOn(const char* blank) {
  return std::string("WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n   this design.  If these ") +
         "pins are used for I/O in the design, use the " + blank + "\n   -JTAG OFF option.\n\n";
}
inline std::string ItdOff(int n) {
  return " ITD Disabled, activity on GCLK" + std::to_string(n) + " dose not cause a part wake-up\n";
}
// The notice when -gclk2_itd is given but the design reads the GCLK2 pin.
inline constexpr char kGclk2ItdKept[] =
    "\nGCLK2 ITD setting override: (ignore user request to disable)\n"
    "GCLK2 pin is used as a logic input so ITD wake-up enable is required\n\n";

// A translation stage of the block targets.
using Step = void (BlockTargetImage::*)(const StageContext&);
constexpr Step kTerms = &BlockTargetImage::ReadProductTerms, kMacrocells = &BlockTargetImage::TranslateMacrocells,
               kGlobalOe = &BlockTargetImage::RouteGlobalOe, kOptions = &BlockTargetImage::ApplyDeviceOptions,
               kUim = &BlockTargetImage::RouteUim, kClear = &BlockTargetImage::ClearUnusedProductTerms;

class Stage {
 public:
  explicit Stage(K kind, int pins = 44) : run(console, error, Clock::Fixed(std::tm{}, 0)) {
    run.sources.Adopt(MakeSourceImage(kind));
    src = run.sources.image();
    t = TargetFor(*src);
    run.SetReport(&report);
    run.options.slew = run.options.openOut = run.options.jtag = AUTO;
    run.pof.device = ParseDeviceName(std::string("EPM") + SourceKindName(kind) + "LC" + std::to_string(pins));
  }

  // The stages a test needs, run in the order given.
  void Run(std::initializer_list<Step> steps) {
    const StageContext stages = run.Stages();
    for (Step step : steps) (t.get()->*step)(stages);
  }

  void Pick(int lab, int row, int p) { WritePick(*src, lab, row, p); }
  // Pick p for row `row` of `lab`, through the pair row `serving` of LAB 7 - lab (-1: its own).
  void PickVia(int lab, int row, int serving, int p) {
    if (serving >= 0) WritePair(*src, lab, row);
    Pick(serving >= 0 ? 7 - lab : lab, serving >= 0 ? serving : row, p);
  }
  void Col(int m, int k, int c) { src->logicArray.at(m, k, c) = '0'; }
  void Set(FuseArray& f, int row, const char* text) { std::memcpy(f.row(row), text, std::strlen(text)); }

  static std::string Of(const char* p, int n) { return std::string(p, static_cast<std::size_t>(n)); }
  std::string Bits(int m) const { return Of(t->mcBits.row(m), 24); }
  std::string Inputs(int m, int k) const { return t->ptInputFuses.row(m, k).Text(); }
  std::string Uim(int b, int u) const { return t->uimMux.row(b, u).Text(); }
  std::string Goe(int e) const { return Of(t->goeMux.row(e), t->geometry().goeWidth); }
  std::string Config(int first, int n) const { return Of(t->configBits.data() + first, n); }

  std::ostringstream console, error, report;
  Conversion run;
  std::unique_ptr<BlockTargetImage> t;
  SourceImage* src = nullptr;
};

}  // namespace fusecvt::test
