#pragma once
// Paths the tests need: the built binary, the source tree, the sample POFs,
// and fresh scratch folders.

#include <string>

namespace fusecvt::test {

// The fusecvt binary built with the tests.
std::string BinaryPath();
// The project's source tree.
std::string SourceDir();
// The folder of real POF samples (FUSECVT_SAMPLES overrides); empty when absent.
std::string SamplesDir();
// A new empty folder below the system's temporary folder, removed by the
// returned object's destructor.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole file as bytes; empty string when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace fusecvt::test
