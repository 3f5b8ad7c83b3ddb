#include "support/PofBuilder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

namespace fusecvt::test {

namespace {

using Field = PofBuilder::Field;

// Which image a device name selects, tried in this order.
const struct {
  const char* word;
  SourceKind kind;
} kKindWords[] = {
    {"7032S", SourceKind::Max7032S},   {"7032AE", SourceKind::Max7032AE},
    {"7032", SourceKind::Max7032},     {"7128S", SourceKind::Max7128S},
    {"7128AE", SourceKind::Max7128AE}, {"7128A", SourceKind::Max7128S},
    {"7128E", SourceKind::Max7128E},   {"7128", SourceKind::Max7128},
    {"7064S", SourceKind::Max7064S},   {"7064AE", SourceKind::Max7064AE},
    {"7064", SourceKind::Max7064},     {"3032A", SourceKind::Max3032A},
    {"3064A", SourceKind::Max3064A},   {"3128A", SourceKind::Max3128A},
};

// Address maps, stated as the length of each range in address order (the
// ranges follow each other from address 0). perPin: the range holds
// count + perPin * P fuses, P the I/O pins of the package. rowWidth: POF
// fuses per image row (0: stored in order).
struct Piece {
  Field field;
  int count;
  int perPin;
  int rowWidth;
};
enum class Pins { None, Plain7064, Plain7128 };
struct MapRow {
  const char* name;  // the kind's name, or "7256AE"
  Pins pins;
  std::vector<Piece> pieces;
};

const std::vector<MapRow>& Maps() {
  static const std::vector<MapRow> maps = {
      {"7032", Pins::None,
       {{Field::LogicArray, 14080, 0, 88}, {Field::McConfig, 384, 0, 12}, {Field::Pia, 144, 0, 0},
        {Field::OutputEnable, 64, 0, 2}, {Field::Gap, 80, 0, 0}}},
      {"7032S", Pins::None,
       {{Field::LogicArray, 14080, 0, 88}, {Field::McConfig, 416, 0, 13}, {Field::Pia, 288, 0, 4},
        {Field::OePia, 30, 0, 5}, {Field::IoConfig, 192, 0, 6}, {Field::GlobalClocks, 3, 0, 0},
        {Field::UnknownBits, 7, 0, 0}, {Field::JtagBit, 1, 0, 0}, {Field::Ues, 16, 0, 0},
        {Field::Tail, 7, 0, 0}}},
      {"7032AE", Pins::None,
       {{Field::LogicArray, 14080, 0, 88}, {Field::McConfig, 448, 0, 14}, {Field::Pia, 288, 0, 4},
        {Field::OePia, 30, 0, 5}, {Field::IoConfig, 224, 0, 7}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 32, 0, 0}}},
      {"3032A", Pins::None,
       {{Field::LogicArray, 14080, 0, 88}, {Field::McConfig, 448, 0, 14}, {Field::Pia, 288, 0, 4},
        {Field::OePia, 30, 0, 5}, {Field::IoConfig, 192, 0, 6}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 32, 0, 0}, {Field::Gap, 32, 0, 0}}},
      {"7064", Pins::Plain7064,
       {{Field::LogicArray, 28160, 0, 88}, {Field::McConfig, 768, 0, 12}, {Field::Pia, 432, 0, 3},
        {Field::OutputEnable, 0, 2, 2}}},
      {"7064S", Pins::None,
       {{Field::LogicArray, 28160, 0, 88}, {Field::McConfig, 832, 0, 13}, {Field::Pia, 1152, 0, 8},
        {Field::OePia, 54, 0, 9}, {Field::IoConfig, 384, 0, 6}, {Field::GlobalClocks, 3, 0, 0},
        {Field::UnknownBits, 7, 0, 0}, {Field::JtagBit, 1, 0, 0}, {Field::Ues, 16, 0, 0}}},
      {"7064AE", Pins::None,
       {{Field::LogicArray, 28160, 0, 88}, {Field::McConfig, 896, 0, 14}, {Field::Pia, 1152, 0, 8},
        {Field::OePia, 54, 0, 9}, {Field::IoConfig, 448, 0, 7}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 32, 0, 0}, {Field::UnknownBits, 5, 0, 0}}},
      {"3064A", Pins::None,
       {{Field::LogicArray, 28160, 0, 88}, {Field::McConfig, 896, 0, 14}, {Field::Pia, 1152, 0, 8},
        {Field::OePia, 54, 0, 9}, {Field::IoConfig, 384, 0, 6}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 32, 0, 0}, {Field::Gap, 69, 0, 0}}},
      {"7128", Pins::Plain7128,
       {{Field::LogicArray, 56320, 0, 88}, {Field::McConfig, 1536, 0, 12}, {Field::Pia, 1152, 0, 4},
        {Field::OutputEnable, 0, 2, 2}}},
      {"7128E", Pins::Plain7128,
       {{Field::LogicArray, 56320, 0, 88}, {Field::McConfig, 1792, 0, 14}, {Field::Pia, 1440, 0, 5},
        {Field::OePia, 30, 0, 5}, {Field::IoConfig, 0, 3, 3}, {Field::UnknownBits, 10, 0, 0}}},
      {"7128S", Pins::None,
       {{Field::LogicArray, 56320, 0, 88}, {Field::McConfig, 1664, 0, 13}, {Field::Pia, 4032, 0, 14},
        {Field::OePia, 84, 0, 14}, {Field::IoConfig, 576, 0, 6}, {Field::UnknownBits, 28, 0, 0}}},
      {"7128AE", Pins::None,
       {{Field::LogicArray, 56320, 0, 88}, {Field::McConfig, 1792, 0, 14}, {Field::Pia, 4032, 0, 14},
        {Field::OePia, 84, 0, 14}, {Field::IoConfig, 672, 0, 7}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 28, 0, 0}}},
      {"3128A", Pins::None,
       {{Field::LogicArray, 56320, 0, 88}, {Field::McConfig, 1792, 0, 14}, {Field::Pia, 4032, 0, 14},
        {Field::OePia, 84, 0, 14}, {Field::IoConfig, 576, 0, 6}, {Field::GlobalClocks, 3, 0, 0},
        {Field::JtagBit, 1, 0, 0}, {Field::Ues, 32, 0, 0}, {Field::Gap, 92, 0, 0}}},
      {"7256AE", Pins::None, {{Field::Gap, 62932, 0, 0}, {Field::Tail, 67692, 0, 0}}},
  };
  return maps;
}

int IoPins(Pins pins, int pinCount) {
  switch (pins) {
    case Pins::None: return 0;
    case Pins::Plain7064:
      return pinCount == 44 ? 32 : pinCount == 68 ? 48 : pinCount == 84 || pinCount == 100 ? 64 : 1;
    case Pins::Plain7128:
      return pinCount == 84 ? 64 : pinCount == 100 ? 80 : pinCount == 160 ? 96 : 1;
  }
  return 0;
}

bool Has(const std::string& s, const char* w) { return s.find(w) != std::string::npos; }

// The image field a map field lands in, with its image row length.
struct FieldView {
  char* data;
  std::size_t size;
  int stride;
};

FieldView ViewOf(SourceImage& img, Field f) {
  auto two = [](FuseArray& a) { return FieldView{a.data(), a.size(), a.dim1()}; };
  auto three = [](FuseArray& a) { return FieldView{a.data(), a.size(), a.dim2()}; };
  switch (f) {
    case Field::LogicArray: return three(img.logicArray);
    case Field::Pia: return three(img.pia);
    case Field::McConfig: return two(img.mcConfig);
    case Field::OePia: return two(img.oePia);
    case Field::IoConfig: return two(img.ioConfig);
    case Field::OutputEnable: return two(img.outputEnable);
    case Field::GlobalClocks: return {img.globalClocks.data(), img.globalClocks.size(), 1};
    case Field::UnknownBits: return {img.unknownBits.data(), img.unknownBits.size(), 1};
    case Field::Ues: return {img.ues.data(), img.ues.size(), 1};
    case Field::JtagBit: return {&img.jtagBit, 1, 1};
    case Field::Gap:
    case Field::Tail: return {nullptr, 0, 1};
  }
  return {nullptr, 0, 1};
}

// Position in the image field of fuse b of a segment.
std::size_t PositionOf(std::int64_t b, int rowWidth, int stride) {
  if (rowWidth == 0) return static_cast<std::size_t>(b);
  return static_cast<std::size_t>((b / rowWidth) * stride + b % rowWidth);
}

// Calls f(address, character of the image field) for every stored fuse.
template <typename F>
void ForEachStored(const std::vector<PofBuilder::Segment>& segments, SourceImage& img, F f) {
  for (const auto& s : segments) {
    const FieldView v = ViewOf(img, s.field);
    if (!v.data) continue;
    for (std::int64_t b = 0; b < s.count; ++b) {
      const std::size_t at = PositionOf(b, s.rowWidth, v.stride);
      if (at >= v.size) throw std::logic_error("builder map exceeds an image field");
      f(s.start + b, v.data[at]);
    }
  }
}

}  // namespace

PofBuilder::PofBuilder(std::string deviceName) : deviceName_(std::move(deviceName)) {
  std::string upper = deviceName_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& w : kKindWords) {
    if (Has(upper, w.word)) {
      image_ = MakeSourceImage(w.kind);
      break;
    }
  }
  pinCount_ = Has(upper, "44")    ? 44
              : Has(upper, "68")  ? 68
              : Has(upper, "84")  ? 84
              : Has(upper, "100") ? 100
              : Has(upper, "160") ? 160
                                  : 44;
  const std::string mapName =
      image_ ? SourceKindName(image_->kind()) : Has(upper, "7256AE") ? "7256AE" : "";
  const auto& maps = Maps();
  for (std::size_t i = 0; i < maps.size(); ++i) {
    if (mapName == maps[i].name) mapIndex_ = static_cast<int>(i);
  }
}

SourceImage& PofBuilder::image() {
  if (!image_) throw std::logic_error("no image for device name " + deviceName_);
  return *image_;
}

const SourceImage& PofBuilder::image() const {
  if (!image_) throw std::logic_error("no image for device name " + deviceName_);
  return *image_;
}

PofBuilder& PofBuilder::Creator(std::string text) { creator_ = std::move(text); return *this; }
PofBuilder& PofBuilder::Comment(std::string text) { comment_ = std::move(text); return *this; }
PofBuilder& PofBuilder::Security(std::uint16_t value) { security_ = value; return *this; }
PofBuilder& PofBuilder::Vectors(std::vector<std::string> v) { vectors_ = std::move(v); return *this; }
PofBuilder& PofBuilder::BigEndian(bool on) { bigEndian_ = on; return *this; }
PofBuilder& PofBuilder::Packed(bool on) { packed_ = on; return *this; }
PofBuilder& PofBuilder::Inverted(bool on) { inverted_ = on; return *this; }
PofBuilder& PofBuilder::Program(std::int64_t a) { programmed_.push_back(a); return *this; }
PofBuilder& PofBuilder::FuseCount(std::int64_t n) { fuseCount_ = n; return *this; }
PofBuilder& PofBuilder::Omit(std::int16_t tag) { omitted_.push_back(tag); return *this; }
PofBuilder& PofBuilder::Prepend(Packet p) { prepended_.push_back(std::move(p)); return *this; }
PofBuilder& PofBuilder::Append(Packet p) { appended_.push_back(std::move(p)); return *this; }

std::vector<PofBuilder::Segment> PofBuilder::Segments() const {
  std::vector<Segment> out;
  if (mapIndex_ < 0) return out;
  const MapRow& row = Maps()[static_cast<std::size_t>(mapIndex_)];
  const int p = IoPins(row.pins, pinCount_);
  std::int64_t at = 0;
  for (const Piece& piece : row.pieces) {
    const std::int64_t n = piece.count + static_cast<std::int64_t>(piece.perPin) * p;
    out.push_back({piece.field, at, n, piece.rowWidth});
    at += n;
  }
  return out;
}

std::int64_t PofBuilder::MapLength() const {
  const auto s = Segments();
  return s.empty() ? 0 : s.back().start + s.back().count;
}

std::int64_t PofBuilder::CountedLimit() const {
  std::int64_t end = 0;
  for (const auto& s : Segments()) {
    if (s.field != Field::Tail) end = s.start + s.count;
  }
  return end;
}

std::string PofBuilder::FuseStream() const {
  std::string fuses(static_cast<std::size_t>(MapLength()), '1');
  if (image_) {
    ForEachStored(Segments(), *image_, [&](std::int64_t a, char c) {
      fuses[static_cast<std::size_t>(a)] = c == '0' ? '0' : '1';
    });
  }
  for (std::int64_t a : programmed_) {
    const auto at = static_cast<std::size_t>(a);
    if (fuses.size() <= at) fuses.resize(at + 1, '1');
    fuses[at] = '0';
  }
  if (fuseCount_) fuses.resize(static_cast<std::size_t>(*fuseCount_), '1');
  return fuses;
}

std::unique_ptr<SourceImage> PofBuilder::CarriedImage() const {
  std::unique_ptr<SourceImage> out = MakeSourceImage(image().kind());
  for (const auto& s : Segments()) {
    const FieldView from = ViewOf(*image_, s.field);
    const FieldView to = ViewOf(*out, s.field);
    if (!from.data) continue;
    for (std::int64_t b = 0; b < s.count; ++b) {
      const std::size_t at = PositionOf(b, s.rowWidth, from.stride);
      if (at >= from.size) throw std::logic_error("builder map exceeds an image field");
      to.data[at] = from.data[at] == '0' ? '0' : '1';
    }
  }
  return out;
}

std::string PofBuilder::U16(std::uint16_t v) const {
  const char lo = static_cast<char>(v & 0xFF), hi = static_cast<char>(v >> 8);
  return bigEndian_ ? std::string{hi, lo} : std::string{lo, hi};
}

std::string PofBuilder::U32(std::uint32_t v) const {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) {
    const char byte = static_cast<char>((v >> (8 * i)) & 0xFF);
    s[static_cast<std::size_t>(bigEndian_ ? 3 - i : i)] = byte;
  }
  return s;
}

std::string PofBuilder::FuseData(std::uint16_t flags, std::string_view payload) const {
  std::string d = U32(0) + U16(packed_ ? 1 : 8) + U32(0) + U16(flags);
  d.append(payload);
  return d;
}

std::vector<PofBuilder::Packet> PofBuilder::Packets() const {
  std::vector<Packet> out = prepended_;
  auto add = [&](std::int16_t tag, std::string data) {
    if (std::find(omitted_.begin(), omitted_.end(), tag) == omitted_.end()) {
      out.push_back({tag, std::move(data), std::nullopt});
    }
  };
  if (creator_) add(1, *creator_ + '\0');
  add(2, deviceName_ + '\0');
  if (comment_) add(3, *comment_ + '\0');
  add(5, U16(security_));

  const std::string fuses = FuseStream();
  std::string payload;
  if (packed_) {
    payload.assign((fuses.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i) {
      unsigned byte = 0;
      for (std::size_t bit = 0; bit < 8; ++bit) {
        const std::size_t a = 8 * i + bit;
        if (a >= fuses.size() || fuses[a] == '1') byte |= 1u << bit;
      }
      if (inverted_) byte = ~byte & 0xFFu;
      payload[i] = static_cast<char>(byte);
    }
  } else {
    payload = fuses;
    if (inverted_) {
      for (char& c : payload) c = c == '0' ? '1' : '0';
    }
  }
  const std::uint16_t flags = static_cast<std::uint16_t>((packed_ ? 1 : 0) | (inverted_ ? 4 : 0));
  add(17, FuseData(flags, payload));

  if (vectors_) {
    std::size_t slot = 1;
    for (const auto& v : *vectors_) slot = std::max(slot, v.size() + 1);
    std::string data = U32(static_cast<std::uint32_t>(vectors_->size()));
    for (const auto& v : *vectors_) data += v + std::string(slot - v.size(), '\0');
    add(10, data);
  }
  add(8, U16(0));
  out.insert(out.end(), appended_.begin(), appended_.end());
  return out;
}

std::string PofBuilder::Assemble(const std::vector<Packet>& packets) const {
  std::string out = "POF";
  out += '\0';
  out += bigEndian_ ? std::string{'\x01', '\0'} : std::string{'\0', '\0'};
  out += U16(1);
  out += U32(static_cast<std::uint32_t>(packets.size()));
  for (const Packet& p : packets) {
    out += U16(static_cast<std::uint16_t>(p.tag));
    out += U32(static_cast<std::uint32_t>(p.length ? *p.length
                                                   : static_cast<std::int32_t>(p.data.size())));
    out += p.data;
  }
  return out;
}

std::string PofBuilder::Build() const { return Assemble(Packets()); }

void PofBuilder::WriteTo(const std::string& path) const {
  const std::string bytes = Build();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace fusecvt::test
