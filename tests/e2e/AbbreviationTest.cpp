// Options spelled by their shortest recognised beginning work as spelled in
// full, end to end; one character less is no option at all (a word that is no
// option names the input file, and the POF named after it replaces it). The
// shortest spellings are the documented ones of the command-line table.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "support/DesignRun.h"

namespace fusecvt::test {
namespace {

using Args = std::vector<std::string>;

// What a run writes but its standard error (which may warn of words that
// are no option), the creation date and the elapsed time.
std::string Outputs(const Converted& c) {
  static const std::regex kVarying("Created on: [^\r\n]*|processed [0-9]+ seconds");
  return std::regex_replace(std::to_string(c.run.status) + "\n" + c.run.out + "\n" + c.report + "\n" + c.jedecText,
                            kVarying, "");
}

std::string Written(const Args& options) {
  return Outputs(ConvertDesign("EPM7032SLC44-10", [](SourceImage& s) {
    for (int m = 0; m < 32; ++m) s.mcConfig.at(m, 7) = '0';
    s.mcConfig.at(20, 2) = '0';  // MC 21 uses PT 3
    s.jtagBit = '0';
  }, options));
}

TEST(Abbreviations, ShortestSpellingsWorkAndOneLessDoesNot) {
  const struct {
    Args full, shortest, less;  // less empty: one character less is another option
    bool changes;               // the option changes what the run writes here
  } rows[] = {
      {{"-powerdown"}, {"-powerd"}, {}, true},
      {{"-pd1"}, {"-pd1"}, {"-pd"}, true},
      {{"-pd2"}, {"-pd2"}, {"-pd"}, true},
      {{"-mc_power", "off"}, {"-mc_p", "off"}, {"-mc_", "off"}, true},
      {{"-power_reset"}, {"-powe"}, {"-pow"}, true},
      {{"-secure"}, {"-secu"}, {"-sec"}, true},
      {{"-pinclk"}, {"-pinc"}, {"-pin"}, false},
      {{"-gclk1_itd"}, {"-gclk1"}, {"-gclk"}, true},
      {{"-gclk2_itd"}, {"-gclk2"}, {"-gclk"}, true},
      {{"-gclk3_itd"}, {"-gclk3"}, {"-gclk"}, true},
      {{"-open_out", "on"}, {"-open", "on"}, {"-ope", "on"}, true},
      {{"-pin_keep"}, {"-pin_"}, {"-pin"}, true},
      {{"-race_cover_off"}, {"-race"}, {"-rac"}, true},
      {{"-verbose"}, {"-verb"}, {"-ver"}, false},
      {{"-jtag", "on"}, {"-jtag", "on"}, {"-jta", "on"}, true},
      {{"-tdi_pullup"}, {"-tdi_"}, {"-tdi"}, true},
      {{"-tms_pullup"}, {"-tms_"}, {"-tms"}, true},
      {{"-slew", "slow"}, {"-slew", "slow"}, {"-sle", "slow"}, true},
      {{"-device", "6032esl"}, {"-devi", "6032esl"}, {"-dev", "6032esl"}, true},
  };
  const std::string plain = Written({});
  for (const auto& row : rows) {
    SCOPED_TRACE(row.full[0]);
    const std::string full = Written(row.full);
    EXPECT_EQ(Written(row.shortest), full);
    if (row.changes) {
      EXPECT_NE(full, plain);
    }
    if (!row.less.empty()) {
      EXPECT_EQ(Written(row.less), plain);
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
