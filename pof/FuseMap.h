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

struct Conversion;

// A decoded fuse: 0 programmed, 1 erased, or a data character that is neither.
enum class FuseValue : std::uint8_t { Programmed = 0, Erased = 1, Other = 2 };

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
  const char* name;       // "MapFuse7032S", ...
  bool hasImage;          // false: the device has no image, nothing is stored
  SourceKind kind;        // the image the map fills (when hasImage)
  PinTable pins;
  AddressTerm countedLimit;  // 0 fuses below it count toward the blank check
  const FuseRange* ranges;
  std::size_t rangeCount;
};

// The map that fills images of the given kind.
const FuseMap& FuseMapOf(SourceKind kind);
// The 256-macrocell map: no image, it only counts programmed fuses.
const FuseMap& FuseMap7256AE();

// P of a map for a package pin count: 1 for pin counts the table lacks, 0
// for maps without pin-dependent ranges.
int IoPinCount(PinTable table, int pinCount);

// One map made concrete for a pin count and an image: every fuse is mapped
// with a handful of comparisons and one division.
class FuseDecoder {
 public:
  // image may be null or of another kind: then nothing is stored, and
  // programmed fuses still count toward the blank check.
  FuseDecoder(const FuseMap& map, int pinCount, SourceImage* image);

  // Records a fuse at an address: a programmed fuse below the counted limit
  // sets lastProgrammedAddress; one inside a range is stored as '0'.
  void Map(std::int64_t address, FuseValue value, std::int32_t& lastProgrammedAddress) const;

  // No fuse at this address or above changes anything.
  std::int64_t Extent() const { return extent_; }

 private:
  friend void DecodeFuseData(const FuseMap& map, std::string_view data, bool bigEndian,
                             Conversion& run);

  struct Resolved {
    std::int64_t start;
    std::int64_t end;
    char* target;  // null: not stored
    std::size_t size;
    std::int32_t rowWidth;
    std::int32_t rowStride;
  };
  static constexpr std::size_t kMaxRanges = 12;
  Resolved ranges_[kMaxRanges] = {};
  std::size_t count_ = 0;
  std::int64_t countedLimit_ = 0;
  std::int64_t extent_ = 0;
};

// Decodes the data of a fuse-data packet (the 12-byte header and the fuse
// bytes) into run's image through the map: packed (8 fuses a byte, least
// significant bit first) or one character per fuse, inverted or not, as the
// header's flags say. Data of 12 bytes or fewer decodes nothing.
void DecodeFuseData(const FuseMap& map, std::string_view data, bool bigEndian, Conversion& run);

// One fuse at an address into run's image, through the map of each device:
// sets run.pof.lastProgrammedAddress and stores '0' into the image when the
// image is of the map's kind.
void MapFuse7032(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7032S(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7032AE(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse3032A(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7064(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7064S(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7064AE(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse3064A(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7128(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7128E(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7128S(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7128AE(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse3128A(Conversion& run, std::int64_t address, FuseValue value);
void MapFuse7256AE(Conversion& run, std::int64_t address, FuseValue value);

}  // namespace fusecvt
