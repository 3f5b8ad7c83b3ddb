// Whole runs of the built binary: the run's steps, messages, files and exit
// statuses, the power-down refusal per package, and the help screens.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "ExpectedScreens.h"
#include "support/EndToEnd.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// One run of the binary in a fresh folder holding a.pof (one programmed
// logic fuse: every pin counts as used).
struct Converted {
  ScratchDir dir;
  RunResult result;
  std::string files;  // the folder's names afterwards, sorted

  // stop: 1 an unknown packet after the fuse data stops the read; 2 also an
  // output-enable fuse programmed, so that the fuse data counts as present.
  Converted(const char* device, std::vector<std::string> args, void (*prepare)(const std::string&) = nullptr,
            int stop = 0) {
    if (device) {
      PofBuilder pof(device);
      pof.image().logicArray.at(0, 0, 6) = '0';
      if (stop) pof.Append({25, "xx", {}});
      if (stop == 2) pof.image().outputEnable.data()[0] = '0';
      pof.WriteTo(dir.File("a.pof"));
    }
    if (prepare) prepare(dir.path());
    args.insert(args.begin(), "fusecvt");
    result = RunBinary(args, dir.path());
    result.out = std::regex_replace(result.out, std::regex("processed [0-9]+ seconds"), "processed 0 seconds");
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename());
    for (const std::string& n : names) files += (files.empty() ? "" : " ") + n;
  }
};

std::string Head(bool console, const char* source, const char* target, const std::string& stem = "a") {
  const auto names = console ? ConsoleFileNames : ReportFileNames;
  return ConversionLine(source, target) + names("a.pof", stem + ".jed", stem + ".txt");
}

TEST(Run, StepsMessagesFilesAndExitStatus) {
  const std::string lv = LowVoltageWarning(), done = kCompleted, timing = TimingLine();
  const char *plain7064 = "EPM7064LC68-10", *p7032 = "EPM7032LC44-10";
  const std::string c7064 = Head(true, plain7064, "QPL6064ESPLCC68"), r7064 = Head(false, plain7064, "QPL6064ESPLCC68");
  BlockSummary s7064, secured;
  s7064.heading = secured.heading = "Options :  (6064 only)";
  s7064.openCollector = s7064.jtag = secured.openCollector = secured.jtag = "OFF";
  secured.security = "ON";
  secured.powerReset = "ONCE";
  Qpl6000Summary plain, kept;
  plain.heading = "Options :  (6000 only)";
  plain.security = "OFF (Warning! This device does not support Security Bit!)";
  plain.pinKeeper = "";
  kept.security = kept.pinKeeper = "ON";
  const std::string refusal = "ERROR:  Invalid Device type specified. Target\n    device for 7032S is 6032ES\n\n";
  const std::string keepNote =
      StarLine(47) + "NOTE : This option is included in 6000E only.\n       Ignore -pin_keep option.\n" + StarLine(47);
  struct Row {
    const char* name;
    const char* device;  // nullptr: no POF
    std::vector<std::string> args;
    int status;
    std::string out, err, report;  // the console after the banner; the report after it ("": none)
    const char* files;
    const char* security;  // the JEDEC holds "G1*" ("1") or not ("0"); nullptr: no JEDEC
    void (*prepare)(const std::string& dir) = nullptr;
    const char* reportFile = "a.txt";
    int stop = 0;
  };
  // A run that converts: `before` and `after` the usual console lines.
  auto converted = [&](const char* name, const char* device, std::vector<std::string> args, const char* target,
                       const std::string& warn, const auto& summary, const char* security, const std::string& before = "",
                       const std::string& after = "", int status = 0, int stop = 0) {
    return Row{name, device, args, status, before + Head(true, device, target) + warn + timing + done + after, "",
               Head(false, device, target) + warn + done + summary.Text(), "a.jed a.pof a.txt", security, nullptr,
               "a.txt", stop};
  };
  const Row rows[] = {
      {"unreadable POF", nullptr, {"-slew", "slow", "none.pof"}, 1, "Cannot open none.pof for read\n", "", "", "", 0},
      converted("converted", plain7064, {"a.pof"}, "QPL6064ESPLCC68", lv, s7064, "0"),
      converted("secured, named ESL", plain7064, {"-secure", "-device", "6064ESL", "a.pof"}, "6064eslPLCC68", "", secured, "1"),
      converted("plain QPL6000 refuses security", p7032, {"-device", "p6000", "-secure", "a.pof"}, "p6000PLCC44", "",
                plain, "0", "", "Warning! This device does not support Security Bit, Igoring command line option.\n"),
      converted("QPL6000E keeps security", p7032, {"-device", "p6000e", "-secure", "-pin_keep", "a.pof"}, "p6000ePLCC44",
                "", kept, "1"),
      converted("pin keeper refused", p7032, {"-device", "6000E", "-pin_keep", "a.pof"}, "6000ePLCC44", "",
                Qpl6000Summary{}, "0", keepNote),
      {"7032S word refused", "EPM7032SLC44-7", {"-device", "6000E", "a.pof"}, 1,
       Head(true, "EPM7032SLC44-7", "6000ePLCC44") + refusal, "",
       Head(false, "EPM7032SLC44-7", "6000ePLCC44") + refusal, "a.pof a.txt", nullptr},
      {"stopped read without fuse data", "EPM7032LC44", {"a.pof"}, 1, "",
       "Error! Incompatible data format encountered in POF \a\n", "", "a.pof", nullptr, nullptr, "a.txt", 1},
      converted("stopped read with fuse data", plain7064, {"a.pof"}, "QPL6064ESPLCC68", lv, s7064, "0", "", "", 1, 2),
      {"report cannot be opened", plain7064, {"a.pof", "-o", "no/out"}, 1, "", "", "", "a.pof", nullptr},
      {"JEDEC path is a folder", plain7064, {"a.pof"}, 1, c7064 + lv + timing, "Cannot write output_file a.jed\n",
       r7064 + lv + s7064.Text(), "a.jed a.pof a.txt", nullptr,
       [](const std::string& d) { ASSERT_EQ(mkdir((d + "/a.jed").c_str(), 0755), 0); }},
      {"JEDEC write fails", plain7064, {"a.pof", "-o", "o.jed"}, 1,
       Head(true, plain7064, "QPL6064ESPLCC68", "o") + lv + "Jedec write problem: out of space \n", "",
       Head(false, plain7064, "QPL6064ESPLCC68", "o") + lv, "a.pof o.jed o.txt", nullptr,
       [](const std::string& d) { ASSERT_EQ(symlink("/dev/full", (d + "/o.jed").c_str()), 0); }, "o.txt"},
      {"JEDEC would be the input", plain7064, {"b.jed"}, 1, "",
       "Error! Output file b.jed would overwrite the input file\n", "", "b.jed", nullptr,
       [](const std::string& d) { ASSERT_EQ(rename((d + "/a.pof").c_str(), (d + "/b.jed").c_str()), 0); }},
      {"-o names a hard link of the input", plain7064, {"a.pof", "-o", "l.jed"}, 1, "",
       "Error! Output file l.jed would overwrite the input file\n", "", "a.pof l.jed", nullptr,
       [](const std::string& d) { ASSERT_EQ(link((d + "/a.pof").c_str(), (d + "/l.jed").c_str()), 0); }},
      {"-o names the report", plain7064, {"a.pof", "-o", "r.txt"}, 1, "",
       "Error! Output file r.txt is also the report file\n", "", "a.pof", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Converted c(r.device, r.args, r.prepare, r.stop);
    EXPECT_EQ(c.result.status, r.status);
    EXPECT_SAME_TEXT(Banner() + r.out, c.result.out);
    EXPECT_EQ(r.err, c.result.err);
    EXPECT_SAME_TEXT(r.report.empty() ? "" : Banner() + r.report, ReadFile(c.dir.File(r.reportFile)));
    EXPECT_EQ(c.files, r.files);
    const std::string jed =
        std::filesystem::is_regular_file(c.dir.File("a.jed")) ? ReadFile(c.dir.File("a.jed")) : std::string();
    EXPECT_EQ(jed.empty() ? '-' : jed.find("G1*") != std::string::npos ? '1' : '0', r.security ? *r.security : '-');
  }
}

// A design that uses every pin: -pd1 and -pd2 are refused, naming the pin of
// the package ("?" where the package has no such pin listed).
TEST(Run, PowerDownRefusalNamesThePinOfThePackage) {
  struct Row {
    const char *device, *pd1, *pd2;
  };
  const Row rows[] = {{"EPM7032SLC44-7", "11", "25"},  {"EPM7032STC44-7", "5", "19"},   {"EPM7032SQC44-10", "?", "?"},
                      {"EPM7064STC100-7", "14", "44"}, {"EPM7064LC68-10", "17", "37"},  {"EPM7064LC84-10", "20", "46"},
                      {"EPM7064SLC84-10", "?", "?"},   {"EPM7128SLC84-10", "12", "45"}, {"EPM7128SQC100-10", "3", "43"},
                      {"EPM7128SQC160-10", "159", "63"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.device);
    Converted c(r.device, {"-pd2", "-pd1", "a.pof"});
    EXPECT_EQ(c.result.status, 0);
    for (int stars : {67, 68}) {
      std::string boxes;
      for (const char* pd : {"PD1", "PD2"}) {
        boxes += StarLine(stars) + "-" + pd + ": Error! Pin " + (pd[2] == '1' ? r.pd1 : r.pd2) + " for " + pd +
                 " is used in your logic function.\n             " + pd + " option cannot be enabled.\n" +
                 StarLine(stars);
      }
      const std::string text = stars == 67 ? c.result.out : ReadFile(c.dir.File("a.txt"));
      EXPECT_NE(text.find(boxes), std::string::npos) << text;
    }
    EXPECT_NE(ReadFile(c.dir.File("a.txt")).find("   Powerdown :\t\tOFF\n"), std::string::npos);
  }
}

TEST(Run, HelpScreensByteForByte) {
  struct Row {
    std::vector<std::string> args;
    std::string name;  // the program name of the banner and the usage line
    const std::string& screen;
  };
  const Row rows[] = {
      {{"fusecvt"}, "fusecvt", screens::kPrompt},
      {{"C:\\bin\\other.exe"}, "other", screens::kPrompt},  // the prompt keeps its own word
      {{"/usr/local/bin/fusecvt"}, "/usr/local/bin/fusecvt", screens::kPrompt},
      {{"fusecvt", "-6000"}, "fusecvt", screens::kFamily6000},
      {{"fusecvt", "-6000E", "anything.pof"}, "fusecvt", screens::kFamily6000e},
      {{"fusecvt", "x.pof", "-6000e", "-6032es"}, "fusecvt", screens::kFamily6000e},
      {{"D:\\x\\My.Tool.EXE", "-6032es"}, "My.Tool", screens::kTarget},
      {{"a%sb%d", "-6064ESL"}, "a%sb%d", screens::kTarget},
      {{"fusecvt", "-6128esl"}, "fusecvt", screens::kTarget},
      {{"fusecvt", "-6128es", "-h2", "more.pof"}, "fusecvt", screens::kAdvanced6128},
      {{"fusecvt", "-6064esl", "-H2"}, "fusecvt", screens::kAdvanced6064},
      {{"fusecvt", "-6032es", "-h2"}, "fusecvt", screens::kAdvanced6032},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    const RunResult run = RunBinary(r.args);
    EXPECT_EQ(run.status, 1);
    const std::string usage = std::regex_replace(r.screen, std::regex("usg: fusecvt "), "usg: " + r.name + " ");
    EXPECT_SAME_TEXT(Banner(r.name) + usage, run.out);
    EXPECT_EQ(run.err, "");
  }
}

}  // namespace
}  // namespace fusecvt::test
