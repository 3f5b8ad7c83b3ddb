#include "driver/OutputFiles.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace fusecvt {

namespace fs = std::filesystem;

namespace {

fs::path NormalPath(const std::string& name) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(name), ec);
  if (ec) p = fs::path(name);
  return p.lexically_normal();
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    const bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  return NormalPath(a) == NormalPath(b);
}

bool CheckOutputPaths(const ConversionOptions& options, std::ostream& error) {
  for (const std::string* output : {&options.outputFileName, &options.reportFileName}) {
    if (SameFile(*output, options.inputFileName)) {
      error << "Error! Output file " << *output << " would overwrite the input file\n";
      error.flush();
      return false;
    }
  }
  if (SameFile(options.outputFileName, options.reportFileName)) {
    error << "Error! Output file " << options.outputFileName << " is also the report file\n";
    error.flush();
    return false;
  }
  return true;
}

}  // namespace fusecvt
