#pragma once
// Which special pins and dedicated inputs the design uses. One record per
// target image; written by the product-term and macrocell stages, read by the
// macrocell and option stages.

namespace fusecvt {

struct PinUseFlags {
  int pd1PinUsed = 0;
  int pd2PinUsed = 0;
  int tdiPinUsed = 0;
  int tmsPinUsed = 0;
  int tckPinUsed = 0;
  int tdoPinUsed = 0;
  int gclk1TrueUsed = 0;
  int gclk1ComplementUsed = 0;
  int gclk2TrueUsed = 0;
  int gclk2ComplementUsed = 0;
  int gclk3Used = 0;
};

}  // namespace fusecvt
