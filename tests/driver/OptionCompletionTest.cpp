// Completing the options once the source is known: defaults by source kind,
// the device word, and the output file names.
#include <gtest/gtest.h>

#include <string>

#include "Captured.h"
#include "driver/CommandLine.h"

namespace fusecvt::test {
namespace {

struct Defaults {
  const char* source;
  OptionState slew;
  OptionState openOutAndJtag;
};

// Device names as the POF reader leaves them (upper case, with package and
// pin code), one per source kind.
const Defaults kDefaults[] = {
    {"EPM7032LC44", FAST, UNSET},    {"EPM7032SLC44", AUTO, AUTO},  {"EPM7032AELC44", AUTO, AUTO},
    {"EPM3032ATC44", AUTO, AUTO},    {"EPM7064LC84", AUTO, OFF},    {"EPM7064STC100", AUTO, AUTO},
    {"EPM7064AETC100", AUTO, AUTO},  {"EPM3064ATC100", AUTO, AUTO}, {"EPM7128LC84", AUTO, OFF},
    {"EPM7128ELC84", AUTO, OFF},     {"EPM7128SLC84", AUTO, AUTO},  {"EPM7128ATC100", AUTO, OFF},
    {"EPM7128AETC100", AUTO, AUTO},  {"EPM3128ATC100", AUTO, AUTO}, {"EPM7256SRC208", AUTO, UNSET},
    {"", AUTO, UNSET},
};

TEST(ResolveSourceDefaults, UnsetFieldsFollowTheSourceKind) {
  for (const Defaults& d : kDefaults) {
    SCOPED_TRACE(d.source);
    ConversionOptions o;
    ResolveSourceDefaults(d.source, o);
    EXPECT_EQ(o.slew, d.slew);
    EXPECT_EQ(o.openOut, d.openOutAndJtag);
    EXPECT_EQ(o.jtag, d.openOutAndJtag);
    EXPECT_EQ(o.mcPower, AUTO);
  }
}

TEST(ResolveSourceDefaults, GivenValuesStay) {
  for (const Defaults& d : kDefaults) {
    SCOPED_TRACE(d.source);
    ConversionOptions o;
    o.slew = SLOW;
    o.openOut = ON;
    o.jtag = AUTO;
    ResolveSourceDefaults(d.source, o);
    EXPECT_EQ(o.slew, SLOW);
    EXPECT_EQ(o.openOut, ON);
    EXPECT_EQ(o.jtag, AUTO);
  }
  // Each field on its own: a given jtag does not stop openOut being resolved.
  ConversionOptions o;
  o.jtag = ON;
  ResolveSourceDefaults("EPM7128LC84", o);
  EXPECT_EQ(o.jtag, ON);
  EXPECT_EQ(o.openOut, OFF);
}

TEST(NormalizeDeviceName, LowerCasesTheWord) {
  Captured c;
  NormalizeDeviceName("EPM7064SLC44", c.run);
  EXPECT_EQ(c.run.options.targetDeviceName, "unselected");
  c.run.options.targetDeviceName = "QPL6064ESL";
  NormalizeDeviceName("EPM7064SLC44", c.run);
  EXPECT_EQ(c.run.options.targetDeviceName, "qpl6064esl");
  EXPECT_EQ(c.out.str(), "");
}

constexpr char kPinKeepNotice[] =
    "***********************************************\n"
    "NOTE : This option is included in 6000E only.\n"
    "       Ignore -pin_keep option.\n"
    "***********************************************\n";

TEST(NormalizeDeviceName, PinKeepRefusedFor6000eWordWith7032Source) {
  Captured c;
  c.run.options.targetDeviceName = "6000E";
  c.run.options.pinKeep = 1;
  NormalizeDeviceName("EPM7032LC44", c.run);
  EXPECT_EQ(c.run.options.pinKeep, 0);
  EXPECT_EQ(c.out.str(), kPinKeepNotice);
}

TEST(NormalizeDeviceName, PinKeepKeptOtherwise) {
  struct Row {
    const char* word;
    const char* source;
  };
  // Only the exact word 6000e with a 7032-family source is refused.
  for (const Row& r : {Row{"6000e", "EPM7064SLC44"}, Row{"qpl6000e", "EPM7032LC44"},
                       Row{"6000ex", "EPM7032LC44"}, Row{"Unselected", "EPM7032LC44"},
                       Row{"p6000", "EPM7032LC44"}}) {
    SCOPED_TRACE(std::string(r.word) + " " + r.source);
    Captured c;
    c.run.options.targetDeviceName = r.word;
    c.run.options.pinKeep = 1;
    NormalizeDeviceName(r.source, c.run);
    EXPECT_EQ(c.run.options.pinKeep, 1);
    EXPECT_EQ(c.out.str(), "");
  }
  Captured c;
  c.run.options.targetDeviceName = "6000e";
  NormalizeDeviceName("EPM7032LC44", c.run);  // -pin_keep not given: no notice
  EXPECT_EQ(c.out.str(), "");
}

struct Names {
  const char* input;
  const char* dashO;  // nullptr: no -o
  const char* jed;
  const char* txt;
};

TEST(DeriveFileNames, FromInputOrDashO) {
  const Names rows[] = {
      {"design.pof", nullptr, "design.jed", "design.txt"},
      {"design", nullptr, "design.jed", "design.txt"},
      {"design.rev.pof", nullptr, "design.rev.jed", "design.rev.txt"},
      {"Dir/Design.POF", nullptr, "Dir/Design.jed", "Dir/Design.txt"},
      {"design.pof", "out", "out.jed", "out.txt"},
      {"design.pof", "out.x", "out.x", "out.txt"},
      {"design.pof", "out.jed", "out.jed", "out.txt"},
      {"design.pof", "a.b.c", "a.b.c", "a.b.txt"},
      {"design.pof", "out.txt", "out.txt", "out.txt"},
      // Only the last path component counts for the extension.
      {"proj.v2/design.pof", nullptr, "proj.v2/design.jed", "proj.v2/design.txt"},
      {"proj.v2/design", nullptr, "proj.v2/design.jed", "proj.v2/design.txt"},
      {"./design", nullptr, "./design.jed", "./design.txt"},
      {"../up.d/x.pof", nullptr, "../up.d/x.jed", "../up.d/x.txt"},
      {"design.pof", "out.d/x", "out.d/x.jed", "out.d/x.txt"},
      {"design.pof", "out.d/x.y", "out.d/x.y", "out.d/x.txt"},
      {"design.pof", "out.d/", "out.d/.jed", "out.d/.txt"},
      {".pof", nullptr, ".jed", ".txt"},
  };
  for (const Names& n : rows) {
    SCOPED_TRACE(std::string(n.input) + " -o " + (n.dashO ? n.dashO : "(none)"));
    ConversionOptions o;
    o.inputFileName = n.input;
    if (n.dashO) o.outputFileName = o.reportFileName = n.dashO;
    DeriveFileNames(o);
    EXPECT_EQ(o.outputFileName, n.jed);
    EXPECT_EQ(o.reportFileName, n.txt);
    EXPECT_EQ(o.inputFileName, n.input);
  }
}

}  // namespace
}  // namespace fusecvt::test
