#pragma once
// Reads a JEDEC fuse file back: the QF fuse count, the F default, the L fuse
// lists and the C fuse checksum (checked). Notes, vectors and the other fields
// are passed over. The fuse count tells which target the file is for.

#include <string>

namespace fusecvt {

struct JedecFuses {
  std::string error;  // why the file cannot be used; empty when it can
  bool ok() const { return error.empty(); }
  long fuseCount = 0;
  std::string fuses;  // fuseCount characters '0' / '1'
};

// Parses the bytes of a JEDEC file (STX and ETX optional).
JedecFuses ParseJedec(const std::string& bytes);
// The same for a file on disk.
JedecFuses ReadJedecFuses(const std::string& path);

}  // namespace fusecvt
