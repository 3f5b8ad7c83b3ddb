// Every real POF in the sample folder converted as a user would run the
// program: the POF copied into an empty folder and `fusecvt file.pof` run
// there (a plain 7032 also with -device 6032es and -device p6000). Skipped
// when the sample folder is absent.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct Sample {
  std::string file;
  std::string device;  // upper case
};

// The samples listed in SOURCES.tsv (file name, device name, ...).
std::vector<Sample> ListedSamples(const std::string& dir) {
  std::vector<Sample> samples;
  std::ifstream list(dir + "/SOURCES.tsv");
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream row(line);
    Sample s;
    if (!std::getline(row, s.file, '\t') || !std::getline(row, s.device, '\t')) continue;
    if (s.file == "file") continue;  // heading
    for (char& c : s.device) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    samples.push_back(s);
  }
  return samples;
}

bool Has(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

// Fuses of the JEDEC file a source device converts to without -device.
long DefaultFuseCount(const std::string& device) {
  if (Has(device, "7032S") || Has(device, "7032AE") || Has(device, "3032A")) return 16808;
  if (Has(device, "7032")) return 24994;  // QPL6000E
  if (Has(device, "7064") || Has(device, "3064")) return 34192;
  if (Has(device, "7128") || Has(device, "3128")) return 74136;
  return -1;
}

void ConvertSample(const std::string& samples, const Sample& s, const std::vector<std::string>& options,
                   long fuseCount) {
  SCOPED_TRACE(s.file + (options.empty() ? "" : " " + options.back()));
  ScratchDir dir;
  const std::string bytes = ReadFile(samples + "/" + s.file);
  ASSERT_FALSE(bytes.empty());
  WriteFile(dir.File(s.file), bytes);
  std::vector<std::string> args{"fusecvt"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(s.file);
  const RunResult r = RunBinary(args, dir.path());
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  const std::string base = s.file.substr(0, s.file.rfind('.'));
  EXPECT_TRUE(FileExists(dir.File(base + ".txt")));
  ASSERT_TRUE(FileExists(dir.File(base + ".jed")));
  ExpectSoundJedec(dir.File(base + ".jed"), fuseCount);
}

TEST(RealSamples, EverySampleConverts) {
  const std::string samples = SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no POF samples";
  const std::vector<Sample> list = ListedSamples(samples);
  if (list.empty()) GTEST_SKIP() << "the sample folder lists no POF";
  for (const Sample& s : list) {
    const long fuses = DefaultFuseCount(s.device);
    ASSERT_GT(fuses, 0) << s.device;
    ConvertSample(samples, s, {}, fuses);
    if (fuses == 24994) {
      ConvertSample(samples, s, {"-device", "6032es"}, 16808);
      ConvertSample(samples, s, {"-device", "p6000"}, 24993);
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
