#pragma once
// The output channels of a run: standard output, standard error and the
// conversion report, which discards everything until a channel is attached.

#include <cstddef>
#include <iosfwd>
#include <memory>

#include "pof/TextOut.h"

namespace fusecvt {

class Messages {
 public:
  Messages(TextOut& consoleOut, TextOut& errorOut) : console(consoleOut), error(errorOut) {}
  // Over streams (tests, the web page): each channel writes into its stream.
  Messages(std::ostream& consoleStream, std::ostream& errorStream);
  ~Messages();
  Messages(const Messages&) = delete;
  Messages& operator=(const Messages&) = delete;

  TextOut& console;  // standard output
  TextOut& error;    // standard error

  TextOut& report() { return report_ ? *report_ : nullSink_; }
  void SetReport(TextOut* out) {
    ownedReport_.reset();
    report_ = out;
  }
  // The report into a stream; null detaches it.
  void SetReport(std::ostream* stream);
  void SetReport(std::nullptr_t) { SetReport(static_cast<TextOut*>(nullptr)); }

 private:
  Messages(std::unique_ptr<TextOut> consoleOut, std::unique_ptr<TextOut> errorOut);

  std::unique_ptr<TextOut> ownedConsole_;
  std::unique_ptr<TextOut> ownedError_;
  std::unique_ptr<TextOut> ownedReport_;
  TextOut* report_ = nullptr;
  NullTextOut nullSink_;
};

}  // namespace fusecvt
