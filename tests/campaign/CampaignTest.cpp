// Seeded random designs over every source kind, package and option set: each
// case converts a built POF and checks that every written file is sound.
// FUSECVT_CAMPAIGN_CASES, _SEED and _FIRST (first case number) widen or replay the run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "jedec/BlockTarget.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct KindCase {
  const char* name;                 // device name up to the package code
  std::vector<const char*> packages;
  std::vector<const char*> words;   // -device words the kind takes ("" = none)
  int target;                       // 0: QPL6000 / QPL6032 by word, else block target index + 1
};

const std::vector<const char*> k32{"", "6032es", "6032esl"};
const std::vector<const char*> k64{"", "6064es", "6064esl"};
const std::vector<const char*> k128{"", "6128es", "6128esl"};
const KindCase kKinds[] = {
    {"EPM7032", {"LC44", "TC44", "QC44"}, {"", "6000", "6000e", "6032es", "6032esl"}, 0},
    {"EPM7032AE", {"LC44", "TC44"}, k32, 1},
    {"EPM7032S", {"LC44", "TC44", "QC44"}, {"", "6032es", "6032esl", "6000", "6000e"}, 1},
    {"EPM7128", {"LC68", "LC84", "QC100", "GC160"}, k128, 3},
    {"EPM7128E", {"LC84", "QC100", "QC160"}, k128, 3},
    {"EPM7128S", {"LC84", "QC100", "TC100"}, k128, 3},
    {"EPM7128AE", {"LC84", "TC100"}, k128, 3},
    {"EPM7064", {"LC44", "LC68", "LC84", "QC100"}, k64, 2},
    {"EPM7064S", {"LC44", "LC84", "TC100"}, k64, 2},
    {"EPM7064AE", {"LC44", "TC44", "TC100"}, k64, 2},
    {"EPM3032A", {"LC44", "TC44"}, k32, 1},
    {"EPM3064A", {"LC44", "TC44", "TC100"}, k64, 2},
    {"EPM3128A", {"LC84", "TC100"}, k128, 3},
};

long EnvOr(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 0) : fallback;
}

// Programs a random share of every image field; returns the share (0: a blank part).
int RandomDesign(SourceImage& image, std::mt19937& rng) {
  const int density = std::uniform_int_distribution<int>(0, 40)(rng);  // percent of fuses at '0'
  std::uniform_int_distribution<int> pct(0, 99);
  for (FuseArray* f : {&image.logicArray, &image.mcConfig, &image.pia, &image.oePia, &image.ioConfig,
                       &image.outputEnable, &image.globalClocks, &image.unknownBits, &image.ues}) {
    for (std::size_t i = 0; i < f->size(); ++i) f->data()[i] = pct(rng) < density ? '0' : '1';
  }
  image.jtagBit = pct(rng) < 50 ? '0' : '1';
  return density;
}

std::vector<std::string> RandomOptions(const std::string& word, std::mt19937& rng) {
  std::vector<std::string> args;
  auto coin = [&rng] { return std::uniform_int_distribution<int>(0, 2)(rng) == 0; };
  auto pick = [&rng](std::vector<const char*> v) {
    return std::string(v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]);
  };
  if (!word.empty()) args.insert(args.end(), {"-device", word});
  for (const char* flag : {"-pinclk", "-secure", "-race_cover_off", "-pin_keep", "-power_reset", "-verbose",
                           "-gclk1_itd", "-gclk2_itd", "-gclk3_itd", "-powerdown", "-tdi_pullup", "-tms_pullup"}) {
    if (coin()) args.push_back(flag);
  }
  const std::vector<const char*> aoo{"auto", "on", "off"};
  if (coin()) args.insert(args.end(), {"-slew", pick({"auto", "slow", "fast"})});
  if (coin()) args.insert(args.end(), {"-open_out", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-jtag", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-mc_power", pick({"on", "off"})});
  return args;
}

// Checks one JEDEC file against the target its case selects.
void CheckJedec(const std::string& path, long qf, const SectionStarts* starts) {
  const JedecReadResult r = ReadJedecFile(path);
  ASSERT_TRUE(r.ok()) << r.ErrorText();
  EXPECT_EQ(r.fuseCount, qf);
  ASSERT_TRUE(r.hasChecksum);
  EXPECT_EQ(r.fileChecksum, r.computedChecksum);
  // The reader has checked order, bounds and double writes of the L fields.
  std::set<long> addresses;
  for (const JedecFuseList& l : r.fuseLists) addresses.insert(l.address);
  if (starts) {
    EXPECT_EQ(starts->total, qf);
    for (long s : {starts->mcConfig, starts->uim, starts->goe, starts->config, starts->jtag, starts->ues,
                   starts->reserved}) {
      EXPECT_TRUE(addresses.count(s)) << "no L field at section start " << s;
    }
  }
}

void RunCase(unsigned seed, long n) {
  std::mt19937 rng(seed * 1000003u + static_cast<unsigned>(n));
  const KindCase& k = kKinds[std::uniform_int_distribution<int>(0, 12)(rng)];
  const std::string package = k.packages[std::uniform_int_distribution<std::size_t>(0, k.packages.size() - 1)(rng)];
  const std::string word = k.words[std::uniform_int_distribution<std::size_t>(0, k.words.size() - 1)(rng)];
  PofBuilder b(std::string(k.name) + package + "-10");
  const bool blank = RandomDesign(b.image(), rng) == 0;
  if (blank) b.image().jtagBit = '1';
  b.Security(rng() % 4 == 0 ? 1 : 0).BigEndian(rng() % 2).Packed(rng() % 3 != 0).Inverted(rng() % 4 == 0);
  ScratchDir dir;
  b.WriteTo(dir.File("in.pof"));
  std::vector<std::string> args{"fusecvt"};
  for (std::string& a : RandomOptions(word, rng)) args.push_back(a);
  args.push_back(dir.File("in.pof"));
  std::string line;
  for (const std::string& a : args) line += " " + a;
  SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n) + ":" + line);
  const RunResult r = RunInProcess(args);
  // A blank (or secured) part ends with status 2, a 7032S refuses QPL6000
  // words with status 1; neither writes a JEDEC file.
  const bool refused = k.name == std::string("EPM7032S") && word.find("6000") != std::string::npos;
  const std::string report = ReadFile(dir.File("in.txt"));
  EXPECT_TRUE(report.empty() || report.back() == '\n');
  if (blank || refused) {
    EXPECT_EQ(r.status, blank ? 2 : 1) << r.out << r.err;
    EXPECT_TRUE(ReadFile(dir.File("in.jed")).empty());
    return;
  }
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_FALSE(report.empty());
  int target = k.target;
  if (target == 0) target = word.find("6032") != std::string::npos ? 1 : 0;
  if (target == 0) {
    CheckJedec(dir.File("in.jed"), word == "6000" ? 24993 : 24994, nullptr);
  } else {
    const BlockTargetKind kind = static_cast<BlockTargetKind>(target - 1);
    const SectionStarts s = SectionStartsOf(kind);
    CheckJedec(dir.File("in.jed"), s.total, &s);
  }
}

TEST(Campaign, RandomDesignsConvertToSoundFiles) {
  const unsigned seed = static_cast<unsigned>(EnvOr("FUSECVT_CAMPAIGN_SEED", 20261207));
  const long first = EnvOr("FUSECVT_CAMPAIGN_FIRST", 0);
  const long cases = EnvOr("FUSECVT_CAMPAIGN_CASES", 240);
  for (long n = first; n < first + cases; ++n) {
    RunCase(seed, n);
    if (HasFailure()) {
      ADD_FAILURE() << "replay: FUSECVT_CAMPAIGN_SEED=" << seed << " FUSECVT_CAMPAIGN_FIRST=" << n
                    << " FUSECVT_CAMPAIGN_CASES=1";
      return;
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
