#pragma once
// Small helpers for the QPL6000 tests: a run with captured output, a plain
// 7032 source image, and product terms written as lists of connected columns.

#include <ctime>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "pof/SourceImage.h"
#include "qpl6000/Qpl6000.h"

namespace fusecvt::test {

struct CapturedRun {
  std::ostringstream console;
  std::ostringstream error;
  Conversion run{console, error, Clock::Fixed(std::tm{})};
};

inline std::unique_ptr<SourceImage> Plain7032() { return MakeSourceImage(SourceKind::Max7032); }

// Sets a product term to '1' everywhere except the given columns.
inline void SetTerm(Qpl6000& q, int mc, int pt, std::initializer_list<int> zeros) {
  for (int c = 0; c < 152; ++c) q.ptFuses.at(mc, pt, c) = '1';
  for (int c : zeros) q.ptFuses.at(mc, pt, c) = '0';
}
inline void SetTermAll(Qpl6000& q, int mc, int pt, char value) {
  for (int c = 0; c < 152; ++c) q.ptFuses.at(mc, pt, c) = value;
}

// The columns of a product term that hold '0'.
inline std::vector<int> Zeros(const Qpl6000& q, int mc, int pt) {
  std::vector<int> out;
  for (int c = 0; c < 152; ++c) {
    if (q.ptFuses.at(mc, pt, c) == '0') out.push_back(c);
  }
  return out;
}
inline bool AllOf(const Qpl6000& q, int mc, int pt, char value) {
  for (int c = 0; c < 152; ++c) {
    if (q.ptFuses.at(mc, pt, c) != value) return false;
  }
  return true;
}

// The 16 configuration bits of a macrocell, bit 0 first.
inline std::string Bits(const Qpl6000& q, int mc) { return std::string(q.mcBits.row(mc), 16); }
inline void SetBits(Qpl6000& q, int mc, const std::string& bits) {
  for (int i = 0; i < 16; ++i) q.mcBits.at(mc, i) = bits[static_cast<std::size_t>(i)];
}

}  // namespace fusecvt::test
