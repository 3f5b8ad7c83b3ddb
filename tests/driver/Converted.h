#pragma once
// One run of the built binary in a fresh folder, with the folder's contents
// afterwards, and the console and report lines that name a run's files.

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

// A run of the binary in a fresh folder holding a.pof (one programmed logic
// fuse: every pin counts as used) unless `device` is nullptr.
struct Converted {
  ScratchDir dir;
  RunResult result;
  std::string files;  // the folder's paths afterwards, relative, sorted

  // stop: 1 an unknown packet after the fuse data stops the read; 2 also an
  // output-enable fuse programmed, so that the fuse data counts as present.
  // setup: its workDir is replaced by the folder.
  Converted(const char* device, std::vector<std::string> args, void (*prepare)(const std::string&) = nullptr,
            int stop = 0, ChildSetup setup = {}, const std::string& program = "fusecvt") {
    if (device) {
      PofBuilder pof(device);
      pof.image().logicArray.at(0, 0, 6) = '0';
      if (stop) pof.Append({25, "xx", {}});
      if (stop == 2) pof.image().outputEnable.data()[0] = '0';
      pof.WriteTo(dir.File("a.pof"));
    }
    if (prepare) prepare(dir.path());
    args.insert(args.begin(), program);
    setup.workDir = dir.path();
    result = RunBinary(args, setup);
    result.out = std::regex_replace(result.out, std::regex("processed [0-9]+ seconds"), "processed 0 seconds");
    std::set<std::string> names;
    std::error_code ec;
    for (auto e = std::filesystem::recursive_directory_iterator(dir.path(), ec);
         !ec && e != std::filesystem::recursive_directory_iterator(); e.increment(ec)) {
      names.insert(e->path().lexically_relative(dir.path()).generic_string());
    }
    for (const std::string& n : names) files += (files.empty() ? "" : " ") + n;
  }
};

// The conversion line and the file-name lines of a run of a.pof whose
// outputs are <stem>.jed and <stem>.txt, as the console or the report shows them.
inline std::string Head(bool console, const char* source, const char* target, const std::string& stem = "a",
                        const std::string& input = "a.pof") {
  const auto names = console ? ConsoleFileNames : ReportFileNames;
  return ConversionLine(source, target) + names(input, stem + ".jed", stem + ".txt");
}

}  // namespace fusecvt::test
