// Stage 4 of the block targets: the device options into the configuration
// bits and the JTAG bit, in a fixed order of steps.
#include <algorithm>
#include <string>

#include "translate/BlockTranslation.h"

namespace fusecvt {

namespace {

// The configuration bits (configBits) the options set; a set option writes '0'
// unless said otherwise.
enum ConfigBit : int {
  kPowerResetBit = 6,   // small power-up reset hysteresis when '1'
  kTdiPullupBit = 7,
  kTmsPullupBit = 8,
  kGclk3ItdBit = 9,     // ITD wake-up of each global clock pin ('1': disabled)
  kGclk2ItdBit = 10,
  kGclk1ItdBit = 11,
  kGlobalClockBits = 15,  // six bits of the global clock configuration
  kPd2Bit = 28,
  kPd1Bit = 29,
  kPinKeeperBit = 30,
};

void WriteStars(TextOut& out, int count) { out << std::string(static_cast<std::size_t>(count), '*') << '\n'; }

void ClearOutputSelect(BlockTargetImage& t, int m) {
  char* s = t.mcBits.row(m) + kOutputSelect;
  std::fill(s, s + kOutputSelectBits, '0');
}

bool AnyJtagFlag(const PinUseFlags& f) {
  return f.tdiPinUsed || f.tmsPinUsed || f.tckPinUsed || f.tdoPinUsed;
}

void RefusePowerDown(const StageContext& run, bool pd2, const std::string& pin) {
  const char* name = pd2 ? "PD2" : "PD1";
  for (int pass = 0; pass < 2; ++pass) {
    TextOut& out = pass == 0 ? run.messages.console : run.messages.report();
    const int stars = pass == 0 ? 67 : 68;
    WriteStars(out, stars);
    out << '-' << name << ": Error! Pin " << pin << " for " << name << " is used in your logic function.\n"
        << "             " << name << " option cannot be enabled.\n";
    WriteStars(out, stars);
  }
}

void RefusePullup(const StageContext& run, const char* name) {
  for (int pass = 0; pass < 2; ++pass) {
    TextOut& out = pass == 0 ? run.messages.console : run.messages.report();
    WriteStars(out, 79);
    out << '-' << name << ": Error! Some or all four JTAG pins are used in your logic function.\n"
        << "                    " << name << " option cannot be enabled.\n";
    WriteStars(out, 79);
  }
}

void WarnJtagOn(const StageContext& run) {
  for (int pass = 0; pass < 2; ++pass) {
    TextOut& out = pass == 0 ? run.messages.console : run.messages.report();
    out << "WARNING: (-JTAG ON) Some JTAG pins appear to be used for I/O pins in\n"
        << (pass == 0 ? "   this design.  If these pins are used for I/O in the design, use the \n"
                      : "   this design.  If these pins are used for I/O in the design, use the  \n")
        << "   -JTAG OFF option.\n\n";
  }
}

void ApplyGlobalClocks(BlockTargetImage& t, const StageContext& run, const DeviceOptionPlan& plan) {
  if (plan.clockCode < 0) return;
  if (const char* bits = GlobalClockBits(plan.clockCode)) {
    for (int i = 0; i < 6; ++i) {
      if (bits[i] != '-') t.configBits.at(kGlobalClockBits + i) = bits[i];
    }
  } else if (plan.illegalClockText) {
    run.messages.console << plan.illegalClockText;
  }
}

void ApplyOePolarity(BlockTargetImage& t, const SourceImage& source, const DeviceOptionPlan& plan) {
  if (plan.oePolarityChar < 0 || source.oePia.empty() || plan.oePolarityChar >= source.oePia.dim1()) return;
  for (int r = 0; r < 6 && r < source.oePia.dim0(); ++r) {
    if (source.oePia.at(r, plan.oePolarityChar) == '0') t.configBits.at(plan.oePolarityBit[static_cast<std::size_t>(r)]) = '1';
  }
}

void ApplyPowerDown(BlockTargetImage& t, const StageContext& run, const SpecialPins& pins) {
  const PinUseFlags& f = t.pinUse;
  const struct {
    int option;
    bool* refused;
    int used;
    int mc;
    int bit;
    bool pd2;
  } powerDown[] = {{run.options.pd1, &run.outcome.pd1Refused, f.pd1PinUsed, pins.pd1, kPd1Bit, false},
                   {run.options.pd2, &run.outcome.pd2Refused, f.pd2PinUsed, pins.pd2, kPd2Bit, true}};
  for (const auto& pd : powerDown) {
    if (pd.option != 1) continue;
    if (pd.used) {
      RefusePowerDown(run, pd.pd2, PowerDownPinText(run.device, pd.pd2));
      *pd.refused = true;
    } else {
      ClearOutputSelect(t, pd.mc);
      t.configBits.at(pd.bit) = '0';
    }
  }
}

void ApplyJtagMode(BlockTargetImage& t, const StageContext& run, const SourceImage& source,
                   const DeviceOptionPlan& plan) {
  if (run.options.jtag == AUTO) {
    if (plan.jtagAuto == JtagAutoFrom::kJtagBit) {
      t.jtagBit = source.jtagBit;
    } else if (plan.jtagAuto == JtagAutoFrom::kUnknownBit && plan.jtagAutoIndex >= 0 &&
               static_cast<std::size_t>(plan.jtagAutoIndex) < source.unknownBits.size()) {
      t.jtagBit = source.unknownBits.at(plan.jtagAutoIndex);
    }
  } else if (run.options.jtag == ON) {
    t.jtagBit = '1';
    if (AnyJtagFlag(t.pinUse)) WarnJtagOn(run);
  }
}

// TDI and TMS pull-ups need JTAG mode: granted (switching it on) while no
// JTAG pin serves the design or -jtag on was given, refused otherwise.
void ApplyPullups(BlockTargetImage& t, const StageContext& run) {
  const ConversionOptions& o = run.options;
  if (o.tdiPullup != 1 && o.tmsPullup != 1) return;
  if (o.jtag == ON || !AnyJtagFlag(t.pinUse)) {
    if (o.tdiPullup == 1) t.configBits.at(kTdiPullupBit) = '0';
    if (o.tmsPullup == 1) t.configBits.at(kTmsPullupBit) = '0';
    if (o.jtag != ON) {
      t.jtagBit = '1';
      run.outcome.jtagForcedOn = true;
    }
    return;
  }
  if (o.tdiPullup == 1) {
    RefusePullup(run, "TDI_pullup");
    run.outcome.tdiPullupRefused = true;
  }
  if (o.tmsPullup == 1) {
    RefusePullup(run, "TMS_pullup");
    run.outcome.tmsPullupRefused = true;
  }
}

}  // namespace

char ApplyItd(const StageContext& run, int used, int clock) {
  const int asked = clock == 0 ? run.options.gclk1Itd : clock == 1 ? run.options.gclk2Itd : run.options.gclk3Itd;
  const std::string name = "GCLK" + std::to_string(clock + 1);
  if (used) {
    if (asked == 0) {
      run.messages.console << '\n'
                           << name << " ITD setting override: (ignore user request to disable)\n"
                           << name << " pin is used as a logic input so ITD wake-up enable is required\n\n";
      run.outcome.itdKept[static_cast<std::size_t>(clock)] = true;
    }
    return '0';
  }
  if (asked == 0) {
    run.messages.console << " ITD Disabled, activity on " << name << " dose not cause a part wake-up\n";
    return '1';
  }
  return '0';
}

const char* GlobalClockBits(int g) {
  static const char* const kBits[8] = {nullptr,  "010110", "011111", "---110",
                                       "010111", "011110", "010011", nullptr};
  return g >= 0 && g < 8 ? kBits[g] : nullptr;
}

void ApplyDeviceOptionPlan(BlockTargetImage& t, const StageContext& run, const SourceImage& source,
                           const DeviceOptionPlan& plan) {
  const PinUseFlags& f = t.pinUse;
  FuseArray& cfg = t.configBits;
  if (run.options.powerResetBit == 0) cfg.at(kPowerResetBit) = '0';
  ApplyGlobalClocks(t, run, plan);
  cfg.at(kGclk1ItdBit) = ApplyItd(run, f.gclk1TrueUsed || f.gclk1ComplementUsed, 0);
  cfg.at(kGclk2ItdBit) = ApplyItd(run, f.gclk2TrueUsed || f.gclk2ComplementUsed, 1);
  cfg.at(kGclk3ItdBit) = ApplyItd(run, f.gclk3Used, 2);
  ApplyOePolarity(t, source, plan);
  ApplyPowerDown(t, run, *plan.pins);
  if (run.options.pinKeep == 1) cfg.at(kPinKeeperBit) = '0';
  ApplyJtagMode(t, run, source, plan);
  ApplyPullups(t, run);
  // The JTAG pins serve the port.
  if (t.jtagBit == '1') {
    for (int mc : plan.pins->jtagCleared) ClearOutputSelect(t, mc);
  }
  // User signature.
  if (plan.copyUes && source.ues.size() >= 16) {
    for (int i = 0; i < 16; ++i) t.uesBits.at(i) = source.ues.at(i);
  }
}

}  // namespace fusecvt
