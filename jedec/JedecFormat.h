#pragma once
// Pieces every JEDEC writer shares: the header date, the fuse checksum, the
// line ends (every line of the file ends in CR LF), the output buffer and the
// output file with its final check.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "pof/PackedFuseArray.h"
#include "translate/BitOps.h"

namespace fusecvt {

// "Sat Dec 05 16:42:08 2026": day and month names, day of the month with a
// leading zero, time, four-digit year; always 24 characters, whatever the
// fields hold (out-of-range fields are brought into range).
std::string FormatCreatedOn(const std::tm& time);

// A text from the POF or the command line, made safe to stand inside a JEDEC
// field: '*' would end the field early, STX/ETX would frame a file of
// their own, so a programmer would read fuses out of the text, and a CR
// would be a line end without its LF (a text's LFs become CR LF when
// written). Each of these becomes a blank; every other character is kept.
std::string JedecFieldText(std::string text);

// The JEDEC fuse checksum: 8-fuse words in address order, lowest-addressed
// fuse as the least significant bit; only '1' counts as a set bit.
class FuseChecksum {
 public:
  void Put(char fuse) { PutBits(fuse == '1' ? 1u : 0u, 1); }
  // The same as Put for each of count fuses, 16 or 8 at a time. Whole words
  // leave the number of pending fuses as it was.
  void PutFuses(const char* fuses, std::size_t count) {
    std::uint32_t word = word_;
    std::uint32_t sum = sum_;
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
      const std::uint32_t bits = word | MatchMask16(fuses + i, '1') << bits_;
      sum += (bits & 0xFFu) + ((bits >> 8) & 0xFFu);
      word = bits >> 16;
    }
    for (; i + 8 <= count; i += 8) {
      const std::uint32_t bits = word | MatchMask8(fuses + i, '1') << bits_;
      sum += bits & 0xFFu;
      word = bits >> 8;
    }
    word_ = word;
    sum_ = sum;
    if (i < count) {
      char last[8] = {};
      std::memcpy(last, fuses + i, count - i);
      PutBits(MatchMask8(last, '1'), static_cast<std::uint32_t>(count - i));
    }
  }
  // The same as PutFuses over the fuses of a packed row, whose stored bytes
  // are already 8-fuse words.
  void PutFuses(const PackedFuseArray::ConstRow& row) {
    const std::uint8_t* bytes = row.bytes();
    const int whole = row.size() / 8;
    std::uint32_t sum = sum_;
    if (bits_ == 0) {  // the row's bytes are the words: added 8 at a time
      int i = 0;
      for (; i + 8 <= whole; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes + i, 8);
        w = (w & 0x00FF00FF00FF00FFu) + ((w >> 8) & 0x00FF00FF00FF00FFu);
        sum += static_cast<std::uint32_t>((w * 0x0001000100010001u) >> 48);
      }
      for (; i < whole; ++i) sum += bytes[i];
    } else {
      std::uint32_t word = word_;
      for (int i = 0; i < whole; ++i) {
        const std::uint32_t bits = word | std::uint32_t{bytes[i]} << bits_;
        sum += bits & 0xFFu;
        word = bits >> 8;
      }
      word_ = word;
    }
    sum_ = sum;
    const int rest = row.size() % 8;
    if (rest > 0) PutBits(bytes[whole] & ((1u << rest) - 1u), static_cast<std::uint32_t>(rest));
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
  // Appends n < 8 fuses (bit i: the i-th) to the pending ones and adds the
  // word if that completes it.
  void PutBits(std::uint32_t bits, std::uint32_t n) {
    word_ |= bits << bits_;
    bits_ += n;
    if (bits_ >= 8) {
      sum_ += word_ & 0xFFu;
      word_ >>= 8;
      bits_ -= 8;
    }
  }

  std::uint32_t word_ = 0;
  std::uint32_t bits_ = 0;
  std::uint32_t sum_ = 0;
};

// The line end of a JEDEC file, on every platform: CR LF.
inline constexpr char kJedecLineEnd[] = "\r\n";
inline constexpr std::size_t kJedecLineEndSize = 2;

// Writes the line end at p; returns the position after it.
inline char* PutJedecLineEnd(char* p) {
  std::memcpy(p, kJedecLineEnd, kJedecLineEndSize);
  return p + kJedecLineEndSize;
}

// Where the bytes of a JEDEC file go. They arrive in their final form (CR LF
// line ends, see JedecBuffer) and are written unchanged.
class JedecSink {
 public:
  virtual ~JedecSink() = default;
  virtual void Write(const char* bytes, std::size_t size) = 0;
};

// A JEDEC output file, written without a buffer of its own: the JedecBuffer
// in front of it hands over large pieces.
class JedecFile final : public JedecSink {
 public:
  // Opens (creates or truncates) the file; ok() tells whether that worked.
  explicit JedecFile(const std::string& path);
  ~JedecFile() override;
  JedecFile(const JedecFile&) = delete;
  JedecFile& operator=(const JedecFile&) = delete;
  bool ok() const { return file_ != nullptr; }

  void Write(const char* bytes, std::size_t size) override;

  // Closes the file and checks every write. On failure the file is deleted
  // when it is a regular file (never a device) and false is returned.
  bool Close();

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;  // a write fell short
};

// The same bytes into a string.
class JedecStringSink final : public JedecSink {
 public:
  explicit JedecStringSink(std::string& out) : out_(out) {}
  void Write(const char* bytes, std::size_t size) override { out_.append(bytes, size); }

 private:
  std::string& out_;
};

// Collects the text of a file in one prepared buffer and hands it to the sink
// in large pieces. Text goes in with single LF line ends and lands as CR LF;
// fuse characters and prepared lines (already CR LF) are copied as they are.
// Flush() must be called before the sink is closed; nothing is flushed on
// destruction.
class JedecBuffer {
 public:
  explicit JedecBuffer(JedecSink& sink);
  JedecBuffer(const JedecBuffer&) = delete;
  JedecBuffer& operator=(const JedecBuffer&) = delete;

  // One character; LF lands as CR LF.
  void Put(char c) {
    if (kSize - used_ < kJedecLineEndSize) Flush();
    if (c == '\n') {
      used_ = static_cast<std::size_t>(PutJedecLineEnd(text_.get() + used_) - text_.get());
    } else {
      text_[used_++] = c;
    }
  }
  // Text; each LF lands as CR LF.
  void Append(const char* text, std::size_t size);
  void Append(const char* text) { Append(text, std::strlen(text)); }
  void Append(const std::string& text) { Append(text.data(), text.size()); }
  // Bytes already in the file's form: fuse characters, or lines that end in
  // CR LF.
  void AppendFileBytes(const char* bytes, std::size_t size) {
    if (kSize - used_ < size) Flush();
    if (size > kSize) {
      sink_.Write(bytes, size);
      return;
    }
    std::memcpy(text_.get() + used_, bytes, size);
    used_ += size;
  }
  // Decimal, no leading zeros; with width > 0 right-aligned in that many
  // columns and filled with '0' ("0042").
  void AppendNumber(long value, int width = 0);
  void Flush();

 private:
  // Two pages: a block target's file (some 80 KB) goes out in ten writes;
  // each page more would cost about as much as the writes it saves.
  static constexpr std::size_t kSize = 8 * 1024;
  JedecSink& sink_;
  std::unique_ptr<char[]> text_;
  std::size_t used_ = 0;
};

}  // namespace fusecvt
