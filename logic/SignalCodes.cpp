#include "logic/SignalCodes.h"

namespace fusecvt::logic {

namespace {
Signal Of(SignalType type, int mc = 0) { return Signal{type, mc, 0}; }
}  // namespace

Signal FromBlockCode(fusecvt::Signal code) {
  if (code.code == -4) return Of(SignalType::None);
  if (code.kind == -1) return Of(SignalType::Unmatched);
  if (code.kind == 2 && code.code > 0) return Of(SignalType::Feedback, code.code);
  if (code.kind == 0 && code.code > 0) return Of(SignalType::Pin, code.code);
  switch (code.code) {
    case -5: return Of(SignalType::Gclk1);
    case -2: return Of(SignalType::Gclk2);
    case -1: return Of(SignalType::Oe1);
    case -6: return Of(SignalType::Input4);
    default: return Of(SignalType::Unmatched);
  }
}

Signal From128Code(fusecvt::Signal code) {
  if (code.kind == -1) return Of(SignalType::Unmatched);
  if (code.kind == 1 && code.code > 0) return Of(SignalType::Feedback, code.code);
  if (code.kind != 0) return Of(SignalType::Unmatched);
  if (code.code >= 1 && code.code <= 128) return Of(SignalType::Pin, code.code);
  switch (code.code) {
    case 0: return Of(SignalType::None);
    case 130: return Of(SignalType::Gclk1);
    case 129: return Of(SignalType::Gclk2);
    case 132: return Of(SignalType::Oe1);
    case 131: return Of(SignalType::Input4);
    default: return Of(SignalType::Unmatched);
  }
}

}  // namespace fusecvt::logic
