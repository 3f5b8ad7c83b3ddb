#pragma once
// A large fuse image field stored eight fuses to a byte. It is addressed as
// FuseArray is (at(i, j, k), last index fastest, or one flat index over the
// whole field) and shows the same fuse characters ('1' erased, '0'
// programmed), in an eighth of the memory: the product-term fields, the
// largest of an image, fill a few pages instead of dozens.
//
// Storage: each row (one run of the last index) starts on a byte of its own;
// fuse c of a row is bit c % 8 of the row's byte c / 8, set for '1'. That is
// the order and the sense of a POF's packed fuse bytes and of the JEDEC fuse
// checksum's words. Bits past the end of a row are never read.

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fusecvt {

// The eight fuse characters of a stored byte, fuse 0 (bit 0) first.
inline constexpr auto kFuseCharsOfByte = [] {
  std::array<std::array<char, 8>, 256> chars{};
  for (std::size_t b = 0; b < 256; ++b) {
    for (std::size_t i = 0; i < 8; ++i) chars[b][i] = (b >> i) & 1u ? '1' : '0';
  }
  return chars;
}();

class PackedFuseArray {
 public:
  // One fuse, read and written as its character.
  class Reference {
   public:
    Reference(std::uint8_t* byte, unsigned bit) : byte_(byte), bit_(bit) {}
    operator char() const { return ((*byte_ >> bit_) & 1u) != 0 ? '1' : '0'; }
    Reference& operator=(char c) {
      const auto mask = static_cast<std::uint8_t>(1u << bit_);
      *byte_ = static_cast<std::uint8_t>(c == '0' ? (*byte_ & ~mask) : (*byte_ | mask));
      return *this;
    }
    Reference& operator=(const Reference& other) { return *this = static_cast<char>(other); }

   private:
    std::uint8_t* byte_;
    unsigned bit_;
  };

  // One row of fuses, read only.
  class ConstRow {
   public:
    ConstRow(const std::uint8_t* bytes, int width) : bytes_(bytes), width_(width) {}

    int size() const { return width_; }
    // The fuse character of fuse k.
    char operator[](int k) const { return programmed(k) ? '0' : '1'; }
    bool programmed(int k) const {
      assert(k >= 0 && k < width_);
      return ((bytes_[k / 8] >> (k % 8)) & 1u) == 0;
    }
    // Bit c set where fuse first + c of the n (at most 64) from `first` (a
    // multiple of 8) is programmed.
    std::uint64_t ProgrammedBits(int first, int n) const {
      assert(first % 8 == 0 && n >= 0 && n <= 64 && first + n <= width_);
      return ~Load(bytes_ + first / 8, (n + 7) / 8) & LowBits(n);
    }
    int CountProgrammed() const {
      int n = 0;
      for (int first = 0; first < width_; first += 64) n += BitCount(ProgrammedBits(first, Chunk(first)));
      return n;
    }
    bool AnyProgrammed() const {
      for (int first = 0; first < width_; first += 64) {
        if (ProgrammedBits(first, Chunk(first)) != 0) return true;
      }
      return false;
    }
    bool AllProgrammed() const {
      for (int first = 0; first < width_; first += 64) {
        const int n = Chunk(first);
        if (ProgrammedBits(first, n) != LowBits(n)) return false;
      }
      return true;
    }
    // Writes the size() fuse characters into out, which holds at least as
    // many.
    template <std::size_t N>
    void Format(char (&out)[N]) const {
      assert(static_cast<int>(N) >= width_);
      FormatTo(out, width_ < static_cast<int>(N) ? width_ : static_cast<int>(N));
    }
    // The same for a row of at most 64 fuses, the last fuse first.
    template <std::size_t N>
    void FormatReversed(char (&out)[N]) const {
      assert(static_cast<int>(N) >= width_ && width_ <= 64);
      const int count = width_ < static_cast<int>(N) ? width_ : static_cast<int>(N);
      const std::uint64_t stored = ~ProgrammedBits(0, count) & LowBits(count);
      const std::uint64_t reversed = count == 0 ? 0 : ReverseBits(stored) >> (64 - count);
      const int whole = count / 8;
      for (int i = 0; i < whole; ++i) std::memcpy(out + 8 * i, kFuseCharsOfByte[(reversed >> (8 * i)) & 0xFFu].data(), 8);
      for (int k = 8 * whole; k < count; ++k) out[k] = (reversed >> k) & 1u ? '1' : '0';
    }
    std::string Text() const {
      std::string text(static_cast<std::size_t>(width_), '1');
      FormatTo(&text[0], width_);
      return text;
    }
    // The stored bytes: (size() + 7) / 8, fuse 0 in bit 0 of the first.
    const std::uint8_t* bytes() const { return bytes_; }

   private:
    // The characters of the first `count` fuses at out.
    void FormatTo(char* out, int count) const {
      const int whole = count / 8;
      for (int i = 0; i < whole; ++i) std::memcpy(out + 8 * i, kFuseCharsOfByte[bytes_[i]].data(), 8);
      for (int k = 8 * whole; k < count; ++k) out[k] = kFuseCharsOfByte[bytes_[k / 8]][static_cast<std::size_t>(k % 8)];
    }
    int Chunk(int first) const { return width_ - first < 64 ? width_ - first : 64; }
    // Set bits of x, added in parallel (no library call where the processor
    // has no instruction for it).
    static int BitCount(std::uint64_t x) {
      x -= (x >> 1) & 0x5555555555555555u;
      x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
      x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
      return static_cast<int>((x * 0x0101010101010101u) >> 56);
    }
    // Bit i of x as bit 63 - i.
    static std::uint64_t ReverseBits(std::uint64_t x) {
      x = ((x >> 1) & 0x5555555555555555u) | ((x & 0x5555555555555555u) << 1);
      x = ((x >> 2) & 0x3333333333333333u) | ((x & 0x3333333333333333u) << 2);
      x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((x & 0x0F0F0F0F0F0F0F0Fu) << 4);
      return __builtin_bswap64(x);
    }
    static std::uint64_t LowBits(int n) { return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1; }
    // The `count` bytes at p as one word, the first in the lowest bits.
    static std::uint64_t Load(const std::uint8_t* p, int count) {
      std::uint64_t word = 0;
      if (count >= 8) {
        std::memcpy(&word, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
        word = __builtin_bswap64(word);
#endif
        return word;
      }
      for (int i = 0; i < count; ++i) word |= std::uint64_t{p[i]} << (8 * i);
      return word;
    }

    const std::uint8_t* bytes_;
    int width_;
  };

  // One row of fuses.
  class Row : public ConstRow {
   public:
    Row(std::uint8_t* bytes, int width) : ConstRow(bytes, width), mutable_(bytes) {}
    void Set(int k, char c) {
      assert(k >= 0 && k < size());
      Reference(mutable_ + k / 8, static_cast<unsigned>(k % 8)) = c;
    }
    void Program(int k) { Set(k, '0'); }
    // Every fuse of the row '0' or '1'. Rows of up to 128 fuses (all of an
    // image's) take two stores of 8, 4, 2 or 1 bytes (overlapping), no call.
    void Fill(char c) {
      const std::uint64_t word = c == '0' ? 0 : ~std::uint64_t{0};
      const int n = (size() + 7) / 8;
      std::uint8_t* p = mutable_;
      if (n > 16) {
        std::memset(p, static_cast<int>(word & 0xFFu), static_cast<std::size_t>(n));
      } else if (n >= 8) {
        std::memcpy(p, &word, 8);
        std::memcpy(p + n - 8, &word, 8);
      } else if (n >= 4) {
        std::memcpy(p, &word, 4);
        std::memcpy(p + n - 4, &word, 4);
      } else if (n >= 2) {
        std::memcpy(p, &word, 2);
        std::memcpy(p + n - 2, &word, 2);
      } else if (n == 1) {
        p[0] = static_cast<std::uint8_t>(word);
      }
    }

   private:
    std::uint8_t* mutable_;
  };

  PackedFuseArray() = default;
  PackedFuseArray(int d0, int d1, int d2, char fill = '1')
      : d0_(d0), d1_(d1), d2_(d2), rowBytes_((d2 + 7) / 8), unpadded_(d2 % 8 == 0),
        bytes_(static_cast<std::size_t>(d0) * static_cast<std::size_t>(d1) * static_cast<std::size_t>(rowBytes_),
               FillByte(fill)) {}

  bool empty() const { return bytes_.empty(); }
  // The number of fuses.
  std::size_t size() const {
    return static_cast<std::size_t>(d0_) * static_cast<std::size_t>(d1_) * static_cast<std::size_t>(d2_);
  }
  int dim0() const { return d0_; }
  int dim1() const { return d1_; }
  int dim2() const { return d2_; }

  // Fuse (i, j, k).
  char at(int i, int j, int k) const { return row(i, j)[k]; }
  Reference at(int i, int j, int k) { return Slot(RowIndex(i, j), k); }
  // Fuse n counted over the whole field, last index fastest.
  char at(int n) const {
    assert(n >= 0 && static_cast<std::size_t>(n) < size());
    return row(n / d2_ / d1_, n / d2_ % d1_)[n % d2_];
  }
  Reference at(int n) {
    assert(n >= 0 && static_cast<std::size_t>(n) < size());
    return Slot(static_cast<std::size_t>(n / d2_), n % d2_);
  }

  ConstRow row(int i, int j) const { return {bytes_.data() + RowIndex(i, j) * RowBytes(), d2_}; }
  Row row(int i, int j) { return {bytes_.data() + RowIndex(i, j) * RowBytes(), d2_}; }

  void fill(char c) { bytes_.assign(bytes_.size(), FillByte(c)); }

  // Programs the fuses from flat fuse 0 that `count` bytes of 8 fuses mark
  // (fuse 8k + b is bit b of byte k, lowest address first): those whose bit
  // differs from the same bit of `erased`. The other fuses keep their value.
  void ProgramFromBytes(const std::uint8_t* in, std::size_t count, std::uint8_t erased) {
    assert(8 * count <= size());
    if (unpadded_) {  // flat fuse n is stored as bit n: one pass over the bytes
      std::uint8_t* out = bytes_.data();
      for (std::size_t k = 0; k < count; ++k) out[k] = static_cast<std::uint8_t>(out[k] & ~(in[k] ^ erased));
      return;
    }
    for (std::size_t k = 0; k < count; ++k) {
      const unsigned programmed = (in[k] ^ erased) & 0xFFu;
      for (unsigned b = 0; b < 8; ++b) {
        if ((programmed >> b) & 1u) at(static_cast<int>(8 * k + b)) = '0';
      }
    }
  }

 private:
  static std::uint8_t FillByte(char c) { return c == '0' ? 0x00 : 0xFF; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(rowBytes_); }
  std::size_t RowIndex(int i, int j) const {
    assert(i >= 0 && i < d0_ && j >= 0 && j < d1_);
    return static_cast<std::size_t>(i) * static_cast<std::size_t>(d1_) + static_cast<std::size_t>(j);
  }
  Reference Slot(std::size_t rowIndex, int k) {
    assert(k >= 0 && k < d2_);
    return {bytes_.data() + rowIndex * RowBytes() + static_cast<std::size_t>(k / 8), static_cast<unsigned>(k % 8)};
  }

  int d0_ = 0;
  int d1_ = 1;
  int d2_ = 1;
  int rowBytes_ = 1;
  bool unpadded_ = false;  // every row fills its bytes
  std::vector<std::uint8_t> bytes_;
};

}  // namespace fusecvt
