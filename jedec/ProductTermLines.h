#pragma once
// The text of one product-term field of a block-target JEDEC file, put
// together in a fixed buffer without a stream.

#include <charconv>
#include <cstddef>
#include <cstring>

namespace fusecvt {

inline constexpr int kFoldbackFuses = 16;  // per product term
inline constexpr int kInputFuses = 80;     // per product term

// The term a field holds: its number (1..5) in its macrocell (1-based) and
// the letter of the macrocell's block.
struct TermName {
  int pt;
  int mc;
  char block;
};

// The text of one product-term field, put together in place: "L" and the
// address, the 16 foldback fuses, the 80 input fuses in two lines of 40, and
// the note naming the term, its macrocell and block.
class ProductTermLines {
 public:
  std::size_t Compose(long address, const char* foldback, const char* inputs, TermName term) {
    char* p = text_;
    *p++ = 'L';
    p = Number(p, address);
    *p++ = '\n';
    p = Copy(p, foldback, kFoldbackFuses);
    *p++ = '\n';
    p = Copy(p, inputs, kInputFuses / 2);
    *p++ = '\n';
    p = Copy(p, inputs + kInputFuses / 2, kInputFuses / 2);
    p = Copy(p, "*  NOTE PT ", 11);
    p = Number(p, term.pt);
    p = Copy(p, " of MC ", 7);
    p = Number(p, term.mc);
    p = Copy(p, "(LAB ", 5);
    *p++ = term.block;
    p = Copy(p, ") *\n", 4);
    return static_cast<std::size_t>(p - text_);
  }
  const char* text() const { return text_; }

 private:
  static char* Copy(char* p, const char* from, int count) {
    std::memcpy(p, from, static_cast<std::size_t>(count));
    return p + count;
  }
  // Decimal, at most 11 characters (addresses, term and macrocell numbers
  // are far shorter).
  static char* Number(char* p, long value) { return std::to_chars(p, p + 11, value).ptr; }

  // At most 1 + 11 + 1 + 16 + 1 + 40 + 1 + 40 + 11 + 11 + 7 + 11 + 5 + 1 + 4.
  char text_[161];
};

}  // namespace fusecvt
