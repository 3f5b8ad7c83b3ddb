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

constexpr std::array<const char*, kSourceKindCount> kNames = {
    "7032", "7032AE", "7032S", "7128", "7128E", "7128S", "7128AE",
    "7064", "7064S", "7064AE", "3032A", "3064A", "3128A"};

FuseArray Field(int d0, int d1 = 1, int d2 = 1) {
  return d0 > 0 && d1 > 0 && d2 > 0 ? FuseArray(d0, d1, d2) : FuseArray();
}

bool Contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

bool AnyProgrammed(const char* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] == '0') return true;
  }
  return false;
}

}  // namespace

const char* SourceKindName(SourceKind kind) { return kNames[static_cast<int>(kind)]; }

const SourceLayout& LayoutOf(SourceKind kind) { return kLayouts[static_cast<int>(kind)]; }

SourceImage::SourceImage(SourceKind kind) : layout_(&LayoutOf(kind)) {
  const SourceLayout& l = *layout_;
  logicArray = Field(l.macrocells, 5, 88);
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

Max7032Image::Max7032Image() : SourceImage(SourceKind::Max7032) {}
Max7032SImage::Max7032SImage() : SourceImage(SourceKind::Max7032S) {}
Max7032AEImage::Max7032AEImage() : SourceImage(SourceKind::Max7032AE) {}
Max3032AImage::Max3032AImage() : SourceImage(SourceKind::Max3032A) {}
Max7064Image::Max7064Image() : SourceImage(SourceKind::Max7064) {}
Max7064SImage::Max7064SImage() : SourceImage(SourceKind::Max7064S) {}
Max7064AEImage::Max7064AEImage() : SourceImage(SourceKind::Max7064AE) {}
Max3064AImage::Max3064AImage() : SourceImage(SourceKind::Max3064A) {}
Max7128Image::Max7128Image() : SourceImage(SourceKind::Max7128) {}
Max7128EImage::Max7128EImage() : SourceImage(SourceKind::Max7128E) {}
Max7128SImage::Max7128SImage() : SourceImage(SourceKind::Max7128S) {}
Max7128AEImage::Max7128AEImage() : SourceImage(SourceKind::Max7128AE) {}
Max3128AImage::Max3128AImage() : SourceImage(SourceKind::Max3128A) {}

std::unique_ptr<SourceImage> MakeSourceImage(SourceKind kind) {
  switch (kind) {
    case SourceKind::Max7032: return std::make_unique<Max7032Image>();
    case SourceKind::Max7032AE: return std::make_unique<Max7032AEImage>();
    case SourceKind::Max7032S: return std::make_unique<Max7032SImage>();
    case SourceKind::Max7128: return std::make_unique<Max7128Image>();
    case SourceKind::Max7128E: return std::make_unique<Max7128EImage>();
    case SourceKind::Max7128S: return std::make_unique<Max7128SImage>();
    case SourceKind::Max7128AE: return std::make_unique<Max7128AEImage>();
    case SourceKind::Max7064: return std::make_unique<Max7064Image>();
    case SourceKind::Max7064S: return std::make_unique<Max7064SImage>();
    case SourceKind::Max7064AE: return std::make_unique<Max7064AEImage>();
    case SourceKind::Max3032A: return std::make_unique<Max3032AImage>();
    case SourceKind::Max3064A: return std::make_unique<Max3064AImage>();
    case SourceKind::Max3128A: return std::make_unique<Max3128AImage>();
  }
  return nullptr;
}

SourceImage* SourceImageSet::CreateImage(const std::string& text) {
  // Ordered name tests: the more specific name before its prefix.
  static const struct {
    const char* word;
    SourceKind kind;
  } kTests[] = {
      {"7032S", SourceKind::Max7032S},   {"7032AE", SourceKind::Max7032AE},
      {"7032", SourceKind::Max7032},     {"7128S", SourceKind::Max7128S},
      {"7128AE", SourceKind::Max7128AE}, {"7128A", SourceKind::Max7128S},
      {"7128E", SourceKind::Max7128E},   {"7128", SourceKind::Max7128},
      {"7064S", SourceKind::Max7064S},   {"7064AE", SourceKind::Max7064AE},
      {"7064", SourceKind::Max7064},     {"3032A", SourceKind::Max3032A},
      {"3064A", SourceKind::Max3064A},   {"3128A", SourceKind::Max3128A},
  };
  for (const auto& t : kTests) {
    if (Contains(text, t.word)) {
      image_ = MakeSourceImage(t.kind);
      deviceText = text;
      return image_.get();
    }
  }
  return nullptr;
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

const std::string* SourceImageSet::DeviceText() const {
  return image_ ? &deviceText : nullptr;
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
