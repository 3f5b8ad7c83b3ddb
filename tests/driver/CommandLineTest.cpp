// The argument loop, the file names, and the choice of target per source kind
// and device word with the report header, as tables.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver/CommandLine.h"
#include "driver/Conversion.h"
#include "driver/Report.h"
#include "driver/TargetSet.h"
#include "jedec/BlockTarget.h"
#include "qpl6000/Qpl6000.h"
#include "support/EndToEnd.h"
#include "support/RunHarness.h"

namespace fusecvt::test {
namespace {

using O = ConversionOptions;

std::string Str(const std::string& v) { return v; }
std::string Str(int v) { return std::to_string(v); }
std::string Str(OptionState v) {
  static const char* const kStates[] = {"AUTO", "SLOW", "FAST", "ON", "OFF", "UNSET"};
  return kStates[v];
}

// Every option field that differs from a fresh record, as "name=value ...".
std::string Changed(const O& o) {
  const O d;
  std::string s;
#define FIELD(name, f) \
  if (Str(o.f) != Str(d.f)) s += (s.empty() ? "" : " ") + std::string(name) + "=" + Str(o.f);
  FIELD("in", inputFileName) FIELD("out", outputFileName) FIELD("rep", reportFileName) FIELD("dev", targetDeviceName)
  FIELD("help", helpTarget) FIELD("slew", slew) FIELD("open", openOut) FIELD("jtag", jtag) FIELD("mc", mcPower)
  FIELD("given", targetDeviceGiven) FIELD("race", raceCover) FIELD("resetBit", powerResetBit)
  FIELD("resetGiven", powerResetGiven) FIELD("itd1", gclk1Itd) FIELD("itd2", gclk2Itd) FIELD("itd3", gclk3Itd)
  FIELD("pd1", pd1) FIELD("pd2", pd2) FIELD("secure", secure) FIELD("pinclk", pinClock) FIELD("keep", pinKeep)
  FIELD("verbose", verbose) FIELD("tdi", tdiPullup) FIELD("tms", tmsPullup) FIELD("ptclk", ptClockConverted)
#undef FIELD
  return s;
}

struct Captured {
  std::ostringstream out, err, report;
  Conversion run{out, err, Clock::Fixed(TestTime())};
  Captured() { run.SetReport(&report); }
  ParseResult Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "fusecvt");
    return ParseCommandLine(args, run);
  }
};

constexpr char kNotice[] =
    "NOTE : You should not use -6128es option here when converting a file.\n"
    "       Ignore -6128es option.\n\n";

TEST(CommandLine, ArgumentsToOptionFieldsNoticesAndResult) {
  struct Row {
    std::vector<std::string> args;
    const char* fields;  // Changed() after the loop
    ParseResult result = CONTINUE;
    int notices = 0;     // the console holds this many notices (help screens: see the screen table)
  };
  const Row rows[] = {
      // Switches: the first N characters decide, tested in their order.
      {{"-powerdown"}, "pd1=1"}, {{"-POWERD"}, "pd1=1"}, {{"-pd1xyz"}, "pd1=1"}, {{"-PD2"}, "pd2=1"},
      {{"-powe"}, "resetBit=0 resetGiven=1"}, {{"-powerX"}, "resetBit=0 resetGiven=1"}, {{"-secu"}, "secure=1"},
      {{"-pinc"}, "pinclk=1"}, {{"-pin_"}, "keep=1"}, {{"-gclk1"}, "itd1=0"}, {{"-GCLK2_ITD"}, "itd2=0"},
      {{"-gclk3x"}, "itd3=0"}, {{"-race"}, "race=0"}, {{"-verb"}, "verbose=1"}, {{"-tdi_"}, "tdi=1"},
      {{"-TMS_PULLUP"}, "tms=1"},
      // Shorter than the characters that decide: a file name.
      {{"-pd"}, "in=-pd"}, {{"-pin"}, "in=-pin"}, {{"-gclk"}, "in=-gclk"}, {{"-mc_"}, "in=-mc_"},
      {{"-ope"}, "in=-ope"}, {{"-sle"}, "in=-sle"}, {{"-dev"}, "in=-dev"}, {{"-in"}, "in=-in"},
      {{"-oo"}, "in=-oo"}, {{"-600"}, "in=-600"}, {{"-6000x"}, "in=-6000x"}, {{"-6032e"}, "in=-6032e"},
      // Value words in any case, by their first characters; a value matching
      // no word is consumed and changes nothing.
      {{"-SLEW", "Slow"}, "slew=SLOW"}, {{"-slew", "AUTOMATIC"}, "slew=AUTO"}, {{"-slew", "fas"}, ""},
      {{"-slew", "on"}, ""}, {{"-slew", "slow", "-slew", "fast"}, "slew=FAST"},
      {{"-slew" + std::string(400, 'z'), "slow"}, "slew=SLOW"}, {{"-jtag", "On"}, "jtag=ON"},
      {{"-jtag", "offline"}, "jtag=OFF"}, {{"-jtag", "of"}, ""}, {{"-jtag", "maybe", "d.pof"}, "in=d.pof"},
      {{"-open", "AUTO"}, "open=AUTO"}, {{"-open_out", "onward"}, "open=ON"}, {{"-open_out", "slow"}, ""},
      {{"-mc_p", "OFF"}, "mc=OFF"}, {{"-mc_power", "on", "-mc_power", "auto"}, "mc=ON"}, {{"-slew", "-secure"}, ""},
      // File names and the device word keep their case; a later input name
      // replaces an earlier one.
      {{"-I", "Dir/D.POF", "-O", "Out/N", "-DEVICE", "P6000"}, "in=Dir/D.POF out=Out/N rep=Out/N dev=P6000 given=1"},
      {{"-devi", "x"}, "dev=x given=1"}, {{"-i", "-6000"}, "in=-6000"}, {{"a.pof", "b.pof"}, "in=b.pof"},
      {{"-i", "a.pof", "b.pof"}, "in=b.pof"}, {{"d.pof", "-h2"}, "in=-h2"},
      // An option with a value as the last argument does nothing.
      {{"d.pof", "-jtag"}, "in=d.pof"}, {{"d.pof", "-device"}, "in=d.pof"}, {{"d.pof", "-i"}, "in=d.pof"},
      {{"d.pof", "-o"}, "in=d.pof"}, {{"d.pof", "-slew"}, "in=d.pof"},
      // Family words show the usage and end the loop at once.
      {{"-secure", "-6000e", "-pd1", "later.pof"}, "help=-6000e secure=1", EXIT}, {{"-6000ESL"}, "help=-6000e", EXIT},
      {{"-6000"}, "help=-6000", EXIT},
      // Target words: usage when last, advanced help before -h2, else a
      // notice (always naming -6128es) and the next word lower-cased.
      {{"-6032esl"}, "help=6032", EXIT}, {{"-6064ES", "-H2", "d.pof"}, "help=6064", EXIT},
      {{"-6128esxx", "-h2"}, "help=6128", EXIT}, {{"-6032esl", "Design.POF"}, "in=design.pof help=6032", CONTINUE, 1},
      {{"-6128es", "-SLEW", "Slow", "-6064es", "-i", "Keep.POF"}, "in=Keep.POF help=6064 slew=SLOW", CONTINUE, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    Captured c;
    EXPECT_EQ(c.Parse(r.args), r.result);
    EXPECT_EQ(Changed(c.run.options), r.fields);
    std::string notices;
    for (int i = 0; i < r.notices; ++i) notices += kNotice;
    EXPECT_TRUE(r.result == EXIT || c.out.str() == notices) << c.out.str();
  }
}

TEST(CommandLine, FileNamesFromTheInputOrTheDashOName) {
  struct Row {
    const char *input, *dashO, *names;  // dashO nullptr: no -o; names: JEDEC and report
  };
  const Row rows[] = {
      {"design.pof", nullptr, "design.jed design.txt"}, {"design", nullptr, "design.jed design.txt"},
      {"d.rev.pof", nullptr, "d.rev.jed d.rev.txt"},    {"Dir/D.POF", nullptr, "Dir/D.jed Dir/D.txt"},
      {"p.v2/d", nullptr, "p.v2/d.jed p.v2/d.txt"},     {"../u.d/x.pof", nullptr, "../u.d/x.jed ../u.d/x.txt"},
      {".pof", nullptr, ".jed .txt"},                   {"design.pof", "out", "out.jed out.txt"},
      {"design.pof", "a.b.c", "a.b.c a.b.txt"},         {"design.pof", "out.txt", "out.txt out.txt"},
      {"design.pof", "o.d/x", "o.d/x.jed o.d/x.txt"},   {"design.pof", "o.d/", "o.d/.jed o.d/.txt"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.input) + " -o " + (r.dashO ? r.dashO : "(none)"));
    O o;
    o.inputFileName = r.input;
    if (r.dashO) o.outputFileName = o.reportFileName = r.dashO;
    DeriveFileNames(o);
    EXPECT_EQ(o.outputFileName + " " + o.reportFileName, r.names);
  }
}

enum Made { kNone, kRefused, kQpl6000, kQpl6032, kQpl6064, kQpl6128 };

// Per source kind and -device word, in the order the driver runs them: the
// defaults and the device word (the pin keeper refused for the word 6000e
// with a 7032-family source), the report header, the target made or the
// word refused, and the summary heading.
TEST(CommandLine, SourceKindAndDeviceWordChooseTheTarget) {
  struct Row {
    const char* source;
    std::vector<std::string> args;
    const char* target;  // of the conversion line: name, package, pins
    bool warned;         // the low-voltage warning
    Made made;
    std::string fields;  // Changed() at the end, but for the names of the report header
    const char* heading;  // of the settings summary: "Options :  (... only)"
  };
  const std::string au = "slew=AUTO open=AUTO jtag=AUTO";
  const Row rows[] = {
      {"EPM7032LC44", {}, "QPL6000ePLCC44", true, kQpl6000, "slew=FAST", "6000E"},
      {"EPM7032LC44", {"-device", "P6000"}, "p6000PLCC44", 0, kQpl6000, "slew=FAST", "6000"},
      {"EPM7032LC44", {"-device", "6000E", "-pin_keep"}, "6000ePLCC44", 0, kQpl6000, "slew=FAST", "6000E"},
      {"EPM7032LC44", {"-device", "6064es"}, "6064esPLCC44", 0, kQpl6000, "slew=FAST", ""},
      {"EPM7032LC44", {"-device", "qpl6032esl"}, "qpl6032eslPLCC44", 0, kQpl6032, "slew=FAST resetBit=0", ""},
      {"EPM7032QC44", {"-device", "6032ES"}, "6032esTQFP44", 0, kQpl6032, "slew=FAST", ""},
      {"EPM7032SLC44", {}, "QPL6032ESPLCC44", true, kQpl6032, au, "6032"},
      {"EPM7032SQC44", {"-device", "P6000"}, "p6000PQFP44", 0, kRefused, au, ""},
      {"EPM7032SLC44", {"-device", "qpl6000e"}, "qpl6000ePLCC44", 0, kRefused, au, ""},
      {"EPM7032AELC44", {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", 0, kQpl6032, au, "6032"},
      {"EPM3032ALC44", {}, "QPL6032ESLPLCC44", 0, kQpl6032, au + " resetBit=0", ""},
      {"EPM7064SLC44", {"-device", "6000e", "-pin_keep"}, "6000ePLCC44", 0, kQpl6064, au + " keep=1", "6064"},
      {"EPM7064LC84", {}, "QPL6064ESPLCC84", true, kQpl6064, "slew=AUTO open=OFF jtag=OFF", "6064"},
      {"EPM7064SLC84", {"-power_reset"}, "QPL6064ESPLCC84", 0, kQpl6064, au + " resetBit=0 resetGiven=1", "6064"},
      {"EPM7064AETC100", {}, "QPL6064ESLTQFP100", 0, kQpl6064, au + " resetBit=0", "6064"},
      {"EPM3064ATC100", {}, "QPL6064ESLTQFP100", 0, kQpl6064, au + " resetBit=0", ""},
      {"EPM7128LC84", {"-slew", "slow", "-jtag", "on"}, "QPL6128ESPLCC84", true, kQpl6128, "slew=SLOW open=OFF jtag=ON", "6128"},
      {"EPM7128ELC84", {}, "QPL6128ESPLCC84", true, kQpl6128, "slew=AUTO open=OFF jtag=OFF", "6128"},
      {"EPM7128SLTQ84", {}, "QPL6128ESPLCC84", true, kQpl6128, au, "6128"},
      {"EPM7128ATC100", {}, "QPL6128ESLTQFP100", 0, kQpl6128, "slew=AUTO open=OFF jtag=OFF resetBit=0", "6128"},
      {"EPM7128AEL84", {"-device", "6128ES"}, "6128esPLCC84", 0, kQpl6128, au, "6128"},
      {"EPM3128A84", {}, "QPL6128ESL!UNKNOWN_PACKAGE!84", 0, kQpl6128, au + " resetBit=0", ""},
      {"EPM7256SRC208", {}, "UNKNOWN_DEVICE!!UNKNOWN_PACKAGE!208", true, kNone, "slew=AUTO", ""},
  };
  const std::string refusal = "ERROR:  Invalid Device type specified. Target\n    device for 7032S is 6032ES\n\n";
  for (const Row& r : rows) {
    const std::string source = r.source;
    SCOPED_TRACE(source + " " + testing::PrintToString(r.args));
    Captured c;
    c.run.pof.sourceDeviceName = source;
    const std::string target = r.target;
    c.run.pof.pinCount = std::stoi(target.substr(target.find_last_not_of("0123456789") + 1));
    ASSERT_EQ(c.Parse(r.args), CONTINUE);
    ResolveSourceDefaults(source, c.run.options);
    NormalizeDeviceName(source, c.run);
    c.run.options.inputFileName = "d.pof";
    DeriveFileNames(c.run.options);
    WriteReportHeader(c.run);
    TargetSet targets;
    EXPECT_EQ(targets.SelectTarget(&source, c.run) != 0, r.made > kRefused);
    const Made made = targets.qpl6000 ? kQpl6000 : targets.qpl6032 ? kQpl6032 : targets.qpl6064 ? kQpl6064
                      : targets.qpl6128 ? kQpl6128 : targets.DeviceWordRefused() ? kRefused : kNone;
    EXPECT_EQ(made, r.made);
    EXPECT_EQ(c.report.str(), ConversionLine(source, target) + ReportFileNames("d.pof", "d.jed", "d.txt") +
                                  (r.warned ? LowVoltageWarning() : "") + (made == kRefused ? refusal : ""));
    O o = c.run.options;  // less the names the report's lines show
    o.outputFileName = o.reportFileName = o.inputFileName = "";
    o.targetDeviceName = O().targetDeviceName;
    o.targetDeviceGiven = 0;
    EXPECT_EQ(Changed(o), r.fields);
    std::ostringstream summary;
    c.run.SetReport(&summary);
    if (made != kRefused) WriteSettingsSummary(c.run);  // a refused word ends the run before it
    const std::string heading = summary.str().substr(0, summary.str().find("   Powerdown"));
    const std::string want = *r.heading ? "\nOptions :  (" + std::string(r.heading) + " only)\n" : "\n";
    EXPECT_EQ(heading, made <= kRefused ? "" : want);
  }
}

}  // namespace
}  // namespace fusecvt::test
