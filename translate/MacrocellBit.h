#pragma once
// The macrocell bits S0..S23 of the QPL6032, QPL6064 and QPL6128, by the role
// the conversion gives them. Product terms 1..5 are indexes 0..4.

namespace fusecvt {

enum MacrocellBit : int {
  kOutputSelect = 0,        // S0 S1 S2: 1 + the GOE that enables the output; 000 never, 111 always
  kOutputSelectBits = 3,
  kCombinationalBit = 3,    // S3: '1' the output bypasses the register, '0' registered
  kTerm2OptionBit = 4,      // S4: with S3 and S13, whether product term 2 is in use
  kTermClockBit = 5,        // S5: '1' product term 4 clocks the register, '0' a global clock
  kFoldbackModeBit = 6,     // S6, S10, S11: how product terms 1 and 2 reach the block's
  kFoldbackLowBit = 10,     //   foldback lines; S11 is cleared when another term reads the
  kFoldbackHighBit = 11,    //   macrocell's foldback line (S6 '1', S10 '0')
  kClockSelectBit = 7,      // S7: '1' the first global clock line, '0' the second
  kLowPowerBit = 8,         // S8: -mc_power
  kTerm1ToSumBit = 9,       // S9, S13, S16, S12: '0' product term 1, 2, 3, 4 goes into the
  kTerm2ToSumBit = 13,      //   macrocell's sum; with S12 '1', product term 4 is still in use
  kTerm3ToSumBit = 16,      //   on a registered macrocell with a global clock (S3, S5 '0')
  kTerm4ToSumBit = 12,
  kRegisterOptionBit = 14,  // S14, S15: register options the pin-in-use test reads
  kRegisterOption2Bit = 15,
  kFixedBit17 = 17,         // S17 and S23: '1' in every converted file
  kCombinationalCopyBit = 18,  // S18: the source's S3 bit, when it is '0' or '1'
  kClockSelectCopyBit = 19, // S19: written with S7
  kOpenCollectorBit = 20,   // S20: -open_out
  kTermsInUseBit = 21,      // S21: '0' when a product term of the macrocell is in use
  kSlewBit = 22,            // S22: -slew
  kFixedBit23 = 23,
  kMacrocellBits = 24,
};

// Product term 4, which can clock the register.
inline constexpr int kClockTerm = 3;

}  // namespace fusecvt
