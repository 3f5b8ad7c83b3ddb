// Whole runs of the built binary on the paths a new user hits: reports that
// cannot be opened or written, files that are no POF, -o naming a folder, a
// file name after a target word, the warnings of the command line, a closed
// console, --help and --version, SOURCE_DATE_EPOCH and the program name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/DesignRun.h"
#include "driver/Conversion.h"
#include "driver/Version.h"
#include "support/EndToEnd.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

constexpr char kPlain7064[] = "EPM7064LC68-10";
constexpr char k7032S[] = "EPM7032SLC44-10";
constexpr char kPlain7032[] = "EPM7032LC44-10";

// The settings summary of a plain 7064 source converted without options.
BlockSummary Plain7064() {
  BlockSummary s;
  s.heading = "Options :  (6064 only)";
  s.openCollector = s.jtag = "OFF";
  return s;
}
std::string Plain7064Summary() { return Plain7064().Text(); }

// Console (after the banner) and report (after the banner) of a plain 7064
// conversion of `input` into <stem>.jed and <stem>.txt.
std::string Console7064(const std::string& stem, const std::string& input = "a.pof") {
  return Head(true, kPlain7064, "QPL6064ESPLCC68", stem, input) + LowVoltageWarning() + TimingLine() + kCompleted;
}
std::string Report7064(const std::string& stem, const std::string& input = "a.pof") {
  return Head(false, kPlain7064, "QPL6064ESPLCC68", stem, input) + LowVoltageWarning() + kCompleted +
         Plain7064Summary();
}

void MakeDir(const std::string& path, mode_t mode = 0755) { ASSERT_EQ(mkdir(path.c_str(), mode), 0) << path; }
void Move(const std::string& from, const std::string& to) { ASSERT_EQ(std::rename(from.c_str(), to.c_str()), 0); }

// Whole runs: statuses, both streams, the files left, the report and the
// JEDEC file's security fuse. Conversions with their messages, reports that
// cannot be opened or completed, inputs that are no POF, reads that stop,
// -o naming a folder or the input, JEDEC files that cannot be written.
TEST(RunOutcomes, StatusStreamsFilesAndReport) {
  struct Row {
    const char* name;
    const char* device;  // nullptr: no a.pof
    std::vector<std::string> args;
    void (*prepare)(const std::string& dir);
    int status;
    std::string out, err;  // the console after the banner; standard error
    const char* files;
    const char* jed = nullptr;  // a JEDEC file written and kept, which must be sound
    std::string report = "";    // after the banner; "": not looked at
    const char* reportFile = "a.txt";
    bool needsPermissions = false;  // a read-only folder does not stop root
    char security = 0;              // a.jed holds "G1*" ('1') or not ('0'); 0: not looked at
    int stop = 0;                   // Converted's read stop
  };
  const std::string lv = LowVoltageWarning(), timing = TimingLine();
  BlockSummary secured = Plain7064();
  secured.security = "ON", secured.powerReset = "ONCE";
  // A run that converts a.pof: `before` and `after` the usual console lines.
  auto converted = [&](const char* name, const char* device, std::vector<std::string> args, const char* target,
                       const std::string& warn, const std::string& summary, char security, const std::string& before = "",
                       const std::string& after = "", int status = 0, int stop = 0) {
    Row r{name, device, args, nullptr, status, before + Head(true, device, target) + warn + timing + kCompleted + after,
          "", "a.jed a.pof a.txt", nullptr, Head(false, device, target) + warn + kCompleted + summary};
    r.security = security;
    r.stop = stop;
    return r;
  };
  const std::string noFolder = ": No such file or directory\n";
  const Row rows[] = {
      {"report in a missing folder", kPlain7064, {"a.pof", "-o", "no/out"}, nullptr, 1, "",
       "Error! Cannot open report file no/out.txt" + noFolder, "a.pof"},
      {"report below a regular file", kPlain7064, {"a.pof", "-o", "f/out"},
       [](const std::string& d) { WriteFile(d + "/f", "x"); }, 1, "",
       "Error! Cannot open report file f/out.txt: Not a directory\n", "a.pof f"},
      {"report in a read-only folder", kPlain7064, {"a.pof", "-o", "ro/out"},
       [](const std::string& d) { MakeDir(d + "/ro", 0555); }, 1, "",
       "Error! Cannot open report file ro/out.txt: Permission denied\n", "a.pof ro", nullptr, "", "a.txt", true},
      {"report is a link to a full device", kPlain7064, {"a.pof"},
       [](const std::string& d) { ASSERT_EQ(symlink("/dev/full", (d + "/a.txt").c_str()), 0); }, 1,
       Console7064("a"), "Error! Cannot write report file a.txt\n", "a.jed a.pof a.txt", "a.jed"},
      {"a text file", nullptr, {"b.pof"}, [](const std::string& d) { WriteFile(d + "/b.pof", "design notes\n"); }, 1,
       "", "Error! b.pof is not a POF file\n", "b.pof"},
      {"an empty file, named without its extension", nullptr, {"e"},
       [](const std::string& d) { WriteFile(d + "/e.pof", ""); }, 1, "", "Error! e.pof is not a POF file\n", "e.pof"},
      {"-o folder ending in a slash", kPlain7064, {"a.pof", "-o", "out/"},
       [](const std::string& d) { MakeDir(d + "/out"); }, 0, Console7064("out/a"), "",
       "a.pof out out/a.jed out/a.txt", "out/a.jed", Report7064("out/a"), "out/a.txt"},
      {"-o existing folder", kPlain7064, {"-o", "out", "a.pof"}, [](const std::string& d) { MakeDir(d + "/out"); },
       0, Console7064("out/a"), "", "a.pof out out/a.jed out/a.txt", "out/a.jed", Report7064("out/a"), "out/a.txt"},
      {"-o the working folder", kPlain7064, {"a.pof", "-o", "."}, nullptr, 0, Console7064("./a"), "",
       "a.jed a.pof a.txt", "a.jed", Report7064("./a")},
      {"-o missing folder ending in a slash", kPlain7064, {"a.pof", "-o", "new/"}, nullptr, 1, "",
       "Error! Cannot open report file new/a.txt" + noFolder, "a.pof"},
      {"-o folder that holds the input", kPlain7064, {"o/a.jed", "-o", "o/"},
       [](const std::string& d) {
         MakeDir(d + "/o");
         Move(d + "/a.pof", d + "/o/a.jed");
       },
       1, "", "Error! Output file o/a.jed would overwrite the input file\n", "o o/a.jed"},
      {"mixed-case name after a target word", kPlain7064, {"-6064es", "MyDesign.pof"},
       [](const std::string& d) { Move(d + "/a.pof", d + "/MyDesign.pof"); }, 0,
       TargetWordNotice("-6064es") + Console7064("MyDesign", "MyDesign.pof"), "",
       "MyDesign.jed MyDesign.pof MyDesign.txt", "MyDesign.jed", Report7064("MyDesign", "MyDesign.pof"),
       "MyDesign.txt"},
      {"unreadable POF", nullptr, {"-slew", "slow", "none.pof"}, nullptr, 1, "Cannot open none.pof for read\n", "", ""},
      converted("converted", kPlain7064, {"a.pof"}, "QPL6064ESPLCC68", lv, Plain7064Summary(), '0'),
      converted("secured, named ESL", kPlain7064, {"-secure", "-device", "6064ESL", "a.pof"}, "6064eslPLCC68", "",
                secured.Text(), '1'),
      {"7032S word refused", "EPM7032SLC44-7", {"-device", "6000E", "a.pof"}, nullptr, 1,
       Head(true, "EPM7032SLC44-7", "6000ePLCC44") + k7032SRefusal, "", "a.pof a.txt", nullptr,
       Head(false, "EPM7032SLC44-7", "6000ePLCC44") + k7032SRefusal},
      {"144-pin package refused", "EPM7128AETC144-10", {"a.pof"}, nullptr, 1, "",
       "Error! Device EPM7128AETC144-10 has a 144-pin package; no target device has one\n", "a.pof"},
      {"stopped read without fuse data", "EPM7032LC44", {"a.pof"}, nullptr, 1, "",
       "Error! Incompatible data format encountered in POF \a\n", "a.pof", nullptr, "", "a.txt", false, 0, 1},
      converted("stopped read with fuse data", kPlain7064, {"a.pof"}, "QPL6064ESPLCC68", lv, Plain7064Summary(), '0', "",
                "", 1, 2),
      {"JEDEC path is a folder", kPlain7064, {"a.pof"}, [](const std::string& d) { MakeDir(d + "/a.jed"); }, 1,
       Head(true, kPlain7064, "QPL6064ESPLCC68") + lv + timing, "Cannot write output_file a.jed\n", "a.jed a.pof a.txt",
       nullptr, Head(false, kPlain7064, "QPL6064ESPLCC68") + lv + Plain7064Summary()},
      {"JEDEC write fails", kPlain7064, {"a.pof", "-o", "o.jed"},
       [](const std::string& d) { ASSERT_EQ(symlink("/dev/full", (d + "/o.jed").c_str()), 0); }, 1,
       Head(true, kPlain7064, "QPL6064ESPLCC68", "o") + lv + "Jedec write problem: out of space \n", "",
       "a.pof o.jed o.txt", nullptr, Head(false, kPlain7064, "QPL6064ESPLCC68", "o") + lv, "o.txt"},
      {"JEDEC would be the input", kPlain7064, {"b.jed"}, [](const std::string& d) { Move(d + "/a.pof", d + "/b.jed"); },
       1, "", "Error! Output file b.jed would overwrite the input file\n", "b.jed"},
      {"-o names a hard link of the input", kPlain7064, {"a.pof", "-o", "l.jed"},
       [](const std::string& d) { ASSERT_EQ(link((d + "/a.pof").c_str(), (d + "/l.jed").c_str()), 0); }, 1, "",
       "Error! Output file l.jed would overwrite the input file\n", "a.pof l.jed"},
      {"-o names the report", kPlain7064, {"a.pof", "-o", "r.txt"}, nullptr, 1, "",
       "Error! Output file r.txt is also the report file\n", "a.pof"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    if (r.needsPermissions && geteuid() == 0) {
      std::printf("skipped row \"%s\": root writes into read-only folders\n", r.name);
      continue;
    }
    Converted c(r.device, r.args, {{}, r.prepare, r.stop});
    EXPECT_EQ(c.run.status, r.status);
    EXPECT_SAME_TEXT(Banner() + r.out, c.run.out);
    EXPECT_EQ(c.run.err, r.err);
    EXPECT_EQ(c.files, r.files);
    if (!r.report.empty()) {
      EXPECT_SAME_TEXT(Banner() + r.report, ReadFile(c.dir.File(r.reportFile)));
    }
    if (r.jed) ExpectSoundJedec(c.dir.File(r.jed), 34192);
    if (r.security) {
      const std::string jed = ReadFile(c.dir.File("a.jed"));
      EXPECT_EQ(jed.find("G1*") != std::string::npos ? '1' : '0', r.security);
    }
  }
}

// Each warning of the command line, on standard error in argument order; the
// run goes on and writes, byte for byte, what the run without the word writes.
TEST(RunWarnings, EachNamedOnStandardErrorAndTheRunGoesOn) {
  const std::vector<std::string> sameDate = {"SOURCE_DATE_EPOCH=1000000000"};
  struct Row {
    const char* device;
    std::vector<std::string> args, without;  // with the words warned about; without them
    std::string err;
  };
  const Row rows[] = {
      {kPlain7064, {"-slwe", "slow", "-JTAG", "Maybe", "-i", "b.pof", "a.pof", "-h2"}, {"a.pof"},
       "Warning: unknown option -slwe ignored\nWarning: unknown value Maybe for -jtag ignored\n"
       "Warning: input file slow replaced by b.pof\nWarning: input file b.pof replaced by a.pof\n"
       "Warning: unknown option -h2 ignored\n"},
      {k7032S, {"-device", "6064ES", "a.pof"}, {"a.pof"},
       "Warning: -device 6064ES does not name a target for " + std::string(k7032S) + "; ignored\n"},
      {kPlain7064, {"-pin_keep", "-device", "6128es", "a.pof"}, {"-pin_keep", "a.pof"},
       "Warning: -device 6128es does not name a target for " + std::string(kPlain7064) + "; ignored\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.args));
    Converted c(r.device, r.args, {{}, nullptr, 0, {"", sameDate}});
    Converted plain(r.device, r.without, {{}, nullptr, 0, {"", sameDate}});
    EXPECT_EQ(c.run.status, 0);
    EXPECT_EQ(c.run.err, r.err);
    EXPECT_EQ(plain.run.err, "");
    EXPECT_SAME_TEXT(plain.run.out, c.run.out);
    EXPECT_EQ(c.files, "a.jed a.pof a.txt");
    for (const char* file : {"a.txt", "a.jed"}) {
      EXPECT_SAME_TEXT(ReadFile(plain.dir.File(file)), ReadFile(c.dir.File(file)));
    }
  }
}

// SOURCE_DATE_EPOCH fixes the "Created on" line of both JEDEC writers at
// that time in UTC (the local zone here is nine hours ahead), so two runs
// give identical files; a value that is no non-negative integer is ignored.
// The second run's console has lost its reader: the run ends with its usual
// status, says nothing on standard error and writes both files just the same.
TEST(RunClock, SourceDateEpochGivesIdenticalFilesInUtcWithOrWithoutAConsole) {
  const std::string epoch = "SOURCE_DATE_EPOCH=1700000000", zone = "TZ=JST-9";
  const std::string created = "Created on: Tue Nov 14 22:13:20 2023\r\n";  // 1700000000 s after 1970 in UTC
  for (const char* device : {kPlain7064, kPlain7032}) {
    SCOPED_TRACE(device);
    Converted first(device, {"-verbose", "a.pof"}, {{}, nullptr, 0, {"", {epoch, zone}}});
    Converted closed(device, {"-verbose", "a.pof"}, {{}, nullptr, 0, {"", {epoch, zone}, true}});
    Converted ignored(device, {"a.pof"}, {{}, nullptr, 0, {"", {"SOURCE_DATE_EPOCH=-1700000000", zone}}});
    ASSERT_EQ(first.run.status, 0);
    const std::string jed = ReadFile(first.dir.File("a.jed"));
    EXPECT_NE(jed.find(created), std::string::npos) << jed.substr(0, 120);
    EXPECT_EQ(closed.run.status, 0);
    EXPECT_EQ(closed.run.err, "");
    EXPECT_EQ(closed.files, "a.jed a.pof a.txt");
    EXPECT_SAME_TEXT(jed, ReadFile(closed.dir.File("a.jed")));
    EXPECT_SAME_TEXT(ReadFile(first.dir.File("a.txt")), ReadFile(closed.dir.File("a.txt")));
    EXPECT_EQ(ReadFile(ignored.dir.File("a.jed")).find(created), std::string::npos);
    EXPECT_EQ(ignored.run.status, 0);
  }
  // A failing run keeps its status too.
  Converted refused(nullptr, {"missing.pof"}, {{}, nullptr, 0, {"", {}, true}});
  EXPECT_EQ(refused.run.status, 1);
}

TEST(RunClock, SourceDateEpochText) {
  struct Row {
    const char* text;
    std::optional<std::time_t> seconds;
  };
  const Row rows[] = {
      {"0", 0}, {"1700000000", 1700000000}, {"007", 7}, {nullptr, std::nullopt}, {"", std::nullopt},
      {"-1", std::nullopt}, {"+5", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt}, {"1e9", std::nullopt},
      {"99999999999999999999", std::nullopt},  // beyond the range of seconds
      {"67768036191676800", std::nullopt},     // beyond the calendar's years
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text ? r.text : "(unset)");
    EXPECT_EQ(ParseSourceDateEpoch(r.text), r.seconds);
  }
  // The start of 1970 in UTC: a Thursday.
  const std::tm t = Clock::System("0").localTime();
  EXPECT_EQ(std::vector<int>({t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday}),
            std::vector<int>({70, 0, 1, 0, 0, 0, 4}));
}

// --help and --version answer before the banner, with status 0, and read or
// write nothing else; the first of them decides.
TEST(RunInfo, HelpAndVersionAnswerFirstWithStatusZero) {
  const std::string version = "fusecvt " + std::regex_replace(kVersionText, std::regex("^ +| +$"), "") + "\n";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--version"}, {"a.pof", "-6000", "--VERSION", "--help"}, {"-o", "x", "--Version"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    Converted c(kPlain7064, args);
    EXPECT_EQ(c.run.status, 0);
    EXPECT_EQ(c.run.out, version);
    EXPECT_EQ(c.run.err, "");
    EXPECT_EQ(c.files, "a.pof");
  }
  Converted help(kPlain7064, {"a.pof", "-6000", "--HELP", "--version"});
  EXPECT_EQ(help.run.status, 0);
  EXPECT_EQ(help.run.err, "");
  EXPECT_EQ(help.files, "a.pof");
  const std::string& text = help.run.out;
  EXPECT_EQ(text.find(kMakerName), std::string::npos);  // no banner
  for (const char* word :
       {"-i ", "-o ", "-powerdown", "-pd1", "-pd2", "-mc_power", "-power_reset", "-secure", "-pinclk", "-gclk1_itd",
        "-gclk2_itd", "-gclk3_itd", "-open_out", "-pin_keep", "-race_cover_off", "-verbose", "-jtag", "-tdi_pullup",
        "-tms_pullup", "-slew", "-device", "-6000,", "-6000e", "-6032es", "-6064es", "-6128es", "-h2", "--help",
        "--version", "p6000", "6032esl", "6064esl", "6128esl", "design.jed", "design.txt", "folder",
        "SOURCE_DATE_EPOCH", "Exit status", "  0  ", "  1  ", "  2  ", "  3  ", "--verify", "--check",
        "--equations", "--json"}) {
    EXPECT_NE(text.find(word), std::string::npos) << word;
  }
  EXPECT_EQ(text.back(), '\n');
}

// The program name is the text after the last '/' or '\' of the path it was
// started under, cut at its last '.' only when the path holds a '\'. It shows
// in the banner, the closing line and the QPL6000 JEDEC header.
TEST(RunProgramName, NowCutAtTheLastSlashOrBackslash) {
  const struct {
    const char *path, *name;
  } rows[] = {
      {"/usr/local/bin/fusecvt", "fusecvt"}, {"./build/fusecvt.bin", "fusecvt.bin"},
      {"C:\\tools/x\\FuseCvt.EXE", "FuseCvt"}, {"dir\\sub/prog.v2.exe", "prog.v2"},
      {"plain", "plain"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.path);
    Converted c(kPlain7032, {"a.pof"}, {{}, nullptr, 0, {}, r.path});
    EXPECT_EQ(c.run.status, 0);
    const std::string out = c.run.out;
    EXPECT_EQ(out.substr(0, Banner(r.name).size()), Banner(r.name));
    EXPECT_NE(out.find("\n" + TimingLine(r.name) + kCompleted), std::string::npos) << out;
    const std::string jed = ReadFile(c.dir.File("a.jed"));
    const std::string first = "\x02" + std::string(r.name) + " " + kVersionText + "\r\n";
    EXPECT_EQ(jed.substr(0, first.size()), first);
  }
}

}  // namespace
}  // namespace fusecvt::test
