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
#include <set>
#include <string>
#include <vector>

#include "translate/BlockTarget.h"
#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"
#include "support/RandomDesign.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

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
  const RandomDesign d = MakeRandomDesign(seed, n);
  ScratchDir dir;
  WriteFile(dir.File("in.pof"), d.pof);
  // Every conversion is checked: its JEDEC file is read back as logic.
  std::vector<std::string> args{"fusecvt", "--verify"};
  args.insert(args.end(), d.options.begin(), d.options.end());
  args.push_back(dir.File("in.pof"));
  std::string line;
  for (const std::string& a : args) line += " " + a;
  SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n) + ":" + line);
  if (std::getenv("FUSECVT_CAMPAIGN_SHOW")) std::printf("CASE %ld %s:%s\n", n, d.device.c_str(), line.c_str());
  const RunResult r = RunInProcess(args);
  // A blank part ends with status 2, a 7032S refuses QPL6000 words with
  // status 1; neither writes a JEDEC file.
  const std::string report = ReadFile(dir.File("in.txt"));
  EXPECT_TRUE(report.empty() || report.back() == '\n');
  if (d.density == 0 || d.refused) {
    EXPECT_EQ(r.status, d.density == 0 ? 2 : 1) << r.out << r.err;
    EXPECT_TRUE(ReadFile(dir.File("in.jed")).empty());
    return;
  }
  ASSERT_TRUE(r.status == 0 || r.status == 3) << r.out << r.err;
  EXPECT_FALSE(report.empty());
  ExpectOnlyKnownLogicChanges(r, report);
  const int target = d.target;
  const SectionStarts s = target ? SectionStartsOf(static_cast<BlockTargetKind>(target - 1)) : SectionStarts{};
  const JedecReadResult jed = ReadJedecFile(dir.File("in.jed"));
  ASSERT_TRUE(jed.ok()) << jed.ErrorText();  // order, bounds and double writes of the L fields
  EXPECT_EQ(jed.fuseCount, target ? s.total : d.word == "6000" ? 24993 : 24994);
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
