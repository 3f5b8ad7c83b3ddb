#pragma once
// In-memory fuse images of the MAX7000-family source devices, one class per
// device kind. All kinds share one layout (fields of the same name), sized per
// kind by a table; a field a kind does not have is empty.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pof/FuseArray.h"

namespace fusecvt {

// Source device kinds, in the order of the image set's slots.
enum class SourceKind : int {
  Max7032 = 0,
  Max7032AE = 1,
  Max7032S = 2,
  Max7128 = 3,
  Max7128E = 4,
  Max7128S = 5,   // also the 7128A
  Max7128AE = 6,
  Max7064 = 7,
  Max7064S = 8,
  Max7064AE = 9,
  Max3032A = 10,
  Max3064A = 11,
  Max3128A = 12,
};
inline constexpr int kSourceKindCount = 13;

// "7032", "7032AE", ... for messages and tests.
const char* SourceKindName(SourceKind kind);

// Base of every device image, source and target. The word is 0 at
// construction; the QPL6000 writer uses it as its running checksum.
class PofData {
 public:
  virtual ~PofData() = default;
  std::uint32_t word = 0;
};

// Field sizes of one source kind (0 = the kind has no such field).
struct SourceLayout {
  SourceKind kind;
  int macrocells;        // logicArray [macrocells][5][88]
  int mcConfigWidth;     // mcConfig [macrocells][w]
  int piaWidth;          // pia [labs][36][w]
  int oePiaWidth;        // oePia [6][w]
  int ioRows;            // ioConfig [ioRows][ioWidth]
  int ioWidth;
  int outputEnableRows;  // outputEnable [rows][2]
  bool hasGlobalClocks;  // globalClocks [3]
  int unknownBits;       // unknownBits [n]
  bool hasJtagBit;       // jtagBit
  int uesWidth;          // ues [n]
  int remainingBits;     // remainingBits [n]
};
const SourceLayout& LayoutOf(SourceKind kind);

class SourceImage : public PofData {
 public:
  SourceKind kind() const { return layout_->kind; }
  const SourceLayout& layout() const { return *layout_; }
  int macrocells() const { return layout_->macrocells; }
  int labs() const { return layout_->macrocells / 16; }

  FuseArray logicArray;     // [MC][5][88]
  FuseArray mcConfig;       // [MC][w]
  FuseArray pia;            // [LAB][36][w]
  FuseArray oePia;          // [6][w]
  FuseArray ioConfig;       // [rows][w]
  FuseArray outputEnable;   // [rows][2]
  FuseArray globalClocks;   // [3]
  FuseArray unknownBits;    // [n]
  char jtagBit = '1';       // meaningful only when layout().hasJtagBit
  FuseArray ues;            // [n]
  FuseArray remainingBits;  // [n]

 protected:
  explicit SourceImage(SourceKind kind);

 private:
  const SourceLayout* layout_;
};

class Max7032Image final : public SourceImage { public: Max7032Image(); };
class Max7032SImage final : public SourceImage { public: Max7032SImage(); };
class Max7032AEImage final : public SourceImage { public: Max7032AEImage(); };
class Max3032AImage final : public SourceImage { public: Max3032AImage(); };
class Max7064Image final : public SourceImage { public: Max7064Image(); };
class Max7064SImage final : public SourceImage { public: Max7064SImage(); };
class Max7064AEImage final : public SourceImage { public: Max7064AEImage(); };
class Max3064AImage final : public SourceImage { public: Max3064AImage(); };
class Max7128Image final : public SourceImage { public: Max7128Image(); };
class Max7128EImage final : public SourceImage { public: Max7128EImage(); };
class Max7128SImage final : public SourceImage { public: Max7128SImage(); };
class Max7128AEImage final : public SourceImage { public: Max7128AEImage(); };
class Max3128AImage final : public SourceImage { public: Max3128AImage(); };

// Creates a fresh image of the given kind (every fuse '1').
std::unique_ptr<SourceImage> MakeSourceImage(SourceKind kind);

// Holds the one source image of a run and the POF texts and values that the
// JEDEC writers need; they live as long as the image.
class SourceImageSet {
 public:
  // Creates the image whose name test matches the upper-cased device text
  // first; returns it, or null when no kind matches (nothing changes then).
  SourceImage* CreateImage(const std::string& text);

  // Each does nothing when no image exists.
  void SetCreatorId(const std::string& text);
  void SetCommentText(const std::string& text);
  void SetSecurityBit(std::uint16_t value);
  void BeginTestVectors(std::size_t count);
  void SetTestVector(std::size_t index, const std::string& text);

  // The device text when an image exists, else null.
  const std::string* DeviceText() const;
  // 1 when the image shows a programmed fuse in its kind's probe field.
  int HasFuseData() const;

  SourceImage* image() { return image_.get(); }
  const SourceImage* image() const { return image_.get(); }
  // Installs an image directly (tests and tools); replaces any earlier one.
  void Adopt(std::unique_ptr<SourceImage> image);

  // Shared POF members. deviceText may be rewritten (the QPL6000 writer
  // lower-cases it in place).
  std::optional<std::string> creatorId;
  std::optional<std::string> commentText;
  std::string deviceText;
  std::uint16_t securityBit = 0;
  std::vector<std::string> testVectors;  // testVectorCount == size()

 private:
  std::unique_ptr<SourceImage> image_;
};

}  // namespace fusecvt
