#include "driver/OutputFiles.h"

#include <filesystem>
#include <system_error>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fusecvt {

namespace fs = std::filesystem;

namespace {

fs::path NormalPath(const std::string& name) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(name), ec);
  if (ec) p = fs::path(name);
  return p.lexically_normal();
}

// A path, and what the file system says of it, asked once.
class NamedFile {
 public:
  explicit NamedFile(const std::string& name) : name_(name) {
    if (name_.empty()) return;
#ifdef _WIN32
    std::error_code ec;
    exists_ = fs::exists(name_, ec);
#else
    struct stat st {};
    exists_ = ::stat(name_.c_str(), &st) == 0;
    if (exists_) {
      device_ = st.st_dev;
      inode_ = st.st_ino;
      // Neither a regular file nor a folder: a device, a pipe or a socket.
      other_ = !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    }
#endif
  }

  // Both name one file: the same file when both exist and the file system
  // can tell, otherwise the same absolute, lexically normalised path.
  bool SameAs(const NamedFile& b) const {
    if (name_.empty() || b.name_.empty()) return false;
    if (exists_ && b.exists_) {
#ifdef _WIN32
      std::error_code ec;
      const bool same = fs::equivalent(name_, b.name_, ec);
      if (!ec) return same;
#else
      // Two devices, pipes or sockets are told apart by their paths only.
      if (!(other_ && b.other_)) return device_ == b.device_ && inode_ == b.inode_;
#endif
    }
    return NormalPath(name_) == NormalPath(b.name_);
  }

 private:
  std::string name_;
  bool exists_ = false;
#ifndef _WIN32
  bool other_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
#endif
};

}  // namespace

bool SameFile(const std::string& a, const std::string& b) { return NamedFile(a).SameAs(NamedFile(b)); }

bool CheckOutputPaths(const ConversionOptions& options, TextOut& error) {
  const NamedFile input(options.inputFileName);
  const NamedFile jedec(options.outputFileName);
  const NamedFile report(options.reportFileName);
  const auto overwritesInput = [&](const NamedFile& output, const std::string& name) {
    if (!output.SameAs(input)) return false;
    error << "Error! Output file " << name << " would overwrite the input file\n";
    error.flush();
    return true;
  };
  if (overwritesInput(jedec, options.outputFileName) || overwritesInput(report, options.reportFileName)) {
    return false;
  }
  if (jedec.SameAs(report)) {
    error << "Error! Output file " << options.outputFileName << " is also the report file\n";
    error.flush();
    return false;
  }
  return true;
}

}  // namespace fusecvt
