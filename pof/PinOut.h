#pragma once
// Which macrocells of a source device have an I/O pin in its package. A
// macrocell with a pin has an I/O record (ioConfig or outputEnable row); the
// records are kept in macrocell order, so the n-th pinned macrocell reads the
// n-th record.
#include <vector>

#include "pof/SourceKind.h"

namespace fusecvt {

// Whether macrocell m (counted from 0) of a `kind` device in a package of
// `pinCount` pins has an I/O pin. A package the kind is not made in gives
// none to the plain 7064, 7128 and 7128E, whose records follow the package.
bool HasIoPin(SourceKind kind, int pinCount, int m);

// The I/O record of each of the `macrocells` macrocells, -1 for none.
std::vector<int> IoRecordIndex(SourceKind kind, int macrocells, int pinCount);

}  // namespace fusecvt
