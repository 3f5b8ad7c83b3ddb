#pragma once
// What the JEDEC file of a block-structured target must hold, worked out
// address by address from the target's fuse map: for every fuse address the
// field and index it comes from, then the lines around them. Kept apart from
// the writer on purpose: it walks from addresses back to image fields, while
// the writer walks from the fields out.

#include <memory>
#include <string>
#include <vector>

#include "translate/BlockTarget.h"

namespace fusecvt::test {

struct ExpectedHeader {
  std::string packageName = "PLCC";
  int pinCount = 44;
  std::string createdOn = "Sat Dec 05 16:42:08 2026";
  bool secure = false;
  std::vector<std::string> vectors;
};

// First address of each section and the total, as the fuse map lists them.
struct SectionStarts {
  long productTerms, mcConfig, uim, goe, config, jtag, ues, reserved, total;
};
SectionStarts SectionStartsOf(BlockTargetKind kind);

// A fresh image of the target.
std::unique_ptr<BlockTargetImage> MakeBlockTarget(BlockTargetKind kind);

// The image a block target's file of these fuses holds, read through the
// same address map; null when the fuse count is no block target's.
std::unique_ptr<BlockTargetImage> ImageOfFuses(const std::string& fuses);

// The complete file, bytes as they must reach the disk (S0..S2 of each
// macrocell taken as the writer leaves them).
std::string ExpectedJedecFile(const BlockTargetImage& image, const ExpectedHeader& header);

// Where two byte strings first differ, with the lines around it; empty when equal.
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace fusecvt::test
