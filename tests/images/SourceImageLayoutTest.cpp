// Field sizes of all 13 source images and the field each one's fuse-data
// probe examines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pof/SourceImage.h"

namespace fusecvt {
namespace {

struct Dims {
  int d0, d1, d2;
};
struct KindLayout {
  const char* name;  // a device text that selects the kind
  SourceKind kind;
  Dims logicArray, mcConfig, pia, oePia, ioConfig, outputEnable;
  int globalClocks, unknownBits, uesAtLeast, remainingBits;
  bool jtag;
};

void ExpectDims(const FuseArray& a, Dims d, const char* kind, const char* field) {
  if (d.d0 == 0) {
    EXPECT_TRUE(a.empty()) << kind << " " << field;
    return;
  }
  EXPECT_EQ(a.dim0(), d.d0) << kind << " " << field;
  EXPECT_EQ(a.dim1(), d.d1) << kind << " " << field;
  EXPECT_EQ(a.dim2(), d.d2) << kind << " " << field;
  EXPECT_EQ(std::string(a.data(), a.size()), std::string(a.size(), '1')) << kind << " " << field;
}

TEST(SourceImageLayout, EveryKindHasItsFields) {
  const Dims none{0, 0, 0};
  const KindLayout kinds[] = {
      {"EPM7032LC44", SourceKind::Max7032, {32, 5, 88}, {32, 12, 1}, {2, 36, 2}, none, none,
       {32, 2, 1}, 0, 0, 0, 0, false},
      {"EPM7032SLC44", SourceKind::Max7032S, {32, 5, 88}, {32, 13, 1}, {2, 36, 4}, {6, 5, 1},
       {32, 6, 1}, none, 3, 7, 16, 7, true},
      {"EPM7032AETC44", SourceKind::Max7032AE, {32, 5, 88}, {32, 14, 1}, {2, 36, 4}, {6, 5, 1},
       {32, 7, 1}, none, 3, 7, 16, 7, true},
      {"EPM3032ALC44", SourceKind::Max3032A, {32, 5, 88}, {32, 14, 1}, {2, 36, 4}, {6, 5, 1},
       {32, 7, 1}, none, 3, 7, 16, 7, true},
      {"EPM7064LC44", SourceKind::Max7064, {64, 5, 88}, {64, 12, 1}, {4, 36, 3}, none, none,
       {64, 2, 1}, 0, 0, 0, 0, false},
      {"EPM7064SLC44", SourceKind::Max7064S, {64, 5, 88}, {64, 13, 1}, {4, 36, 8}, {6, 9, 1},
       {64, 6, 1}, none, 3, 7, 16, 7, true},
      {"EPM7064AETC44", SourceKind::Max7064AE, {64, 5, 88}, {64, 14, 1}, {4, 36, 8}, {6, 9, 1},
       {64, 7, 1}, none, 3, 7, 32, 7, true},
      {"EPM3064ATC44", SourceKind::Max3064A, {64, 5, 88}, {64, 14, 1}, {4, 36, 8}, {6, 9, 1},
       {64, 7, 1}, none, 3, 7, 32, 7, true},
      {"EPM7128LC84", SourceKind::Max7128, {128, 5, 88}, {128, 12, 1}, {8, 36, 4}, none, none,
       {96, 2, 1}, 0, 0, 0, 0, false},
      {"EPM7128ELC84", SourceKind::Max7128E, {128, 5, 88}, {128, 14, 1}, {8, 36, 5}, {6, 5, 1},
       {96, 3, 1}, none, 0, 10, 0, 0, false},
      {"EPM7128SLC84", SourceKind::Max7128S, {128, 5, 88}, {128, 13, 1}, {8, 36, 14},
       {6, 14, 1}, {96, 6, 1}, none, 0, 28, 0, 0, false},
      {"EPM7128AETC100", SourceKind::Max7128AE, {128, 5, 88}, {128, 14, 1}, {8, 36, 14},
       {6, 14, 1}, {96, 7, 1}, none, 3, 28, 16, 0, true},
      {"EPM3128ATC100", SourceKind::Max3128A, {128, 5, 88}, {128, 14, 1}, {8, 36, 14},
       {6, 14, 1}, {96, 7, 1}, none, 3, 28, 16, 0, true},
  };
  for (const auto& k : kinds) {
    SourceImageSet set;
    ASSERT_NE(set.CreateImage(k.name), nullptr) << k.name;
    const SourceImage& img = *set.image();
    EXPECT_EQ(img.kind(), k.kind) << k.name;
    ExpectDims(img.logicArray, k.logicArray, k.name, "logicArray");
    ExpectDims(img.mcConfig, k.mcConfig, k.name, "mcConfig");
    ExpectDims(img.pia, k.pia, k.name, "pia");
    ExpectDims(img.oePia, k.oePia, k.name, "oePia");
    ExpectDims(img.ioConfig, k.ioConfig, k.name, "ioConfig");
    ExpectDims(img.outputEnable, k.outputEnable, k.name, "outputEnable");
    EXPECT_EQ(img.globalClocks.size(), static_cast<std::size_t>(k.globalClocks)) << k.name;
    EXPECT_EQ(img.unknownBits.size(), static_cast<std::size_t>(k.unknownBits)) << k.name;
    EXPECT_GE(img.ues.size(), static_cast<std::size_t>(k.uesAtLeast)) << k.name;
    if (k.uesAtLeast == 0) {
      EXPECT_TRUE(img.ues.empty()) << k.name;
    }
    EXPECT_EQ(img.remainingBits.size(), static_cast<std::size_t>(k.remainingBits)) << k.name;
    EXPECT_EQ(img.layout().hasJtagBit, k.jtag) << k.name;
    EXPECT_EQ(img.jtagBit, '1') << k.name;
  }
}

// Programs one character and asks the probe.
int ProbeAfter(const char* device, FuseArray SourceImage::*field, std::size_t position) {
  SourceImageSet set;
  set.CreateImage(device);
  (set.image()->*field).data()[position] = '0';
  return set.HasFuseData();
}

TEST(SourceImageLayout, FuseDataProbeOfEveryKind) {
  struct Probe {
    const char* device;
    FuseArray SourceImage::*field;
    std::vector<std::size_t> seen, unseen;
  } probes[] = {
      {"EPM7032LC44", &SourceImage::outputEnable, {0, 63}, {}},
      {"EPM7064LC44", &SourceImage::outputEnable, {0, 127}, {}},
      {"EPM7128LC84", &SourceImage::outputEnable, {0, 191}, {}},
      {"EPM7032SLC44", &SourceImage::ues, {0, 15}, {}},
      {"EPM7032AETC44", &SourceImage::ues, {0, 15}, {16, 31}},
      {"EPM3032ALC44", &SourceImage::ues, {15}, {16}},
      {"EPM7064SLC44", &SourceImage::ues, {15}, {}},
      {"EPM7064AETC44", &SourceImage::ues, {15}, {16}},
      {"EPM3064ATC44", &SourceImage::ues, {0}, {31}},
      {"EPM7128ELC84", &SourceImage::ioConfig, {0, 287}, {}},
      {"EPM7128SLC84", &SourceImage::ioConfig, {0, 5, 95 * 6 + 5}, {}},
      {"EPM7128AETC100", &SourceImage::ioConfig, {0, 95 * 7 + 5}, {6, 95 * 7 + 6}},
      {"EPM3128ATC100", &SourceImage::ioConfig, {5}, {6}},
  };
  for (const auto& p : probes) {
    SourceImageSet fresh;
    fresh.CreateImage(p.device);
    EXPECT_EQ(fresh.HasFuseData(), 0) << p.device;
    for (std::size_t i : p.seen) EXPECT_EQ(ProbeAfter(p.device, p.field, i), 1) << p.device << " " << i;
    for (std::size_t i : p.unseen) EXPECT_EQ(ProbeAfter(p.device, p.field, i), 0) << p.device << " " << i;
  }
  // Other fields are not looked at.
  EXPECT_EQ(ProbeAfter("EPM7032SLC44", &SourceImage::logicArray, 0), 0);
  EXPECT_EQ(ProbeAfter("EPM7128SLC84", &SourceImage::unknownBits, 0), 0);
}

TEST(SourceImageLayout, SettersNeedAnImage) {
  SourceImageSet set;
  set.SetCreatorId("c");
  set.SetCommentText("t");
  set.SetSecurityBit(1);
  set.BeginTestVectors(2);
  set.SetTestVector(0, "01");
  EXPECT_FALSE(set.creatorId.has_value());
  EXPECT_FALSE(set.commentText.has_value());
  EXPECT_EQ(set.securityBit, 0);
  EXPECT_TRUE(set.testVectors.empty());

  set.CreateImage("EPM7064SLC44");
  set.SetCommentText("first");
  set.SetCommentText("second");
  set.BeginTestVectors(2);
  set.SetTestVector(1, "10");
  set.SetTestVector(2, "out of range");
  EXPECT_EQ(set.commentText, "second");
  EXPECT_EQ(set.testVectors, (std::vector<std::string>{"", "10"}));
}

}  // namespace
}  // namespace fusecvt
