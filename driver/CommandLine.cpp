#include "driver/CommandLine.h"

#include <cstddef>
#include <filesystem>
#include <system_error>

#include "driver/Conversion.h"
#include "driver/HelpScreens.h"
#include "driver/TargetSet.h"
#include "pof/PathName.h"
#include "pof/Text.h"

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

// A value that matches no word leaves the field as it was; the result says
// whether a word matched.
template <std::size_t N>
bool Choose(OptionState& field, const std::string& value, const ValueWord (&words)[N]) {
  for (const ValueWord& w : words) {
    if (FirstCharsEqual(value, w.word, w.chars)) {
      field = w.state;
      return true;
    }
  }
  return false;
}

enum class Takes {
  Nothing,     // a switch
  Input,       // consumes the next argument as typed: the input name
  Text,        // consumes the next argument as typed
  Choice,      // consumes the next argument, lower-cased, as a value word
  FamilyHelp,  // shows the QPL6000 family usage and ends the run
  TargetWord,  // a QPL6032ES/6064ES/6128ES family word (usage, advanced help or notice)
};

using Apply = void (*)(ConversionOptions&, const std::string& value);
// Sets the field from a value word; false when the value is none of them.
using ChooseValue = bool (*)(ConversionOptions&, const std::string& value);

struct OptionRule {
  const char* word;
  std::size_t chars;  // the first `chars` characters decide; 0: the whole word
  Takes takes;
  Apply apply;             // Nothing and Text
  const char* helpTarget;  // FamilyHelp and TargetWord
  ChooseValue choose = nullptr;  // Choice
};

// Tested in this order; the first rule that matches decides. The order matters:
// "-powerd" before "-powe", "-pin_" and "-pinc" before each other's words,
// "-6000e" before "-6000".
const OptionRule kOptionRules[] = {
    {"-i", 0, Takes::Input, nullptr, nullptr},
    {"-o", 0, Takes::Text,
     [](ConversionOptions& o, const std::string& v) {
       o.outputFileName = v;
       o.reportFileName = v;
     },
     nullptr},
    {"-powerdown", 7, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd1 = 1; }, nullptr},
    {"-pd1", 4, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd1 = 1; }, nullptr},
    {"-pd2", 4, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pd2 = 1; }, nullptr},
    {"-mc_power", 5, Takes::Choice, nullptr, nullptr,
     [](ConversionOptions& o, const std::string& v) { return Choose(o.mcPower, v, kMcPowerWords); }},
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
    {"-open_out", 5, Takes::Choice, nullptr, nullptr,
     [](ConversionOptions& o, const std::string& v) { return Choose(o.openOut, v, kAutoOnOffWords); }},
    {"-pin_keep", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.pinKeep = 1; }, nullptr},
    {"-race_cover_off", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.raceCover = 0; },
     nullptr},
    {"-verbose", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.verbose = 1; }, nullptr},
    {"-jtag", 5, Takes::Choice, nullptr, nullptr,
     [](ConversionOptions& o, const std::string& v) { return Choose(o.jtag, v, kAutoOnOffWords); }},
    {"-tdi_pullup", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.tdiPullup = 1; }, nullptr},
    {"-tms_pullup", 5, Takes::Nothing, [](ConversionOptions& o, const std::string&) { o.tmsPullup = 1; }, nullptr},
    {"-slew", 5, Takes::Choice, nullptr, nullptr,
     [](ConversionOptions& o, const std::string& v) { return Choose(o.slew, v, kSlewWords); }},
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

bool EndsWithSeparator(const std::string& name) {
  return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// Where the last component of a path starts: after its last '/' or '\'.
std::size_t LastComponentStart(const std::string& name) {
  const std::size_t separator = name.find_last_of("/\\");
  return separator == std::string::npos ? 0 : separator + 1;
}

// An -o value names a folder when it ends in a separator or is an existing
// directory.
bool NamesFolder(const std::string& name) {
  std::error_code ec;
  return EndsWithSeparator(name) || (!name.empty() && std::filesystem::is_directory(name, ec));
}

}  // namespace

std::string ExtractProgramName(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  // A path typed with backslashes names a program file with its extension.
  if (path.find('\\') != std::string::npos) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
  }
  return name;
}

namespace {

// A target word at args[i]: alone or before "-h2" it shows its help screen
// (true: the run ends); otherwise a notice, and the next argument keeps its
// case and is examined as usual in the next round.
bool ShowsTargetHelp(const OptionRule& rule, const std::vector<std::string>& args, std::size_t i,
                     Conversion& run) {
  run.options.helpTarget = rule.helpTarget;
  if (i + 1 >= args.size()) {
    ShowTargetUsage(run.options, run.console);
    return true;
  }
  if (AsciiLower(args[i + 1]) == "-h2") {
    ShowAdvancedHelp(run.options, run.console);
    return true;
  }
  // The notice names the family word that matched.
  run.console << "NOTE : You should not use " << rule.word << " option here when converting a file.\n"
              << "       Ignore " << rule.word << " option.\n\n";
  run.console.flush();
  return false;
}

}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, Conversion& run) {
  ConversionOptions& options = run.options;
  bool inputGiven = false;
  // An input name replacing an earlier one is named on the error stream.
  auto setInput = [&](const std::string& name) {
    if (inputGiven) {
      run.error << "Warning: input file " << options.inputFileName << " replaced by " << name << "\n";
      run.error.flush();
    }
    options.inputFileName = name;
    inputGiven = true;
  };
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string word = AsciiLower(args[i]);
    const OptionRule* rule = MatchOption(word);
    if (!rule) {
      if (word.size() > 1 && word[0] == '-') {
        run.error << "Warning: unknown option " << args[i] << " ignored\n";
        run.error.flush();
      } else {
        setInput(args[i]);
      }
      continue;
    }
    const bool hasNext = i + 1 < args.size();
    switch (rule->takes) {
      case Takes::Nothing:
        rule->apply(options, std::string());
        break;
      case Takes::Input:
        if (hasNext) setInput(args[++i]);
        break;
      case Takes::Text:
        if (hasNext) rule->apply(options, args[++i]);
        break;
      case Takes::Choice:
        if (!hasNext) break;
        ++i;
        if (!rule->choose(options, AsciiLower(args[i]))) {
          run.error << "Warning: unknown value " << args[i] << " for " << rule->word << " ignored\n";
          run.error.flush();
        }
        break;
      case Takes::FamilyHelp:
        options.helpTarget = rule->helpTarget;
        ShowFamilyUsage(options, run.console);
        return EXIT;
      case Takes::TargetWord:
        if (ShowsTargetHelp(*rule, args, i, run)) return EXIT;
        break;
    }
  }
  return CONTINUE;
}

void ResolveSourceDefaults(const DeviceRecord& device, ConversionOptions& options) {
  if (!device.variant) {
    // A name outside the catalogue: slew as on the newer parts, the rest left.
    if (options.slew == UNSET) options.slew = AUTO;
    return;
  }
  const SourceVariant& v = *device.variant;
  if (options.slew == UNSET) options.slew = v.slewDefault;
  for (OptionState* field : {&options.openOut, &options.jtag}) {
    if (*field == UNSET) *field = v.pinOptionDefault;
  }
}

void NormalizeDeviceName(const DeviceRecord& device, Conversion& run) {
  ConversionOptions& options = run.options;
  if (options.targetDeviceGiven == 1 && run.sources.image() && device.variant &&
      !DeviceWordFits(device.variant->target, AsciiLower(options.targetDeviceName))) {
    run.error << "Warning: -device " << options.targetDeviceName << " does not name a target for " << device.name
              << "; ignored\n";
    run.error.flush();
    const ConversionOptions fresh;
    options.targetDeviceName = fresh.targetDeviceName;
    options.targetDeviceGiven = fresh.targetDeviceGiven;
  }
  options.targetDeviceName = AsciiLower(options.targetDeviceName);
  if (options.targetDeviceName == "6000e" && options.pinKeep == 1 && device.variant &&
      device.variant->pinKeepOnlyOn6000e) {
    options.pinKeep = 0;
    run.console << "***********************************************\n"
                << "NOTE : This option is included in 6000E only.\n"
                << "       Ignore -pin_keep option.\n"
                << "***********************************************\n";
    run.console.flush();
  }
}

void DeriveFileNames(ConversionOptions& options) {
  if (NamesFolder(options.outputFileName)) {
    // Both files go into the folder, named after the input file's own name.
    std::string folder = options.outputFileName;
    if (!EndsWithSeparator(folder)) folder += '/';
    std::string stem = options.inputFileName.substr(LastComponentStart(options.inputFileName));
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos) stem.erase(dot);
    options.outputFileName = folder + stem + ".jed";
    options.reportFileName = folder + stem + ".txt";
    return;
  }
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
