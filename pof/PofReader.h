#pragma once
// Reads a POF: a 12-byte header and tagged, length-prefixed packets. Fills the
// source image set, the POF values and the fuse image of the source device.

#include <optional>

namespace fusecvt {

struct Conversion;

struct LoadStatus {
  int result = 0;                 // 0: read to its end; 1: stopped early
  std::optional<int> exitStatus;  // set when the run must end now (1: cannot
                                  // open; 2: blank or secured part)
};

class PofReader {
 public:
  explicit PofReader(Conversion& run);
  // Reads the file named by run.options.inputFileName (appending ".pof" when
  // its last path component holds no '.').
  LoadStatus Load();

 private:
  Conversion& run_;
};

}  // namespace fusecvt
