#include "translate/BlockTarget.h"

#include "translate/BlockProfile.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace fusecvt {

namespace {

constexpr std::array<TargetGeometry, 3> kGeometries = {{
    {BlockTargetKind::Qpl6032, "QPL6032", 32, 2, 5, 5, 16808, "111111100000000100100110"},
    {BlockTargetKind::Qpl6064, "QPL6064", 64, 4, 9, 9, 34192, "111111100000000100100110"},
    {BlockTargetKind::Qpl6128, "QPL6128", 128, 8, 27, 14, 74136, "111111100000000000110110"},
}};

struct Defaults {
  std::initializer_list<std::pair<int, int>> goeZeros;  // (GOE, fuse)
  std::initializer_list<int> configZeros;
};

const Defaults& DefaultsOf(BlockTargetKind kind) {
  static const Defaults k6032{{{0, 0}, {1, 1}, {2, 0}, {3, 0}, {4, 1}, {5, 0}},
                              {9, 10, 11, 14, 20, 21, 22, 23, 24, 25, 26, 27, 31}};
  static const Defaults k6064{{{0, 8}, {1, 2}, {2, 2}, {3, 0}, {4, 0}, {5, 0}},
                              {9, 10, 11, 14, 20, 21, 22, 23, 24, 25, 26, 27, 31}};
  static const Defaults k6128{{{0, 10}, {1, 11}, {2, 13}, {3, 8}, {4, 11}, {5, 12}},
                              {20, 21, 22, 23, 24, 25, 26, 27, 31}};
  switch (kind) {
    case BlockTargetKind::Qpl6032: return k6032;
    case BlockTargetKind::Qpl6064: return k6064;
    case BlockTargetKind::Qpl6128: return k6128;
  }
  return k6032;
}

}  // namespace

const TargetGeometry& GeometryOf(BlockTargetKind kind) {
  return kGeometries[static_cast<int>(kind)];
}

BlockTargetImage::BlockTargetImage(BlockTargetKind kind)
    : geometry_(&GeometryOf(kind)), profile_(&ProfileOf(kind)) {
  const TargetGeometry& g = *geometry_;
  ptInputFuses = PackedFuseArray(g.macrocells, 5, 80);
  ptFoldbackFuses = PackedFuseArray(g.macrocells, 5, 16);
  mcBits = FuseArray(g.macrocells, 24);
  for (int m = 0; m < g.macrocells; ++m) std::memcpy(mcBits.row(m), g.mcBitsDefault, 24);
  uimMux = PackedFuseArray(g.blocks, 40, g.uimWidth);
  goeMux = FuseArray(6, g.goeWidth);
  configBits = FuseArray(32);
  uesBits = FuseArray(16);
  const Defaults& d = DefaultsOf(kind);
  for (const auto& z : d.goeZeros) goeMux.at(z.first, z.second) = '0';
  for (int i : d.configZeros) configBits.at(i) = '0';
}


}  // namespace fusecvt
