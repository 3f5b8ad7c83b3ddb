// Plain 7032 POFs converted to the QPL6000E and QPL6000 by the whole program:
// JEDEC file, report and console, byte for byte.

#include <cstdint>

#include "Conversion6000.h"

namespace fusecvt::test {
namespace {

constexpr char kTarget[] = "QPL6000ePLCC44";

// Columns of the flat product term (pin true / complement, feedback true /
// complement) used below.
constexpr int kPin2 = 53;         // input A
constexpr int kPin29 = 101;       // input B, true
constexpr int kPin29Not = 100;    //          complemented
constexpr int kFeedback1 = 25;    // MC 1 (pin 4)
constexpr int kPin5Not = 43;
constexpr int kFeedback3Not = 28; // MC 3 (pin 6)
constexpr int kPin6 = 45;

// Combinational macrocells whose terms feed back their own output:
//   MC 1: A.B + F./B with PT 3..5 empty, bits 3 and 4 '1' (c8 = c9 = '0'):
//         a latch the consensus term A.F covers;
//   MC 2: A./F2 reads its feedback complemented, output enable VCC
//         (bits 9..11 = 0 1 1): the feedback moves to the pin;
//   MC 3: A./F3 likewise, but output enable GND (bits 9..11 = 1 1 1) and
//         pin 6 is read (by MC 4, and by every disabled term, which connects
//         every column): no move, only the notice.
// Bit 0 = NOT(c0) = '1' keeps PT 1 counted in all three.
Design7032 LatchDesign() {
  Design7032 d;
  d.Code(0, 0, 1);   // row 0: pin 2
  d.Code(0, 1, 1);   // row 1: MC of pin 5
  d.Code(0, 2, 1);   // row 2: MC of pin 4
  d.Code(0, 3, 2);   // row 3: pin 29
  d.Code(0, 7, 1);   // row 7: MC of pin 6
  d.Code(0, 22, 2);  // row 22: pin 6
  d.Mc(0, 0, '0');
  d.Mc(0, 8, '0');
  d.Mc(0, 9, '0');
  d.Connect(0, 0, 0);  // A
  d.Connect(0, 0, 6);  // B
  d.Connect(0, 1, 4);  // F
  d.Connect(0, 1, 7);  // /B
  d.Mc(1, 0, '0');
  d.Connect(1, 0, 3);  // /F2
  d.Connect(1, 0, 0);  // A
  d.Mc(2, 0, '0');
  d.Oe(2, "00");
  d.Connect(2, 0, 15);  // /F3
  d.Connect(2, 0, 0);   // A
  d.Connect(3, 0, 44);  // MC 4 reads pin 6
  return d;
}

const char kStoredNotice[] =
    "Combinatorial Latch Detected at Macrocell 1 from POF file\n\t- Added race coverage product term\n";
const char kStoredConsole[] =
    "Combinatorial Latch Detected at Macrocell 1 from POF file\a\n\t- Added race coverage product term\a\n";
const char kPinFeedbackNotice[] =
    "Combinatorial Latch Detected at Macrocell 2 from POF file (pf)\n - Implemented Pin feedback.\n";
const char kPinInUseNotice[] = "Combinatorial Latch Detected at Macrocell 3 from POF file\n";

TEST(ConvertPlain7032, RaceCoverageStoresATermOrUsesPinFeedback) {
  struct Case {
    std::vector<std::string> options;
    bool verbose;
  };
  const Case cases[] = {{{}, false}, {{"-verbose"}, true}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.verbose ? "-verbose" : "no options");
    Converted6000 c(LatchDesign().pof);
    const RunResult& r = c.Run(k.options);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");

    Expected6000 e;
    e.Bits(0, "1001100100111101");  // bit 5 '0': PT 3 enabled
    e.Term(0, 0, {kPin2, kPin29});
    e.Term(0, 1, {kFeedback1, kPin29Not});
    e.Term(0, 2, {kFeedback1, kPin2});
    e.Bits(1, "1000110100111101");
    e.Term(1, 0, {kPin5Not, kPin2});  // /F2 moved to the pin
    e.Bits(2, "1000110101111101");
    e.Term(2, 0, {kFeedback3Not, kPin2});
    e.Term(3, 0, {kPin6});
    Header6000 h;
    h.notices = std::string(kStoredNotice) + (k.verbose ? kPinFeedbackNotice : "") + kPinInUseNotice;
    const std::string expected = ExpectedQpl6000File(e.img, h);
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, 24994);

    const std::string console = Banner() + c.ConsoleHead(kTarget) + LowVoltageWarning() + kStoredConsole +
                                (k.verbose ? kPinFeedbackNotice : "") + kPinInUseNotice + TimingLine() +
                                kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
    const std::string report =
        c.ReportHead(kTarget) + LowVoltageWarning() + kCompleted + Qpl6000Summary{}.Text();
    EXPECT_SAME_TEXT(report, c.Report());
  }
}

TEST(ConvertPlain7032, DeviceWordsAndOptions) {
  // MC 6 keeps PT 1 (bit 0 '1'); MC 11 has c11 = '0', which only slew AUTO reads.
  struct Case {
    const char* device;  // of the POF
    std::vector<std::string> options;
    const char* target;  // conversion line
    bool warning;        // low-voltage warning
    std::string before;  // console lines between the banner and the header
    std::string after;   // console lines after "Conversion is completed"
    Header6000 h;
    char slewBit;        // bit 14 of the erased macrocells
    char slewBit11;      // and of MC 11
    Qpl6000Summary s;
    std::uint16_t pofSecurity = 0;  // the POF's own security word
  };
  auto header = [](bool extended, bool secure, int pd1, int pinKeep, const char* package = "PLCC") {
    Header6000 h;
    h.extended = extended;
    h.secure = secure;
    h.pd1 = pd1;
    h.pinKeep = pinKeep;
    h.package = package;
    h.vectors = {"0101", "10HL"};
    return h;
  };
  auto summary = [](const char* heading, const char* security, const char* pinKeeper) {
    Qpl6000Summary s;
    s.heading = heading;
    s.security = security;
    s.pinKeeper = pinKeeper;
    return s;
  };
  const std::string noSecurity =
      "Warning! This device does not support Security Bit, Igoring command line option.\n";
  const std::string pinKeepNotice =
      "***********************************************\n"
      "NOTE : This option is included in 6000E only.\n"
      "       Ignore -pin_keep option.\n"
      "***********************************************\n";
  Qpl6000Summary options = summary("Options :  (6000E only)", "AUTO", "ON");
  options.powerdown = "ON";
  options.slew = "SLOW";
  options.raceCoverage = "OFF";
  Qpl6000Summary slewAuto;
  slewAuto.slew = "AUTO";
  const Case cases[] = {
      {"EPM7032LC44-15", {}, kTarget, true, "", "", header(true, false, 0, 0), '0', '0', Qpl6000Summary{}},
      {"EPM7032LC44-15", {"-device", "p6000"}, "p6000PLCC44", false, "", "", header(false, false, 0, 0),
       '0', '0', summary("Options :  (6000 only)", "AUTO", "")},
      // The plain part has no security bit.
      {"EPM7032LC44-15", {"-device", "p6000", "-secure"}, "p6000PLCC44", false, "", noSecurity,
       header(false, false, 0, 0), '0', '0',
       summary("Options :  (6000 only)", "OFF (Warning! This device does not support Security Bit!)", "")},
      {"EPM7032LC44-15", {"-device", "P6000E", "-secure"}, "p6000ePLCC44", false, "", "",
       header(true, true, 0, 0), '0', '0', summary("Options :  (6000E only)", "ON", "OFF")},
      // A word that is neither the QPL6000E nor the part without security bit.
      {"EPM7032LC44-15", {"-device", "6000", "-secure"}, "6000PLCC44", false, "", "",
       header(false, true, 0, 0), '0', '0', summary("", "ON", "")},
      {"EPM7032LC44-15", {"-pin_keep", "-powerdown", "-slew", "slow", "-race_cover_off"}, kTarget, true, "",
       "", header(true, false, 1, 1), '1', '1', options},
      // The pin keeper word is refused when the device word is exactly 6000e.
      {"EPM7032LC44-15", {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", false, pinKeepNotice, "",
       header(true, false, 0, 0), '0', '0', summary("Options :  (6000E only)", "AUTO", "OFF")},
      {"EPM7032LC44-15", {"-slew", "AUTO"}, kTarget, true, "", "", header(true, false, 0, 0), '0', '1',
       slewAuto},
      // A quad package is named TQFP in the conversion line and the device line.
      {"EPM7032QC44-10", {}, "QPL6000eTQFP44", true, "", "", header(true, false, 0, 0, "TQFP"), '0', '0',
       Qpl6000Summary{}},
      // A POF that asks for the security bit gets it without -secure.
      {"EPM7032LC44-15", {}, kTarget, true, "", "", header(true, true, 0, 0), '0', '0', Qpl6000Summary{}, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.target) + (k.options.empty() ? "" : " " + k.options.back()));
    Design7032 d(k.device);
    d.Mc(5, 0, '0');
    d.Mc(10, 11, '0');
    d.pof.Vectors({"0101", "10HL"});
    d.pof.Security(k.pofSecurity);
    Converted6000 c(d.pof);
    const RunResult& r = c.Run(k.options);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    Expected6000 e;
    for (int m = 0; m < 32; ++m) e.Bit(m, 14, k.slewBit);
    e.Bit(10, 14, k.slewBit11);
    e.Bit(5, 0, '1');
    e.Term(5, 0, {});
    const std::string expected = ExpectedQpl6000File(e.img, k.h);
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, k.h.extended ? 24994 : 24993);
    const std::string warning = k.warning ? LowVoltageWarning() : "";
    const std::string console = Banner() + k.before + c.ConsoleHead(k.target) + warning + TimingLine() +
                                kCompleted + k.after;
    EXPECT_SAME_TEXT(console, r.out);
    const std::string report = c.ReportHead(k.target) + warning + kCompleted + k.s.Text();
    EXPECT_SAME_TEXT(report, c.Report());
  }
}

}  // namespace
}  // namespace fusecvt::test
