// The report header (conversion line, file names, low-voltage rule) and the
// settings summaries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Captured.h"
#include "driver/CommandLine.h"
#include "driver/Report.h"

namespace fusecvt::test {
namespace {

// The options as the driver has them when it writes the header: parsed,
// completed for the source, file names derived.
std::unique_ptr<Captured> Prepared(const std::string& source, int pins, std::vector<std::string> options) {
  auto c = std::make_unique<Captured>();
  options.insert(options.begin(), "fusecvt");
  options.push_back("d.pof");
  ParseCommandLine(options, c->run);
  c->run.pof.sourceDeviceName = source;
  c->run.pof.pinCount = pins;
  ResolveSourceDefaults(source, c->run.options);
  NormalizeDeviceName(source, c->run);
  DeriveFileNames(c->run.options);
  c->out.str("");
  return c;
}

::testing::AssertionResult StartsWith(const std::string& text, const std::string& prefix) {
  if (text.compare(0, prefix.size(), prefix) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text.substr(0, prefix.size() + 20) << "\" does not begin with \""
                                       << prefix << "\"";
}

constexpr char kConsoleNames[] =
    "Input file      \t: d.pof\n"
    "Output file     \t: d.jed\n"
    "Conversion Report file\t: d.txt\n\n";
constexpr char kReportNames[] =
    "Input file                : d.pof\n"
    "Output file               : d.jed\n"
    "Conversion Report file    : d.txt\n\n";
constexpr char kLowVoltageWarning[] =
    "WARNING:  If conversion is for a low voltage device,\n"
    "   please use the -power_reset option.\n\n";

TEST(ReportHeader, ConsoleAndReportLayouts) {
  auto c = Prepared("EPM7032SLC44", 44, {});
  WriteReportHeader(c->run);
  const std::string line = "  EPM7032SLC44 --> QPL6032ESPLCC44\n";
  EXPECT_EQ(c->out.str(), line + kConsoleNames + kLowVoltageWarning);
  EXPECT_EQ(c->report.str(), line + kReportNames + kLowVoltageWarning);
  EXPECT_EQ(c->run.options.powerResetBit, 1);
}

TEST(ReportHeader, Plain7032WithoutDeviceBecomesQpl6000e) {
  auto c = Prepared("EPM7032LC44", 44, {});
  WriteReportHeader(c->run);
  EXPECT_EQ(c->run.options.targetDeviceName, "QPL6000e");
  EXPECT_EQ(c->report.str(), "  EPM7032LC44 --> QPL6000ePLCC44\n" + std::string(kReportNames) + kLowVoltageWarning);
}

TEST(ReportHeader, Plain7032InQuadPackageIsNamedTqfp) {
  auto c = Prepared("EPM7032QC44", 44, {"-device", "6032ES"});
  WriteReportHeader(c->run);
  EXPECT_TRUE(StartsWith(c->report.str(), "  EPM7032QC44 --> 6032esTQFP44\nInput"));
  // A 7032S in the same package keeps the quad name.
  auto s = Prepared("EPM7032SQC44", 44, {});
  WriteReportHeader(s->run);
  EXPECT_TRUE(StartsWith(s->out.str(), "  EPM7032SQC44 --> QPL6032ESPQFP44\nInput"));
}

TEST(ReportHeader, PackageLettersInOrder) {
  struct Row {
    const char* source;
    const char* line;
  };
  const Row rows[] = {
      {"EPM7128STC100", "  EPM7128STC100 --> QPL6128ESTQFP100\n"},
      {"EPM7128SLTQ84", "  EPM7128SLTQ84 --> QPL6128ESPLCC84\n"},  // L before T before Q
      {"EPM7128SQC100", "  EPM7128SQC100 --> QPL6128ESPQFP100\n"},
      {"EPM7128S84", "  EPM7128S84 --> QPL6128ES!UNKNOWN_PACKAGE!100\n"},
      {"", "   --> UNKNOWN_DEVICE!!UNKNOWN_PACKAGE!100\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    auto c = Prepared(r.source, 100, {});
    if (std::string(r.source) == "EPM7128SLTQ84") c->run.pof.pinCount = 84;
    WriteReportHeader(c->run);
    EXPECT_TRUE(StartsWith(c->report.str(), r.line));
  }
}

TEST(ReportHeader, DeviceWordNamesTheTargetAndEslSetsPowerReset) {
  auto c = Prepared("EPM7064SLC84", 84, {"-device", "6064ESL"});
  WriteReportHeader(c->run);
  EXPECT_EQ(c->out.str(), "  EPM7064SLC84 --> 6064eslPLCC84\n" + std::string(kConsoleNames));
  EXPECT_EQ(c->run.options.powerResetBit, 0);
  EXPECT_EQ(c->run.options.powerResetGiven, 0);
}

TEST(ReportHeader, LowVoltageWarningOnlyWithoutDeviceAndPowerReset) {
  struct Row {
    std::vector<std::string> options;
    bool warned;
    int powerResetBit;
  };
  const Row rows[] = {
      {{}, true, 1},
      {{"-power_reset"}, false, 0},
      {{"-device", "6064es"}, false, 1},
      {{"-device", "qpl6064esl"}, false, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.options.empty() ? "(none)" : r.options[0]);
    auto c = Prepared("EPM7064SLC84", 84, r.options);
    WriteReportHeader(c->run);
    EXPECT_EQ(c->out.str().find("WARNING:") != std::string::npos, r.warned);
    EXPECT_EQ(c->report.str().find("WARNING:") != std::string::npos, r.warned);
    EXPECT_EQ(c->run.options.powerResetBit, r.powerResetBit);
  }
}

// Every source kind with no option given: the target name of the header, the
// power-reset bit after it, and the summary heading.
TEST(ReportHeader, EverySourceKind) {
  struct Row {
    const char* source;
    const char* target;
    int powerResetBit;
    const char* heading;  // "" for none
  };
  const Row rows[] = {
      {"EPM7032LC44", "QPL6000e", 1, "Options :  (6000E only)\n"},
      {"EPM7032SLC44", "QPL6032ES", 1, "Options :  (6032 only)\n"},
      {"EPM7032AELC44", "QPL6032ESL", 0, "Options :  (6032 only)\n"},
      {"EPM3032ALC44", "QPL6032ESL", 0, ""},
      {"EPM7064LC44", "QPL6064ES", 1, "Options :  (6064 only)\n"},
      {"EPM7064SLC44", "QPL6064ES", 1, "Options :  (6064 only)\n"},
      {"EPM7064AELC44", "QPL6064ESL", 0, "Options :  (6064 only)\n"},
      {"EPM3064ALC44", "QPL6064ESL", 0, ""},
      {"EPM7128LC84", "QPL6128ES", 1, "Options :  (6128 only)\n"},
      {"EPM7128ELC84", "QPL6128ES", 1, "Options :  (6128 only)\n"},
      {"EPM7128SLC84", "QPL6128ES", 1, "Options :  (6128 only)\n"},
      {"EPM7128ALC84", "QPL6128ESL", 0, "Options :  (6128 only)\n"},
      {"EPM7128AELC84", "QPL6128ESL", 0, "Options :  (6128 only)\n"},
      {"EPM3128ALC84", "QPL6128ESL", 0, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.source);
    auto c = Prepared(r.source, 44, {});
    WriteReportHeader(c->run);
    const std::string line = "  " + std::string(r.source) + " --> " + r.target + "PLCC44\n";
    EXPECT_TRUE(StartsWith(c->out.str(), line));
    EXPECT_EQ(c->run.options.powerResetBit, r.powerResetBit);
    c->report.str("");
    WriteSettingsSummary(c->run);
    EXPECT_TRUE(StartsWith(c->report.str(), "\n" + std::string(r.heading) + "   Powerdown :"));
  }
}

TEST(SettingsSummary, Qpl6000eDefaults) {
  auto c = Prepared("EPM7032LC44", 44, {});
  WriteReportHeader(c->run);
  c->report.str("");
  c->out.str("");
  WriteSettingsSummary(c->run);
  EXPECT_EQ(c->report.str(),
            "\n"
            "Options :  (6000E only)\n"
            "   Powerdown :\t\tOFF\n"
            "   Security Bit :\tAUTO\n"
            "   Slew Rate :\t\tFAST\n"
            "   PinClk :\t\tOFF\n"
            "   Race Coverage :\tON\n"
            "   Pin Keeper :\t\tOFF\n");
  EXPECT_EQ(c->out.str(), "");
}

TEST(SettingsSummary, PlainQpl6000RefusesSecurity) {
  auto c = Prepared("EPM7032LC44", 44, {"-device", "p6000", "-secure", "-powerdown", "-slew", "slow",
                                        "-race_cover_off", "-pin_keep"});
  WriteReportHeader(c->run);
  c->report.str("");
  c->out.str("");
  c->run.options.ptClockConverted = 1;
  WriteSettingsSummary(c->run);
  EXPECT_EQ(c->report.str(),
            "\n"
            "Options :  (6000 only)\n"
            "   Powerdown :\t\tON\n"
            "   Security Bit :\tOFF (Warning! This device does not support Security Bit!)\n"
            "   Slew Rate :\t\tSLOW\n"
            "   PinClk :\t\tON\n"
            "   Race Coverage :\tOFF\n");
  EXPECT_EQ(c->out.str(), "Warning! This device does not support Security Bit, Igoring command line option.\n");
}

TEST(SettingsSummary, SecurityKeptForEveryOtherQpl6000Word) {
  struct Row {
    const char* word;
    const char* heading;
    bool pinKeeper;
  };
  for (const Row& r : {Row{"p6000e", "Options :  (6000E only)\n", true}, Row{"6000", "", false},
                       Row{"qpl6000", "", false}, Row{"6032es", "", false}}) {
    SCOPED_TRACE(r.word);
    auto c = Prepared("EPM7032LC44", 44, {"-device", r.word, "-secure", "-pin_keep"});
    WriteReportHeader(c->run);
    c->report.str("");
    c->out.str("");
    WriteSettingsSummary(c->run);
    const std::string expected = "\n" + std::string(r.heading) +
                                 "   Powerdown :\t\tOFF\n"
                                 "   Security Bit :\tON\n"
                                 "   Slew Rate :\t\tFAST\n"
                                 "   PinClk :\t\tOFF\n"
                                 "   Race Coverage :\tON\n" +
                                 (r.pinKeeper ? "   Pin Keeper :\t\tON\n" : "");
    EXPECT_EQ(c->report.str(), expected);
    EXPECT_EQ(c->out.str(), "");
  }
}

TEST(SettingsSummary, BlockTargetAllLines) {
  auto c = Prepared("EPM7064SLC84", 84, {"-device", "6064esl"});
  WriteReportHeader(c->run);
  c->report.str("");
  WriteSettingsSummary(c->run);
  EXPECT_EQ(c->report.str(),
            "\n"
            "Options :  (6064 only)\n"
            "   Powerdown :\t\tOFF\n"
            "   Security Bit :\tAUTO\n"
            "   Slew Rate :\t\tAUTO\n"
            "   PinClk :\t\tOFF\n"
            "   Race Coverage :\tON\n"
            "   Pin Keeper :\t\tOFF\n"
            "   Macrocell Low Power:\tAUTO\n"
            "   Power Reset :\tONCE\n"
            "   ITD on GCLK1 :\tON\n"
            "   ITD on GCLK2 :\tON\n"
            "   ITD on GCLK3 :\tON\n"
            "   Open Collector :\tAUTO\n"
            "   JTAG mode :\t\tAUTO\n"
            "   TDI Pullup :\t\tOFF\n"
            "   TMS Pullup :\t\tOFF\n");
}

TEST(SettingsSummary, BlockTargetGivenOptions) {
  auto c = Prepared("EPM7128LC84", 84,
                    {"-pd1", "-pd2", "-secure", "-slew", "fast", "-race_cover_off", "-pin_keep", "-mc_power",
                     "off", "-gclk1_itd", "-gclk3_itd", "-open_out", "on", "-tdi_pullup", "-tms_pullup"});
  WriteReportHeader(c->run);
  c->report.str("");
  c->run.options.ptClockConverted = 1;
  WriteSettingsSummary(c->run);
  EXPECT_EQ(c->report.str(),
            "\n"
            "Options :  (6128 only)\n"
            "   Powerdown :\t\tPD1 & PD2\n"
            "   Security Bit :\tON\n"
            "   Slew Rate :\t\tFAST\n"
            "   PinClk :\t\tON\n"
            "   Race Coverage :\tOFF\n"
            "   Pin Keeper :\t\tON\n"
            "   Macrocell Low Power:\tOFF\n"
            "   Power Reset :\tALWAYS\n"
            "   ITD on GCLK1 :\tOFF\n"
            "   ITD on GCLK2 :\tON\n"
            "   ITD on GCLK3 :\tOFF\n"
            "   Open Collector :\tON\n"
            "   JTAG mode :\t\tOFF\n"
            "   TDI Pullup :\t\tON\n"
            "   TMS Pullup :\t\tON\n");
}

TEST(SettingsSummary, PowerdownPairs) {
  struct Row {
    int pd1, pd2;
    const char* text;
  };
  for (const Row& r : {Row{0, 0, "OFF"}, Row{1, 0, "PD1"}, Row{0, 1, "PD2"}, Row{1, 1, "PD1 & PD2"}}) {
    auto c = Prepared("EPM3128ATC100", 100, {});
    c->run.options.pd1 = r.pd1;
    c->run.options.pd2 = r.pd2;
    WriteSettingsSummary(c->run);
    // No heading for the 3128A.
    EXPECT_TRUE(StartsWith(c->report.str(), "\n   Powerdown :\t\t" + std::string(r.text) + "\n   Security"));
  }
}

TEST(SettingsSummary, NothingForOtherSources) {
  auto c = Prepared("EPM7256SRC208", 208, {});
  WriteSettingsSummary(c->run);
  EXPECT_EQ(c->report.str(), "");
  EXPECT_EQ(c->out.str(), "");
}

}  // namespace
}  // namespace fusecvt::test
