#include "support/TestPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fusecvt::test {

std::string BinaryPath() { return FUSECVT_BINARY; }
std::string SourceDir() { return FUSECVT_SOURCE_DIR; }

std::string SamplesDir() {
  std::error_code ec;
  if (const char* env = std::getenv("FUSECVT_SAMPLES"); env && *env) {
    return std::filesystem::is_directory(env, ec) ? std::string(env) : std::string();
  }
  // The sample folder stands beside the project; from a checkout kept in a
  // deeper folder, look beside each of its parents too.
  for (std::filesystem::path dir = SourceDir(); !dir.empty(); dir = dir.parent_path()) {
    const std::filesystem::path candidate = dir.parent_path() / "shared" / "pof-samples";
    if (std::filesystem::is_directory(candidate, ec)) return candidate.string();
    if (dir == dir.parent_path()) break;
  }
  return std::string();
}

ScratchDir::ScratchDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "fusecvt-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace fusecvt::test
