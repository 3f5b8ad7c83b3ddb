// Plain 7032 POFs converted to the QPL6000E and QPL6000. A design starts from
// an erased 7032: every macrocell's bits read "0000110100111101" (bit 14 '0'
// for slew FAST) and no open term is kept.
#include <algorithm>
#include <cstdint>
#include <tuple>
#include <utility>

#include "E2e.h"
#include "qpl6000/Qpl6000.h"
#include "support/ExpectedQpl6000.h"

namespace fusecvt::test {
namespace {

void Term(Qpl6000& q, int m, int p, std::initializer_list<int> zeros) {
  for (int c = 0; c < 152; ++c) q.ptFuses.at(m, p, c) = '1';
  for (int c : zeros) q.ptFuses.at(m, p, c) = '0';
}
void Bits(Qpl6000& q, int m, const char* bits) { std::copy(bits, bits + 16, q.mcBits.row(m)); }

// Combinational macrocells whose terms feed back their own output (bit 0
// '1' keeps PT 1 counted):
//   MC 1: A.B + F./B, PT 3..5 empty, bits 3 and 4 on: the consensus term A.F
//         goes into PT 3;
//   MC 2: A./F2 with output enable VCC: the feedback moves to the pin (-verbose
//         tells);
//   MC 3: A./F3 with output enable GND, but pin 6 is read (by MC 4 and by
//         every disabled term): only the notice.
void LatchDesign(Design& d) {
  for (auto [row, code] : {std::pair{0, 1}, {1, 1}, {2, 1}, {3, 2}, {7, 1}, {22, 2}}) d.Pick(0, row, code);
  for (auto [m, i] : {std::pair{0, 0}, {0, 8}, {0, 9}, {1, 0}, {2, 0}}) d.s.mcConfig.at(m, i) = '0';
  Design::Row(d.s.outputEnable, 2, "00");
  // MC 1: A (pin 2), B (pin 29); F, /B. MC 2: /F2, A. MC 3: /F3, A. MC 4: pin 6.
  for (auto [m, p, i] : {std::tuple{0, 0, 0}, {0, 0, 6}, {0, 1, 4}, {0, 1, 7}, {1, 0, 3}, {1, 0, 0}, {2, 0, 15},
                         {2, 0, 0}, {3, 0, 44}}) {
    d.Connect(m, p, i);
  }
}
void LatchExpected(Qpl6000& q) {
  Bits(q, 0, "1001100100111101");  // bit 5 '0': PT 3 enabled
  Term(q, 0, 0, {53, 101});
  Term(q, 0, 1, {25, 100});
  Term(q, 0, 2, {25, 53});
  Bits(q, 1, "1000110100111101");
  Term(q, 1, 0, {43, 53});  // /F2 moved to pin 5
  Bits(q, 2, "1000110101111101");
  Term(q, 2, 0, {28, 53});
  Term(q, 3, 0, {45});
}

TEST(ConvertPlain7032, DesignsDeviceWordsAndOptions) {
  const std::string stored = "Combinatorial Latch Detected at Macrocell 1 from POF file\n\t- Added race coverage product term\n";
  const std::string bell = "Combinatorial Latch Detected at Macrocell 1 from POF file\a\n\t- Added race coverage product term\a\n";
  const std::string pf = "Combinatorial Latch Detected at Macrocell 2 from POF file (pf)\n - Implemented Pin feedback.\n";
  const std::string inUse = "Combinatorial Latch Detected at Macrocell 3 from POF file\n";
  const std::string noSecurity = "Warning! This device does not support Security Bit, Igoring command line option.\n";
  const std::string pinKeep =
      "***********************************************\nNOTE : This option is included in 6000E only.\n"
      "       Ignore -pin_keep option.\n***********************************************\n";
  const std::vector<std::string> v{"0101", "10HL"};
  auto summary = [](const char* heading, const char* security, const char* keeper, const char* slew = "FAST") {
    Qpl6000Summary s;
    s.heading = heading, s.security = security, s.pinKeeper = keeper, s.slew = slew;
    return s.Text();
  };
  const char *e6000 = "Options :  (6000E only)", *p6000 = "Options :  (6000 only)";
  const std::string plain = summary(e6000, "AUTO", "OFF");
  const std::string slow = [] { Qpl6000Summary s; s.powerdown = "ON", s.slew = "SLOW", s.raceCoverage = "OFF", s.pinKeeper = "ON"; return s.Text(); }();
  const std::string pinClk = [] { Qpl6000Summary s; s.pinClk = "ON"; return s.Text(); }();
  // Designs: 'L' the latch design; 'N' MC 6 keeps PT 1 (c0 '0'), MC 11 has c11
  // '0' (read by slew AUTO only); 'C' MC 17 registered, its clock term reads
  // only pin 43 (PIA row 35 of block 2, code 1), which -pinclk makes a pin clock.
  struct Case {
    std::vector<std::string> options;
    const char* target;  // of the conversion line; the low-voltage warning when it starts "QPL"
    bool extended, secure;
    std::string summary, before = "", after = "";  // console lines around the rest
    char design = 'N';
    char slew = 'F';  // bit 14: 'F' all '0', 'S' all '1', 'A' only MC 11 '1'
    int pofSecurity = 0, pd1 = 0, pinKeep = 0;
    const char* device = "EPM7032LC44-15";
  } cases[] = {
      {{}, "QPL6000ePLCC44", true, false, plain, "", "", 'L'},
      {{"-verbose"}, "QPL6000ePLCC44", true, false, plain, "", "", 'L'},
      {{}, "QPL6000ePLCC44", true, false, plain},
      {{"-device", "p6000"}, "p6000PLCC44", false, false, summary(p6000, "AUTO", "")},
      {{"-device", "p6000", "-secure"}, "p6000PLCC44", false, false,
       summary(p6000, "OFF (Warning! This device does not support Security Bit!)", ""), "", noSecurity},
      {{"-device", "P6000E", "-secure"}, "p6000ePLCC44", true, true, summary(e6000, "ON", "OFF")},
      // A word that is neither the QPL6000E nor the part without security bit.
      {{"-device", "6000", "-secure"}, "6000PLCC44", false, true, summary("", "ON", "")},
      {{"-pin_keep", "-powerdown", "-slew", "slow", "-race_cover_off"}, "QPL6000ePLCC44", true, false, slow, "", "",
       'N', 'S', 0, 1, 1},
      // The pin keeper is refused when the device word is exactly 6000e.
      {{"-device", "6000e", "-pin_keep"}, "6000ePLCC44", true, false, plain, pinKeep},
      {{"-slew", "AUTO"}, "QPL6000ePLCC44", true, false, summary(e6000, "AUTO", "OFF", "AUTO"), "", "", 'N', 'A'},
      {{}, "QPL6000eTQFP44", true, false, plain, "", "", 'N', 'F', 0, 0, 0, "EPM7032QC44-10"},
      // A POF that asks for the security bit gets it without -secure.
      {{}, "QPL6000ePLCC44", true, true, plain, "", "", 'N', 'F', 1},
      {{"-pinclk"}, "QPL6000ePLCC44", true, false, pinClk, "", "", 'C'},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.target) + (k.options.empty() ? "" : " " + k.options.back()));
    Design d(k.device, false);
    Qpl6000 q;
    q.ptFuses.fill('0');
    for (int m = 0; m < 32; ++m) Bits(q, m, "0000110100111101");
    const bool verbose = !k.options.empty() && k.options[0] == "-verbose";
    std::string notices, console;
    if (k.design == 'L') {
      LatchDesign(d);
      LatchExpected(q);
      notices = stored + (verbose ? pf : "") + inUse, console = bell + (verbose ? pf : "") + inUse;
    } else if (k.design == 'C') {
      d.s.mcConfig.at(16, 10) = '0';
      d.Pick(1, 35, 1);
      d.Connect(16, 3, 70);
      Bits(q, 16, "0000110010111001");  // bit 8: the pin clock; PT 4 cleared
      console = kPtClockLine;
    } else {
      d.s.mcConfig.at(5, 0) = '0';
      d.s.mcConfig.at(10, 11) = '0';
      d.pof.Vectors(v).Security(static_cast<std::uint16_t>(k.pofSecurity));
      for (int m = 0; m < 32; ++m) q.mcBits.at(m, 14) = k.slew == 'S' || (k.slew == 'A' && m == 10) ? '1' : '0';
      q.mcBits.at(5, 0) = '1';
      Term(q, 5, 0, {});
    }
    const std::vector<std::string> vectors = k.design == 'N' ? v : std::vector<std::string>{};
    const std::string head = std::string("Device ") + (k.extended ? "QPL6000E" : "QPL6000") + " (" +
                             (k.device[7] == 'Q' ? "TQFP" : "PLCC") + ")\nCreated on: " + kTestTimeText +
                             "\n\nPofBuilder\nUntitled\n" + notices;
    ConvertAndCompare(d.pof, k.options, Qpl6000File(q, head, k.secure, k.extended, k.pd1, k.pinKeep, vectors),
                      k.extended ? 24994 : 24993,
                      {k.target, k.target[0] == 'Q', console, k.design == 'C' ? console : "", k.summary, k.before, k.after});
  }
}

}  // namespace
}  // namespace fusecvt::test
