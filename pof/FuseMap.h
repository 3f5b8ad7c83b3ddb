#pragma once
// Fuse address maps of the source devices: how the flat fuse stream of a POF
// (addresses from 0) lands in the fields of a source image.
//
// Each map is a short list of consecutive address ranges, one field per
// range. Within a range, with b = address - start, the fuse goes to flat
// position (b / rowWidth) * rowStride + b % rowWidth of the field: rows of
// rowWidth fuses in the POF, rowStride characters per row in the image (the
// two differ only where the POF carries fewer bits per row than the image).
// Some bounds depend on P, the number of I/O pins of the package.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pof/SourceImage.h"

namespace fusecvt {

struct SourceData;

enum class FuseField : std::uint8_t {
  None,  // counted toward the blank check at most, never stored
  LogicArray,
  McConfig,
  Pia,
  OePia,
  IoConfig,
  OutputEnable,
  GlobalClocks,
  UnknownBits,
  JtagBit,
  Ues,
};

// base + perPin * P.
struct AddressTerm {
  std::int32_t base;
  std::int32_t perPin;
  constexpr std::int64_t At(int ioPins) const {
    return static_cast<std::int64_t>(base) + static_cast<std::int64_t>(perPin) * ioPins;
  }
};

struct FuseRange {
  FuseField field;
  AddressTerm start;
  AddressTerm end;  // exclusive
  std::int32_t rowWidth;
  std::int32_t rowStride;
};

// Which I/O pin count table gives P for a map.
enum class PinTable : std::uint8_t { None, Plain7064, Plain7128 };

struct FuseMap {
  bool hasImage;          // false: the device has no image, nothing is stored
  SourceKind kind;        // the image the map fills (when hasImage)
  PinTable pins;
  AddressTerm countedLimit;  // 0 fuses below it count toward the blank check
  const FuseRange* ranges;
  std::size_t rangeCount;
};

// The map that fills images of the given kind.
const FuseMap& FuseMapOf(SourceKind kind);

// P of a map for a package pin count: 1 for pin counts the table lacks, 0
// for maps without pin-dependent ranges.
int IoPinCount(PinTable table, int pinCount);

// One map made concrete for a pin count and an image: the address ranges and
// the fields they fill, read by DecodeFuseData.
class FuseDecoder {
 public:
  // image may be null or of another kind: then nothing is stored, and
  // programmed fuses still count toward the blank check.
  FuseDecoder(const FuseMap& map, int pinCount, SourceImage* image);

 private:
  friend void DecodeFuseData(const FuseMap& map, std::string_view data, bool bigEndian,
                             SourceData& run);

  struct Resolved {
    std::int64_t start;
    std::int64_t end;
    char* target;             // a field of fuse characters, or
    PackedFuseArray* packed;  // a packed field; both null: not stored
    std::size_t size;
    std::int32_t rowWidth;
    std::int32_t rowStride;
  };
  static constexpr std::size_t kMaxRanges = 12;
  Resolved ranges_[kMaxRanges] = {};
  std::size_t count_ = 0;
  std::int64_t countedLimit_ = 0;
};

// Decodes the data of a fuse-data packet (the 12-byte header and the fuse
// bytes) into run's image through the map: packed (8 fuses a byte, least
// significant bit first) or one character per fuse, inverted or not, as the
// header's flags say. Data of 12 bytes or fewer decodes nothing.
void DecodeFuseData(const FuseMap& map, std::string_view data, bool bigEndian, SourceData& run);

}  // namespace fusecvt
