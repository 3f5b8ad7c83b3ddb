#include "support/DesignRun.h"

#include <filesystem>
#include <regex>
#include <set>

#include "support/EndToEnd.h"

namespace fusecvt::test {

Converted::Converted(const char* device, std::vector<std::string> args, RunSetup setup) : jedec("") {
  if (device) {
    PofBuilder pof(device);
    if (setup.edit) setup.edit(pof.image());
    if (!setup.edit) pof.image().logicArray.at(0, 0, 6) = '0';
    if (setup.stop) pof.Append({25, "xx", {}});
    if (setup.stop == 2) pof.image().outputEnable.data()[0] = '0';
    pof.WriteTo(dir.File("a.pof"));
  }
  if (setup.prepare) setup.prepare(dir.path());
  args.insert(args.begin(), setup.program);
  setup.child.workDir = dir.path();
  run = RunBinary(args, setup.child);
  run.out = std::regex_replace(run.out, std::regex("processed [0-9]+ seconds"), "processed 0 seconds");
  std::set<std::string> names;
  std::error_code ec;
  for (auto e = std::filesystem::recursive_directory_iterator(dir.path(), ec);
       !ec && e != std::filesystem::recursive_directory_iterator(); e.increment(ec)) {
    names.insert(e->path().lexically_relative(dir.path()).generic_string());
  }
  for (const std::string& n : names) files += (files.empty() ? "" : " ") + n;
  // Only regular files: a test may leave a folder or a device in their place.
  auto read = [&](const char* name) { return std::filesystem::is_regular_file(dir.File(name), ec) ? ReadFile(dir.File(name)) : ""; };
  report = read("a.txt");
  jedec = JedecFacts(read("a.jed"));
}

Converted::Converted(const std::string& device, const DesignEdit& edit, std::vector<std::string> options)
    : Converted(device.c_str(), (options.push_back("a.pof"), options), RunSetup{edit}) {}

std::string Head(bool console, const char* source, const char* target, const std::string& stem, const std::string& input) {
  const auto names = console ? ConsoleFileNames : ReportFileNames;
  return ConversionLine(source, target) + names(input, stem + ".jed", stem + ".txt");
}

}  // namespace fusecvt::test
