#include "driver/UsageSummary.h"

#include <cstddef>

#include "pof/Text.h"
#include "driver/Version.h"

namespace fusecvt {

namespace {

// The usage summary, one entry a line; new options add their lines here.
const char* const kUsageSummary[] = {
    "Usage: fusecvt [options] [-i] design.pof [-o name]",
    "Converts the POF file of a MAX7000-family CPLD into a JEDEC fuse file for a",
    "pin-compatible QPL-family device, and writes a plain-text conversion report.",
    "",
    "Options (any case; the characters in brackets are enough):",
    "  -i name                 the POF to read (\".pof\" is added to a name without '.')",
    "  -o name                 name.jed and name.txt (-o name.x: name.x and name.txt);",
    "                          a folder (ending in '/' or existing) takes both files,",
    "                          named after the input file",
    "  -device word [-devi]    target device word: p6000, 6000, 6000e, 6032es, 6032esl,",
    "                          6064es, 6064esl, 6128es, 6128esl (a word of another",
    "                          family than the source's is ignored with a warning)",
    "  -powerdown [-powerd]    power-down mode (QPL6000), on pin PD1 (others)",
    "  -pd1, -pd2              power-down mode on pin PD1 / PD2",
    "  -secure [-secu]         set the security bit (not on the plain QPL6000)",
    "  -slew auto|slow|fast    slew rate of all outputs",
    "  -pinclk [-pinc]         use a pin clock wherever applicable",
    "  -race_cover_off [-race] turn race coverage off (QPL6000)",
    "  -pin_keep [-pin_]       enable the pin keeper circuits",
    "  -verbose [-verb]        report configuration changes",
    "  -mc_power on|off [-mc_p]  low-power mode of all macrocells",
    "  -power_reset [-powe]    power-up reset hysteresis large",
    "  -gclk1_itd, -gclk2_itd, -gclk3_itd [-gclkN]  disable the ITD fuse of a global clock",
    "  -open_out auto|on|off [-open]  output type of all macrocells (on: open collector)",
    "  -jtag auto|on|off       JTAG mode",
    "  -tdi_pullup, -tms_pullup [-tdi_, -tms_]  pull-up on the TDI / TMS pin",
    "  --help                  show this summary",
    "  --version               show the version",
    "",
    "Logic check (the mode word comes first):",
    "  --verify [options] design.pof   convert, then read the JEDEC file back and",
    "                          compare its logic with the POF's",
    "  --check design.pof file.jed     compare a JEDEC file made earlier; writes nothing",
    "  --equations [--json] file       list a POF or JEDEC file as equations",
    "Unknown option words and value words are named on standard error and ignored.",
    "",
    "Option screens of a device family: -6000, -6000e, -6032es, -6064es, -6128es",
    "(also -6032esl, -6064esl, -6128esl); the last three followed by -h2 show the",
    "advanced options.",
    "",
    "Output: without -o, design.pof gives design.jed and design.txt. When",
    "SOURCE_DATE_EPOCH holds a count of seconds, the JEDEC \"Created on\" line",
    "shows that time in UTC.",
    "",
    "Exit status:",
    "  0  converted; a source device without a target; --help, --version",
    "  1  no arguments; a family option screen; the input cannot be opened or is",
    "     not a POF; an incompatible POF; a package pin count no target has; an",
    "     output would overwrite the input or the other output; the report cannot",
    "     be opened or written; a QPL6000 device word for a 7032S; the JEDEC file",
    "     cannot be written; the POF read stopped early",
    "  2  the POF was read from a blank or secured part",
    "  3  --verify or --check: the logic of the JEDEC file differs from the POF's",
};

// The version text without its surrounding blanks.
std::string TrimmedVersion() {
  const std::string text = kVersionText;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

InfoRequest FindInfoRequest(const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string word = AsciiLower(args[i]);
    if (word == "--help") return InfoRequest::Help;
    if (word == "--version") return InfoRequest::Version;
  }
  return InfoRequest::None;
}

void ShowUsageSummary(TextOut& console) {
  for (const char* line : kUsageSummary) console << line << '\n';
  console.flush();
}

void ShowVersion(TextOut& console) {
  console << "fusecvt " << TrimmedVersion() << '\n';
  console.flush();
}

}  // namespace fusecvt
