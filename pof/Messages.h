#pragma once
// The output channels of a run: standard output, standard error and the
// conversion report, which discards everything until a stream is attached.

#include <ostream>

namespace fusecvt {

class Messages {
 public:
  Messages(std::ostream& consoleStream, std::ostream& errorStream)
      : console(consoleStream), error(errorStream) {}
  Messages(const Messages&) = delete;
  Messages& operator=(const Messages&) = delete;

  std::ostream& console;  // standard output
  std::ostream& error;    // standard error

  std::ostream& report() { return report_ ? *report_ : nullSink_; }
  void SetReport(std::ostream* stream) { report_ = stream; }

 private:
  std::ostream* report_ = nullptr;
  std::ostream nullSink_{nullptr};
};

}  // namespace fusecvt
