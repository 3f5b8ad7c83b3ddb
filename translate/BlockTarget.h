#pragma once
// Fuse images of the block-structured targets QPL6032, QPL6064 and QPL6128.
// The three share one layout of fields, sized by their geometry, and one
// implementation of the stages, driven by the target's profile; the writer
// lives with the JEDEC output.

#include <array>
#include <vector>

#include "pof/FuseArray.h"
#include "pof/PackedFuseArray.h"
#include "pof/SourceImage.h"
#include "translate/TargetDevice.h"
#include "translate/PinUseFlags.h"
#include "translate/RowRoute.h"

namespace fusecvt {

enum class BlockTargetKind { Qpl6032, Qpl6064, Qpl6128 };

struct TargetGeometry {
  BlockTargetKind kind;
  const char* deviceWord;     // "QPL6032", "QPL6064", "QPL6128"
  int macrocells;             // N
  int blocks;                 // N / 16
  int uimWidth;               // W: fuses per UIM multiplexer
  int goeWidth;               // G: fuses per global OE multiplexer
  int fuseCount;              // QF
  const char* mcBitsDefault;  // S0..S23 of a fresh macrocell
};
const TargetGeometry& GeometryOf(BlockTargetKind kind);

struct BlockProfile;

class BlockTargetImage : public TargetDevice {
 public:
  explicit BlockTargetImage(BlockTargetKind kind);

  const TargetGeometry& geometry() const { return *geometry_; }
  BlockTargetKind targetKind() const { return geometry_->kind; }

  PackedFuseArray ptInputFuses;     // [N][5][80]: two fuses per UIM line
  PackedFuseArray ptFoldbackFuses;  // [N][5][16]: one per foldback term of the block
  FuseArray mcBits;            // [N][24]: S0..S23
  PackedFuseArray uimMux;           // [blocks][40][W]
  FuseArray goeMux;            // [6][G]
  FuseArray configBits;        // [32]
  FuseArray uesBits;           // [16]
  char jtagBit = '0';          // second of the four special-purpose fuses
  PinUseFlags pinUse;          // this target family's pin-use record

  // The stages, one implementation for the three targets (BlockStages.cpp).
  void ReadProductTerms(const StageContext& run) override;
  void TranslateMacrocells(const StageContext& run) override;
  void RouteGlobalOe(const StageContext& run) override;
  void ApplyDeviceOptions(const StageContext& run) override;
  void RouteUim(const StageContext& run) override;
  void ClearUnusedProductTerms(const StageContext& run) override;
  // The JEDEC writer of the block-structured targets.
  int WriteJedec(const JedecJob& job) override;

 private:
  const TargetGeometry* geometry_;
  const BlockProfile* profile_;
  std::vector<LabRoutes> routes_;  // the PIA rows as resolved by stage 1
};

class Qpl6032 final : public BlockTargetImage {
 public:
  Qpl6032() : BlockTargetImage(BlockTargetKind::Qpl6032) {}
};

class Qpl6064 final : public BlockTargetImage {
 public:
  Qpl6064() : BlockTargetImage(BlockTargetKind::Qpl6064) {}
};

class Qpl6128 final : public BlockTargetImage {
 public:
  Qpl6128() : BlockTargetImage(BlockTargetKind::Qpl6128) {}
};

}  // namespace fusecvt
