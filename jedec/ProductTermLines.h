#pragma once
// Lines of a block-target JEDEC file put together in a fixed buffer, in the
// file's form (CR LF line ends), and handed to the output in one piece: the
// product-term fields and the other lines that repeat for every block.

#include <cassert>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "jedec/JedecFormat.h"

namespace fusecvt {

inline constexpr int kFoldbackFuses = 16;  // per product term
inline constexpr int kInputFuses = 80;     // per product term

// Up to Capacity characters of text, composed left to right.
template <std::size_t Capacity>
class LineText {
 public:
  LineText& Char(char c) {
    assert(c != '\n' && size_ < Capacity);
    text_[size_++] = c;
    return *this;
  }
  // A text without line ends (those come from LineEnd()).
  template <std::size_t N>
  LineText& Text(const char (&text)[N]) {
    return Copy(text, N - 1);
  }
  // Decimal, at most 11 characters (addresses, term, macrocell and
  // multiplexer numbers are far shorter).
  LineText& Number(long value) {
    assert(size_ + 11 <= Capacity);
    size_ = static_cast<std::size_t>(std::to_chars(text_ + size_, text_ + size_ + 11, value).ptr - text_);
    return *this;
  }
  LineText& Fuses(const char* fuses, int count) { return Copy(fuses, static_cast<std::size_t>(count)); }
  LineText& LineEnd() {
    assert(size_ + kJedecLineEndSize <= Capacity);
    size_ = static_cast<std::size_t>(PutJedecLineEnd(text_ + size_) - text_);
    return *this;
  }
  void Clear() { size_ = 0; }

  const char* data() const { return text_; }
  std::size_t size() const { return size_; }

 private:
  LineText& Copy(const char* from, std::size_t count) {
    assert(size_ + count <= Capacity && !std::memchr(from, '\n', count));
    std::memcpy(text_ + size_, from, count);
    size_ += count;
    return *this;
  }

  char text_[Capacity];
  std::size_t size_ = 0;
};

// The fuses of a line that lists its field from the last fuse to the first.
struct ReversedFuses {
  static constexpr int kMax = 32;
  char fuses[kMax];
  ReversedFuses(const char* field, int n) {
    assert(n <= kMax);
    int i = 0;
    // Eight at a time: swapping the bytes of a word reverses its characters.
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, field + n - 8 - i, 8);
      word = __builtin_bswap64(word);
      std::memcpy(fuses + i, &word, 8);
    }
    for (; i < n; ++i) fuses[i] = field[n - 1 - i];
  }
};

// The term a field holds: its number (1..5) in its macrocell (1-based) and
// the letter of the macrocell's block.
struct TermName {
  int pt;
  int mc;
  char block;
};

// The text of one product-term field: "L" and the address, the 16 foldback
// fuses, the 80 input fuses in two lines of 40, and the note naming the term,
// its macrocell and block.
class ProductTermLines {
 public:
  const LineText<192>& Compose(long address, const PackedFuseArray::ConstRow& foldback,
                               const PackedFuseArray::ConstRow& inputs, TermName term) {
    assert(foldback.size() == kFoldbackFuses && inputs.size() == kInputFuses);
    char fb[kFoldbackFuses];
    char in[kInputFuses];
    foldback.Format(fb);
    inputs.Format(in);
    text_.Clear();
    text_.Char('L').Number(address).LineEnd();
    text_.Fuses(fb, kFoldbackFuses).LineEnd();
    text_.Fuses(in, kInputFuses / 2).LineEnd();
    text_.Fuses(in + kInputFuses / 2, kInputFuses / 2);
    assert(term.pt >= 1 && term.pt <= 5);
    text_.Text("*  NOTE PT ").Char(static_cast<char>('0' + term.pt)).Text(" of MC ").Number(term.mc);
    text_.Text("(LAB ").Char(term.block).Text(") *").LineEnd();
    return text_;
  }

 private:
  // At most 1 + 11 + 2 + 16 + 2 + 40 + 2 + 40 + 11 + 11 + 7 + 11 + 5 + 1 + 3 + 2.
  LineText<192> text_;
};

}  // namespace fusecvt
