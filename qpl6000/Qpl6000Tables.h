#pragma once
// Column layout of the QPL6000 product terms and the source PIA signals of a
// plain 7032 as the QPL6000 sees them.

namespace fusecvt::qpl6000 {

// The columns of one device pin (-1: the pin has none of that kind).
struct PinColumns {
  int pin;
  int pinTrue;
  int pinComplement;
  int feedbackTrue;        // feedback of the macrocell at this pin
  int feedbackComplement;
  int foldback;            // foldback term of the macrocell at this pin
};
// Pin 0 first, then the device pins in ascending order.
extern const PinColumns kPinColumns[37];

// What a source PIA row carries for a 2-bit selection code: a pin's input, or
// the feedback of the macrocell at a pin.
struct PiaSignal {
  bool feedback;
  int pin;
};
extern const PiaSignal kPiaTable[36][4];

// I/O pin of macrocells 1..32.
extern const int kIoPin[32];

}  // namespace fusecvt::qpl6000
