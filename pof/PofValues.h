#pragma once
// Values the POF reader derives from the file and that later steps read.

#include <cstdint>
#include <string>

namespace fusecvt {

struct PofValues {
  std::string sourceDeviceName;  // Device_Name text, upper-cased; empty until read
  int pinCount = 0;              // 44, 68, 84, 100 or 160 once a device is read
  std::string packageName;       // "TQFP", "PLCC", "PQFP" or "unknown"
  // Highest-reached programmed fuse address below the decoder's counted
  // limit; -1 while no programmed fuse has been decoded.
  std::int32_t lastProgrammedAddress = -1;
};

}  // namespace fusecvt
