// Pin-outs of the source devices whose macrocells do not all reach a pin.
// One character per macrocell: 'x' has a pin, '.' has none.
#include "pof/PinOut.h"

#include <cstring>

namespace fusecvt {

namespace {

// The plain 7128 and 7128E by package: each LAB of the outer LABs (0, 2, 5,
// 7) and of the inner LABs (1, 3, 4, 6). The 160-pin pattern is also that of
// the 7128S family (and 7128AE, 3128A) in every package.
struct LabPins {
  int pinCount;
  const char* outer;
  const char* inner;
};
constexpr LabPins k7128Packages[] = {
    {84, "..x.xx.x..x.xx.x", "x.x.x..xx.x.x..x"},
    {100, "x.x.xx.xx.x.xx.x", "x.x.xx.xx.x.xx.x"},
    {160, "x.xxxx.xx.xxxx.x", "x.xxxx.xx.xxxx.x"},
};
constexpr const char* kLab7128S = k7128Packages[2].outer;

// The plain 7064 by package, MC 1 to MC 64 (84 and 100 pins: every macrocell).
struct DevicePins {
  int pinCount;
  const char* pins;
};
constexpr DevicePins k7064Packages[] = {
    {44, "x.xxx..x..x..x.xx.xxx..xx....x.xx.xxx..xx....x.xx.xxx..xx....x.x"},
    {68, "x.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.xx.xxxx.x"},
};

constexpr int Count(const char* pins) {
  int n = 0;
  for (; *pins; ++pins) n += *pins == 'x';
  return n;
}
constexpr int Ios(const LabPins& p) { return 4 * Count(p.outer) + 4 * Count(p.inner); }
// Each package lists as many pinned macrocells as it has I/O pins.
static_assert(Ios(k7128Packages[0]) == 64 && Ios(k7128Packages[1]) == 80 && Ios(k7128Packages[2]) == 96,
              "the 128-macrocell packages have 64, 80 and 96 I/O pins");
static_assert(Count(k7064Packages[0].pins) == 32 && Count(k7064Packages[1].pins) == 48,
              "the 7064 has 32 I/O pins in 44 pins, 48 in 68");

bool IsOuterLab(int lab) { return lab == 0 || lab == 2 || lab == 5 || lab == 7; }

bool Pinned(const char* pins, int index) {
  return index >= 0 && index < static_cast<int>(std::strlen(pins)) && pins[index] == 'x';
}

}  // namespace

bool HasIoPin(SourceKind kind, int pinCount, int m) {
  const int pos = m % 16;
  switch (kind) {
    case SourceKind::Max7064:
      for (const DevicePins& p : k7064Packages) {
        if (p.pinCount == pinCount) return Pinned(p.pins, m);
      }
      return pinCount == 84 || pinCount == 100;
    case SourceKind::Max7128:
    case SourceKind::Max7128E:
      for (const LabPins& p : k7128Packages) {
        if (p.pinCount == pinCount) return Pinned(IsOuterLab(m / 16) ? p.outer : p.inner, pos);
      }
      return false;
    case SourceKind::Max7128S:
    case SourceKind::Max7128AE:
    case SourceKind::Max3128A:
      return Pinned(kLab7128S, pos);
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
