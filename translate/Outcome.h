#pragma once
// What the run decided, apart from what the options asked: filled by the
// translation stages and the driver, read by the JEDEC writers and the
// closing summary of the report.

#include <array>

namespace fusecvt {

struct Outcome {
  bool ptClockConverted = false;  // a product-term clock became a pin clock
  bool pd1Refused = false;        // -pd1 asked, but the design uses the PD1 pin
  bool pd2Refused = false;
  bool tdiPullupRefused = false;  // a pull-up asked while JTAG pins serve the design
  bool tmsPullupRefused = false;
  bool jtagForcedOn = false;      // a pull-up switched JTAG mode on
  // -gclkN_itd asked, but the design reads GCLKN: its ITD stays enabled.
  std::array<bool, 3> itdKept{};
  bool securitySet = false;       // the security fuse set at the user's request
};

}  // namespace fusecvt
