#pragma once
// Facts read back from a JEDEC file of the QPL6032, QPL6064 or QPL6128 by its
// own notes, not by any table of the product: the S bits of a macrocell from
// the labelled pair lines of the macrocell area, whether a product term was
// written ("NOTE PT p of MC m(LAB X)"), the device configuration bits and the
// JTAG fuse.
//
//   const JedecFacts f(ReadFile("design.jed"));
//   EXPECT_EQ(f.S(48).substr(0, 3), "000");   // S0 S1 S2 of MC 48
//   EXPECT_TRUE(f.PtWritten(48, 2));           // PT 2 of MC 48

#include <string>
#include <vector>

namespace fusecvt::test {

class JedecFacts {
 public:
  explicit JedecFacts(const std::string& jedec);

  int macrocells() const { return macrocells_; }  // 32, 64 or 128; 0 for another file
  // S0..S23 of MC mc (counted from 1); '?' for a bit no line gave.
  std::string S(int mc) const;
  // S0 S1 S2 of MC mc.
  std::string Oe(int mc) const { return S(mc).substr(0, 3); }
  // Whether product term pt (1..5) of MC mc was written (it holds a '1').
  bool PtWritten(int mc, int pt) const;
  // The select fuses of UIM line `line` (0..39) of block `block` (0 = A),
  // index 0 first (the 32-macrocell file writes them from index 0, the others
  // from the last index down); empty when the file has no such line.
  std::string Uim(int block, int line) const;
  // configBits index 0..31 (the file writes them from index 31 down).
  std::string ConfigBits() const { return config_; }
  // The second of the four special-purpose fuses; '?' when absent.
  char JtagFuse() const { return jtag_; }

 private:
  std::string text_;
  int macrocells_ = 0;
  std::vector<std::string> bits_;  // per MC (index mc - 1)
  std::vector<std::string> uim_;   // per block * 40 + line
  std::string config_;
  char jtag_ = '?';
};

}  // namespace fusecvt::test
