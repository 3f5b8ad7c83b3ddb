#include "pof/SourceImage.h"

#include <array>

namespace fusecvt {

namespace {

// Field sizes per kind, in slot order. The ues fields are as wide as the
// POF range that feeds them; the translation reads the first 16 characters.
constexpr std::array<SourceLayout, kSourceKindCount> kLayouts = {{
    //  kind                 MC  mcw pia oe  ioR ioW oeR  gclk unk jtag  ues rem
    {SourceKind::Max7032,    32, 12, 2,  0,  0,  0,  32, false, 0, false, 0, 0},
    {SourceKind::Max7032AE,  32, 14, 4,  5,  32, 7,  0,  true,  7, true, 32, 7},
    {SourceKind::Max7032S,   32, 13, 4,  5,  32, 6,  0,  true,  7, true, 16, 7},
    {SourceKind::Max7128,   128, 12, 4,  0,  0,  0,  96, false, 0, false, 0, 0},
    {SourceKind::Max7128E,  128, 14, 5,  5,  96, 3,  0,  false, 10, false, 0, 0},
    {SourceKind::Max7128S,  128, 13, 14, 14, 96, 6,  0,  false, 28, false, 0, 0},
    {SourceKind::Max7128AE, 128, 14, 14, 14, 96, 7,  0,  true,  28, true, 28, 0},
    {SourceKind::Max7064,    64, 12, 3,  0,  0,  0,  64, false, 0, false, 0, 0},
    {SourceKind::Max7064S,   64, 13, 8,  9,  64, 6,  0,  true,  7, true, 16, 7},
    {SourceKind::Max7064AE,  64, 14, 8,  9,  64, 7,  0,  true,  7, true, 32, 7},
    {SourceKind::Max3032A,   32, 14, 4,  5,  32, 7,  0,  true,  7, true, 32, 7},
    {SourceKind::Max3064A,   64, 14, 8,  9,  64, 7,  0,  true,  7, true, 32, 7},
    {SourceKind::Max3128A,  128, 14, 14, 14, 96, 7,  0,  true,  28, true, 32, 0},
}};

FuseArray Field(int d0, int d1 = 1, int d2 = 1) {
  return d0 > 0 && d1 > 0 && d2 > 0 ? FuseArray(d0, d1, d2) : FuseArray();
}

bool AnyProgrammed(const char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] == '0') return true;
  }
  return false;
}

}  // namespace

const SourceLayout& LayoutOf(SourceKind kind) { return kLayouts[static_cast<int>(kind)]; }

SourceImage::SourceImage(SourceKind kind) : layout_(&LayoutOf(kind)) {
  const SourceLayout& l = *layout_;
  logicArray = l.macrocells > 0 ? PackedFuseArray(l.macrocells, 5, 88) : PackedFuseArray();
  mcConfig = Field(l.macrocells, l.mcConfigWidth);
  pia = Field(l.macrocells / 16, 36, l.piaWidth);
  oePia = Field(l.oePiaWidth > 0 ? 6 : 0, l.oePiaWidth);
  ioConfig = Field(l.ioRows, l.ioWidth);
  outputEnable = Field(l.outputEnableRows, 2);
  globalClocks = Field(l.hasGlobalClocks ? 3 : 0);
  unknownBits = Field(l.unknownBits);
  ues = Field(l.uesWidth);
  remainingBits = Field(l.remainingBits);
}

std::unique_ptr<SourceImage> MakeSourceImage(SourceKind kind) {
  return std::make_unique<SourceImage>(kind);
}

SourceImage* SourceImageSet::CreateImage(SourceKind kind) {
  image_ = MakeSourceImage(kind);
  return image_.get();
}

void SourceImageSet::Adopt(std::unique_ptr<SourceImage> image) { image_ = std::move(image); }

void SourceImageSet::SetCreatorId(const std::string& text) {
  if (image_) creatorId = text;
}

void SourceImageSet::SetCommentText(const std::string& text) {
  if (image_) commentText = text;
}

void SourceImageSet::SetSecurityBit(std::uint16_t value) {
  if (image_) securityBit = value;
}

void SourceImageSet::BeginTestVectors(std::size_t count) {
  if (image_) testVectors.assign(count, std::string());
}

void SourceImageSet::SetTestVector(std::size_t index, const std::string& text) {
  if (image_ && index < testVectors.size()) testVectors[index] = text;
}

int SourceImageSet::HasFuseData() const {
  if (!image_) return 0;
  const SourceImage& img = *image_;
  switch (img.kind()) {
    case SourceKind::Max7032:
    case SourceKind::Max7064:
    case SourceKind::Max7128:
      return AnyProgrammed(img.outputEnable.data(), img.outputEnable.size());
    case SourceKind::Max7032S:
    case SourceKind::Max7032AE:
    case SourceKind::Max3032A:
    case SourceKind::Max7064S:
    case SourceKind::Max7064AE:
    case SourceKind::Max3064A:
      return AnyProgrammed(img.ues.data(), 16);
    case SourceKind::Max7128E:
      return AnyProgrammed(img.ioConfig.data(), img.ioConfig.size());
    case SourceKind::Max7128S:
    case SourceKind::Max7128AE:
    case SourceKind::Max3128A:
      for (int r = 0; r < img.ioConfig.dim0(); ++r) {
        if (AnyProgrammed(img.ioConfig.row(r), 6)) return 1;
      }
      return 0;
  }
  return 0;
}

}  // namespace fusecvt
