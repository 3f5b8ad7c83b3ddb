#pragma once
// An independent JEDEC fuse-file reader for the tests, written from the
// format's rules rather than from any writer: it parses the bytes of a file
// (STX ... ETX and the transmission checksum), checks their syntax and
// collects what they say. It needs nothing but the standard library, so the
// conversion fuzzer checks its files with the same reader (jedutil, a second,
// outside reader, is wrapped in Jedutil.h).
//
//   JedecReadResult r = ReadJedec(bytes);
//   EXPECT_TRUE(r.ok()) << r.ErrorText();
//   EXPECT_EQ(r.fuses[15376], '0');

#include <cstdint>
#include <string>
#include <vector>

namespace fusecvt::test {

struct JedecFuseList {  // one L field
  long address = 0;
  long count = 0;  // fuses it holds
};

struct JedecVector {  // one V field
  long number = 0;
  std::string text;  // what follows the one blank after the number, up to '*'
};

struct JedecReadResult {
  // Everything found wrong, in file order; empty for a well-formed file.
  std::vector<std::string> errors;
  bool ok() const { return errors.empty(); }
  std::string ErrorText() const {  // the errors, one a line
    std::string text;
    for (const std::string& e : errors) text += e + "\n";
    return text;
  }

  long fuseCount = -1;    // QF; -1 when absent
  long pinCount = -1;     // QP; -1 when absent
  long defaultFuse = -1;  // F0 / F1: 0 or 1; -1 when absent
  // fuseCount characters '0'/'1': the L fields' fuses, all others the F
  // default ('0' when there is no F field).
  std::string fuses;
  std::vector<bool> written;  // which fuses some L field named
  std::vector<JedecFuseList> fuseLists;
  bool hasChecksum = false;       // C field present
  unsigned fileChecksum = 0;      // its value
  unsigned computedChecksum = 0;  // recomputed over `fuses`
  long vectorCount = -1;          // QV; -1 when absent
  std::vector<JedecVector> vectors;
};

// Parses the bytes of a JEDEC file.
JedecReadResult ReadJedec(const std::string& bytes);
// The same for a file; an unreadable or empty file gives one error.
JedecReadResult ReadJedecFile(const std::string& path);

// The JEDEC fuse checksum of a fuse string: the sum modulo 65536 of 8-fuse
// words in address order, the lowest-addressed fuse as the least significant
// bit, a last partial word filled with 0.
std::uint16_t JedecChecksumOf(const std::string& fuses);

}  // namespace fusecvt::test
