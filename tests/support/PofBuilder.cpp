#include "support/PofBuilder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "pof/DeviceCatalogue.h"
#include "support/PinOut.h"

namespace fusecvt::test {

namespace {

using Field = PofBuilder::Field;

// The kind of image a part's name selects: the digits after "EPM" and the
// longest beginning of the letters after them that names a source kind
// ("7032S" of EPM7032SLC44-10, "7064" of EPM7064LC68); the 7128A shares the
// 7128S's fuse layout. None for other names.
std::optional<SourceKind> KindOfName(const std::string& upper) {
  const std::size_t at = upper.find("EPM"), first = at + 3;
  if (at == std::string::npos) return std::nullopt;
  std::size_t end = first;
  while (end < upper.size() && std::isdigit(static_cast<unsigned char>(upper[end]))) ++end;
  while (end < upper.size() && std::isalpha(static_cast<unsigned char>(upper[end]))) ++end;
  for (; end > first; --end) {
    const std::string word = upper.substr(first, end - first);
    if (word == "7128A") return SourceKind::Max7128S;
    for (int k = 0; k < kSourceKindCount; ++k) {
      if (word == SourceKindName(static_cast<SourceKind>(k))) return static_cast<SourceKind>(k);
    }
  }
  return std::nullopt;
}

// Address maps: the ranges in address order from address 0, each a field
// letter (the order of Field: L logic array, M macrocell configuration, P PIA,
// O OE PIA, I I/O configuration, E output enable, C global clocks, U unknown
// bits, J JTAG bit, S UES, G gap, T tail), its fuse count ("2p": two per I/O
// pin of the package) and after ':' the POF fuses per image row (none: stored
// in order).
constexpr char kLetters[] = "LMPOIECUJSGT";
const std::pair<const char*, const char*> kMaps[] = {
    {"7032", "L14080:88 M384:12 P144 E64:2 G80"},
    {"7032S", "L14080:88 M416:13 P288:4 O30:5 I192:6 C3 U7 J1 S16 T7"},
    {"7032AE", "L14080:88 M448:14 P288:4 O30:5 I224:7 C3 J1 S32"},
    {"3032A", "L14080:88 M448:14 P288:4 O30:5 I192:6 C3 J1 S32 G32"},
    {"7064", "L28160:88 M768:12 P432:3 E2p:2"},
    {"7064S", "L28160:88 M832:13 P1152:8 O54:9 I384:6 C3 U7 J1 S16"},
    {"7064AE", "L28160:88 M896:14 P1152:8 O54:9 I448:7 C3 J1 S32 U5"},
    {"3064A", "L28160:88 M896:14 P1152:8 O54:9 I384:6 C3 J1 S32 G69"},
    {"7128", "L56320:88 M1536:12 P1152:4 E2p:2"},
    {"7128E", "L56320:88 M1792:14 P1440:5 O30:5 I3p:3 U10"},
    {"7128S", "L56320:88 M1664:13 P4032:14 O84:14 I576:6 U28"},
    {"7128AE", "L56320:88 M1792:14 P4032:14 O84:14 I672:7 C3 J1 S28"},
    {"3128A", "L56320:88 M1792:14 P4032:14 O84:14 I576:6 C3 J1 S32 G92"},
    {"7256AE", "G62932 T67692"},
};

bool Has(const std::string& s, const char* w) { return s.find(w) != std::string::npos; }

// The image field a map field lands in: data, size and image row length
// (the packed logic array: no data, see ForEachStored).
std::tuple<char*, std::size_t, int> ViewOf(SourceImage& img, Field f) {
  FuseArray* rows[] = {nullptr, &img.mcConfig, &img.pia, &img.oePia, &img.ioConfig, &img.outputEnable};
  FuseArray* flat[] = {&img.globalClocks, &img.unknownBits, nullptr, &img.ues};
  const auto i = static_cast<std::size_t>(f);
  if (f == Field::LogicArray) return {nullptr, img.logicArray.size(), img.logicArray.dim2()};
  if (i < 6) return {rows[i]->data(), rows[i]->size(), i == 2 ? rows[i]->dim2() : rows[i]->dim1()};
  if (f == Field::JtagBit) return {&img.jtagBit, 1, 1};
  if (i < 10) return {flat[i - 6]->data(), flat[i - 6]->size(), 1};
  return {nullptr, 0, 1};
}

// Calls f(address, image character) for every fuse the map stores (a char&,
// or a fuse reference of the packed logic array).
template <typename F>
void ForEachStored(const std::vector<PofBuilder::Segment>& segments, SourceImage& img, F f) {
  for (const auto& s : segments) {
    const auto [data, size, stride] = ViewOf(img, s.field);
    const bool logic = s.field == Field::LogicArray;
    for (std::int64_t b = 0; (data || logic) && b < s.count; ++b) {
      const auto at = static_cast<std::size_t>(s.rowWidth ? b / s.rowWidth * stride + b % s.rowWidth : b);
      if (at >= size) throw std::logic_error("builder map exceeds an image field");
      if (logic) {
        f(s.start + b, img.logicArray.at(static_cast<int>(at)));
      } else {
        f(s.start + b, data[at]);
      }
    }
  }
}

}  // namespace

PofBuilder::PofBuilder(std::string deviceName) : deviceName_(std::move(deviceName)) {
  std::string upper = deviceName_;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (const std::optional<SourceKind> kind = KindOfName(upper)) image_ = MakeSourceImage(*kind);
  // Pin codes rank 44, 68, 84, 100, 160: the last match here wins.
  for (const char* pins : {"160", "100", "84", "68", "44"}) pinCount_ = Has(upper, pins) ? std::atoi(pins) : pinCount_;
  const std::string mapName = image_ ? SourceKindName(image_->kind()) : Has(upper, "7256AE") ? "7256AE" : "";
  for (const auto& [name, map] : kMaps) map_ = mapName == name ? map : map_;
  plain7128_ = mapName.find("7128") == 0;
}

SourceImage& PofBuilder::image() const {
  if (!image_) throw std::logic_error("no image for device name " + deviceName_);
  return *image_;
}

std::vector<PofBuilder::Segment> PofBuilder::Segments() const {
  std::vector<Segment> out;
  std::int64_t at = 0;
  for (const char* p = map_; p && *p;) {
    const auto field = static_cast<Field>(std::strchr(kLetters, *p++) - kLetters);
    char* end = nullptr;
    std::int64_t n = std::strtol(p, &end, 10);
    if (*end == 'p') n *= PlainIoPins(plain7128_, pinCount_), ++end;
    const int width = *end == ':' ? static_cast<int>(std::strtol(end + 1, &end, 10)) : 0;
    out.push_back({field, at, n, width});
    at += n;
    p = end + (*end == ' ');
  }
  return out;
}

std::int64_t PofBuilder::MapLength() const {
  const auto s = Segments();
  return s.empty() ? 0 : s.back().start + s.back().count;
}

std::int64_t PofBuilder::CountedLimit() const {
  std::int64_t end = 0;
  for (const auto& s : Segments()) end = s.field == Field::Tail ? end : s.start + s.count;
  return end;
}

std::string PofBuilder::FuseStream() const {
  std::string fuses(static_cast<std::size_t>(MapLength()), '1');
  if (image_) ForEachStored(Segments(), *image_, [&](std::int64_t a, char c) { fuses[static_cast<std::size_t>(a)] = c == '0' ? '0' : '1'; });
  for (std::int64_t a : programmed_) {
    const auto at = static_cast<std::size_t>(a);
    if (fuses.size() <= at) fuses.resize(at + 1, '1');
    fuses[at] = '0';
  }
  return fuses;
}

std::unique_ptr<SourceImage> PofBuilder::CarriedImage() const {
  std::unique_ptr<SourceImage> out = MakeSourceImage(image().kind());
  std::string carried(static_cast<std::size_t>(MapLength()), '1');
  ForEachStored(Segments(), *image_, [&](std::int64_t a, char c) { carried[static_cast<std::size_t>(a)] = c == '0' ? '0' : '1'; });
  ForEachStored(Segments(), *out, [&](std::int64_t a, auto&& c) { c = carried[static_cast<std::size_t>(a)]; });
  return out;
}

std::string PofBuilder::Int(std::uint32_t v, int bytes) const {
  std::string s(static_cast<std::size_t>(bytes), '\0');
  for (int i = 0; i < bytes; ++i) s[static_cast<std::size_t>(bigEndian_ ? bytes - 1 - i : i)] = static_cast<char>(v >> (8 * i) & 0xFF);
  return s;
}

std::string PofBuilder::FuseData(std::uint16_t flags, std::string_view payload) const {
  return U32(0) + U16(packed_ ? 1 : 8) + U32(0) + U16(flags) + std::string(payload);
}

std::string PofBuilder::Build() const {
  std::vector<Packet> packets = prepended_;
  auto add = [&](std::int16_t tag, std::string data) {
    if (std::find(omitted_.begin(), omitted_.end(), tag) == omitted_.end()) packets.push_back({tag, std::move(data), {}});
  };
  if (creator_) add(1, *creator_ + '\0');
  add(2, deviceName_ + '\0');
  if (comment_) add(3, *comment_ + '\0');
  add(5, U16(security_));
  // Packed: eight fuses a byte, the lowest address in the lowest bit, a last
  // partial byte filled with 1s; inverted: every fuse flipped.
  const std::string fuses = FuseStream();
  std::string payload = packed_ ? std::string((fuses.size() + 7) / 8, '\0') : fuses;
  for (std::size_t i = 0; i < payload.size(); ++i) {
    if (!packed_) {
      payload[i] = static_cast<char>(payload[i] ^ (inverted_ ? 1 : 0));
      continue;
    }
    unsigned byte = inverted_ ? 0xFFu : 0u;
    for (std::size_t a = 8 * i; a < 8 * i + 8; ++a) byte ^= a >= fuses.size() || fuses[a] == '1' ? 1u << (a % 8) : 0u;
    payload[i] = static_cast<char>(byte);
  }
  add(17, FuseData(static_cast<std::uint16_t>((packed_ ? 1 : 0) | (inverted_ ? 4 : 0)), payload));
  if (vectors_) {
    std::size_t slot = 1;
    for (const auto& v : *vectors_) slot = std::max(slot, v.size() + 1);
    std::string data = U32(static_cast<std::uint32_t>(vectors_->size()));
    for (const auto& v : *vectors_) data += v + std::string(slot - v.size(), '\0');
    add(10, data);
  }
  add(8, U16(0));
  packets.insert(packets.end(), appended_.begin(), appended_.end());

  std::string out = std::string("POF\0", 4) + (bigEndian_ ? '\x01' : '\0') + '\0' + U16(1) +
                    U32(static_cast<std::uint32_t>(packets.size()));
  for (const Packet& p : packets) {
    out += U16(static_cast<std::uint16_t>(p.tag)) + U32(static_cast<std::uint32_t>(p.length.value_or(static_cast<std::int32_t>(p.data.size())))) + p.data;
  }
  return out;
}

void PofBuilder::WriteTo(const std::string& path) const {
  const std::string bytes = Build();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace fusecvt::test
