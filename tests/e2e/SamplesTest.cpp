// Every real POF listed in the sample folder's SOURCES.tsv (file name, device
// name, ...) converted as a user would: copied into an empty folder and
// `fusecvt file.pof` run there; a plain 7032 also with -device 6032es and
// -device p6000. Skipped when the sample folder is absent.
#include <gtest/gtest.h>

#include "support/EndToEnd.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// Fuses of the JEDEC file a source device converts to without -device.
long DefaultFuseCount(const std::string& d) {
  auto has = [&d](const char* w) { return d.find(w) != std::string::npos; };
  if (has("7032S") || has("7032AE") || has("3032A")) return 16808;
  if (has("7032")) return 24994;  // QPL6000E
  if (has("7064") || has("3064")) return 34192;
  return has("7128") || has("3128") ? 74136 : -1;
}

TEST(RealSamples, EverySampleConverts) {
  if (SamplesDir().empty()) GTEST_SKIP() << "no POF samples";
  int converted = 0;
  for (const auto& [file, path, device] : Samples()) {
    const long fuses = DefaultFuseCount(device);
    ASSERT_GT(fuses, 0) << device;
    std::vector<std::pair<std::vector<std::string>, long>> runs{{{}, fuses}};
    if (fuses == 24994) runs.insert(runs.end(), {{{"-device", "6032es"}, 16808}, {{"-device", "p6000"}, 24993}});
    for (const auto& [options, count] : runs) {
      SCOPED_TRACE(file + (options.empty() ? "" : " " + options.back()));
      ScratchDir dir;
      const std::string bytes = ReadFile(path);
      ASSERT_FALSE(bytes.empty());
      WriteFile(dir.File(file), bytes);
      std::vector<std::string> args{"fusecvt"};
      args.insert(args.end(), options.begin(), options.end());
      args.push_back(file);
      const RunResult r = RunBinary(args, dir.path());
      EXPECT_EQ(r.status, 0) << r.out << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_NE(r.out.find(kCompleted), std::string::npos) << r.out;
      const std::string base = file.substr(0, file.rfind('.'));
      EXPECT_TRUE(FileExists(dir.File(base + ".txt")));
      ASSERT_TRUE(FileExists(dir.File(base + ".jed")));
      ExpectSoundJedec(dir.File(base + ".jed"), count);
      ++converted;
    }
  }
  if (converted == 0) GTEST_SKIP() << "the sample folder lists no POF";
}

}  // namespace
}  // namespace fusecvt::test
