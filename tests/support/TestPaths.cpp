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
  const char* env = std::getenv("FUSECVT_SAMPLES");
  std::string dir = env && *env ? env : FUSECVT_DEFAULT_SAMPLES_DIR;
  std::error_code ec;
  return std::filesystem::is_directory(dir, ec) ? dir : std::string();
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
