#pragma once
// Facts read back from a JEDEC file of the QPL6032, QPL6064 or QPL6128 by the
// tests' own reader and the tests' own statement of the fuse map (the one the
// expected files are laid out by), not by any table of the product: the S
// bits of a macrocell, the fuses of a product term, the device configuration
// bits and the JTAG fuse.
//
//   const JedecFacts f(ReadFile("design.jed"));
//   EXPECT_EQ(f.S(48).substr(0, 3), "000");   // S0 S1 S2 of MC 48
//   EXPECT_TRUE(f.PtWritten(48, 2));           // PT 2 of MC 48

#include <memory>
#include <string>

#include "translate/BlockTarget.h"

namespace fusecvt::test {

class JedecFacts {
 public:
  explicit JedecFacts(const std::string& jedec);

  int macrocells() const { return image_ ? image_->geometry().macrocells : 0; }  // 0 for another file
  // S0..S23 of MC mc (counted from 1); '?'s for a macrocell the file lacks.
  std::string S(int mc) const;
  // S0 S1 S2 of MC mc.
  std::string Oe(int mc) const { return S(mc).substr(0, 3); }
  // The 96 fuses of product term pt (1..5) of MC mc: 16 foldback fuses, then
  // the 80 UIM-column fuses; empty when the file lacks the macrocell.
  std::string Term(int mc, int pt) const;
  // Whether the term was written: the file leaves out terms of all '0'.
  bool PtWritten(int mc, int pt) const { return Term(mc, pt).find('1') != std::string::npos; }
  // configBits index 0..31.
  std::string ConfigBits() const;
  // The second of the four special-purpose fuses; '?' when absent.
  char JtagFuse() const { return image_ ? image_->jtagBit : '?'; }

 private:
  std::unique_ptr<BlockTargetImage> image_;
};

}  // namespace fusecvt::test
