#include "driver/HelpScreens.h"

#include <cstddef>
#include <string>

#include "driver/HelpText.h"
#include "pof/Text.h"

namespace fusecvt {

namespace {

constexpr int CountLines(const char* text) {
  int lines = 0;
  for (; *text; ++text) lines += *text == '\n';
  return lines;
}

// Every piece is whole lines, and holds as many as it was generated with.
static_assert(CountLines(help::kDeviceTypePrompt) == help::kDeviceTypePromptLines);
static_assert(CountLines(help::kUsageLine) == 1);
static_assert(CountLines(help::kUsageOptions) == help::kUsageOptionsLines);
static_assert(CountLines(help::kFamilyOptions) == help::kFamilyOptionsLines);
static_assert(CountLines(help::kDeviceWordNotes) == help::kDeviceWordNotesLines);
static_assert(CountLines(help::kFamilyVerbose) == help::kFamilyVerboseLines);
static_assert(CountLines(help::kFamilyPinKeep) == help::kFamilyPinKeepLines);
static_assert(CountLines(help::kTargetOptions) == help::kTargetOptionsLines);
static_assert(CountLines(help::kAdvancedHint) == help::kAdvancedHintLines);
static_assert(CountLines(help::kAdvancedOptions) == help::kAdvancedOptionsLines);
static_assert(CountLines(help::kJtagOptions) == help::kJtagOptionsLines);
static_assert(CountLines(help::kPullupNotes) == help::kPullupNotesLines);
// Screen sizes: family 4 + 18 (+ 2), target 4 + 23, advanced first block 16.
static_assert(help::kFamilyOptionsLines + help::kDeviceWordNotesLines + help::kFamilyVerboseLines == 18);
static_assert(help::kTargetOptionsLines + help::kDeviceWordNotesLines + help::kAdvancedHintLines == 23);
static_assert(help::kAdvancedOptionsLines == 16);
static_assert(sizeof(help::kAdvancedVariants) / sizeof(help::kAdvancedVariants[0]) == 3);

constexpr bool VariantSizesMatch() {
  for (const help::AdvancedVariant& v : help::kAdvancedVariants) {
    if (CountLines(v.outputType) != v.outputTypeLines || CountLines(v.deviceWord) != v.deviceWordLines ||
        CountLines(v.jtagDefaults) != v.jtagDefaultsLines || CountLines(v.tdiLine) != 1 ||
        CountLines(v.tmsLine) != 1) {
      return false;
    }
  }
  return true;
}
static_assert(VariantSizesMatch());

// "usg: <program name> [-i] ..." and the -i and -o lines.
void WriteUsageOpening(const ConversionOptions& options, TextOut& console) {
  std::string line = help::kUsageLine;
  line.replace(line.find("%s"), 2, options.programName);
  console << line << help::kUsageOptions;
}

}  // namespace

void ShowDeviceTypePrompt(TextOut& console) {
  console << help::kDeviceTypePrompt;
  console.flush();
}

void ShowFamilyUsage(const ConversionOptions& options, TextOut& console) {
  WriteUsageOpening(options, console);
  console << help::kFamilyOptions << help::kDeviceWordNotes << help::kFamilyVerbose;
  if (FirstCharsEqual(options.helpTarget, help::kPinKeepHelpWord, 6)) console << help::kFamilyPinKeep;
  console.flush();
}

void ShowTargetUsage(const ConversionOptions& options, TextOut& console) {
  WriteUsageOpening(options, console);
  console << help::kTargetOptions << help::kDeviceWordNotes << help::kAdvancedHint;
  console.flush();
}

void ShowAdvancedHelp(const ConversionOptions& options, TextOut& console) {
  const help::AdvancedVariant* variant = nullptr;
  for (const help::AdvancedVariant& v : help::kAdvancedVariants) {
    if (FirstCharsEqual(options.helpTarget, v.family, 4)) variant = &v;
  }
  console << help::kAdvancedOptions;
  // The help target is always one of the three families; for any other text
  // only the common lines are shown.
  if (variant) {
    console << variant->outputType << variant->deviceWord << help::kJtagOptions << variant->jtagDefaults
            << variant->tdiLine << help::kPullupNotes << variant->tmsLine << help::kPullupNotes;
  }
  console.flush();
}

}  // namespace fusecvt
