#pragma once
// What the QPL6064 stages know of the plain 7064's packages.

#include <vector>

namespace fusecvt::qpl6064 {

// The plain 7064 keeps one output-enable record per bonded-out I/O pin:
// index[m] is the record of macrocell m (-1: no pin, or no record for this
// pin count), count the number of records the design holds (32 for 44 pins,
// 48 for 68, 64 for 84 and 100, none for any other count).
struct PlainPinRecords {
  std::vector<int> index;
  int count = 0;
};
PlainPinRecords PlainPinRecordsOf(int pinCount);

}  // namespace fusecvt::qpl6064
