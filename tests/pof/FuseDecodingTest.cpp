// Fuse address decoding of every source kind, checked against the builder's
// own statement of the address maps: a fuse read into the image must come
// back at the same address when the builder writes that image out again.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "PofKit.h"

namespace fusecvt::test {
namespace {

using Field = PofBuilder::Field;

// Every kind, and the packages whose I/O pin count moves the ranges.
const char* const kDevices[] = {
    "EPM7032LC44-15", "EPM7032SLC44-10", "EPM7032AETC44-10", "EPM3032ALC44-10", "EPM7064LC44-10", "EPM7064LC68-10",
    "EPM7064QC100-10", "EPM7064XX160", "EPM7064SLC44-10", "EPM7064AETC44-10", "EPM3064ATC44-10", "EPM7128LC84-15",
    "EPM7128LC68-15", "EPM7128QC100-15", "EPM7128GC160-15", "EPM7128ELC84-10", "EPM7128ELC44", "EPM7128EQC160",
    "EPM7128SLC84-15", "EPM7128AETC100-10", "EPM3128ATC100-10",
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
      EXPECT_EQ(FirstDifference(StreamOf(device, *got->image()), want), "");
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
      EXPECT_EQ(FirstDifference(StreamOf(device, *got->image()), b.FuseStream()), "");
      EXPECT_EQ(ZerosOf(*got->image()), ZerosOf(*b.CarriedImage()));
    }
  }
}

// Whether an image holds fuse data: each kind looks at one field only, and
// there only at the positions listed.
TEST(FuseDecoding, FuseDataProbeOfEveryKind) {
  const struct { const char* device; FuseArray SourceImage::*field; std::vector<std::size_t> seen, unseen; } rows[] = {
      {"EPM7032LC44", &SourceImage::outputEnable, {0, 63}, {}}, {"EPM7064LC44", &SourceImage::outputEnable, {127}, {}},
      {"EPM7128LC84", &SourceImage::outputEnable, {191}, {}},   {"EPM7032SLC44", &SourceImage::ues, {0, 15}, {}},
      {"EPM7032AETC44", &SourceImage::ues, {15}, {16, 31}},     {"EPM3032ALC44", &SourceImage::ues, {15}, {16}},
      {"EPM7064SLC44", &SourceImage::ues, {15}, {}},            {"EPM7064AETC44", &SourceImage::ues, {0}, {16}},
      {"EPM3064ATC44", &SourceImage::ues, {0}, {31}},           {"EPM7128ELC84", &SourceImage::ioConfig, {0, 287}, {}},
      {"EPM7128SLC84", &SourceImage::ioConfig, {5, 575}, {}},   {"EPM7128AETC100", &SourceImage::ioConfig, {670}, {6, 671}},
      {"EPM3128ATC100", &SourceImage::ioConfig, {5}, {6}},      {"EPM7032SLC44", &SourceImage::logicArray, {}, {0}},
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
