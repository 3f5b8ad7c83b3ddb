// Plain 7032 POFs converted to the QPL6000E and QPL6000 by the whole program:
// JEDEC file, report and console, byte for byte.

#include <cstdint>
#include <regex>

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
constexpr int kFeedback2Not = 26; // MC 2 (pin 5)
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

TEST(ConvertPlain7032, RaceCoverageOff) {
  Converted6000 c(LatchDesign().pof);
  const RunResult& r = c.Run({"-race_cover_off", "-verbose"});
  EXPECT_EQ(r.status, 0);
  Expected6000 e;
  e.Bits(0, "1001110100111101");
  e.Term(0, 0, {kPin2, kPin29});
  e.Term(0, 1, {kFeedback1, kPin29Not});
  e.Bits(1, "1000110100111101");
  e.Term(1, 0, {kFeedback2Not, kPin2});
  e.Bits(2, "1000110101111101");
  e.Term(2, 0, {kFeedback3Not, kPin2});
  e.Term(3, 0, {kPin6});
  const std::string expected = ExpectedQpl6000File(e.img, Header6000{});
  const std::string jed = c.Jedec();
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(c.jedPath, 24994);
  EXPECT_EQ(r.out, Banner() + c.ConsoleHead(kTarget) + LowVoltageWarning() + TimingLine() + kCompleted);
  Qpl6000Summary s;
  s.raceCoverage = "OFF";
  const std::string report = c.ReportHead(kTarget) + LowVoltageWarning() + kCompleted + s.Text();
  EXPECT_SAME_TEXT(report, c.Report());
}

TEST(ConvertPlain7032, ClearUnusedTermsKeepsTheTermsTheBitsUse) {
  Design7032 d;
  // MC 5: bits 1..4 all '1' (c1 = c7 = c8 = c9 = '0'): PT 2 is a constant
  // VCC term; bit 2 becomes '0' and the term is cleared.
  for (int i : {1, 7, 8, 9}) d.Mc(4, i, '0');
  d.Mc(5, 0, '0');  // MC 6: bit 0 '1' keeps PT 1
  d.Mc(6, 5, '0');  // MC 7: bits 7 and 8 '1' with an empty PT 4: bit 7 '0', PT 4 cleared
  d.Mc(7, 2, '0');  // MC 8: bit 5 '0' keeps PT 3
  // MC 9 and MC 10: bits 2, 3, 4 = 0 1 0 (c8 = '0', c9 = '1'). Bit 4 becomes
  // '1' when PT 1 of source MC 18 holds '0' at expander column 72 + m: so for
  // MC 9 (column 80) but not for MC 10 (column 81). With 0 1 1, PT 2 is kept.
  d.Mc(8, 8, '0');
  d.Mc(9, 8, '0');
  d.Connect(17, 0, 80);  // MC 18 PT 1: expander 24 of LAB B = MC 25 (pin 32), foldback column 134

  struct Case {
    std::vector<std::string> options;
    std::string notice;
  };
  const Case cases[] = {{{}, ""}, {{"-verb"}, "Macrocell 5 PT2 VCC is reconfigured\n"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.notice);
    Converted6000 c(d.pof);
    const RunResult& r = c.Run(k.options);
    EXPECT_EQ(r.status, 0);
    Expected6000 e;
    e.Bits(4, "0101110100111101");
    e.Bits(5, "1000110100111101");
    e.Term(5, 0, {});
    e.Bits(6, "0000110010111101");
    e.Bits(7, "0000100100111101");
    e.Term(7, 2, {});
    e.Bits(8, "0001110100111101");
    e.Term(8, 1, {});
    e.Bits(9, "0001010100111101");
    e.Term(17, 0, {134});
    const std::string expected = ExpectedQpl6000File(e.img, Header6000{});
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, 24994);
    const std::string console =
        Banner() + c.ConsoleHead(kTarget) + LowVoltageWarning() + k.notice + TimingLine() + kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
    const std::string report =
        c.ReportHead(kTarget) + LowVoltageWarning() + kCompleted + Qpl6000Summary{}.Text();
    EXPECT_SAME_TEXT(report, c.Report());
  }
}

TEST(ConvertPlain7032, PinClockTakesTheClockTermOfPin43) {
  // MC 10 registered (bit 13 = c10 = '0'); its PT 4 reads only pin 43 (row 27
  // code 1, true: column 58).
  Design7032 d;
  d.Mc(9, 10, '0');
  d.Code(0, 27, 1);
  d.Connect(9, 3, 54);
  for (bool pinClock : {false, true}) {
    SCOPED_TRACE(pinClock ? "-pinclk" : "no -pinclk");
    Converted6000 c(d.pof);
    const RunResult& r = c.Run(pinClock ? std::vector<std::string>{"-pinclk"} : std::vector<std::string>{});
    EXPECT_EQ(r.status, 0);
    Expected6000 e;
    if (pinClock) {
      e.Bits(9, "0000110010111001");  // bit 7 '0', bit 8 '1'; PT 4 cleared
    } else {
      e.Bits(9, "0000110100111001");
      e.Term(9, 3, {58});
    }
    const std::string expected = ExpectedQpl6000File(e.img, Header6000{});
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, 24994);
    const std::string clock = pinClock ? kPtClockLine : "";
    const std::string console =
        Banner() + c.ConsoleHead(kTarget) + LowVoltageWarning() + clock + TimingLine() + kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
    Qpl6000Summary s;
    s.pinClk = pinClock ? "ON" : "OFF";
    const std::string report = c.ReportHead(kTarget) + LowVoltageWarning() + clock + kCompleted + s.Text();
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

TEST(ConvertPlain7032, PinFeedbackMovesEveryFeedbackOfTheTermsToThePin) {
  // MC 5 (pin 8: pin 49 / 48, feedback 9 / 11), output enable GND (bits
  // 9..11 = 1 1 1): PT 1 = F.A.B (F with more literals), PT 2 = /F.A. With
  // these bits the pin is taken only when no term of the device connects it;
  // a disabled (all '0') term connects every column, so every term of the
  // design reads A and none is disabled. Both feedbacks then move to the pin
  // and bit 9 becomes '0'.
  // MC 6 also reads rows 1 and 9, whose code 3 (erased) is the pin-0 entry.
  Design7032 d;
  for (int lab : {0, 1}) d.Code(lab, 0, 1);  // row 0: pin 2 (A)
  d.Code(0, 3, 2);                           // row 3: pin 29 (B)
  d.Code(0, 11, 1);                          // row 11: MC of pin 8
  for (int m = 0; m < 32; ++m) {
    for (int p = 0; p < 5; ++p) d.Connect(m, p, 0);
  }
  d.Mc(4, 0, '0');
  d.Oe(4, "00");
  for (int i : {22, 6}) d.Connect(4, 0, i);
  d.Connect(4, 1, 23);
  d.Connect(5, 0, 2);   // row 1 true: pin 0 true, column 28
  d.Connect(5, 0, 19);  // row 9 complemented: pin 0 complement, column 27
  for (bool verbose : {false, true}) {
    SCOPED_TRACE(verbose ? "-verbose" : "no options");
    Converted6000 c(d.pof);
    const RunResult& r = c.Run(verbose ? std::vector<std::string>{"-verbose"} : std::vector<std::string>{});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    Expected6000 e;
    for (int m = 0; m < 32; ++m) {
      for (int p = 0; p < 5; ++p) e.Term(m, p, {kPin2});
    }
    e.Bits(4, "1000110100111101");
    e.Term(4, 0, {49, kPin2, kPin29});
    e.Term(4, 1, {48, kPin2});
    e.Term(5, 0, {28, 27, kPin2});
    const std::string notice =
        verbose ? "Combinatorial Latch Detected at Macrocell 5 from POF file (pf)\n - Implemented Pin feedback.\n" : "";
    Header6000 h;
    h.notices = notice;
    const std::string expected = ExpectedQpl6000File(e.img, h);
    const std::string jed = c.Jedec();
    EXPECT_SAME_TEXT(expected, jed);
    ExpectSoundJedec(c.jedPath, 24994);
    const std::string console =
        Banner() + c.ConsoleHead(kTarget) + LowVoltageWarning() + notice + TimingLine() + kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
  }
}

TEST(ConvertPlain7032Binary, DefaultTargetOnTheRealStreams) {
  ScratchDir dir;
  LatchDesign().pof.WriteTo(dir.File("latch.pof"));
  const RunResult r = RunBinary({"fusecvt", "latch"}, dir.path());  // ".pof" is added
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::string out = std::regex_replace(r.out, std::regex("fusecvt processed 1 seconds\n"),
                                       "fusecvt processed 0 seconds\n");
  const std::string expectedOut = Banner() + ConversionLine("EPM7032LC44-15", kTarget) +
                                  ConsoleFileNames("latch.pof", "latch.jed", "latch.txt") +
                                  LowVoltageWarning() + kStoredConsole + kPinInUseNotice + TimingLine() +
                                  kCompleted;
  EXPECT_SAME_TEXT(expectedOut, out);
  const std::string jed = ReadFile(dir.File("latch.jed"));
  const std::size_t at = jed.find("\r\nCreated on: ");
  ASSERT_NE(at, std::string::npos);
  Header6000 h;
  h.createdOn = jed.substr(at + 14, 24);
  EXPECT_TRUE(std::regex_match(h.createdOn, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [0-3][0-9] "
                                                       "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}")))
      << h.createdOn;
  h.notices = std::string(kStoredNotice) + kPinInUseNotice;
  Expected6000 e;
  e.Bits(0, "1001100100111101");
  e.Term(0, 0, {kPin2, kPin29});
  e.Term(0, 1, {kFeedback1, kPin29Not});
  e.Term(0, 2, {kFeedback1, kPin2});
  e.Bits(1, "1000110100111101");
  e.Term(1, 0, {kPin5Not, kPin2});
  e.Bits(2, "1000110101111101");
  e.Term(2, 0, {kFeedback3Not, kPin2});
  e.Term(3, 0, {kPin6});
  const std::string expected = ExpectedQpl6000File(e.img, h);
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(dir.File("latch.jed"), 24994);
  const std::string report = Banner() + ConversionLine("EPM7032LC44-15", kTarget) +
                             ReportFileNames("latch.pof", "latch.jed", "latch.txt") + LowVoltageWarning() +
                             kCompleted + Qpl6000Summary{}.Text();
  EXPECT_SAME_TEXT(report, ReadFile(dir.File("latch.txt")));
}

}  // namespace
}  // namespace fusecvt::test
