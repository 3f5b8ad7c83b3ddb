// 7032S POFs converted to the QPL6032ES by the whole program: JEDEC file,
// report and console, byte for byte.

#include "Conversion6032.h"

namespace fusecvt::test {
namespace {

constexpr char kPlcc[] = "QPL6032ESPLCC44";
const ExpectedHeader kPlcc44{"PLCC", 44, kTestTimeText, false, {}};


TEST(Convert7032S, UimRoutingParkingAndGlobalOe) {
  Design6032 d("EPM7032SLC44-10");
  d.Pick(0, 0, 0);       // LAB A row 0: F4 on line 30 (choice 1)
  d.Connect(0, 0, 0);    //   read true by MC 1 PT 1: line 30 is even, fuse 60
  d.Pick(0, 9, 2);       // row 9: P15 on line 20 (choice 0)
  d.Connect(0, 0, 19);   //   read complemented by MC 1 PT 1: fuse 41
  d.Pick(0, 1, 0);       // row 1: F20, read by nothing: line 31 parks on choice 3
  d.Pick(1, 18, 1);      // LAB B row 18: the OE input -1 on line 10 (choice 4)
  d.Connect(16, 1, 37);  //   read complemented by MC 17 PT 2: fuse 21
  d.Pick(1, 1, 2);       // row 1: P27, read by nothing: parked on choice 3
  d.Pick(1, 3, 1);       // row 3: F3 on line 33 (choice 1)
  d.Connect(17, 2, 7);   //   complemented by MC 18 PT 3: odd line, fuse 66
  d.Connect(1, 0, 77);   // MC 2 PT 1 reads the expander of MC 6: foldback fuse 5
  d.Io(0, "000");        // MC 1 output enable OE3: S0..S2 001
  d.Io(1, "101");        // MC 2 OE1: 101
  d.OePia(0, "10111");   // OE PIA row 0, pick 1 (-1): GOE 4 choice 4
  d.OePia(1, "11110");   // row 1, pick 4: GOE 1 selects nothing; polarity bit
  d.OePia(2, "11100");   // row 2, pick 3 (P12): GOE 0 choice 1; polarity bit
  const char* ues = "0011010100001111";
  for (int i = 0; i < 16; ++i) d.src().ues.at(i) = ues[i];
  d.pof.Vectors({"0101HL", "1X0Z"});
  d.pof.Security(1);  // the POF asks for the security fuse

  Converted c(d.pof);
  const RunResult& r = c.Run();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");

  Expected6032 e(SourceKind::Max7032S);
  e.Term(0, 0, {60, 41});
  e.Term(1, 0, {}, {5});
  e.Term(16, 1, {21});
  e.Term(17, 2, {66});
  e.S(0, "001111011111111011110011");  // S21 '0': a term in use
  e.S(1, "101111011111111011110011");
  e.S(16, "111111011111111011110011");
  e.S(17, "111111011111111011110011");
  e.Uim(0, 30, "10111");
  e.Uim(0, 20, "01111");
  e.Uim(0, 31, "11101");
  e.Uim(1, 10, "11110");
  e.Uim(1, 31, "11101");
  e.Uim(1, 33, "10111");
  e.Goe(4, "01111");
  e.Goe(1, "11111");
  e.Goe(0, "11101");
  e.Config(26, '1');
  e.Config(27, '1');
  e.Ues(ues);
  ExpectedHeader h = kPlcc44;
  h.vectors = {"0101HL", "1X0Z"};
  h.secure = true;  // G1, though the summary shows no -secure
  const std::string jed = c.Jedec();
  const std::string expected = ExpectedJedecFile(e.img, h);
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(c.jedPath, 16808);

  const std::string console = c.ConsoleHead(kPlcc) + LowVoltageWarning() + TimingLine() + kCompleted;
  EXPECT_SAME_TEXT(console, r.out);
  const std::string report =
      c.ReportHead(kPlcc) + LowVoltageWarning() + kCompleted + BlockSummary{}.Text();
  EXPECT_SAME_TEXT(report, c.Report());
}

std::string JtagPortWarning(const char* port) {
  return std::string("Warning!! Jtag port ") + port + " is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
}

std::string PullupBox(const char* name) {
  return StarLine(79) + "-" + name + "_pullup: Error! Some or all four JTAG pins are used in your logic function.\n" +
         "                    " + name + "_pullup option cannot be enabled.\n" + StarLine(79);
}

TEST(Convert7032S, JtagPortsUsedByTheDesign) {
  // The source has JTAG off; the TDI (MC 4) and TDO (MC 20) pins are used.
  Design6032 d("EPM7032SLC44-10");
  d.src().jtagBit = '0';
  d.Erase(3);
  d.Erase(19);
  const std::string warnings = JtagPortWarning("TDI MC 4") + JtagPortWarning("TDO MC 20");

  auto expected = [](bool jtagOn) {
    Expected6032 e(SourceKind::Max7032S);
    e.S(3, kErasedS);
    e.S(19, kErasedS);
    e.S(8, kIdleS);
    e.S(24, kIdleS);
    e.Term(3, 1, {});
    e.Term(19, 1, {});
    e.img.jtagBit = jtagOn ? '1' : '0';
    if (jtagOn) {
      for (int m : {8, 24, 3}) e.Sel(m, "000");  // TMS, TCK, TDI; TDO keeps its output
    }
    return ExpectedJedecFile(e.img, kPlcc44);
  };

  struct Case {
    std::vector<std::string> options;
    bool jtagOn;
    std::string console;  // stage 4 messages on the console
    std::string report;   // and in the report
    const char* jtagMode;
    const char* pullups;
  };
  const std::string onConsole =
      "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
      "   this design.  If these pins are used for I/O in the design, use the \n"
      "   -JTAG OFF option.\n\n";
  const std::string onReport =
      "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
      "   this design.  If these pins are used for I/O in the design, use the  \n"
      "   -JTAG OFF option.\n\n";
  const std::string boxes = PullupBox("TDI") + PullupBox("TMS");
  const Case cases[] = {
      {{}, false, "", "", "AUTO", "OFF"},
      {{"-jtag", "on"}, true, onConsole, onReport, "ON", "OFF"},
      {{"-JTAG", "Off"}, false, "", "", "OFF", "OFF"},
      {{"-tdi_pullup", "-tms_pullup"}, false, boxes, boxes, "AUTO", "OFF"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.options.empty() ? std::string("no options") : k.options[0]);
    Converted c(d.pof);
    const RunResult& r = c.Run(k.options);
    EXPECT_EQ(r.status, 0);
    const std::string jed = c.Jedec();
    const std::string file = expected(k.jtagOn);
    EXPECT_SAME_TEXT(file, jed);
    ExpectSoundJedec(c.jedPath, 16808);
    const std::string console =
        c.ConsoleHead(kPlcc) + LowVoltageWarning() + warnings + k.console + TimingLine() + kCompleted;
    EXPECT_SAME_TEXT(console, r.out);
    BlockSummary s;
    s.jtag = k.jtagMode;
    const std::string report = c.ReportHead(kPlcc) + LowVoltageWarning() + k.report + kCompleted + s.Text();
    EXPECT_SAME_TEXT(report, c.Report());
  }
}

std::string PdBox(const char* pd, int pin, int stars) {
  return StarLine(stars) + "-" + pd + ": Error! Pin " + std::to_string(pin) + " for " + pd +
         " is used in your logic function.\n" + "             " + pd + " option cannot be enabled.\n" +
         StarLine(stars);
}

TEST(Convert7032S, DeviceOptionsAndThePd1Refusal) {
  // MC 8 (the PD1 pin) is used; MC 32 (PD2) is not. MC 1 PT 1 reads GCLK2
  // complemented (row 0 pick 1, column 1: line 30, fuse 61); GCLK1 is unused.
  Design6032 d("EPM7032SLC44-10");
  d.Erase(7);
  d.Pick(0, 0, 1);
  d.Connect(0, 0, 1);
  Converted c(d.pof);
  c.jedPath = c.dir.File("out.jed");
  c.txtPath = c.dir.File("out.txt");
  const RunResult& r =
      c.Run({"-pd1", "-pd2", "-pin_keep", "-secure", "-power_reset", "-gclk1_itd", "-gclk2_itd",
             "-race_cover_off", "-verbose", "-o", c.dir.File("out")});
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(FileExists(c.dir.File("design.jed")));

  Expected6032 e(SourceKind::Max7032S);
  e.S(7, kErasedS);
  e.Term(7, 1, {});
  e.S(0, "111111011111111011110011");
  e.Term(0, 0, {61});
  e.Uim(0, 30, "11110");  // -2 is choice 4 of line 30
  e.Sel(31, "000");       // PD2 accepted: MC 32 never drives its pin
  e.Config(28, '0');
  e.Config(30, '0');      // pin keeper
  e.Config(6, '0');       // power-up reset hysteresis large
  e.Config(11, '1');      // GCLK1 ITD disabled as asked; GCLK2's request overridden
  ExpectedHeader h = kPlcc44;
  h.secure = true;
  const std::string expected = ExpectedJedecFile(e.img, h);
  const std::string jed = c.Jedec();
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(c.jedPath, 16808);

  const std::string console =
      c.ConsoleHead(kPlcc) +
      " ITD Disabled, activity on GCLK1 dose not cause a part wake-up\n"
      "\nGCLK2 ITD setting override: (ignore user request to disable)\n"
      "GCLK2 pin is used as a logic input so ITD wake-up enable is required\n\n" +
      PdBox("PD1", 11, 67) + TimingLine() + kCompleted;
  EXPECT_SAME_TEXT(console, r.out);
  BlockSummary s;
  s.powerdown = "PD2";
  s.security = "ON";
  s.raceCoverage = "OFF";
  s.pinKeeper = "ON";
  s.powerReset = "ONCE";
  s.itd1 = "OFF";
  const std::string report = c.ReportHead(kPlcc) + PdBox("PD1", 11, 68) + kCompleted + s.Text();
  EXPECT_SAME_TEXT(report, c.Report());
}

TEST(Convert7032S, UnsupportedBitsAndAnIllegalClockCode) {
  // Clock bits "111" (code 7) and one programmed bit among the seven bits the
  // target has no place for.
  Design6032 d("EPM7032SLC44-10");
  d.SetClocks("111");
  d.src().unknownBits.at(3) = '0';
  Converted c(d.pof);
  const RunResult& r = c.Run();
  EXPECT_EQ(r.status, 0);
  Expected6032 e(SourceKind::Max7032S);
  for (int i = 15; i <= 19; ++i) e.Config(i, '1');  // the clock bits keep their defaults
  e.Config(20, '0');
  const std::string expected = ExpectedJedecFile(e.img, kPlcc44);
  const std::string jed = c.Jedec();
  EXPECT_SAME_TEXT(expected, jed);
  ExpectSoundJedec(c.jedPath, 16808);
  auto box = [](int stars) {
    return StarLine(stars) + "Error! POF Conversion may not be correct.\n" +
           "       Some source settings have no counterpart on the target device.\n" +
           "       Please check the design, or ask your device supplier for help.\n" + StarLine(stars);
  };
  const std::string console =
      c.ConsoleHead(kPlcc) + LowVoltageWarning() + "Illegal GCLK\n" + box(63) + TimingLine() + kCompleted;
  EXPECT_SAME_TEXT(console, r.out);
  const std::string report =
      c.ReportHead(kPlcc) + LowVoltageWarning() + box(62) + kCompleted + BlockSummary{}.Text();
  EXPECT_SAME_TEXT(report, c.Report());
}


}  // namespace
}  // namespace fusecvt::test
