#include "pof/FuseMap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "pof/ByteOrder.h"
#include "pof/SourceData.h"

namespace fusecvt {

namespace {

// Machine-generated from the device address maps; every range is checked
// against the image fields by the tests, and the ranges of each map are
// checked to follow each other below.
constexpr FuseRange kRanges7032[] = {
    {FuseField::LogicArray, {0, 0}, {14080, 0}, 1, 1},
    {FuseField::McConfig, {14080, 0}, {14464, 0}, 12, 12},
    {FuseField::Pia, {14464, 0}, {14608, 0}, 1, 1},
    {FuseField::OutputEnable, {14608, 0}, {14672, 0}, 2, 2},
};
constexpr FuseRange kRanges7032S[] = {
    {FuseField::LogicArray, {0, 0}, {14080, 0}, 1, 1},
    {FuseField::McConfig, {14080, 0}, {14496, 0}, 13, 13},
    {FuseField::Pia, {14496, 0}, {14784, 0}, 1, 1},
    {FuseField::OePia, {14784, 0}, {14814, 0}, 5, 5},
    {FuseField::IoConfig, {14814, 0}, {15006, 0}, 6, 6},
    {FuseField::GlobalClocks, {15006, 0}, {15009, 0}, 1, 1},
    {FuseField::UnknownBits, {15009, 0}, {15016, 0}, 1, 1},
    {FuseField::JtagBit, {15016, 0}, {15017, 0}, 1, 1},
    {FuseField::Ues, {15017, 0}, {15033, 0}, 1, 1},
    {FuseField::None, {15033, 0}, {15040, 0}, 1, 1},
};
constexpr FuseRange kRanges7032AE[] = {
    {FuseField::LogicArray, {0, 0}, {14080, 0}, 1, 1},
    {FuseField::McConfig, {14080, 0}, {14528, 0}, 14, 14},
    {FuseField::Pia, {14528, 0}, {14816, 0}, 1, 1},
    {FuseField::OePia, {14816, 0}, {14846, 0}, 5, 5},
    {FuseField::IoConfig, {14846, 0}, {15070, 0}, 7, 7},
    {FuseField::GlobalClocks, {15070, 0}, {15073, 0}, 1, 1},
    {FuseField::JtagBit, {15073, 0}, {15074, 0}, 1, 1},
    {FuseField::Ues, {15074, 0}, {15106, 0}, 1, 1},
};
constexpr FuseRange kRanges3032A[] = {
    {FuseField::LogicArray, {0, 0}, {14080, 0}, 1, 1},
    {FuseField::McConfig, {14080, 0}, {14528, 0}, 14, 14},
    {FuseField::Pia, {14528, 0}, {14816, 0}, 1, 1},
    {FuseField::OePia, {14816, 0}, {14846, 0}, 5, 5},
    {FuseField::IoConfig, {14846, 0}, {15038, 0}, 6, 7},
    {FuseField::GlobalClocks, {15038, 0}, {15041, 0}, 1, 1},
    {FuseField::JtagBit, {15041, 0}, {15042, 0}, 1, 1},
    {FuseField::Ues, {15042, 0}, {15074, 0}, 1, 1},
    {FuseField::None, {15074, 0}, {15106, 0}, 1, 1},
};
constexpr FuseRange kRanges7064[] = {
    {FuseField::LogicArray, {0, 0}, {28160, 0}, 1, 1},
    {FuseField::McConfig, {28160, 0}, {28928, 0}, 12, 12},
    {FuseField::Pia, {28928, 0}, {29360, 0}, 1, 1},
    {FuseField::OutputEnable, {29360, 0}, {29360, 2}, 2, 2},
};
constexpr FuseRange kRanges7064S[] = {
    {FuseField::LogicArray, {0, 0}, {28160, 0}, 1, 1},
    {FuseField::McConfig, {28160, 0}, {28992, 0}, 13, 13},
    {FuseField::Pia, {28992, 0}, {30144, 0}, 1, 1},
    {FuseField::OePia, {30144, 0}, {30198, 0}, 9, 9},
    {FuseField::IoConfig, {30198, 0}, {30582, 0}, 6, 6},
    {FuseField::GlobalClocks, {30582, 0}, {30585, 0}, 1, 1},
    {FuseField::UnknownBits, {30585, 0}, {30592, 0}, 1, 1},
    {FuseField::JtagBit, {30592, 0}, {30593, 0}, 1, 1},
    {FuseField::Ues, {30593, 0}, {30609, 0}, 1, 1},
};
constexpr FuseRange kRanges7064AE[] = {
    {FuseField::LogicArray, {0, 0}, {28160, 0}, 1, 1},
    {FuseField::McConfig, {28160, 0}, {29056, 0}, 14, 14},
    {FuseField::Pia, {29056, 0}, {30208, 0}, 1, 1},
    {FuseField::OePia, {30208, 0}, {30262, 0}, 9, 9},
    {FuseField::IoConfig, {30262, 0}, {30710, 0}, 7, 7},
    {FuseField::GlobalClocks, {30710, 0}, {30713, 0}, 1, 1},
    {FuseField::JtagBit, {30713, 0}, {30714, 0}, 1, 1},
    {FuseField::Ues, {30714, 0}, {30746, 0}, 1, 1},
    {FuseField::UnknownBits, {30746, 0}, {30751, 0}, 1, 1},
};
constexpr FuseRange kRanges3064A[] = {
    {FuseField::LogicArray, {0, 0}, {28160, 0}, 1, 1},
    {FuseField::McConfig, {28160, 0}, {29056, 0}, 14, 14},
    {FuseField::Pia, {29056, 0}, {30208, 0}, 1, 1},
    {FuseField::OePia, {30208, 0}, {30262, 0}, 9, 9},
    {FuseField::IoConfig, {30262, 0}, {30646, 0}, 6, 7},
    {FuseField::GlobalClocks, {30646, 0}, {30649, 0}, 1, 1},
    {FuseField::JtagBit, {30649, 0}, {30650, 0}, 1, 1},
    {FuseField::Ues, {30650, 0}, {30682, 0}, 1, 1},
    {FuseField::None, {30682, 0}, {30751, 0}, 1, 1},
};
constexpr FuseRange kRanges7128[] = {
    {FuseField::LogicArray, {0, 0}, {56320, 0}, 1, 1},
    {FuseField::McConfig, {56320, 0}, {57856, 0}, 12, 12},
    {FuseField::Pia, {57856, 0}, {59008, 0}, 1, 1},
    {FuseField::OutputEnable, {59008, 0}, {59008, 2}, 2, 2},
};
constexpr FuseRange kRanges7128E[] = {
    {FuseField::LogicArray, {0, 0}, {56320, 0}, 1, 1},
    {FuseField::McConfig, {56320, 0}, {58112, 0}, 14, 14},
    {FuseField::Pia, {58112, 0}, {59552, 0}, 1, 1},
    {FuseField::OePia, {59552, 0}, {59582, 0}, 5, 5},
    {FuseField::IoConfig, {59582, 0}, {59582, 3}, 3, 3},
    {FuseField::UnknownBits, {59582, 3}, {59592, 3}, 1, 1},
};
constexpr FuseRange kRanges7128S[] = {
    {FuseField::LogicArray, {0, 0}, {56320, 0}, 1, 1},
    {FuseField::McConfig, {56320, 0}, {57984, 0}, 13, 13},
    {FuseField::Pia, {57984, 0}, {62016, 0}, 1, 1},
    {FuseField::OePia, {62016, 0}, {62100, 0}, 14, 14},
    {FuseField::IoConfig, {62100, 0}, {62676, 0}, 6, 6},
    {FuseField::UnknownBits, {62676, 0}, {62704, 0}, 1, 1},
};
constexpr FuseRange kRanges7128AE[] = {
    {FuseField::LogicArray, {0, 0}, {56320, 0}, 1, 1},
    {FuseField::McConfig, {56320, 0}, {58112, 0}, 14, 14},
    {FuseField::Pia, {58112, 0}, {62144, 0}, 1, 1},
    {FuseField::OePia, {62144, 0}, {62228, 0}, 14, 14},
    {FuseField::IoConfig, {62228, 0}, {62900, 0}, 7, 7},
    {FuseField::GlobalClocks, {62900, 0}, {62903, 0}, 1, 1},
    {FuseField::JtagBit, {62903, 0}, {62904, 0}, 1, 1},
    {FuseField::Ues, {62904, 0}, {62932, 0}, 1, 1},
};
constexpr FuseRange kRanges3128A[] = {
    {FuseField::LogicArray, {0, 0}, {56320, 0}, 1, 1},
    {FuseField::McConfig, {56320, 0}, {58112, 0}, 14, 14},
    {FuseField::Pia, {58112, 0}, {62144, 0}, 1, 1},
    {FuseField::OePia, {62144, 0}, {62228, 0}, 14, 14},
    {FuseField::IoConfig, {62228, 0}, {62804, 0}, 6, 7},
    {FuseField::GlobalClocks, {62804, 0}, {62807, 0}, 1, 1},
    {FuseField::JtagBit, {62807, 0}, {62808, 0}, 1, 1},
    {FuseField::Ues, {62808, 0}, {62840, 0}, 1, 1},
    {FuseField::None, {62840, 0}, {62932, 0}, 1, 1},
};
// In image-slot order.
constexpr FuseMap kMaps[kSourceKindCount] = {
    {true, SourceKind::Max7032, PinTable::None, {14752, 0}, kRanges7032, std::size(kRanges7032)},
    {true, SourceKind::Max7032AE, PinTable::None, {15106, 0}, kRanges7032AE, std::size(kRanges7032AE)},
    {true, SourceKind::Max7032S, PinTable::None, {15033, 0}, kRanges7032S, std::size(kRanges7032S)},
    {true, SourceKind::Max7128, PinTable::Plain7128, {59008, 2}, kRanges7128, std::size(kRanges7128)},
    {true, SourceKind::Max7128E, PinTable::Plain7128, {59592, 3}, kRanges7128E, std::size(kRanges7128E)},
    {true, SourceKind::Max7128S, PinTable::None, {62704, 0}, kRanges7128S, std::size(kRanges7128S)},
    {true, SourceKind::Max7128AE, PinTable::None, {62932, 0}, kRanges7128AE, std::size(kRanges7128AE)},
    {true, SourceKind::Max7064, PinTable::Plain7064, {29360, 2}, kRanges7064, std::size(kRanges7064)},
    {true, SourceKind::Max7064S, PinTable::None, {30609, 0}, kRanges7064S, std::size(kRanges7064S)},
    {true, SourceKind::Max7064AE, PinTable::None, {30751, 0}, kRanges7064AE, std::size(kRanges7064AE)},
    {true, SourceKind::Max3032A, PinTable::None, {15106, 0}, kRanges3032A, std::size(kRanges3032A)},
    {true, SourceKind::Max3064A, PinTable::None, {30751, 0}, kRanges3064A, std::size(kRanges3064A)},
    {true, SourceKind::Max3128A, PinTable::None, {62932, 0}, kRanges3128A, std::size(kRanges3128A)},
};
constexpr bool RangesFollowEachOther(const FuseMap& map) {
  if (map.rangeCount == 0 || map.rangeCount > 12) return false;
  if (map.ranges[0].start.base != 0 || map.ranges[0].start.perPin != 0) return false;
  for (std::size_t i = 0; i < map.rangeCount; ++i) {
    const FuseRange& r = map.ranges[i];
    if (r.rowWidth < 1 || r.rowStride < r.rowWidth) return false;
    if (i > 0 && (r.start.base != map.ranges[i - 1].end.base ||
                  r.start.perPin != map.ranges[i - 1].end.perPin)) {
      return false;
    }
  }
  return true;
}

constexpr bool AllMapsWellFormed() {
  for (int k = 0; k < kSourceKindCount; ++k) {
    if (static_cast<int>(kMaps[k].kind) != k || !RangesFollowEachOther(kMaps[k])) return false;
    if (kMaps[k].ranges[0].field != FuseField::LogicArray) return false;
  }
  return true;
}
static_assert(AllMapsWellFormed(), "fuse maps: slot order, consecutive ranges, row widths");

struct FieldRef {
  char* data = nullptr;
  PackedFuseArray* packed = nullptr;
  std::size_t size = 0;
};

FieldRef FieldOf(SourceImage& image, FuseField field) {
  auto of = [](FuseArray& a) { return FieldRef{a.data(), nullptr, a.size()}; };
  switch (field) {
    case FuseField::None: return {};
    case FuseField::LogicArray: return {nullptr, &image.logicArray, image.logicArray.size()};
    case FuseField::McConfig: return of(image.mcConfig);
    case FuseField::Pia: return of(image.pia);
    case FuseField::OePia: return of(image.oePia);
    case FuseField::IoConfig: return of(image.ioConfig);
    case FuseField::OutputEnable: return of(image.outputEnable);
    case FuseField::GlobalClocks: return of(image.globalClocks);
    case FuseField::UnknownBits: return of(image.unknownBits);
    case FuseField::JtagBit:
      return image.layout().hasJtagBit ? FieldRef{&image.jtagBit, nullptr, 1} : FieldRef{};
    case FuseField::Ues: return of(image.ues);
  }
  return {};
}

}  // namespace

const FuseMap& FuseMapOf(SourceKind kind) { return kMaps[static_cast<int>(kind)]; }


int IoPinCount(PinTable table, int pinCount) {
  switch (table) {
    case PinTable::None: return 0;
    case PinTable::Plain7064:
      switch (pinCount) {
        case 44: return 32;
        case 68: return 48;
        case 84: return 64;
        case 100: return 64;
        default: return 1;
      }
    case PinTable::Plain7128:
      switch (pinCount) {
        case 84: return 64;
        case 100: return 80;
        case 160: return 96;
        default: return 1;
      }
  }
  return 1;
}

FuseDecoder::FuseDecoder(const FuseMap& map, int pinCount, SourceImage* image) {
  const int p = IoPinCount(map.pins, pinCount);
  const bool store = map.hasImage && image != nullptr && image->kind() == map.kind;
  countedLimit_ = map.countedLimit.At(p);
  for (std::size_t i = 0; i < map.rangeCount && count_ < kMaxRanges; ++i) {
    const FuseRange& r = map.ranges[i];
    Resolved& out = ranges_[count_++];
    out.start = r.start.At(p);
    out.end = r.end.At(p);
    const FieldRef f = store ? FieldOf(*image, r.field) : FieldRef{};
    out.target = f.size > 0 ? f.data : nullptr;
    out.packed = f.size > 0 ? f.packed : nullptr;
    out.size = f.size;
    out.rowWidth = r.rowWidth;
    out.rowStride = r.rowStride;
  }
}

namespace {

// The fuses of a fuse-data packet, address 0 first: 8 a byte (least
// significant bit first) or one character a fuse, inverted or not.
struct FuseStream {
  const unsigned char* bytes;  // the first fuse byte
  std::size_t byteCount;
  bool packed;
  bool inverted;

  std::int64_t Count() const {
    return static_cast<std::int64_t>(byteCount) * (packed ? 8 : 1);
  }
  // The programmed fuses among the 8 of packed byte k, as bits.
  unsigned ProgrammedBits(std::size_t k) const {
    return (inverted ? bytes[k] : ~bytes[k]) & 0xFFu;
  }
  bool Programmed(std::int64_t address) const {
    const auto a = static_cast<std::size_t>(address);
    if (packed) return ((ProgrammedBits(a / 8) >> (a % 8)) & 1u) != 0;
    return bytes[a] == (inverted ? '1' : '0');
  }
};

// kByteLanes[b]: lane i of the 8 characters is all ones where bit i of b is
// set.
constexpr auto kByteLanes = [] {
  std::array<std::array<unsigned char, 8>, 256> lanes{};
  for (std::size_t b = 0; b < 256; ++b) {
    for (std::size_t i = 0; i < 8; ++i) lanes[b][i] = (b >> i) & 1u ? 0xFF : 0x00;
  }
  return lanes;
}();

// Sets to '0' the characters of the 8 at target whose bits are set in
// `programmed` (bit i: character i); the others keep their value.
void ProgramByte(char* target, unsigned programmed) {
  if (programmed == 0) return;
  std::uint64_t lanes;
  std::uint64_t chars;
  std::memcpy(&lanes, kByteLanes[programmed].data(), 8);
  std::memcpy(&chars, target, 8);
  chars = (chars & ~lanes) | (0x3030303030303030u & lanes);  // '0' in the set lanes
  std::memcpy(target, &chars, 8);
}

// ProgramByte over `count` packed bytes into 8 * count characters; `erased`
// is the byte of 8 erased fuses. Eight bytes that are all erased (most of a
// design) are passed over at once.
void ProgramBytes(char* target, const unsigned char* in, std::int64_t count, unsigned erased) {
  const std::uint64_t erasedWord = erased != 0 ? ~std::uint64_t{0} : 0;
  std::int64_t k = 0;
  for (; k + 8 <= count; k += 8) {
    std::uint64_t word;
    std::memcpy(&word, in + k, 8);
    if (word == erasedWord) continue;
    for (std::int64_t j = k; j < k + 8; ++j) ProgramByte(target + 8 * j, in[j] ^ erased);
  }
  for (; k < count; ++k) ProgramByte(target + 8 * k, in[k] ^ erased);
}

// The highest programmed address below limit, or -1: the packet's last
// programmed fuse that counts toward the blank check.
std::int64_t LastProgrammedBelow(const FuseStream& fuses, std::int64_t limit) {
  std::int64_t a = std::min(limit, fuses.Count()) - 1;
  while (a >= 0) {
    if (fuses.packed && a % 8 == 7 && fuses.ProgrammedBits(static_cast<std::size_t>(a / 8)) == 0) {
      a -= 8;  // a whole byte of erased fuses
      continue;
    }
    if (fuses.Programmed(a)) return a;
    --a;
  }
  return -1;
}

}  // namespace

void DecodeFuseData(const FuseMap& map, std::string_view data, bool bigEndian, SourceData& run) {
  if (data.size() <= 12) return;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::uint16_t flags = GetUInt16(bytes + 10, bigEndian);
  const FuseStream fuses{bytes + 12, data.size() - 12, (flags & 1u) != 0, (flags & 4u) != 0};
  const FuseDecoder decoder(map, run.pof.device.pinCount, run.sources.image());

  const std::int64_t last = LastProgrammedBelow(fuses, decoder.countedLimit_);
  if (last >= 0) run.pof.lastProgrammedAddress = static_cast<std::int32_t>(last);

  // Each range in turn: its stored positions in address order, without a
  // division; byte-aligned runs of whole rows a packed byte at a time.
  for (std::size_t i = 0; i < decoder.count_; ++i) {
    const FuseDecoder::Resolved& r = decoder.ranges_[i];
    if ((!r.target && !r.packed) || r.start < 0) continue;
    const std::int64_t end = std::min(r.end, fuses.Count());
    std::int64_t a = r.start;
    if (fuses.packed && r.rowWidth == r.rowStride && a % 8 == 0) {
      // Position = a - start: the field is one straight run.
      const std::int64_t stop = std::min(end, r.start + static_cast<std::int64_t>(r.size));
      const std::int64_t whole = a + 8 <= stop ? (stop - a) / 8 : 0;  // whole bytes
      const unsigned char* in = fuses.bytes + a / 8;
      const unsigned erased = fuses.inverted ? 0x00u : 0xFFu;  // the byte of 8 erased fuses
      if (r.packed) {
        r.packed->ProgramFromBytes(in, static_cast<std::size_t>(whole), static_cast<std::uint8_t>(erased));
      } else {
        ProgramBytes(r.target, in, whole, erased);
      }
      a += 8 * whole;
    }
    std::int64_t b = a - r.start;
    std::int64_t col = b % r.rowWidth;
    auto index = static_cast<std::size_t>((b / r.rowWidth) * r.rowStride + col);
    for (; a < end; ++a) {
      if (fuses.Programmed(a) && index < r.size) {
        if (r.packed) {
          r.packed->at(static_cast<int>(index)) = '0';
        } else {
          r.target[index] = '0';
        }
      }
      ++index;
      if (++col == r.rowWidth) {
        col = 0;
        index += static_cast<std::size_t>(r.rowStride - r.rowWidth);
      }
    }
  }
}

}  // namespace fusecvt
