#pragma once
// Values the POF reader derives from the file and that later steps read.

#include <cstdint>

#include "pof/DeviceCatalogue.h"

namespace fusecvt {

struct PofValues {
  DeviceRecord device;  // the Device_Name packet, read; empty name until read
  // Highest-reached programmed fuse address below the decoder's counted
  // limit; -1 while no programmed fuse has been decoded.
  std::int32_t lastProgrammedAddress = -1;
};

}  // namespace fusecvt
