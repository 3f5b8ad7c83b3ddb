#pragma once
// Builds POF files for tests from a source design stated in image fields.
//
//   PofBuilder b("EPM7032SLC44-10");          // image of the kind the name selects
//   b.image().logicArray.at(0, 0, 6) = '0';    // macrocell 0, product term 0, column 6
//   b.Creator("tool").Comment("demo").Security(1).Vectors({"0101", "1010"});
//   b.BigEndian(true).Packed(false).Inverted(true);
//   std::string bytes = b.Build();             // or b.WriteTo(path)
//
// The fields are laid out in the fuse stream by this file's own statement of
// the device address maps (not by the product's decoder), so a round trip
// through the reader checks the product's maps. Defaults: little-endian,
// packed, not inverted; packets Creator_ID "PofBuilder", Device_Name,
// Comment_Text "Untitled", Security_Bit 0, the fuse data, Test_Vectors (only
// when Vectors() was given) and a Terminator, in that order.
//
// Names that select no image (unsupported or family-only names such as
// "EPM3032LC44") still build: image() throws, and the fuse data holds only
// what Program() puts there ("7256AE" names get the 256-macrocell stream
// length). Bad-input tests use Omit(), Prepend(), Append() (Packet::length
// can lie about the data size) and cut Build()'s bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pof/SourceImage.h"

namespace fusecvt::test {

class PofBuilder {
 public:
  struct Packet {
    std::int16_t tag;
    std::string data;
    std::optional<std::int32_t> length;  // written instead of data.size()
  };
  // The fields of the address maps, plus Gap (counted toward the blank check,
  // not stored) and Tail (neither).
  enum class Field {
    LogicArray, McConfig, Pia, OePia, IoConfig, OutputEnable,
    GlobalClocks, UnknownBits, JtagBit, Ues, Gap, Tail,
  };

  explicit PofBuilder(std::string deviceName);

  bool hasImage() const { return image_ != nullptr; }
  SourceImage& image() const;  // throws std::logic_error when the name selects no image
  SourceKind kind() const { return image().kind(); }
  // 44, 68, 84, 100 or 160 from the name's first pin code; 44 without one.
  int pinCount() const { return pinCount_; }

  PofBuilder& Creator(std::string text) { creator_ = std::move(text); return *this; }
  PofBuilder& Comment(std::string text) { comment_ = std::move(text); return *this; }
  PofBuilder& Security(std::uint16_t value) { security_ = value; return *this; }
  // A Test_Vectors packet: slots as wide as the longest vector plus its NUL.
  PofBuilder& Vectors(std::vector<std::string> v) { vectors_ = std::move(v); return *this; }
  PofBuilder& BigEndian(bool on = true) { bigEndian_ = on; return *this; }
  PofBuilder& Packed(bool on = true) { packed_ = on; return *this; }
  PofBuilder& Inverted(bool on = true) { inverted_ = on; return *this; }
  // Also programs this fuse address (inside or outside the map's fields).
  PofBuilder& Program(std::int64_t address) { programmed_.push_back(address); return *this; }
  PofBuilder& Omit(std::int16_t tag) { omitted_.push_back(tag); return *this; }  // a standard packet
  PofBuilder& Prepend(Packet p) { prepended_.push_back(std::move(p)); return *this; }
  PofBuilder& Append(Packet p) { appended_.push_back(std::move(p)); return *this; }

  // The fuse stream, one '0' or '1' per address.
  std::string FuseStream() const;
  // Data of a fuse-data packet: 12-byte header with these flags, then payload.
  std::string FuseData(std::uint16_t flags, std::string_view payload) const;
  std::string Build() const;
  void WriteTo(const std::string& path) const;
  // Integers in this builder's byte order.
  std::string U16(std::uint16_t v) const { return Int(v, 2); }
  std::string U32(std::uint32_t v) const { return Int(v, 4); }

  // A fresh image holding only the positions of image() that the address map
  // carries (the rest '1'): what a reader must decode from Build() when no
  // extra addresses were programmed.
  std::unique_ptr<SourceImage> CarriedImage() const;

  // This file's address map: one segment per range, in address order.
  struct Segment {
    Field field;
    std::int64_t start, count;
    int rowWidth;  // POF fuses per image row; 0: stored in order
  };
  std::vector<Segment> Segments() const;
  // Fuses a complete stream holds, and the end of the counted addresses.
  std::int64_t MapLength() const;
  std::int64_t CountedLimit() const;

 private:
  std::string Int(std::uint32_t v, int bytes) const;
  std::string deviceName_;
  std::unique_ptr<SourceImage> image_;
  int pinCount_ = 44;
  const char* map_ = nullptr;  // the map's ranges, as the table in the .cpp states them
  bool plain7128_ = false;
  std::optional<std::string> creator_ = std::string("PofBuilder");
  std::optional<std::string> comment_ = std::string("Untitled");
  std::uint16_t security_ = 0;
  std::optional<std::vector<std::string>> vectors_;
  bool bigEndian_ = false, packed_ = true, inverted_ = false;
  std::vector<std::int64_t> programmed_;
  std::vector<std::int16_t> omitted_;
  std::vector<Packet> prepended_, appended_;
};

}  // namespace fusecvt::test
