// Pin-outs of the source devices whose macrocells do not all reach a pin.
// One character per macrocell: 'x' has a pin, '.' has none.
#include "pof/PinOut.h"

#include <cstring>

namespace fusecvt {

namespace {

// The 7128S family (also 7128AE and 3128A) in every package, and the plain
// 7128 and 7128E in 160 pins: every LAB alike.
constexpr char kLab160[] = "x.xxxx.xx.xxxx.x";
// The plain 7128 and 7128E in 100 pins: every LAB alike.
constexpr char kLab100[] = "x.x.xx.xx.x.xx.x";
// The plain 7128 and 7128E in 84 pins: LABs 0, 2, 5, 7 (outer) and 1, 3, 4, 6.
constexpr char kLab84Outer[] = "..x.xx.x..x.xx.x";
constexpr char kLab84Inner[] = "x.x.x..xx.x.x..x";
// The plain 7064 in 44 and 68 pins, MC 1 to MC 64.
constexpr char k7064In44[] = "x.xxx..x..x..x.xx.xxx..xx....x.xx.xxx..xx....x.xx.xxx..xx....x.x";
constexpr char k7064In68[] = "x.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.x";

constexpr int Count(const char* pins) {
  int n = 0;
  for (; *pins; ++pins) n += *pins == 'x';
  return n;
}
// I/O pins of each package: 8 LABs of the 128-macrocell parts, four of them
// outer, and the plain 7064's 64 macrocells.
static_assert(8 * Count(kLab160) == 96, "160 pins: 96 I/O");
static_assert(8 * Count(kLab100) == 80, "100 pins: 80 I/O");
static_assert(4 * Count(kLab84Outer) + 4 * Count(kLab84Inner) == 64, "84 pins: 64 I/O");
static_assert(Count(k7064In44) == 32 && Count(k7064In68) == 48, "44 pins: 32 I/O, 68 pins: 48");

bool IsOuterLab(int lab) { return lab == 0 || lab == 2 || lab == 5 || lab == 7; }

bool Pinned(const char* pins, int index) {
  return index >= 0 && index < static_cast<int>(std::strlen(pins)) && pins[index] == 'x';
}

}  // namespace

bool HasIoPin(SourceKind kind, int pinCount, int m) {
  const int pos = m % 16;
  switch (kind) {
    case SourceKind::Max7064:
      if (pinCount == 44) return Pinned(k7064In44, m);
      if (pinCount == 68) return Pinned(k7064In68, m);
      return pinCount == 84 || pinCount == 100;
    case SourceKind::Max7128:
    case SourceKind::Max7128E:
      if (pinCount == 84) return Pinned(IsOuterLab(m / 16) ? kLab84Outer : kLab84Inner, pos);
      if (pinCount == 100) return Pinned(kLab100, pos);
      return pinCount == 160 && Pinned(kLab160, pos);
    case SourceKind::Max7128S:
    case SourceKind::Max7128AE:
    case SourceKind::Max3128A:
      return Pinned(kLab160, pos);
    default:
      return true;
  }
}

std::vector<int> IoRecordIndex(SourceKind kind, int macrocells, int pinCount) {
  std::vector<int> records(static_cast<std::size_t>(macrocells), -1);
  int next = 0;
  for (int m = 0; m < macrocells; ++m) {
    if (HasIoPin(kind, pinCount, m)) records[static_cast<std::size_t>(m)] = next++;
  }
  return records;
}

}  // namespace fusecvt
