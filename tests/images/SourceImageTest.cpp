#include <gtest/gtest.h>

#include "pof/SourceImage.h"

namespace fusecvt {
namespace {

TEST(SourceImageSet, CreatesTheMostSpecificKindFirst) {
  struct Case { const char* text; SourceKind kind; } cases[] = {
      {"EPM7128AETC100", SourceKind::Max7128AE}, {"EPM7128ATC100", SourceKind::Max7128S},
      {"EPM7128SLC84", SourceKind::Max7128S},    {"EPM7128ELC84", SourceKind::Max7128E},
      {"EPM7032AETC44", SourceKind::Max7032AE},  {"EPM7032SLC44", SourceKind::Max7032S},
      {"EPM7032LC44", SourceKind::Max7032},      {"EPM3064ATC44", SourceKind::Max3064A},
  };
  for (const auto& c : cases) {
    SourceImageSet set;
    ASSERT_NE(set.CreateImage(c.text), nullptr) << c.text;
    EXPECT_EQ(set.image()->kind(), c.kind) << c.text;
    EXPECT_EQ(*set.DeviceText(), c.text);
  }
  SourceImageSet none;
  EXPECT_EQ(none.CreateImage("EPM3032LC44"), nullptr);
  EXPECT_EQ(none.DeviceText(), nullptr);
  EXPECT_EQ(none.HasFuseData(), 0);
}

TEST(SourceImageSet, FreshImagesAreErasedAndProbeTheirKindsField) {
  SourceImageSet s;
  s.CreateImage("EPM7032SLC44");
  const SourceImage& img = *s.image();
  EXPECT_EQ(std::string(img.globalClocks.data(), 3), "111");
  EXPECT_EQ(img.jtagBit, '1');
  EXPECT_EQ(img.logicArray.size(), 32u * 5 * 88);
  EXPECT_EQ(s.HasFuseData(), 0);
  s.image()->ues.at(15) = '0';
  EXPECT_EQ(s.HasFuseData(), 1);

  SourceImageSet p;
  p.CreateImage("EPM7032LC44");
  EXPECT_EQ(p.HasFuseData(), 0);
  p.image()->outputEnable.at(31, 1) = '0';
  EXPECT_EQ(p.HasFuseData(), 1);
}

}  // namespace
}  // namespace fusecvt
