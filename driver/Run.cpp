// Placeholder run: banner and the device-type prompt. Replaced by the driver.
#include "driver/Run.h"

#include <ostream>

#include "driver/Version.h"

namespace fusecvt {

int RunConversion(std::vector<std::string> args, Conversion& run) {
  run.console << kMakerName << ' ' << (args.empty() ? "" : args[0]) << ' ' << kVersionText
              << kBuildDate << '\n'
              << kRightsNotice << "\n\n";
  run.console << " Please provide the device type to get the appropriate options as follow :\n"
              << " fusecvt [-6000|-6000e|-6032es|-6032esl|-6064es|-6064esl|-6128es|-6128esl]\n";
  return 1;
}

}  // namespace fusecvt
