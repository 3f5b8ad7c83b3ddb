// Fuse address decoding of every source kind, checked against the builder's
// own statement of the address maps: a fuse read into the image must come
// back at the same address when the builder writes that image out again.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "PofKit.h"
#include "pof/FuseMap.h"

namespace fusecvt::test {
namespace {

using Field = PofBuilder::Field;

// Every kind, and the packages whose I/O pin count moves the ranges.
const char* const kDevices[] = {
    "EPM7032LC44-15",   "EPM7032SLC44-10",  "EPM7032AETC44-10", "EPM3032ALC44-10",
    "EPM7064LC44-10",   "EPM7064LC68-10",   "EPM7064QC100-10",  "EPM7064XX160",
    "EPM7064SLC44-10",  "EPM7064AETC44-10", "EPM3064ATC44-10",  "EPM7128LC84-15",
    "EPM7128LC68-15",   "EPM7128QC100-15",  "EPM7128GC160-15",  "EPM7128ELC84-10",
    "EPM7128ELC44",     "EPM7128EQC160",    "EPM7128SLC84-15",  "EPM7128AETC100-10",
    "EPM3128ATC100-10",
};

// One programmed fuse at the first and last address of every range, at the
// counted limit and just past the map: it lands where the builder puts it,
// nowhere else, and the last counted address decides the blank check.
TEST(FuseDecoding, SingleFusesAtEveryRangeEnd) {
  for (const char* device : kDevices) {
    const PofBuilder probe(device);
    std::set<std::int64_t> addresses = {probe.CountedLimit() - 1, probe.CountedLimit(), probe.MapLength()};
    for (const auto& s : probe.Segments()) addresses.insert({s.start, s.start + s.count - 1});
    for (const std::int64_t a : addresses) {
      SCOPED_TRACE(std::string(device) + " address " + std::to_string(a));
      PofBuilder b(device);
      const auto got = Load(b.Program(a).Build());
      ASSERT_NE(got->image(), nullptr);
      std::string want(static_cast<std::size_t>(probe.MapLength()), '1');
      bool stored = false;
      for (const auto& s : probe.Segments()) {
        stored |= a >= s.start && a < s.start + s.count && s.field != Field::Gap && s.field != Field::Tail;
      }
      if (stored) want[static_cast<std::size_t>(a)] = '0';
      EXPECT_EQ(DiffAt(StreamOf(device, *got->image()), want), "");
      EXPECT_EQ(ZerosOf(*got->image()), stored ? 1 : 0);
      EXPECT_EQ(got->run.pof.lastProgrammedAddress, a < probe.CountedLimit() ? a : -1);
    }
  }
}

// Whole scrambled images of every kind, in all eight encodings (byte order,
// packed or one character a fuse, inverted or not).
TEST(FuseDecoding, RoundTripOfEveryKindInEveryEncoding) {
  unsigned seed = 1;
  for (const char* device : kDevices) {
    for (int variant = 0; variant < 8; ++variant) {
      SCOPED_TRACE(std::string(device) + " variant " + std::to_string(variant));
      PofBuilder b(device);
      Scramble(b.image(), seed++, 3);
      b.BigEndian(variant & 1).Packed(variant & 2).Inverted(variant & 4);
      const auto got = Load(b.Build());
      ASSERT_NE(got->image(), nullptr);
      EXPECT_FALSE(got->status.exitStatus.has_value());
      EXPECT_EQ(DiffAt(StreamOf(device, *got->image()), b.FuseStream()), "");
      EXPECT_EQ(ZerosOf(*got->image()), ZerosOf(*b.CarriedImage()));
    }
  }
}

// Raw fuse bytes: packed bits run from the least significant bit, inverted
// data swaps programmed and erased, and in one-character data only '0'
// (inverted: '1') programs a fuse.
TEST(FuseDecoding, RawFuseBytes) {
  const struct { std::uint16_t flags; bool big; std::string payload, first16; int last; } rows[] = {
      {1, false, "\xFE", "0111111111111111", 0},
      {1, true, std::string("\xFF\x7F", 2), "1111111111111110", 15},
      {5, false, "\xFE", "1000000011111111", 7},
      {0, false, "0x1 0", "0111011111111111", 4},
      {4, true, "1x01", "0110111111111111", 3},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.payload);
    PofBuilder b("EPM7032SLC44-10");
    b.BigEndian(r.big).Omit(17);
    const auto got = Load(b.Append(P(17, b.FuseData(r.flags, r.payload))).Build());
    EXPECT_EQ(StreamOf("EPM7032SLC44-10", *got->image()).substr(0, 16), r.first16);
    EXPECT_EQ(got->run.pof.lastProgrammedAddress, r.last);
  }
}

// The one-fuse entry points store only into an image of their own kind; the
// 256-macrocell map only counts, up to its limit.
TEST(FuseDecoding, NamedMapsWriteOnlyTheirOwnKind) {
  std::ostringstream out;
  Conversion run(out, out, Clock::Fixed(std::tm{}));
  run.sources.CreateImage("EPM7032SLC44");
  MapFuse7032(run, 14080, FuseValue::Programmed);
  EXPECT_EQ(run.pof.lastProgrammedAddress, 14080);
  MapFuse7032S(run, 14081, FuseValue::Erased);
  MapFuse7032S(run, 14082, FuseValue::Other);
  EXPECT_EQ(ZerosOf(*run.sources.image()), 0);
  MapFuse7032S(run, 14081, FuseValue::Programmed);
  EXPECT_EQ(run.sources.image()->mcConfig.at(0, 1), '0');
  MapFuse7256AE(run, 62931, FuseValue::Programmed);
  MapFuse7256AE(run, 62932, FuseValue::Programmed);
  EXPECT_EQ(run.pof.lastProgrammedAddress, 62931);
  EXPECT_EQ(ZerosOf(*run.sources.image()), 1);
}

// Whether an image holds fuse data: each kind looks at one field only, and
// there only at the positions listed.
TEST(FuseDecoding, FuseDataProbeOfEveryKind) {
  const struct {
    const char* device;
    FuseArray SourceImage::*field;
    std::vector<std::size_t> seen, unseen;
  } rows[] = {
      {"EPM7032LC44", &SourceImage::outputEnable, {0, 63}, {}},
      {"EPM7064LC44", &SourceImage::outputEnable, {127}, {}},
      {"EPM7128LC84", &SourceImage::outputEnable, {191}, {}},
      {"EPM7032SLC44", &SourceImage::ues, {0, 15}, {}},
      {"EPM7032AETC44", &SourceImage::ues, {15}, {16, 31}},
      {"EPM3032ALC44", &SourceImage::ues, {15}, {16}},
      {"EPM7064SLC44", &SourceImage::ues, {15}, {}},
      {"EPM7064AETC44", &SourceImage::ues, {0}, {16}},
      {"EPM3064ATC44", &SourceImage::ues, {0}, {31}},
      {"EPM7128ELC84", &SourceImage::ioConfig, {0, 287}, {}},
      {"EPM7128SLC84", &SourceImage::ioConfig, {5, 95 * 6 + 5}, {}},
      {"EPM7128AETC100", &SourceImage::ioConfig, {95 * 7 + 5}, {6, 95 * 7 + 6}},
      {"EPM3128ATC100", &SourceImage::ioConfig, {5}, {6}},
      {"EPM7032SLC44", &SourceImage::logicArray, {}, {0}},
      {"EPM7128SLC84", &SourceImage::unknownBits, {}, {0}},
  };
  for (const auto& r : rows) {
    for (const bool seen : {true, false}) {
      for (const std::size_t i : seen ? r.seen : r.unseen) {
        SCOPED_TRACE(std::string(r.device) + " " + std::to_string(i));
        SourceImageSet set;
        ASSERT_NE(set.CreateImage(r.device), nullptr);
        EXPECT_EQ(set.HasFuseData(), 0);
        (set.image()->*r.field).data()[i] = '0';
        EXPECT_EQ(set.HasFuseData(), seen ? 1 : 0);
      }
    }
  }
}

}  // namespace
}  // namespace fusecvt::test
