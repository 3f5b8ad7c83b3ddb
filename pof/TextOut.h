#pragma once
// The text channels of a run (standard output, standard error, the report):
// written with << like a stream, but with no locale, no formatting state and
// nothing to set up before the first line, so that a run that writes a few
// lines pays for those lines only.

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace fusecvt {

class TextOut {
 public:
  virtual ~TextOut() = default;
  virtual void Write(const char* text, std::size_t size) = 0;
  // Hands what was written on to the file or stream behind the channel.
  virtual void flush() {}

  TextOut& operator<<(const char* text) {
    Write(text, std::strlen(text));
    return *this;
  }
  TextOut& operator<<(std::string_view text) {
    Write(text.data(), text.size());
    return *this;
  }
  TextOut& operator<<(const std::string& text) {
    Write(text.data(), text.size());
    return *this;
  }
  // A character, also when it is signed or unsigned (as a stream writes it).
  TextOut& operator<<(char c) {
    Write(&c, 1);
    return *this;
  }
  TextOut& operator<<(signed char c) { return *this << static_cast<char>(c); }
  TextOut& operator<<(unsigned char c) { return *this << static_cast<char>(c); }
  // Decimal, as a stream in the classic locale writes it.
  TextOut& operator<<(int v) { return Number(v); }
  TextOut& operator<<(long v) { return Number(v); }
  TextOut& operator<<(long long v) { return Number(v); }
  TextOut& operator<<(unsigned v) { return Number(v); }
  TextOut& operator<<(unsigned long v) { return Number(v); }
  TextOut& operator<<(unsigned long long v) { return Number(v); }

 private:
  template <class T>
  TextOut& Number(T v) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    Write(digits, static_cast<std::size_t>(end - digits));
    return *this;
  }
};

// Into a C stream (standard output, standard error, an open file), through
// its buffer.
class FileTextOut final : public TextOut {
 public:
  explicit FileTextOut(std::FILE* file) : file_(file) {}
  void Write(const char* text, std::size_t size) override { std::fwrite(text, 1, size, file_); }
  void flush() override { std::fflush(file_); }

 private:
  std::FILE* file_;
};

// Into a string.
class StringTextOut final : public TextOut {
 public:
  void Write(const char* text, std::size_t size) override { text_.append(text, size); }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

// Nowhere.
class NullTextOut final : public TextOut {
 public:
  void Write(const char*, std::size_t) override {}
};

}  // namespace fusecvt
