// Fuse address decoding: where each fuse of the stream lands in the image.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageCompare.h"
#include "LoadHelper.h"
#include "pof/FuseMap.h"
#include "support/PofBuilder.h"

namespace fusecvt::test {
namespace {

struct Stated {
  Field field;
  std::int64_t start, end;  // end exclusive
  int rowWidth;             // fuses per row in the stream (0: in order)
  int rowStride;            // characters per row in the image
};
struct KindCase {
  const char* device;
  SourceKind kind;
  std::vector<Stated> ranges;
  std::int64_t countedLimit;
};

// The device address maps as absolute address ranges (P fixed by the pin
// code of each device name).
const std::vector<KindCase>& Cases() {
  static const std::vector<KindCase> cases = {
      {"EPM7032LC44-15", SourceKind::Max7032,
       {{Field::LogicArray, 0, 14080, 0, 0}, {Field::McConfig, 14080, 14464, 12, 12},
        {Field::Pia, 14464, 14608, 0, 0}, {Field::OutputEnable, 14608, 14672, 2, 2}},
       14752},
      {"EPM7032SLC44-10", SourceKind::Max7032S,
       {{Field::LogicArray, 0, 14080, 0, 0}, {Field::McConfig, 14080, 14496, 13, 13},
        {Field::Pia, 14496, 14784, 0, 0}, {Field::OePia, 14784, 14814, 5, 5},
        {Field::IoConfig, 14814, 15006, 6, 6}, {Field::GlobalClocks, 15006, 15009, 0, 0},
        {Field::UnknownBits, 15009, 15016, 0, 0}, {Field::JtagBit, 15016, 15017, 0, 0},
        {Field::Ues, 15017, 15033, 0, 0}},
       15033},
      {"EPM7032AETC44-10", SourceKind::Max7032AE,
       {{Field::LogicArray, 0, 14080, 0, 0}, {Field::McConfig, 14080, 14528, 14, 14},
        {Field::Pia, 14528, 14816, 0, 0}, {Field::OePia, 14816, 14846, 5, 5},
        {Field::IoConfig, 14846, 15070, 7, 7}, {Field::GlobalClocks, 15070, 15073, 0, 0},
        {Field::JtagBit, 15073, 15074, 0, 0}, {Field::Ues, 15074, 15106, 0, 0}},
       15106},
      {"EPM3032ALC44-10", SourceKind::Max3032A,
       {{Field::LogicArray, 0, 14080, 0, 0}, {Field::McConfig, 14080, 14528, 14, 14},
        {Field::Pia, 14528, 14816, 0, 0}, {Field::OePia, 14816, 14846, 5, 5},
        {Field::IoConfig, 14846, 15038, 6, 7}, {Field::GlobalClocks, 15038, 15041, 0, 0},
        {Field::JtagBit, 15041, 15042, 0, 0}, {Field::Ues, 15042, 15074, 0, 0}},
       15106},
      {"EPM7064LC44-10", SourceKind::Max7064,
       {{Field::LogicArray, 0, 28160, 0, 0}, {Field::McConfig, 28160, 28928, 12, 12},
        {Field::Pia, 28928, 29360, 0, 0}, {Field::OutputEnable, 29360, 29424, 2, 2}},
       29424},
      {"EPM7064SLC44-10", SourceKind::Max7064S,
       {{Field::LogicArray, 0, 28160, 0, 0}, {Field::McConfig, 28160, 28992, 13, 13},
        {Field::Pia, 28992, 30144, 0, 0}, {Field::OePia, 30144, 30198, 9, 9},
        {Field::IoConfig, 30198, 30582, 6, 6}, {Field::GlobalClocks, 30582, 30585, 0, 0},
        {Field::UnknownBits, 30585, 30592, 0, 0}, {Field::JtagBit, 30592, 30593, 0, 0},
        {Field::Ues, 30593, 30609, 0, 0}},
       30609},
      {"EPM7064AETC44-10", SourceKind::Max7064AE,
       {{Field::LogicArray, 0, 28160, 0, 0}, {Field::McConfig, 28160, 29056, 14, 14},
        {Field::Pia, 29056, 30208, 0, 0}, {Field::OePia, 30208, 30262, 9, 9},
        {Field::IoConfig, 30262, 30710, 7, 7}, {Field::GlobalClocks, 30710, 30713, 0, 0},
        {Field::JtagBit, 30713, 30714, 0, 0}, {Field::Ues, 30714, 30746, 0, 0},
        {Field::UnknownBits, 30746, 30751, 0, 0}},
       30751},
      {"EPM3064ATC44-10", SourceKind::Max3064A,
       {{Field::LogicArray, 0, 28160, 0, 0}, {Field::McConfig, 28160, 29056, 14, 14},
        {Field::Pia, 29056, 30208, 0, 0}, {Field::OePia, 30208, 30262, 9, 9},
        {Field::IoConfig, 30262, 30646, 6, 7}, {Field::GlobalClocks, 30646, 30649, 0, 0},
        {Field::JtagBit, 30649, 30650, 0, 0}, {Field::Ues, 30650, 30682, 0, 0}},
       30751},
      {"EPM7128LC84-15", SourceKind::Max7128,
       {{Field::LogicArray, 0, 56320, 0, 0}, {Field::McConfig, 56320, 57856, 12, 12},
        {Field::Pia, 57856, 59008, 0, 0}, {Field::OutputEnable, 59008, 59136, 2, 2}},
       59136},
      {"EPM7128ELC84-10", SourceKind::Max7128E,
       {{Field::LogicArray, 0, 56320, 0, 0}, {Field::McConfig, 56320, 58112, 14, 14},
        {Field::Pia, 58112, 59552, 0, 0}, {Field::OePia, 59552, 59582, 5, 5},
        {Field::IoConfig, 59582, 59774, 3, 3}, {Field::UnknownBits, 59774, 59784, 0, 0}},
       59784},
      {"EPM7128SLC84-15", SourceKind::Max7128S,
       {{Field::LogicArray, 0, 56320, 0, 0}, {Field::McConfig, 56320, 57984, 13, 13},
        {Field::Pia, 57984, 62016, 0, 0}, {Field::OePia, 62016, 62100, 14, 14},
        {Field::IoConfig, 62100, 62676, 6, 6}, {Field::UnknownBits, 62676, 62704, 0, 0}},
       62704},
      {"EPM7128AETC100-10", SourceKind::Max7128AE,
       {{Field::LogicArray, 0, 56320, 0, 0}, {Field::McConfig, 56320, 58112, 14, 14},
        {Field::Pia, 58112, 62144, 0, 0}, {Field::OePia, 62144, 62228, 14, 14},
        {Field::IoConfig, 62228, 62900, 7, 7}, {Field::GlobalClocks, 62900, 62903, 0, 0},
        {Field::JtagBit, 62903, 62904, 0, 0}, {Field::Ues, 62904, 62932, 0, 0}},
       62932},
      {"EPM3128ATC100-10", SourceKind::Max3128A,
       {{Field::LogicArray, 0, 56320, 0, 0}, {Field::McConfig, 56320, 58112, 14, 14},
        {Field::Pia, 58112, 62144, 0, 0}, {Field::OePia, 62144, 62228, 14, 14},
        {Field::IoConfig, 62228, 62804, 6, 7}, {Field::GlobalClocks, 62804, 62807, 0, 0},
        {Field::JtagBit, 62807, 62808, 0, 0}, {Field::Ues, 62808, 62840, 0, 0}},
       62932},
  };
  return cases;
}

std::size_t LastPosition(const Stated& r) {
  const std::int64_t b = r.end - r.start - 1;
  if (r.rowWidth == 0) return static_cast<std::size_t>(b);
  return static_cast<std::size_t>((b / r.rowWidth) * r.rowStride + b % r.rowWidth);
}

TEST(FuseMaps, BuilderMapsFollowTheStatedRanges) {
  for (const auto& c : Cases()) {
    PofBuilder b(c.device);
    ASSERT_EQ(b.kind(), c.kind) << c.device;
    std::vector<PofBuilder::Segment> stored;
    for (const auto& s : b.Segments()) {
      if (s.field != Field::Gap && s.field != Field::Tail) stored.push_back(s);
    }
    ASSERT_EQ(stored.size(), c.ranges.size()) << c.device;
    for (std::size_t i = 0; i < stored.size(); ++i) {
      EXPECT_EQ(stored[i].field, c.ranges[i].field) << c.device << " range " << i;
      EXPECT_EQ(stored[i].start, c.ranges[i].start) << c.device << " range " << i;
      EXPECT_EQ(stored[i].start + stored[i].count, c.ranges[i].end) << c.device << " range " << i;
    }
    EXPECT_EQ(b.CountedLimit(), c.countedLimit) << c.device;
  }
}

// A single programmed fuse at the first and at the last address of every
// range lands at the first and the last position of its field, and nowhere
// else; the counted limit decides the blank check.
TEST(FuseMaps, RangeStartsAndEndsOfEveryKind) {
  for (const auto& c : Cases()) {
    for (const Stated& r : c.ranges) {
      for (const bool atEnd : {false, true}) {
        const std::int64_t address = atEnd ? r.end - 1 : r.start;
        PofBuilder b(c.device);
        b.Program(address);
        auto got = LoadBytes(b.Build());
        ASSERT_NE(got->image(), nullptr) << c.device;
        EXPECT_EQ(got->image()->kind(), c.kind);
        EXPECT_EQ(got->run.pof.lastProgrammedAddress, address) << c.device;
        const auto zeros = ProgrammedPositions(*got->image());
        ASSERT_EQ(zeros.size(), 1u) << c.device << " address " << address;
        EXPECT_EQ(zeros[0].first, r.field) << c.device << " address " << address;
        EXPECT_EQ(zeros[0].second, atEnd ? LastPosition(r) : 0u) << c.device << " address " << address;
      }
    }
    PofBuilder last(c.device);
    last.Program(c.countedLimit - 1);
    EXPECT_EQ(LoadBytes(last.Build())->run.pof.lastProgrammedAddress, c.countedLimit - 1);
    PofBuilder past(c.device);
    past.Program(c.countedLimit);
    auto got = LoadBytes(past.Build());
    EXPECT_EQ(got->run.pof.lastProgrammedAddress, -1) << c.device;
    EXPECT_EQ(got->status.exitStatus, 2) << c.device;
    EXPECT_TRUE(ProgrammedPositions(*got->image()).empty()) << c.device;
  }
}

TEST(FuseMaps, Examples7032S) {
  struct { std::int64_t address; Field field; std::size_t position; } cases[] = {
      {14080, Field::McConfig, 0},        // mcConfig[0][0]
      {14495, Field::McConfig, 31 * 13 + 12},
      {14496, Field::Pia, 0},             // pia[0][0][0]
      {14640, Field::Pia, 144},           // pia[1][0][0]
      {15016, Field::JtagBit, 0},
      {4 * 440 + 2 * 88 + 17, Field::LogicArray, (4 * 5 + 2) * 88 + 17},
      {14814 + 6 * 7 + 4, Field::IoConfig, 7 * 6 + 4},  // ioConfig[7][4]
  };
  for (const auto& c : cases) {
    PofBuilder b("EPM7032SLC44-10");
    b.Program(c.address);
    auto got = LoadBytes(b.Build());
    const auto zeros = ProgrammedPositions(*got->image());
    ASSERT_EQ(zeros.size(), 1u) << c.address;
    EXPECT_EQ(zeros[0].first, c.field) << c.address;
    EXPECT_EQ(zeros[0].second, c.position) << c.address;
  }
  PofBuilder b("EPM7032SLC44-10");
  b.Program(14640);
  EXPECT_EQ(LoadBytes(b.Build())->image()->pia.at(1, 0, 0), '0');
}

// The output-enable (and 7128E I/O) ranges grow with the package's I/O pins.
TEST(FuseMaps, PinCountDependentRanges) {
  struct { const char* device; std::int64_t end; Field field; } cases[] = {
      {"EPM7064LC44-10", 29424, Field::OutputEnable},   // 32 pins
      {"EPM7064LC68-10", 29456, Field::OutputEnable},   // 48
      {"EPM7064LC84-10", 29488, Field::OutputEnable},   // 64
      {"EPM7064QC100-10", 29488, Field::OutputEnable},  // 64
      {"EPM7064XX160", 29362, Field::OutputEnable},     // 1
      {"EPM7064XX", 29424, Field::OutputEnable},        // no pin code: 44 pins, 32
      {"EPM7128LC68-15", 59010, Field::OutputEnable},   // 1
      {"EPM7128QC100-15", 59168, Field::OutputEnable},  // 80
      {"EPM7128GC160-15", 59200, Field::OutputEnable},  // 96
      {"EPM7128ELC44", 59585, Field::IoConfig},         // 1
      {"EPM7128EQC160", 59870, Field::IoConfig},        // 96
  };
  for (const auto& c : cases) {
    PofBuilder b(c.device);
    b.Program(c.end - 1);
    auto got = LoadBytes(b.Build());
    auto zeros = ProgrammedPositions(*got->image());
    ASSERT_EQ(zeros.size(), 1u) << c.device;
    EXPECT_EQ(zeros[0].first, c.field) << c.device;
    // A fuse just past the range is not stored.
    PofBuilder past(c.device);
    past.Program(c.end);
    auto after = LoadBytes(past.Build());
    zeros = ProgrammedPositions(*after->image());
    if (c.field == Field::IoConfig) {
      ASSERT_EQ(zeros.size(), 1u) << c.device;  // the next range, unknownBits[0]
      EXPECT_EQ(zeros[0], std::make_pair(Field::UnknownBits, std::size_t{0})) << c.device;
    } else {
      EXPECT_TRUE(zeros.empty()) << c.device;
      EXPECT_EQ(after->run.pof.lastProgrammedAddress, -1) << c.device;
    }
  }
  // 7064 without a pin code counts as 44 pins: 32 I/O pins.
  PofBuilder b("EPM7064XX");
  EXPECT_EQ(b.pinCount(), 44);
}

TEST(FuseMaps, OutputEnablePastThePinsIsCountedButNotStored7128) {
  PofBuilder b("EPM7128SLC84");  // 7128S has no pin-dependent range: control case
  PofBuilder p("EPM7128LC84-15");
  p.Program(59135).Program(59136).Program(59140);
  auto got = LoadBytes(p.Build());
  EXPECT_EQ(got->run.pof.lastProgrammedAddress, 59135);
  const auto zeros = ProgrammedPositions(*got->image());
  ASSERT_EQ(zeros.size(), 1u);
  EXPECT_EQ(zeros[0], std::make_pair(Field::OutputEnable, std::size_t{127}));
  EXPECT_EQ(got->image()->outputEnable.at(63, 1), '0');
  EXPECT_EQ(b.CountedLimit(), 62704);
}

// Fuses between the last range and the counted limit count toward the blank
// check; positions the map does not carry stay erased.
TEST(FuseMaps, UnstoredAddressesAndPositions) {
  PofBuilder gap("EPM7032LC44-15");
  gap.Program(14700);
  auto got = LoadBytes(gap.Build());
  EXPECT_EQ(got->run.pof.lastProgrammedAddress, 14700);
  EXPECT_FALSE(got->status.exitStatus.has_value());
  EXPECT_TRUE(ProgrammedPositions(*got->image()).empty());
  EXPECT_EQ(got->run.sources.HasFuseData(), 0);

  // Every position of these images programmed: the ones no range reaches stay '1'.
  struct {
    const char* device;
    Field field;
    std::vector<std::size_t> erased, programmed;
  } cases[] = {
      {"EPM3032ALC44-10", Field::IoConfig, {6, 13, 31 * 7 + 6}, {0, 5, 7, 31 * 7 + 5}},
      {"EPM3128ATC100-10", Field::IoConfig, {6, 95 * 7 + 6}, {0, 95 * 7 + 5}},
      {"EPM7064AETC44-10", Field::UnknownBits, {5, 6}, {0, 4}},
      {"EPM7128AETC100-10", Field::UnknownBits, {0, 27}, {}},
      {"EPM7032SLC44-10", Field::Tail, {0, 6}, {}},
  };
  for (const auto& c : cases) {
    PofBuilder b(c.device);
    Scramble(b.image(), 1, 1);  // all '0'
    auto all = LoadBytes(b.Build());
    for (const auto& f : FieldsOf(*all->image())) {
      if (f.field != c.field) continue;
      for (std::size_t i : c.erased) EXPECT_EQ(f.chars.at(i), '1') << c.device << " " << i;
      for (std::size_t i : c.programmed) EXPECT_EQ(f.chars.at(i), '0') << c.device << " " << i;
    }
  }
}

// Whole images of every kind, scrambled, come back as the map carries them.
TEST(FuseMaps, RoundTripOfEveryKind) {
  std::vector<std::string> devices;
  for (const auto& c : Cases()) devices.push_back(c.device);
  for (const char* d : {"EPM7064QC100-10", "EPM7128GC160-15", "EPM7128EQC100-10",
                        "EPM7128ATC100-10"}) {
    devices.push_back(d);
  }
  unsigned seed = 1;
  for (const auto& d : devices) {
    PofBuilder b(d);
    Scramble(b.image(), seed++);
    auto got = LoadBytes(b.Build());
    ASSERT_NE(got->image(), nullptr) << d;
    EXPECT_FALSE(got->status.exitStatus.has_value()) << d;
    EXPECT_TRUE(SameImage(*got->image(), *b.CarriedImage())) << d;
  }
}

TEST(FuseMaps, RoundTripInEveryEncoding) {
  for (const char* d : {"EPM7032SLC44-10", "EPM7128ELC84-10", "EPM3064ATC44-10"}) {
    for (int variant = 0; variant < 8; ++variant) {
      PofBuilder b(d);
      Scramble(b.image(), 7u + static_cast<unsigned>(variant), 3);
      b.BigEndian(variant & 1).Packed(variant & 2).Inverted(variant & 4);
      auto got = LoadBytes(b.Build());
      ASSERT_NE(got->image(), nullptr);
      EXPECT_TRUE(SameImage(*got->image(), *b.CarriedImage())) << d << " variant " << variant;
    }
  }
}

// Raw fuse bytes.
std::unique_ptr<Loaded> LoadFuseBytes(std::uint16_t flags, const std::string& payload,
                                      bool bigEndian = false) {
  PofBuilder b("EPM7032SLC44-10");
  b.BigEndian(bigEndian).Omit(17);
  b.Append({17, b.FuseData(flags, payload), std::nullopt});
  return LoadBytes(b.Build());
}

TEST(FuseMaps, PackedUnpackedAndInvertedBytes) {
  auto packed = LoadFuseBytes(1, "\xFE");
  EXPECT_EQ(packed->image()->logicArray.at(0, 0, 0), '0');
  EXPECT_EQ(ProgrammedPositions(*packed->image()).size(), 1u);
  EXPECT_EQ(packed->run.pof.lastProgrammedAddress, 0);

  auto inverted = LoadFuseBytes(5, "\xFE");
  EXPECT_EQ(inverted->image()->logicArray.at(0, 0, 0), '1');
  for (int k = 1; k < 8; ++k) EXPECT_EQ(inverted->image()->logicArray.at(0, 0, k), '0') << k;
  EXPECT_EQ(inverted->run.pof.lastProgrammedAddress, 7);

  auto unpacked = LoadFuseBytes(0, "0x1");
  EXPECT_EQ(unpacked->image()->logicArray.at(0, 0, 0), '0');
  EXPECT_EQ(unpacked->image()->logicArray.at(0, 0, 1), '1');
  EXPECT_EQ(unpacked->image()->logicArray.at(0, 0, 2), '1');

  // Other characters keep their address; inverted unpacked data swaps 0 and 1.
  auto swapped = LoadFuseBytes(4, "1x01", true);
  EXPECT_EQ(swapped->image()->logicArray.at(0, 0, 0), '0');
  EXPECT_EQ(swapped->image()->logicArray.at(0, 0, 1), '1');
  EXPECT_EQ(swapped->image()->logicArray.at(0, 0, 2), '1');
  EXPECT_EQ(swapped->image()->logicArray.at(0, 0, 3), '0');
  EXPECT_EQ(swapped->run.pof.lastProgrammedAddress, 3);

  // Packed bits run from the least significant bit: 0x7F programs address 15.
  auto second = LoadFuseBytes(1, std::string("\xFF\x7F", 2));
  EXPECT_EQ(second->run.pof.lastProgrammedAddress, 15);
  EXPECT_EQ(second->image()->logicArray.at(0, 0, 15), '0');
}

TEST(FuseMaps, ShortAndRepeatedFuseDataPackets) {
  // 12 bytes or fewer hold no fuse byte: nothing decoded, a blank part.
  PofBuilder b("EPM7032SLC44-10");
  b.Omit(17).Append({17, b.FuseData(1, "").substr(0, 12), std::nullopt});
  EXPECT_EQ(LoadBytes(b.Build())->status.exitStatus, 2);
  PofBuilder c("EPM7032SLC44-10");
  c.Omit(17).Append({17, std::string(5, '\0'), std::nullopt});
  EXPECT_EQ(LoadBytes(c.Build())->status.exitStatus, 2);

  // A second packet decodes from address 0 again and only adds '0's.
  PofBuilder d("EPM7032SLC44-10");
  d.Omit(17);
  d.Append({17, d.FuseData(0, std::string(100, '1') + "0"), std::nullopt});
  d.Append({17, d.FuseData(0, "10"), std::nullopt});
  auto got = LoadBytes(d.Build());
  EXPECT_EQ(got->image()->logicArray.at(0, 0, 1), '0');
  EXPECT_EQ(got->image()->logicArray.at(0, 1, 12), '0');  // address 100
  EXPECT_EQ(got->run.pof.lastProgrammedAddress, 1);
}

TEST(FuseMaps, NamedMapsWriteOnlyTheirOwnKind) {
  std::ostringstream out;
  Conversion run(out, out, Clock::Fixed(std::tm{}));
  run.sources.CreateImage("EPM7032SLC44");
  MapFuse7032(run, 14080, FuseValue::Programmed);  // another kind's map: counted only
  EXPECT_EQ(run.pof.lastProgrammedAddress, 14080);
  EXPECT_TRUE(ProgrammedPositions(*run.sources.image()).empty());
  MapFuse7032S(run, 14080, FuseValue::Erased);
  MapFuse7032S(run, 14081, FuseValue::Other);
  EXPECT_TRUE(ProgrammedPositions(*run.sources.image()).empty());
  MapFuse7032S(run, 14081, FuseValue::Programmed);
  EXPECT_EQ(run.sources.image()->mcConfig.at(0, 1), '0');
  EXPECT_EQ(run.pof.lastProgrammedAddress, 14081);

  MapFuse7256AE(run, 62931, FuseValue::Programmed);
  EXPECT_EQ(run.pof.lastProgrammedAddress, 62931);
  MapFuse7256AE(run, 62932, FuseValue::Programmed);
  MapFuse7256AE(run, 120000, FuseValue::Programmed);
  EXPECT_EQ(run.pof.lastProgrammedAddress, 62931);
  EXPECT_EQ(ProgrammedPositions(*run.sources.image()).size(), 1u);
}

}  // namespace
}  // namespace fusecvt::test
