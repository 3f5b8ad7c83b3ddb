#include "support/TestPaths.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace fusecvt::test {

std::string SamplesDir() {
  std::error_code ec;
  if (const char* env = std::getenv("FUSECVT_SAMPLES"); env && *env) {
    return std::filesystem::is_directory(env, ec) ? std::string(env) : std::string();
  }
  // The sample folder stands beside the project; from a checkout kept in a
  // deeper folder, look beside each of its parents too.
  for (std::filesystem::path dir = FUSECVT_SOURCE_DIR; dir != dir.parent_path(); dir = dir.parent_path()) {
    const std::filesystem::path candidate = dir.parent_path() / "shared" / "pof-samples";
    if (std::filesystem::is_directory(candidate, ec)) return candidate.string();
  }
  return std::string();
}

std::vector<Sample> Samples() {
  const std::string dir = SamplesDir();
  std::vector<Sample> samples;
  if (dir.empty()) return samples;
  std::ifstream list(dir + "/SOURCES.tsv");
  for (std::string line; std::getline(list, line);) {
    std::istringstream row(line);
    Sample s;
    if (!std::getline(row, s.name, '\t') || !std::getline(row, s.device, '\t') || s.name == "file") continue;
    for (char& c : s.device) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    s.path = dir + "/" + s.name;
    samples.push_back(s);
  }
  return samples;
}

ScratchDir::ScratchDir() : path_((std::filesystem::temp_directory_path() / "fusecvt-test-XXXXXX").string()) {
  if (!mkdtemp(path_.data())) throw std::runtime_error("mkdtemp failed");
}

}  // namespace fusecvt::test
