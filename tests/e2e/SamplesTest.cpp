// Every real POF listed in the sample folder's SOURCES.tsv (file name, device
// name, ...) converted as a user would: copied into an empty folder and
// `fusecvt --verify file.pof` run there, with no -device and with every
// -device word of its family, each with and without -pinclk; every written
// file must hold the POF's logic. Skipped when the sample folder is absent.
#include <gtest/gtest.h>

#include "support/EndToEnd.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct SampleRun {
  const char* word;  // -device word; "" for none
  long fuses;        // of the JEDEC file written; 0: refused with status 1, no file
};

// Every -device word that applies to the source device (and none), with the
// fuse count of the target it gives; a 7032S refuses the QPL6000 words.
std::vector<SampleRun> RunsFor(const std::string& d) {
  auto has = [&d](const char* w) { return d.find(w) != std::string::npos; };
  if (has("7032S")) return {{"", 16808}, {"6032es", 16808}, {"6032esl", 16808}, {"p6000", 0}, {"6000e", 0}};
  if (has("7032AE") || has("3032A")) return {{"", 16808}, {"6032es", 16808}, {"6032esl", 16808}};
  if (has("7032")) return {{"", 24994}, {"p6000", 24993}, {"6000e", 24994}, {"6032es", 16808}, {"6032esl", 16808}};
  if (has("7064") || has("3064")) return {{"", 34192}, {"6064es", 34192}, {"6064esl", 34192}};
  if (has("7128") || has("3128")) return {{"", 74136}, {"6128es", 74136}, {"6128esl", 74136}};
  return {};
}

TEST(RealSamples, EverySampleConvertsWithEveryApplicableDeviceWord) {
  if (SamplesDir().empty()) GTEST_SKIP() << "no POF samples";
  int converted = 0;
  for (const auto& [file, path, device] : Samples()) {
    const std::vector<SampleRun> runs = RunsFor(device);
    ASSERT_FALSE(runs.empty()) << device;
    const std::string bytes = ReadFile(path), base = file.substr(0, file.rfind('.'));
    ASSERT_FALSE(bytes.empty()) << path;
    for (const SampleRun& run : runs) {
      for (const bool pinClock : {false, true}) {
        SCOPED_TRACE(file + " " + run.word + (pinClock ? " -pinclk" : ""));
        ScratchDir dir;
        WriteFile(dir.File(file), bytes);
        std::vector<std::string> args{"fusecvt", "--verify"};
        if (*run.word) args.insert(args.end(), {"-device", run.word});
        if (pinClock) args.push_back("-pinclk");
        args.push_back(file);
        const RunResult r = RunBinary(args, {dir.path(), {}});
        EXPECT_EQ(r.status, run.fuses ? 0 : 1) << r.out << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.find(kCompleted) != std::string::npos, run.fuses != 0) << r.out;
        EXPECT_TRUE(FileExists(dir.File(base + ".txt")));
        if (!run.fuses) {
          EXPECT_FALSE(FileExists(dir.File(base + ".jed")));
          continue;
        }
        EXPECT_NE(r.out.find(" literals compared; no difference\n"), std::string::npos) << r.out;
        ASSERT_TRUE(FileExists(dir.File(base + ".jed")));
        ExpectSoundJedec(dir.File(base + ".jed"), run.fuses);
        ++converted;
      }
    }
  }
  if (converted == 0) GTEST_SKIP() << "the sample folder lists no POF";
}

}  // namespace
}  // namespace fusecvt::test
