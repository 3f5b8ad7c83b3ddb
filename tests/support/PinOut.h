#pragma once
// Facts of the plain parts' pin-outs: which macrocells have an I/O pin in a
// package. The POF builder counts a package's I/O pins from them and the
// end-to-end tests check the pins each device has against them.

#include <algorithm>
#include <vector>

namespace fusecvt::test {

// Macrocells (from 1) of the plain 7064 without an I/O pin: the 44-pin PLCC
// bonds out 32 macrocells, the 68-pin PLCC 48 (not the macrocells at
// positions 1, 6, 9 and 14 of each block of 16), the 84- and 100-pin
// packages all 64.
inline std::vector<int> NoPin7064(int pins) {
  if (pins == 44) {
    return {2,  6,  7,  9,  10, 12, 13, 15, 18, 22, 23, 26, 27, 28, 29, 31,
            34, 38, 39, 42, 43, 44, 45, 47, 50, 54, 55, 58, 59, 60, 61, 63};
  }
  std::vector<int> none;
  for (int block = 0; pins == 68 && block < 4; ++block) {
    for (int position : {1, 6, 9, 14}) none.push_back(16 * block + position + 1);
  }
  return none;
}

// Whether MC mc (from 1) of the plain 7128 or the 7128E has a pin in the 84-,
// 100- or 160-pin package: by its position in its LAB of 16, for LABs 0, 2,
// 5, 7 (outer) and for LABs 1, 3, 4, 6 (inner).
inline bool Pin7128(int pins, int mc) {
  const int lab = (mc - 1) / 16, position = (mc - 1) % 16;
  const bool outer = lab == 0 || lab == 2 || lab == 5 || lab == 7;
  const std::vector<int> positions =
      pins == 84    ? (outer ? std::vector<int>{2, 4, 5, 7, 10, 12, 13, 15} : std::vector<int>{0, 2, 4, 7, 8, 10, 12, 15})
      : pins == 100 ? std::vector<int>{0, 2, 4, 5, 7, 8, 10, 12, 13, 15}
                    : std::vector<int>{0, 2, 3, 4, 5, 7, 8, 10, 11, 12, 13, 15};
  return std::find(positions.begin(), positions.end(), position) != positions.end();
}

// I/O pins of a plain 7064 or plain 7128 / 7128E package: its macrocells
// with a pin; a package the part does not come in counts one.
inline int PlainIoPins(bool plain7128, int pins) {
  if (plain7128) {
    if (pins != 84 && pins != 100 && pins != 160) return 1;
    int n = 0;
    for (int mc = 1; mc <= 128; ++mc) n += Pin7128(pins, mc);
    return n;
  }
  return pins == 44 || pins == 68 || pins == 84 || pins == 100 ? 64 - static_cast<int>(NoPin7064(pins).size()) : 1;
}

}  // namespace fusecvt::test
