#include "driver/CommandLine.h"

#include <cstddef>
#include <ostream>

#include "driver/Conversion.h"
#include "driver/HelpScreens.h"
#include "driver/PathName.h"
#include "driver/Text.h"

namespace fusecvt {

namespace {

// A value word: the first `chars` characters of the lower-cased value must
// equal those of `word`.
struct ValueWord {
  const char* word;
  std::size_t chars;
  OptionState state;
};

constexpr ValueWord kMcPowerWords[] = {{"on", 2, ON}, {"off", 3, OFF}};
constexpr ValueWord kAutoOnOffWords[] = {{"auto", 4, AUTO}, {"on", 2, ON}, {"off", 3, OFF}};
constexpr ValueWord kSlewWords[] = {{"auto", 4, AUTO}, {"slow", 4, SLOW}, {"fast", 4, FAST}};

// A value that matches no word leaves the field as it was.
template <std::size_t N>
void Choose(OptionState& field, const std::string& value, const ValueWord (&words)[N]) {
  for (const ValueWord& w : words) {
    if (FirstCharsEqual(value, w.word, w.chars)) {
      field = w.state;
      return;
    }
  }
}

enum class Takes {
  Nothing,     // a switch
  Text,        // consumes the next argument as typed
  Choice,      // consumes the next argument, lower-cased, as a value word
  FamilyHelp,  // shows the QPL6000 family usage and ends the run
  TargetWord,  // a QPL6032ES/6064ES/6128ES family word (usage, advanced help or notice)
};

using Apply = void (*)(ConversionOptions&, const std::string& value);

struct OptionRule {
  const char* word;
  std::size_t chars;  // the first `chars` characters decide; 0: the whole word
  Takes takes;
  Apply apply;             // Nothing, Text and Choice
  const char* helpTarget;  // FamilyHelp and TargetWord
};

// Tested in this order; the first rule that matches decides. The order matters:
// "-powerd" before "-powe", "-pin_" and "-pinc" before each other's words,
// "-6000e" before "-6000".
const OptionRule kOptionRules[] = {
    {"-i", 0, Takes::Text, [](ConversionOptions& o, const std::string& v) { o.inputFileName = v; }, nullptr},
    {"-o", 0, Takes::Text,
     [](ConversionOptions& o, const std::string& v) {
       o.outputFileName = v;
       o.reportFileName = v;
     },
     nullptr},
    {"-powerdown", 7, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd1 = 1; }, nullptr},
    {"-pd1", 4, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd1 = 1; }, nullptr},
    {"-pd2", 4, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd2 = 1; }, nullptr},
    {"-mc_power", 5, Takes::Choice,
     [](ConversionOptions& o, const std::string& v) { Choose(o.mcPower, v, kMcPowerWords); }, nullptr},
    {"-power_reset", 5, Takes::Nothing,
     [](ConversionOptions& o, const std::string&) {
       o.powerResetBit = 0;
       o.powerResetGiven = 1;
     },
     nullptr},
    {"-secure", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.secure = 1; }, nullptr},
    {"-pinclk", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pinClock = 1; }, nullptr},
    {"-gclk1_itd", 6, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.gclk1Itd = 0; }, nullptr},
    {"-gclk2_itd", 6, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.gclk2Itd = 0; }, nullptr},
    {"-gclk3_itd", 6, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.gclk3Itd = 0; }, nullptr},
    {"-open_out", 5, Takes::Choice,
     [](ConversionOptions& o, const std::string& v) { Choose(o.openOut, v, kAutoOnOffWords); }, nullptr},
    {"-pin_keep", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pinKeep = 1; }, nullptr},
    {"-race_cover_off", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.raceCover = 0; },
     nullptr},
    {"-verbose", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.verbose = 1; }, nullptr},
    {"-jtag", 5, Takes::Choice,
     [](ConversionOptions& o, const std::string& v) { Choose(o.jtag, v, kAutoOnOffWords); }, nullptr},
    {"-tdi_pullup", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.tdiPullup = 1; }, nullptr},
    {"-tms_pullup", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.tmsPullup = 1; }, nullptr},
    {"-slew", 5, Takes::Choice, [](ConversionOptions& o, const std::string& v) { Choose(o.slew, v, kSlewWords); },
     nullptr},
    {"-device", 5, Takes::Text,
     [](ConversionOptions& o, const std::string& v) {
       o.targetDeviceName = v;
       o.targetDeviceGiven = 1;
     },
     nullptr},
    {"-6000e", 6, Takes::FamilyHelp, nullptr, "-6000e"},
    {"-6000", 0, Takes::FamilyHelp, nullptr, "-6000"},
    {"-6128es", 7, Takes::TargetWord, nullptr, "6128"},
    {"-6064es", 7, Takes::TargetWord, nullptr, "6064"},
    {"-6032es", 7, Takes::TargetWord, nullptr, "6032"},
};

const OptionRule* MatchOption(const std::string& word) {
  for (const OptionRule& rule : kOptionRules) {
    const bool match = rule.chars == 0 ? word == rule.word : FirstCharsEqual(word, rule.word, rule.chars);
    if (match) return &rule;
  }
  return nullptr;
}

// Position of the '.' that starts the extension of the last path component,
// or npos when that component has none.
std::size_t ExtensionDot(const std::string& name) {
  const std::size_t start = FileNameStart(name);
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && dot >= start ? dot : std::string::npos;
}

void CutExtension(std::string& name) {
  const std::size_t dot = ExtensionDot(name);
  if (dot != std::string::npos) name.erase(dot);
}

}  // namespace

std::string ExtractProgramName(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return path;
  std::string name = path.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

ParseResult ParseCommandLine(std::vector<std::string>& args, Conversion& run) {
  ConversionOptions& options = run.options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string word = AsciiLower(args[i]);
    const OptionRule* rule = MatchOption(word);
    if (!rule) {
      options.inputFileName = args[i];
      continue;
    }
    const bool hasNext = i + 1 < args.size();
    switch (rule->takes) {
      case Takes::Nothing:
        rule->apply(options, std::string());
        break;
      case Takes::Text:
        if (hasNext) rule->apply(options, args[++i]);
        break;
      case Takes::Choice:
        if (hasNext) rule->apply(options, AsciiLower(args[++i]));
        break;
      case Takes::FamilyHelp:
        options.helpTarget = rule->helpTarget;
        ShowFamilyUsage(options, run.console);
        return EXIT;
      case Takes::TargetWord:
        options.helpTarget = rule->helpTarget;
        if (!hasNext) {
          ShowTargetUsage(options, run.console);
          return EXIT;
        }
        args[i + 1] = AsciiLower(args[i + 1]);
        if (args[i + 1] == "-h2") {
          ShowAdvancedHelp(options, run.console);
          return EXIT;
        }
        // The next argument is examined as usual in the next round.
        run.console << "NOTE : You should not use -6128es option here when converting a file.\n"
                    << "       Ignore -6128es option.\n\n";
        run.console.flush();
        break;
    }
  }
  return CONTINUE;
}

void ResolveSourceDefaults(const std::string& sourceDeviceName, ConversionOptions& options) {
  const std::string& name = sourceDeviceName;
  if (options.slew == UNSET) {
    if (Contains(name, "7032S") || Contains(name, "7032AE") || Contains(name, "3032")) {
      options.slew = AUTO;
    } else if (Contains(name, "7032")) {
      options.slew = FAST;
    } else {
      options.slew = AUTO;
    }
  }
  // open_out and JTAG follow the POF on the parts that have those fuses, are
  // off on the plain 7064 and 7128 (also 7128E, 7128A), and stay unset on the
  // plain 7032.
  static const char* const kFollowsPof[] = {"7128S", "7128AE", "3032", "3064", "3128",
                                            "7064S", "7064AE", "7032S", "7032AE"};
  bool followsPof = false;
  for (const char* word : kFollowsPof) followsPof = followsPof || Contains(name, word);
  const bool plainLarge = Contains(name, "7128") || Contains(name, "7064");
  for (OptionState* field : {&options.openOut, &options.jtag}) {
    if (*field != UNSET) continue;
    if (followsPof) {
      *field = AUTO;
    } else if (plainLarge) {
      *field = OFF;
    }
  }
}

void NormalizeDeviceName(const std::string& sourceDeviceName, Conversion& run) {
  ConversionOptions& options = run.options;
  options.targetDeviceName = AsciiLower(options.targetDeviceName);
  if (options.targetDeviceName == "6000e" && options.pinKeep == 1 && Contains(sourceDeviceName, "7032")) {
    options.pinKeep = 0;
    run.console << "***********************************************\n"
                << "NOTE : This option is included in 6000E only.\n"
                << "       Ignore -pin_keep option.\n"
                << "***********************************************\n";
    run.console.flush();
  }
}

void DeriveFileNames(ConversionOptions& options) {
  if (options.outputFileName.empty() && options.reportFileName.empty()) {
    options.outputFileName = options.inputFileName;
    options.reportFileName = options.inputFileName;
    CutExtension(options.outputFileName);
    CutExtension(options.reportFileName);
    options.outputFileName += ".jed";
  } else {
    if (ExtensionDot(options.outputFileName) == std::string::npos) options.outputFileName += ".jed";
    CutExtension(options.reportFileName);
  }
  options.reportFileName += ".txt";
}

}  // namespace fusecvt
