#pragma once
// Pieces every JEDEC writer shares: the header date, the fuse checksum, the
// text-mode output (each LF reaches the file as CR LF) and the final check.

#include <cstdint>
#include <ctime>
#include <fstream>
#include <iosfwd>
#include <string>

namespace fusecvt {

// "Sat Dec 05 16:42:08 2026": day and month names, day of the month with a
// leading zero, time, four-digit year; always 24 characters.
std::string FormatCreatedOn(const std::tm& time);

// The JEDEC fuse checksum: 8-fuse words in address order, lowest-addressed
// fuse as the least significant bit; only '1' counts as a set bit.
class FuseChecksum {
 public:
  void Put(char fuse) {
    if (fuse == '1') word_ |= 1u << bits_;
    if (++bits_ == 8) Flush();
  }
  // Adds a last, incomplete word (if any).
  void Flush() {
    sum_ += word_;
    word_ = 0;
    bits_ = 0;
  }
  int pendingBits() const { return static_cast<int>(bits_); }
  // The sum modulo 65536.
  std::uint16_t value() const { return static_cast<std::uint16_t>(sum_ & 0xFFFFu); }
  // "C" and four upper-case hexadecimal digits, e.g. "C00FF".
  std::string Field() const;

 private:
  std::uint32_t word_ = 0;
  std::uint32_t bits_ = 0;
  std::uint32_t sum_ = 0;
};

// A JEDEC output file. Bytes go out unchanged except LF, which is written as
// CR LF, as a text-mode stream would on the platforms the programmers run on.
class JedecFile {
 public:
  // Opens (creates or truncates) the file; ok() tells whether that worked.
  explicit JedecFile(const std::string& path);
  bool ok() const { return opened_; }

  void Write(const std::string& text);
  void Write(const char* text, std::size_t size);
  void Put(char c);

  // Closes the file and checks the stream. On failure the file is deleted
  // when it is a regular file (never a device) and false is returned.
  bool Close();

 private:
  std::string path_;
  std::ofstream out_;
  bool opened_ = false;
};

}  // namespace fusecvt
