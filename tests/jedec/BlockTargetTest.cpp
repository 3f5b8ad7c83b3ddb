// Geometry and constructor defaults of the QPL6032, QPL6064 and QPL6128 images.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "JedecTestRun.h"
#include "jedec/BlockTarget.h"

namespace fusecvt::test {
namespace {

static_assert(std::is_base_of_v<PofData, Qpl6032> && std::is_base_of_v<PofData, Qpl6064> &&
              std::is_base_of_v<PofData, Qpl6128>);

std::string Text(const FuseArray& a) { return std::string(a.data(), a.size()); }

struct Expected {
  BlockTargetKind kind;
  const char* word;
  int n, blocks, w, g, qf;
  const char* mcBits;
  const char* goe;     // goeMux row by row, G characters each
  const char* config;  // configBits index 0..31
};

TEST(BlockTargetImage, GeometryAndDefaultsOfEachTarget) {
  const Expected cases[] = {
      {BlockTargetKind::Qpl6032, "QPL6032", 32, 2, 5, 5, 16808, "111111100000000100100110",
       "01111" "10111" "01111" "01111" "10111" "01111",
       "11111111100011011111000000001110"},
      {BlockTargetKind::Qpl6064, "QPL6064", 64, 4, 9, 9, 34192, "111111100000000100100110",
       "111111110" "110111111" "110111111" "011111111" "011111111" "011111111",
       "11111111100011011111000000001110"},
      {BlockTargetKind::Qpl6128, "QPL6128", 128, 8, 27, 14, 74136, "111111100000000000110110",
       "11111111110111" "11111111111011" "11111111111110" "11111111011111" "11111111111011"
       "11111111111101",
       "11111111111111111111000000001110"},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.word);
    auto img = MakeImage(e.kind);
    const TargetGeometry& g = img->geometry();
    EXPECT_EQ(img->targetKind(), e.kind);
    EXPECT_STREQ(g.deviceWord, e.word);
    EXPECT_EQ(g.macrocells, e.n);
    EXPECT_EQ(g.blocks, e.blocks);
    EXPECT_EQ(g.uimWidth, e.w);
    EXPECT_EQ(g.goeWidth, e.g);
    EXPECT_EQ(g.fuseCount, e.qf);
    EXPECT_EQ(img->spare, 0);
    EXPECT_EQ(img->word, 0u);

    EXPECT_EQ(Text(img->ptInputFuses), std::string(static_cast<std::size_t>(e.n) * 5 * 80, '1'));
    EXPECT_EQ(Text(img->ptFoldbackFuses), std::string(static_cast<std::size_t>(e.n) * 5 * 16, '1'));
    EXPECT_EQ(img->ptInputFuses.dim1(), 5);
    EXPECT_EQ(img->ptInputFuses.dim2(), 80);
    EXPECT_EQ(img->ptFoldbackFuses.dim2(), 16);
    ASSERT_EQ(img->mcBits.size(), static_cast<std::size_t>(e.n) * 24);
    for (int m = 0; m < e.n; ++m) EXPECT_EQ(std::string(img->mcBits.row(m), 24), e.mcBits);
    EXPECT_EQ(Text(img->uimMux), std::string(static_cast<std::size_t>(e.blocks) * 40 * e.w, '1'));
    EXPECT_EQ(img->uimMux.dim0(), e.blocks);
    EXPECT_EQ(img->uimMux.dim1(), 40);
    EXPECT_EQ(img->goeMux.dim0(), 6);
    EXPECT_EQ(Text(img->goeMux), e.goe);
    EXPECT_EQ(Text(img->configBits), e.config);
    EXPECT_EQ(Text(img->uesBits), std::string(16, '1'));
    EXPECT_EQ(img->jtagBit, '0');
  }
}

}  // namespace
}  // namespace fusecvt::test
