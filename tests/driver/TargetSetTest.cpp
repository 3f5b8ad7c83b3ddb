// The target choice by source kind and device word.
#include <gtest/gtest.h>

#include <string>

#include "Captured.h"
#include "driver/TargetSet.h"
#include "jedec/BlockTarget.h"
#include "qpl6000/Qpl6000.h"

namespace fusecvt::test {
namespace {

enum class Made { None, Qpl6000, Qpl6032, Qpl6064, Qpl6128 };

Made Which(const TargetSet& t) {
  int count = (t.qpl6000 != nullptr) + (t.qpl6032 != nullptr) + (t.qpl6064 != nullptr) + (t.qpl6128 != nullptr);
  if (count > 1) return Made::None;  // never more than one: reported as a mismatch below
  if (t.qpl6000) return Made::Qpl6000;
  if (t.qpl6032) return Made::Qpl6032;
  if (t.qpl6064) return Made::Qpl6064;
  if (t.qpl6128) return Made::Qpl6128;
  return Made::None;
}

constexpr char kRefusal[] =
    "ERROR:  Invalid Device type specified. Target\n"
    "    device for 7032S is 6032ES\n\n";

TEST(SelectTarget, SourceKindAndDeviceWord) {
  struct Row {
    const char* source;
    const char* word;  // as the driver has it at the choice: lower-cased, or QPL6000e
    Made made;
    bool refused;
  };
  const Row rows[] = {
      {"EPM7032SLC44", "unselected", Made::Qpl6032, false},
      {"EPM7032SLC44", "6032es", Made::Qpl6032, false},
      {"EPM7032SLC44", "6000e", Made::None, true},
      {"EPM7032SLC44", "p6000", Made::None, true},
      {"EPM7032SLC44", "qpl6000e", Made::None, true},
      {"EPM7032AELC44", "6000e", Made::Qpl6032, false},
      {"EPM3032ALC44", "p6000", Made::Qpl6032, false},
      {"EPM7032LC44", "6032es", Made::Qpl6032, false},
      {"EPM7032LC44", "qpl6032esl", Made::Qpl6032, false},
      {"EPM7032LC44", "QPL6000e", Made::Qpl6000, false},
      {"EPM7032LC44", "p6000", Made::Qpl6000, false},
      {"EPM7032LC44", "6064es", Made::Qpl6000, false},
      {"EPM7128SLC84", "6000e", Made::Qpl6128, false},
      {"EPM7128ELC84", "unselected", Made::Qpl6128, false},
      {"EPM3128ATC100", "unselected", Made::Qpl6128, false},
      {"EPM7064SLC44", "6032es", Made::Qpl6064, false},
      {"EPM3064ATC100", "unselected", Made::Qpl6064, false},
      {"EPM7256SRC208", "unselected", Made::None, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.source) + " / " + r.word);
    Captured c;
    c.run.options.targetDeviceName = r.word;
    TargetSet targets;
    const std::string device = r.source;
    const int result = targets.SelectTarget(&device, c.run);
    EXPECT_EQ(result != 0, r.made != Made::None);
    EXPECT_EQ(Which(targets), r.made);
    EXPECT_EQ(targets.DeviceWordRefused(), r.refused);
    EXPECT_EQ(c.out.str(), r.refused ? kRefusal : "");
    EXPECT_EQ(c.report.str(), r.refused ? kRefusal : "");
    EXPECT_EQ(targets.current() != nullptr, r.made != Made::None);
  }
}

TEST(SelectTarget, NoSourceImageMeansNoTarget) {
  Captured c;
  TargetSet targets;
  EXPECT_EQ(targets.SelectTarget(nullptr, c.run), 0);
  EXPECT_EQ(targets.current(), nullptr);
  EXPECT_FALSE(targets.DeviceWordRefused());
  // Stages on an empty set do nothing.
  targets.ApplySecurity(c.run);
  EXPECT_EQ(c.run.sources.securityBit, 0);
  EXPECT_EQ(c.out.str() + c.err.str(), "");
}

TEST(SelectTarget, SecondChoiceReplacesTheFirst) {
  Captured c;
  TargetSet targets;
  const std::string plain = "EPM7032LC44";
  c.run.options.targetDeviceName = "QPL6000e";
  ASSERT_NE(targets.SelectTarget(&plain, c.run), 0);
  c.run.options.targetDeviceName = "6032es";
  ASSERT_NE(targets.SelectTarget(&plain, c.run), 0);
  EXPECT_EQ(Which(targets), Made::Qpl6032);
  const std::string s = "EPM7032SLC44";
  c.run.options.targetDeviceName = "p6000";
  EXPECT_EQ(targets.SelectTarget(&s, c.run), 0);
  EXPECT_EQ(Which(targets), Made::None);
}

TEST(SelectTarget, SecurityStepSetsTheSecurityWord) {
  Captured c;
  TargetSet targets;
  const std::string device = "EPM7064SLC44";
  ASSERT_NE(targets.SelectTarget(&device, c.run), 0);
  targets.ApplySecurity(c.run);
  EXPECT_EQ(c.run.sources.securityBit, 1);
}

TEST(PlainQpl6000, WordBeginsWithP6000AndIsNot6000e) {
  for (const char* word : {"p6000", "p6000x", "p60000"}) EXPECT_TRUE(IsPlainQpl6000Word(word)) << word;
  for (const char* word : {"p6000e", "p6000-6000e", "p600", "xp6000", "6000", "qpl6000", "unselected", ""}) {
    EXPECT_FALSE(IsPlainQpl6000Word(word)) << word;
  }
  Captured c;
  TargetSet targets;
  const std::string plain = "EPM7032LC44";
  c.run.options.targetDeviceName = "p6000";
  ASSERT_NE(targets.SelectTarget(&plain, c.run), 0);
  EXPECT_TRUE(targets.IsPlainQpl6000("p6000"));
  EXPECT_FALSE(targets.IsPlainQpl6000("p6000e"));
  c.run.options.targetDeviceName = "p6000-6032";
  ASSERT_NE(targets.SelectTarget(&plain, c.run), 0);  // a 6032 word: not the QPL6000 family
  EXPECT_FALSE(targets.IsPlainQpl6000("p6000-6032"));
}

}  // namespace
}  // namespace fusecvt::test
