#include "pof/Messages.h"

#include <ostream>

namespace fusecvt {

namespace {

// A channel into a stream.
class StreamTextOut final : public TextOut {
 public:
  explicit StreamTextOut(std::ostream& out) : out_(out) {}
  void Write(const char* text, std::size_t size) override {
    out_.write(text, static_cast<std::streamsize>(size));
  }
  void flush() override { out_.flush(); }

 private:
  std::ostream& out_;
};

}  // namespace

Messages::Messages(std::ostream& consoleStream, std::ostream& errorStream)
    : Messages(std::make_unique<StreamTextOut>(consoleStream), std::make_unique<StreamTextOut>(errorStream)) {}

Messages::Messages(std::unique_ptr<TextOut> consoleOut, std::unique_ptr<TextOut> errorOut)
    : console(*consoleOut), error(*errorOut), ownedConsole_(std::move(consoleOut)), ownedError_(std::move(errorOut)) {}

Messages::~Messages() = default;

void Messages::SetReport(std::ostream* stream) {
  ownedReport_ = stream ? std::make_unique<StreamTextOut>(*stream) : nullptr;
  report_ = ownedReport_.get();
}

}  // namespace fusecvt
