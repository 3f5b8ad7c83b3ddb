// Seeded random designs over every source kind, package and option set: each
// case converts a built POF and checks that every written file is sound.
// Every conversion runs with --verify: its logic check may find only the
// differences the translation is known to make.
// FUSECVT_CAMPAIGN_CASES, _SEED and _FIRST (first case number) widen or replay
// the run; FUSECVT_CAMPAIGN_SHOW prints each case and its logic-check account.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "translate/BlockTarget.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

using Words = std::vector<const char*>;
struct Kind {
  const char* name;  // device name up to the package code
  Words packages, words;  // words: -device words the kind takes ("" = none)
  int target;        // 0: QPL6000 / QPL6032 by word, else block target index + 1
};
const Words k32{"", "6032es", "6032esl"}, k64{"", "6064es", "6064esl"}, k128{"", "6128es", "6128esl"};
const Kind kKinds[] = {
    {"EPM7032", {"LC44", "TC44", "QC44"}, {"", "6000", "6000e", "6032es", "6032esl"}, 0},
    {"EPM7032AE", {"LC44", "TC44"}, k32, 1},
    {"EPM7032S", {"LC44", "TC44", "QC44"}, {"", "6032es", "6032esl", "6000", "6000e"}, 1},
    {"EPM7128", {"LC68", "LC84", "QC100", "GC160"}, k128, 3}, {"EPM7128E", {"LC84", "QC100", "QC160"}, k128, 3},
    {"EPM7128S", {"LC84", "QC100", "TC100"}, k128, 3},        {"EPM7128AE", {"LC84", "TC100"}, k128, 3},
    {"EPM7064", {"LC44", "LC68", "LC84", "QC100"}, k64, 2},   {"EPM7064S", {"LC44", "LC84", "TC100"}, k64, 2},
    {"EPM7064AE", {"LC44", "TC44", "TC100"}, k64, 2},         {"EPM3032A", {"LC44", "TC44"}, k32, 1},
    {"EPM3064A", {"LC44", "TC44", "TC100"}, k64, 2},          {"EPM3128A", {"LC84", "TC100"}, k128, 3},
};

long EnvOr(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtol(v, nullptr, 0) : fallback;
}

// The logic check's account closes the console and the report alike; status 3
// comes only with differences, and each is one the translation is known to make.
void ExpectOnlyKnownLogicChanges(const RunResult& r, const std::string& report) {
  const std::size_t at = r.out.find("Logic check: ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::string account = r.out.substr(at);
  EXPECT_EQ(report.substr(report.size() - std::min(report.size(), account.size())), account);
  const bool show = std::getenv("FUSECVT_CAMPAIGN_SHOW") != nullptr;  // list every account line
  EXPECT_EQ(r.status == 3, account.find("; no difference\n") == std::string::npos) << account;
  if (show) std::printf("%s", account.c_str());
  for (std::size_t p = 0; (p = account.find("Logic check: MC ", p)) != std::string::npos; ++p) {
    const std::string line = account.substr(p, account.find('\n', p) - p);
    EXPECT_NE(line.find(": known: "), std::string::npos) << line;
  }
}

void RunCase(unsigned seed, long n) {
  std::mt19937 rng(seed * 1000003u + static_cast<unsigned>(n));
  auto pick = [&rng](const Words& v) { return std::string(v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]); };
  auto coin = [&rng] { return std::uniform_int_distribution<int>(0, 2)(rng) == 0; };
  const Kind& k = kKinds[std::uniform_int_distribution<int>(0, 12)(rng)];
  const std::string package = pick(k.packages), word = pick(k.words);
  PofBuilder b(std::string(k.name) + package + "-10");
  // A random share of every image field programmed (0: a blank part).
  const int density = std::uniform_int_distribution<int>(0, 40)(rng);
  std::uniform_int_distribution<int> pct(0, 99);
  SourceImage& image = b.image();
  for (FuseArray* f : {&image.logicArray, &image.mcConfig, &image.pia, &image.oePia, &image.ioConfig,
                       &image.outputEnable, &image.globalClocks, &image.unknownBits, &image.ues}) {
    for (std::size_t i = 0; i < f->size(); ++i) f->data()[i] = pct(rng) < density ? '0' : '1';
  }
  const bool jtagOff = pct(rng) < 50;
  image.jtagBit = density > 0 && jtagOff ? '0' : '1';
  b.Security(rng() % 4 == 0 ? 1 : 0).BigEndian(rng() % 2).Packed(rng() % 3 != 0).Inverted(rng() % 4 == 0);
  ScratchDir dir;
  b.WriteTo(dir.File("in.pof"));
  // Every conversion is checked: its JEDEC file is read back as logic.
  std::vector<std::string> args{"fusecvt", "--verify"};
  if (!word.empty()) args.insert(args.end(), {"-device", word});
  for (const char* flag : {"-pinclk", "-secure", "-race_cover_off", "-pin_keep", "-power_reset", "-verbose",
                           "-gclk1_itd", "-gclk2_itd", "-gclk3_itd", "-powerdown", "-tdi_pullup", "-tms_pullup"}) {
    if (coin()) args.push_back(flag);
  }
  const Words aoo{"auto", "on", "off"};
  if (coin()) args.insert(args.end(), {"-slew", pick({"auto", "slow", "fast"})});
  if (coin()) args.insert(args.end(), {"-open_out", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-jtag", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-mc_power", pick({"on", "off"})});
  args.push_back(dir.File("in.pof"));
  std::string line;
  for (const std::string& a : args) line += " " + a;
  SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n) + ":" + line);
  if (std::getenv("FUSECVT_CAMPAIGN_SHOW")) std::printf("CASE %ld %s:%s\n", n, b.deviceName().c_str(), line.c_str());
  const RunResult r = RunInProcess(args);
  // A blank part ends with status 2, a 7032S refuses QPL6000 words with
  // status 1; neither writes a JEDEC file.
  const bool refused = k.name == std::string("EPM7032S") && word.find("6000") != std::string::npos;
  const std::string report = ReadFile(dir.File("in.txt"));
  EXPECT_TRUE(report.empty() || report.back() == '\n');
  if (density == 0 || refused) {
    EXPECT_EQ(r.status, density == 0 ? 2 : 1) << r.out << r.err;
    EXPECT_TRUE(ReadFile(dir.File("in.jed")).empty());
    return;
  }
  ASSERT_TRUE(r.status == 0 || r.status == 3) << r.out << r.err;
  EXPECT_FALSE(report.empty());
  ExpectOnlyKnownLogicChanges(r, report);
  const int target = k.target ? k.target : word.find("6032") != std::string::npos ? 1 : 0;
  const SectionStarts s = target ? SectionStartsOf(static_cast<BlockTargetKind>(target - 1)) : SectionStarts{};
  const JedecReadResult jed = ReadJedecFile(dir.File("in.jed"));
  ASSERT_TRUE(jed.ok()) << jed.ErrorText();  // order, bounds and double writes of the L fields
  EXPECT_EQ(jed.fuseCount, target ? s.total : word == "6000" ? 24993 : 24994);
  ASSERT_TRUE(jed.hasChecksum);
  EXPECT_EQ(jed.fileChecksum, jed.computedChecksum);
  std::set<long> addresses;
  for (const JedecFuseList& l : jed.fuseLists) addresses.insert(l.address);
  for (long start : {s.mcConfig, s.uim, s.goe, s.config, s.jtag, s.ues, s.reserved}) {
    EXPECT_TRUE(!target || addresses.count(start)) << "no L field at section start " << start;
  }
}

TEST(Campaign, RandomDesignsConvertToSoundFiles) {
  const unsigned seed = static_cast<unsigned>(EnvOr("FUSECVT_CAMPAIGN_SEED", 20261207));
  const long first = EnvOr("FUSECVT_CAMPAIGN_FIRST", 0), cases = EnvOr("FUSECVT_CAMPAIGN_CASES", 240);
  for (long n = first; n < first + cases && !HasFailure(); ++n) {
    RunCase(seed, n);
    if (HasFailure()) {
      ADD_FAILURE() << "replay: FUSECVT_CAMPAIGN_SEED=" << seed << " FUSECVT_CAMPAIGN_FIRST=" << n
                    << " FUSECVT_CAMPAIGN_CASES=1";
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
