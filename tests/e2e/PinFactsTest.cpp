// The pins each device has, checked end to end: designs built with the POF
// builder, converted by the built program, and the JEDEC file read back by
// its own notes. The expected macrocells are the device pin-outs (JTAG pins,
// macrocells without a pin in a package) written down here as facts of the
// parts, so that a changed pin in any table of the program fails a row.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/DesignRun.h"
#include "support/EndToEnd.h"
#include "support/PinOut.h"

namespace fusecvt::test {
namespace {

// Every macrocell routes its PT 3 (S16 = mc[2] = '0') and no other term
// (S6 = mc[7] = '0'): each is in use, so S0..S2 reach the file as written.
void EveryMacrocellInUse(SourceImage& s) {
  for (int m = 0; m < s.macrocells(); ++m) s.mcConfig.at(m, 2) = '0', s.mcConfig.at(m, 7) = '0';
}

std::string Mcs(const std::vector<int>& mcs) {
  std::string s;
  for (int m : mcs) s += " " + std::to_string(m);
  return s;
}

// The JTAG pins of the targets: TDI, TMS, TCK, TDO by macrocell number.
struct JtagPins {
  const char* device;
  int tdi, tms, tck, tdo;
};
const JtagPins kJtagPins[] = {
    {"EPM7032SLC44-10", 4, 9, 25, 20},     {"EPM7032AETC44-10", 4, 9, 25, 20},
    {"EPM7064SLC44-10", 8, 32, 48, 56},    {"EPM7064AETC100-10", 8, 32, 48, 56},
    {"EPM7128SLC84-15", 32, 48, 96, 112},  {"EPM7128AETC100-10", 32, 48, 96, 112},
};

// -jtag on: TDI, TMS and TCK drive nothing (S0..S2 "000"); TDO and every
// other pin keep the select of the design ("111", always on).
TEST(PinFacts, JtagOnSwitchesOffTheOutputsOfTdiTmsAndTck) {
  for (const JtagPins& p : kJtagPins) {
    SCOPED_TRACE(p.device);
    const Converted c(p.device, EveryMacrocellInUse, {"-jtag", "on"});
    ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    std::vector<int> off;
    for (int mc = 1; mc <= c.jedec.macrocells(); ++mc) {
      const std::string oe = c.jedec.Oe(mc);
      if (oe == "000") off.push_back(mc);
      EXPECT_TRUE(oe == "000" || oe == "111") << "MC " << mc << ": " << oe;
    }
    std::vector<int> want{p.tdi, p.tms, p.tck};
    std::sort(want.begin(), want.end());
    EXPECT_EQ(Mcs(off), Mcs(want));
    EXPECT_EQ(c.jedec.JtagFuse(), '1');
  }
}

// JTAG off in the source and on the command line, one macrocell in use (its
// pin always driven): the JTAG pull-ups are refused exactly when that
// macrocell is one of the four JTAG pins, and then the 32-macrocell targets
// also warn of the port; with the macrocell after it (no JTAG pin) in use the
// pull-ups are set (configuration bits 7 and 8 '0') and JTAG goes on.
TEST(PinFacts, AJtagPullupIsRefusedWhenAJtagPinIsUsed) {
  for (const JtagPins& p : kJtagPins) {
    const std::pair<const char*, int> ports[] = {{"TDI", p.tdi}, {"TMS", p.tms}, {"TCK", p.tck}, {"TDO", p.tdo}};
    for (const auto& [port, mc] : ports) {
      for (const int used : {mc, mc + 1}) {
        SCOPED_TRACE(std::string(p.device) + " " + port + ", MC " + std::to_string(used) + " used");
        const Converted c(p.device, [used](SourceImage& s) {
          for (int m = 0; m < s.macrocells(); ++m) s.mcConfig.at(m, 7) = '0';
          s.mcConfig.at(used - 1, 2) = '0';
          s.jtagBit = '0';
        }, {"-jtag", "off", "-tdi_pullup", "-tms_pullup"});
        ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
        const bool refused = used == mc;
        for (const char* pullup : {"-TDI_pullup: Error!", "-TMS_pullup: Error!"}) {
          EXPECT_EQ(c.run.out.find(pullup) != std::string::npos, refused) << c.run.out;
          EXPECT_EQ(c.report.find(pullup) != std::string::npos, refused) << c.report;
        }
        const std::string state = refused ? "OFF\n" : "ON\n";
        for (const char* line : {"   JTAG mode :\t\t", "   TDI Pullup :\t\t", "   TMS Pullup :\t\t"}) {
          EXPECT_NE(c.report.find(line + state), std::string::npos) << line << state << c.report;
        }
        EXPECT_EQ(c.jedec.ConfigBits().substr(7, 2), refused ? "11" : "00");
        EXPECT_EQ(c.jedec.JtagFuse(), refused ? '0' : '1');
        const std::string warning = std::string("Warning!! Jtag port ") + port + " MC " + std::to_string(mc) +
                                    " is used as\nInput or bidirectional port.\nJtag disabled.\n\n";
        const std::size_t at = c.run.out.find("Warning!! Jtag port");
        if (c.jedec.macrocells() == 32 && refused) {
          EXPECT_EQ(c.run.out.substr(at == std::string::npos ? 0 : at, warning.size()), warning) << c.run.out;
          EXPECT_EQ(c.run.out.rfind("Warning!! Jtag port"), at) << "one warning only";
        } else {
          EXPECT_EQ(at, std::string::npos) << c.run.out;
        }
      }
    }
  }
}

// A 7032S whose JTAG bit is set keeps the JTAG pin flags of the product
// terms: a term that reads the pin of TDI (MC 4), TMS (MC 9), TCK (MC 25) or
// TDO (MC 20) through the PIA makes -jtag off refuse the TDI pull-up; reading
// the pin of MC 10 does not. Rows of LAB A whose pick 3 is that pin.
TEST(PinFacts, AJtagPullupIsRefusedWhenLogicReadsAJtagPin) {
  const struct {
    int mc, row;
    bool jtag;
  } reads[] = {{4, 20, true}, {9, 6, true}, {25, 2, true}, {20, 24, true}, {10, 4, false}};
  for (const auto& r : reads) {
    SCOPED_TRACE("pin of MC " + std::to_string(r.mc));
    const Converted c("EPM7032SLC44-10", [&r](SourceImage& s) {
      for (int m = 0; m < 32; ++m) s.mcConfig.at(m, 7) = '0';
      s.mcConfig.at(0, 0) = '0';                    // MC 1 routes PT 1
      s.logicArray.at(0, 0, 2 * r.row) = '0';       // which reads the row, true
      for (int i = 0; i < 4; ++i) s.pia.at(0, r.row, i) = i == 3 ? '0' : '1';  // pick 3
      s.jtagBit = '1';
    }, {"-jtag", "off", "-tdi_pullup"});
    ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    EXPECT_EQ(c.run.out.find("-TDI_pullup: Error!") != std::string::npos, r.jtag) << c.run.out;
    EXPECT_EQ(c.jedec.ConfigBits()[7], r.jtag ? '1' : '0');
  }
}

// Every macrocell in use and the I/O records alternating between two
// output-enable selects in the source's own form: the plain 7064 and 7128
// two-bit records OE1 "10" and OE2 "01", the 7128S family and the 7128E
// three-bit selects OE3 "000" and GND "001". Each macrocell with a pin in the
// package takes the next record, in macrocell order (S0..S2 as `first` and
// `second` give them); one without a pin keeps the default "111".
TEST(PinFacts, OutputEnableRecordsFollowThePackagePins) {
  const struct {
    const char *device, *first, *second;
  } rows[] = {
      {"EPM7064LC44-15", "001", "010"},  {"EPM7064LC68-15", "001", "010"},     {"EPM7064LC84-15", "001", "010"},
      {"EPM7128SLC84-15", "011", "000"}, {"EPM7128AETC100-10", "011", "000"}, {"EPM3128ATC100-10", "011", "000"},
      {"EPM7128LC84-15", "001", "100"},  {"EPM7128QC100-15", "001", "100"},    {"EPM7128GC160-15", "001", "100"},
      {"EPM7128ELC84-15", "011", "000"}, {"EPM7128EQC100-15", "011", "000"},   {"EPM7128EQC160-15", "011", "000"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.device);
    const PofBuilder facts(r.device);
    const SourceKind kind = facts.kind();
    const int pins = facts.pinCount();
    const Converted c(r.device, [kind](SourceImage& s) {
      EveryMacrocellInUse(s);
      const bool ae = kind == SourceKind::Max7128AE, a3 = kind == SourceKind::Max3128A;
      const int first = ae ? 6 : a3 ? 5 : 0, step = ae || a3 ? -1 : 1;  // select characters in reading order
      for (int rec = 0; rec < static_cast<int>(s.outputEnable.size() / 2); ++rec) {
        s.outputEnable.at(rec, 0) = rec % 2 ? '0' : '1';
        s.outputEnable.at(rec, 1) = rec % 2 ? '1' : '0';
      }
      for (int rec = 0; s.ioConfig.size() && rec < static_cast<int>(s.ioConfig.size()) / s.ioConfig.dim1(); ++rec) {
        for (int i = 0; i < 3; ++i) s.ioConfig.at(rec, first + step * i) = i == 2 && rec % 2 ? '1' : '0';
      }
    }, {"-jtag", "off"});
    ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
    const std::vector<int> none = NoPin7064(pins);
    int record = 0;
    for (int mc = 1; mc <= c.jedec.macrocells(); ++mc) {
      const int position = (mc - 1) % 16;
      // The 7128S family bonds out no pin for positions 1, 6, 9 and 14 of a block.
      const bool pin = kind == SourceKind::Max7064 ? std::find(none.begin(), none.end(), mc) == none.end()
                       : kind == SourceKind::Max7128 || kind == SourceKind::Max7128E
                           ? Pin7128(pins, mc)
                           : position != 1 && position != 6 && position != 9 && position != 14;
      EXPECT_EQ(c.jedec.Oe(mc), !pin ? "111" : record % 2 ? r.second : r.first) << "MC " << mc;
      record += pin;
    }
  }
}

// The power-down pins: PD1 and PD2 by pin number in each package (0: the
// package lists no such pin, named "?"), commercial (C) or industrial (I)
// grade alike, and the macrocell whose pin each one is (32 macrocells: MC 8,
// MC 32; 64: MC 3, MC 35; 128: MC 3, MC 67).
struct PowerDownPins {
  const char* device;
  int pd1, pd2;
  const char* word = nullptr;  // -device word, for the plain 7032
};
const PowerDownPins kPowerDownPins[] = {
    {"EPM7032SLC44-10", 11, 25},  {"EPM7032STC44-7", 5, 19},    {"EPM3032ATC44-10", 5, 19},
    {"EPM7064SLC44-10", 11, 25},  {"EPM7064AETC44-10", 5, 19},  {"EPM7064STC100-7", 14, 44},
    {"EPM7064LC68-15", 17, 37},   {"EPM7064LC84-15", 20, 46},   {"EPM7064QC100-15", 14, 44},
    {"EPM7128SLC84-15", 12, 45},  {"EPM7128STC100-10", 3, 43},  {"EPM7128SQC160-10", 159, 63},
    {"EPM7128ELC84-15", 12, 45},  {"EPM3128ATC100-10", 3, 43},  {"EPM7032LC44-15", 11, 25, "6032es"},
    {"EPM7032LC68-15", 17, 37, "6032es"},  {"EPM7032LC84-15", 20, 46, "6032es"},
    {"EPM7032QC100-15", 14, 44, "6032esl"}, {"EPM7032SQC44-10", 0, 0}, {"EPM7064SLC84-10", 0, 0},
    {"EPM7064SLI44-10", 11, 25},  {"EPM7032STI44-7", 5, 19},  {"EPM7128SLI84-15", 12, 45},
};

// -pd1 -pd2 with both power-down macrocells driving their pins: both refused,
// naming the pins. A registered macrocell clocked by a term with S13 and S14
// '1' (S3 '0', S5 and S15 '1') drives its pin too. With both macrocells
// buried (a term in use, S3 '0', S5 and S15 '1', S14 '0': the pin is not
// used): both taken, the power-down macrocells' outputs are switched off
// (S0..S2 "000" where the design had "111") and configuration bits 29 (PD1)
// and 28 (PD2) are '0'.
TEST(PinFacts, PowerDownPinsAreRefusedWhenTheDesignUsesThem) {
  for (const PowerDownPins& p : kPowerDownPins) {
    for (const char* use : {"combinational", "registered", "buried"}) {
      const bool used = use != std::string("buried");
      SCOPED_TRACE(std::string(p.device) + " PD macrocells " + use);
      const Converted c(p.device, [use, used](SourceImage& s) {
        const int n = s.macrocells(), pd1 = n == 32 ? 8 : 3, pd2 = n == 32 ? 32 : n == 64 ? 35 : 67;
        for (int m = 0; m < n; ++m) s.mcConfig.at(m, 7) = '0';
        for (int mc : {pd1, pd2}) {
          s.mcConfig.at(mc - 1, 2) = '0';
          if (use != std::string("combinational")) s.mcConfig.at(mc - 1, 10) = s.mcConfig.at(mc - 1, 6) = '0';
          if (!used) s.mcConfig.at(mc - 1, 4) = '0';
        }
      }, p.word ? std::vector<std::string>{"-device", p.word, "-pd1", "-pd2"}
                : std::vector<std::string>{"-jtag", "off", "-pd1", "-pd2"});
      ASSERT_EQ(c.run.status, 0) << c.run.out << c.run.err;
      const int n = c.jedec.macrocells(), pd1 = n == 32 ? 8 : 3, pd2 = n == 32 ? 32 : n == 64 ? 35 : 67;
      for (const auto& [name, pin] : {std::pair<std::string, int>{"PD1", p.pd1}, {"PD2", p.pd2}}) {
        const std::string number = pin ? std::to_string(pin) : "?";
        EXPECT_EQ(c.run.out.find(PowerDownRefusal(name, number, true)) != std::string::npos, used) << c.run.out;
        EXPECT_EQ(c.report.find(PowerDownRefusal(name, number, false)) != std::string::npos, used) << c.report;
      }
      EXPECT_EQ(c.jedec.Oe(pd1), used ? "111" : "000");
      EXPECT_EQ(c.jedec.Oe(pd2), used ? "111" : "000");
      EXPECT_EQ(c.jedec.ConfigBits().substr(28, 2), used ? "11" : "00");
      EXPECT_EQ(c.report.find("   Powerdown :\t\tOFF\n") != std::string::npos, used) << c.report;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
