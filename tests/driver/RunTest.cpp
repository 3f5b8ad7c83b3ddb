// The run from the command line to the exit status: early ends, the report,
// the output-path guard, the target choice and the closing lines.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "Captured.h"
#include "driver/Run.h"
#include "driver/TargetDevice.h"
#include "driver/Version.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

std::string Banner(const std::string& programName = "fusecvt") {
  return std::string(kMakerName) + " " + programName + " " + kVersionText + kBuildDate + "\n" +
         kRightsNotice + "\n\n";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// A target that records the calls the driver makes.
class FakeTarget : public TargetDevice {
 public:
  std::vector<std::string> calls;
  int writeResult = kJedecWritten;
  bool convertsClock = false;

  void ReadProductTerms(Conversion&) override { calls.push_back("ReadProductTerms"); }
  void TranslateMacrocells(Conversion& run) override {
    calls.push_back("TranslateMacrocells");
    if (convertsClock) run.options.ptClockConverted = 1;
  }
  void RouteGlobalOe(Conversion&) override { calls.push_back("RouteGlobalOe"); }
  void ApplyDeviceOptions(Conversion& run) override {
    calls.push_back("ApplyDeviceOptions");
    run.report() << "stage note\n";
  }
  void RouteUim(Conversion&) override { calls.push_back("RouteUim"); }
  void ClearUnusedProductTerms(Conversion&) override { calls.push_back("ClearUnusedProductTerms"); }
  int WriteJedec(Conversion& run) override {
    calls.push_back("WriteJedec security=" + std::to_string(run.sources.securityBit));
    return writeResult;
  }
};

// A clock that answers `first` and then `first + step`, `first + 2 step`, ...
Clock Ticking(std::time_t first, std::time_t step) {
  Clock c = Clock::Fixed(TestTime());
  auto next = std::make_shared<std::time_t>(first);
  c.seconds = [next, step] {
    const std::time_t now = *next;
    *next += step;
    return now;
  };
  return c;
}

struct Finished {
  int status;
  std::string out, report;
  std::vector<std::string> calls;
};

Finished Finish(FakeTarget& target, int loadResult, bool plain, void (*setup)(Conversion&) = nullptr) {
  std::ostringstream out, err, report;
  Conversion run(out, err, Ticking(100, 7));
  run.SetReport(&report);
  run.options.programName = "fusecvt";
  run.pof.sourceDeviceName = "EPM7064SLC44";
  run.options.slew = AUTO;
  run.options.openOut = AUTO;
  run.options.jtag = AUTO;
  if (setup) setup(run);
  const std::time_t start = run.clock.seconds();
  const int status = FinishConversion(run, target, plain, loadResult, start);
  EXPECT_EQ(err.str(), "");
  return {status, out.str(), report.str(), target.calls};
}

const std::vector<std::string> kStages = {"ReadProductTerms", "TranslateMacrocells", "RouteGlobalOe",
                                          "ApplyDeviceOptions", "RouteUim", "ClearUnusedProductTerms"};

TEST(FinishConversion, StagesInOrderThenClosingLines) {
  for (int loadResult : {0, 1}) {
    FakeTarget target;
    Finished f = Finish(target, loadResult, false);
    std::vector<std::string> expected = kStages;
    expected.push_back("WriteJedec security=0");
    EXPECT_EQ(f.calls, expected);
    EXPECT_EQ(f.status, loadResult);
    EXPECT_EQ(f.out, "fusecvt processed 7 seconds\nConversion is completed\n");
    EXPECT_EQ(f.report.rfind("stage note\nConversion is completed\n\nOptions :  (6064 only)\n", 0), 0u);
    EXPECT_TRUE(Has(f.report, "   TMS Pullup :\t\tOFF\n"));
  }
}

TEST(FinishConversion, ConvertedClockLineBeforeTiming) {
  FakeTarget target;
  target.convertsClock = true;
  Finished f = Finish(target, 0, false);
  EXPECT_EQ(f.out,
            "**** There are PT-Clock converted to Pin Clock ****\n"
            "fusecvt processed 7 seconds\n"
            "Conversion is completed\n");
  EXPECT_EQ(f.report.rfind("stage note\n**** There are PT-Clock converted to Pin Clock ****\nConversion is completed\n", 0),
            0u);
  EXPECT_TRUE(Has(f.report, "   PinClk :\t\tON\n"));
}

TEST(FinishConversion, SecurityStepUnlessPlainQpl6000) {
  struct Row {
    bool secure;
    bool plain;
    const char* write;
  };
  for (const Row& r : {Row{true, false, "WriteJedec security=1"}, Row{true, true, "WriteJedec security=0"},
                       Row{false, false, "WriteJedec security=0"}}) {
    FakeTarget target;
    void (*secure)(Conversion&) = [](Conversion& run) { run.options.secure = 1; };
    Finished f = Finish(target, 0, r.plain, r.secure ? secure : nullptr);
    ASSERT_EQ(f.calls.size(), 7u);
    EXPECT_EQ(f.calls.back(), r.write);
  }
}

TEST(FinishConversion, UnopenedJedecFileEndsWithOneAndNoCompletion) {
  for (int loadResult : {0, 1}) {
    FakeTarget target;
    target.writeResult = kJedecOpenFailed;
    Finished f = Finish(target, loadResult, false);
    EXPECT_EQ(f.status, 1);
    EXPECT_EQ(f.out, "fusecvt processed 7 seconds\n");
    EXPECT_FALSE(Has(f.report, "Conversion is completed"));
    EXPECT_EQ(f.report.rfind("stage note\n\nOptions :  (6064 only)\n", 0), 0u);
  }
}

TEST(FinishConversion, FailedJedecWriteEndsAtOnce) {
  FakeTarget target;
  target.writeResult = kJedecWriteFailed;
  target.convertsClock = true;
  Finished f = Finish(target, 0, false);
  EXPECT_EQ(f.status, 1);
  EXPECT_EQ(f.out, "");
  EXPECT_EQ(f.report, "stage note\n");
}

// Runs entered after the POF read, with a source image installed directly.
class LoadedRun : public ::testing::Test {
 protected:
  ScratchDir dir;
  Captured c;
  std::string input = dir.File("design.pof");

  void SetUp() override {
    WriteFile(input, "not a real POF");
    c.run.options.programName = "fusecvt";
    c.run.options.inputFileName = input;
  }
  // The image of the device, with one programmed fuse in its probe field
  // when `fused`.
  void Source(const std::string& device, int pins, bool fused) {
    c.run.pof.sourceDeviceName = device;
    c.run.pof.pinCount = pins;
    SourceImage* image = c.run.sources.CreateImage(device);
    ASSERT_NE(image, nullptr);
    if (fused) {
      FuseArray& probe = image->ues.empty() ? image->ioConfig : image->ues;
      probe.data()[0] = '0';
      ASSERT_EQ(c.run.sources.HasFuseData(), 1);
    }
  }
  int Run(int loadResult = 0) {
    c.run.SetReport(nullptr);  // the driver opens its own report
    return ConvertLoadedPof(c.run, loadResult, 0);
  }
};

TEST_F(LoadedRun, StoppedReadWithoutFuseDataIsIncompatible) {
  Source("EPM7032LC44", 44, false);
  c.run.options.targetDeviceName = "6000E";
  c.run.options.pinKeep = 1;
  EXPECT_EQ(Run(1), 1);
  EXPECT_EQ(c.err.str(), "Error! Incompatible data format encountered in POF \a\n");
  // The device word was settled before the check.
  EXPECT_TRUE(Has(c.out.str(), "NOTE : This option is included in 6000E only.\n"));
  EXPECT_EQ(c.run.options.slew, FAST);
  EXPECT_FALSE(FileExists(dir.File("design.txt")));
  EXPECT_FALSE(FileExists(dir.File("design.jed")));
}

TEST_F(LoadedRun, CompleteReadSkipsTheFuseDataCheck) {
  // No image at all (a device without an image kind): the header is written,
  // no target is chosen, and the run ends quietly.
  c.run.pof.sourceDeviceName = "EPM7256SRC208";
  c.run.pof.pinCount = 208;
  EXPECT_EQ(Run(0), 0);
  EXPECT_EQ(c.err.str(), "");
  const std::string report = ReadFile(dir.File("design.txt"));
  EXPECT_EQ(report.rfind(Banner() + "  EPM7256SRC208 --> UNKNOWN_DEVICE!!UNKNOWN_PACKAGE!208\n"
                                    "Input file                : " + input + "\n",
                         0),
            0u);
  EXPECT_TRUE(EndsWith(report, "   please use the -power_reset option.\n\n"));
  EXPECT_FALSE(FileExists(dir.File("design.jed")));
  EXPECT_FALSE(Has(c.out.str(), "processed"));
}

TEST_F(LoadedRun, StoppedReadWithFuseDataGoesOn) {
  Source("EPM7032SLC44", 44, true);
  c.run.options.targetDeviceName = "6000e";
  EXPECT_EQ(Run(1), 1);  // refused word, below; the report proves the run went on
  EXPECT_TRUE(FileExists(dir.File("design.txt")));
}

TEST_F(LoadedRun, Refused7032sWordEndsWithOne) {
  Source("EPM7032SLC44", 44, true);
  c.run.options.targetDeviceName = "6000E";
  c.run.options.targetDeviceGiven = 1;
  EXPECT_EQ(Run(0), 1);
  const std::string refusal =
      "ERROR:  Invalid Device type specified. Target\n"
      "    device for 7032S is 6032ES\n\n";
  const std::string names = "Input file                : " + input + "\nOutput file               : " +
                            dir.File("design.jed") + "\nConversion Report file    : " + dir.File("design.txt") +
                            "\n\n";
  EXPECT_EQ(ReadFile(dir.File("design.txt")), Banner() + "  EPM7032SLC44 --> 6000ePLCC44\n" + names + refusal);
  const std::string consoleNames = "Input file      \t: " + input + "\nOutput file     \t: " +
                                   dir.File("design.jed") + "\nConversion Report file\t: " +
                                   dir.File("design.txt") + "\n\n";
  EXPECT_EQ(c.out.str(), "  EPM7032SLC44 --> 6000ePLCC44\n" + consoleNames + refusal);
  EXPECT_FALSE(FileExists(dir.File("design.jed")));
}

TEST_F(LoadedRun, UnopenableReportEndsSilentlyWithOne) {
  Source("EPM7064SLC44", 44, true);
  c.run.options.outputFileName = c.run.options.reportFileName = dir.File("missing/out");
  EXPECT_EQ(Run(0), 1);
  EXPECT_EQ(c.out.str(), "");
  EXPECT_EQ(c.err.str(), "");
  EXPECT_FALSE(FileExists(dir.File("missing")));
}

TEST_F(LoadedRun, UnopenableJedecFileLeavesOutCompletion) {
  Source("EPM7064SLC44", 44, true);
  const std::string jed = dir.File("x.jed");
  ASSERT_EQ(mkdir(jed.c_str(), 0755), 0);  // a folder where the JEDEC file should go
  c.run.options.outputFileName = c.run.options.reportFileName = jed;
  EXPECT_EQ(Run(0), 1);
  EXPECT_TRUE(Has(c.err.str(), "Cannot write output_file " + jed + "\n"));
  EXPECT_TRUE(Has(c.out.str(), "fusecvt processed 0 seconds\n"));
  EXPECT_FALSE(Has(c.out.str(), "Conversion is completed"));
  const std::string report = ReadFile(dir.File("x.txt"));
  EXPECT_FALSE(Has(report, "Conversion is completed"));
  EXPECT_TRUE(Has(report, "\nOptions :  (6064 only)\n"));
  EXPECT_TRUE(EndsWith(report, "\n   TMS Pullup :\t\tOFF\n"));
}

TEST_F(LoadedRun, OutputsNeverOverwriteTheInputOrEachOther) {
  struct Row {
    std::string input;      // relative to the scratch folder; created
    std::string dashO;      // "" for none
    std::string collision;  // the path named in the message
    bool alsoReport;        // the "is also the report file" message
  };
  const Row rows[] = {
      {"design.jed", "", "design.jed", false},
      {"design.txt", "", "design.txt", false},
      {"design.pof", "design.pof", "design.pof", false},
      {"design.pof", "design.txt", "design.txt", true},
      {"design.pof", "out.txt", "out.txt", true},
      {"a/design.pof", "a/../a/./design.pof", "a/../a/./design.pof", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.input + " -o " + r.dashO);
    ScratchDir d;
    Captured run;
    const std::string in = d.File(r.input);
    mkdir(d.File("a").c_str(), 0755);
    WriteFile(in, "keep me");
    run.run.options.programName = "fusecvt";
    run.run.options.inputFileName = in;
    if (!r.dashO.empty()) run.run.options.outputFileName = run.run.options.reportFileName = d.File(r.dashO);
    run.run.pof.sourceDeviceName = "EPM7064SLC44";
    ASSERT_NE(run.run.sources.CreateImage("EPM7064SLC44"), nullptr);
    run.run.SetReport(nullptr);
    EXPECT_EQ(ConvertLoadedPof(run.run, 0, 0), 1);
    const std::string path = d.File(r.collision);
    EXPECT_EQ(run.err.str(), r.alsoReport ? "Error! Output file " + path + " is also the report file\n"
                                          : "Error! Output file " + path + " would overwrite the input file\n");
    EXPECT_EQ(ReadFile(in), "keep me");
    EXPECT_FALSE(FileExists(d.File("design.txt")) && r.input != "design.txt");
    EXPECT_FALSE(FileExists(d.File("out.txt")));
  }
}

TEST_F(LoadedRun, HardLinkToTheInputCountsAsTheInput) {
  Source("EPM7064SLC44", 44, true);
  const std::string link = dir.File("other.jed");
  ASSERT_EQ(::link(input.c_str(), link.c_str()), 0);
  c.run.options.outputFileName = c.run.options.reportFileName = link;
  EXPECT_EQ(Run(0), 1);
  EXPECT_EQ(c.err.str(), "Error! Output file " + link + " would overwrite the input file\n");
  EXPECT_EQ(ReadFile(link), "not a real POF");
}

// The whole run, through the command line, up to the POF read.
TEST(RunConversion, UnreadablePofEndsWithOneAfterTheBanner) {
  ScratchDir d;
  const std::string pof = d.File("none.pof");
  RunResult r = RunInProcess({"fusecvt", "-slew", "slow", pof});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Banner() + "Cannot open " + pof + " for read\n");
  EXPECT_FALSE(FileExists(d.File("none.txt")));
}

TEST(RunConversion, LastFileNameAndLowerCasedTargetWordArgument) {
  ScratchDir d;
  RunResult r = RunInProcess({"fusecvt", d.File("a.pof"), d.File("b.pof")});
  EXPECT_TRUE(Has(r.out, "Cannot open " + d.File("b.pof") + " for read\n"));
  RunResult t = RunInProcess({"fusecvt", "-6032esl", "Design.POF"});
  EXPECT_EQ(t.status, 1);
  EXPECT_EQ(t.out, Banner() +
                       "NOTE : You should not use -6128es option here when converting a file.\n"
                       "       Ignore -6128es option.\n\n"
                       "Cannot open design.pof for read\n");
}

TEST(RunConversion, HelpScreenEndsBeforeAnyRead) {
  ScratchDir d;
  RunResult r = RunInProcess({"fusecvt", d.File("x.pof"), "-6000e", "-6032es"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(Has(r.out, "Cannot open"));
  EXPECT_TRUE(Has(r.out, "   -pin_keep              : Enable pin keeper circuits\n"));
}

TEST(RunConversion, BinaryEndsWithTheSameStatuses) {
  ScratchDir d;
  const std::string pof = d.File("gone.pof");
  RunResult r = RunBinary({"fusecvt", pof});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Banner() + "Cannot open " + pof + " for read\n");
  EXPECT_EQ(r.err, "");
  RunResult named = RunBinary({"C:\\tools\\FuseCvt.exe", "-6032es"});
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(named.out.rfind(Banner("FuseCvt") + "usg: FuseCvt [-i] filename.POF", 0), 0u);
}

}  // namespace
}  // namespace fusecvt::test
