#pragma once
// In-memory fuse images of the MAX7000-family source devices. All kinds share
// one layout (fields of the same name), sized per kind by a table; a field a
// kind does not have is empty.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pof/FuseArray.h"
#include "pof/PackedFuseArray.h"
#include "pof/SourceKind.h"

namespace fusecvt {

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

class SourceImage {
 public:
  explicit SourceImage(SourceKind kind);

  SourceKind kind() const { return layout_->kind; }
  const SourceLayout& layout() const { return *layout_; }
  int macrocells() const { return layout_->macrocells; }
  int labs() const { return layout_->macrocells / 16; }

  PackedFuseArray logicArray;  // [MC][5][88]
  FuseArray mcConfig;          // [MC][w]
  FuseArray pia;               // [LAB][36][w]
  FuseArray oePia;             // [6][w]
  FuseArray ioConfig;          // [rows][w]
  FuseArray outputEnable;      // [rows][2]
  FuseArray globalClocks;      // [3]
  FuseArray unknownBits;       // [n]
  char jtagBit = '1';          // meaningful only when layout().hasJtagBit
  FuseArray ues;               // [n]
  FuseArray remainingBits;     // [n]

 private:
  const SourceLayout* layout_;
};

// Creates a fresh image of the given kind (every fuse '1').
std::unique_ptr<SourceImage> MakeSourceImage(SourceKind kind);

// Holds the one source image of a run and the POF texts and values that the
// JEDEC writers need; they live as long as the image.
class SourceImageSet {
 public:
  // Creates the image of the kind (every fuse '1'), replacing any earlier one.
  SourceImage* CreateImage(SourceKind kind);

  // Each does nothing when no image exists.
  void SetCreatorId(const std::string& text);
  void SetCommentText(const std::string& text);
  void SetSecurityBit(std::uint16_t value);
  void BeginTestVectors(std::size_t count);
  void SetTestVector(std::size_t index, const std::string& text);

  // 1 when the image shows a programmed fuse in its kind's probe field.
  int HasFuseData() const;

  SourceImage* image() { return image_.get(); }
  const SourceImage* image() const { return image_.get(); }
  // Installs an image directly (tests and tools); replaces any earlier one.
  void Adopt(std::unique_ptr<SourceImage> image);

  // Shared POF members.
  std::optional<std::string> creatorId;
  std::optional<std::string> commentText;
  std::uint16_t securityBit = 0;
  std::vector<std::string> testVectors;  // testVectorCount == size()

 private:
  std::unique_ptr<SourceImage> image_;
};

}  // namespace fusecvt
