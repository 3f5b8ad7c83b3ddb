#pragma once
// Paths the tests need: the built binary, the sample POFs, fresh scratch
// folders, and whole files.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fusecvt::test {

// The release version the build declares (its project version), and the
// version text that banners and JEDEC headers carry: it, with a blank on
// either side.
inline constexpr char kReleaseVersionText[] = " " FUSECVT_RELEASE_VERSION " ";

// The fusecvt binary built with the tests.
inline std::string BinaryPath() { return FUSECVT_BINARY; }
// The folder of real POF samples (FUSECVT_SAMPLES overrides); empty when absent.
std::string SamplesDir();
// A real POF of that folder as its SOURCES.tsv lists it: the file name, its
// path, and the device name (upper case) the fitter wrote it for.
struct Sample {
  std::string name, path, device;
};
// Every POF the list names, in its order; empty without a sample folder.
std::vector<Sample> Samples();

// A new empty folder below the system's temporary folder, removed by the
// object's destructor.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole file as bytes; empty string when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}
inline void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace fusecvt::test
