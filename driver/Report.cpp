#include "driver/Report.h"


#include "driver/Conversion.h"
#include "driver/TargetSet.h"
#include "pof/Text.h"
#include "driver/Version.h"

namespace fusecvt {

namespace {

void Line(TextOut& out, const char* text) {
  out << text << '\n';
  out.flush();
}

void Line(TextOut& out, const char* label, const char* value) {
  out << label << value << '\n';
  out.flush();
}

const char* OnOff(int value) { return value ? "ON" : "OFF"; }

const char* StateText(OptionState state) {
  switch (state) {
    case AUTO: return "AUTO";
    case SLOW: return "SLOW";
    case FAST: return "FAST";
    case ON: return "ON";
    case OFF: return "OFF";
    case UNSET: return "UNSET";
  }
  return "UNSET";
}

const char* SecurityText(int secure) { return secure ? "ON" : "AUTO"; }

const char* PowerdownText(int pd1, int pd2) {
  if (pd1 && pd2) return "PD1 & PD2";
  if (pd1) return "PD1";
  if (pd2) return "PD2";
  return "OFF";
}

constexpr char kPowerdown[] = "   Powerdown :\t\t";
constexpr char kSecurityBit[] = "   Security Bit :\t";
constexpr char kSlewRate[] = "   Slew Rate :\t\t";
constexpr char kPinClk[] = "   PinClk :\t\t";
constexpr char kRaceCoverage[] = "   Race Coverage :\t";
constexpr char kPinKeeper[] = "   Pin Keeper :\t\t";

void WriteQpl6000Summary(Conversion& run) {
  const ConversionOptions& o = run.options;
  TextOut& report = run.report();
  const bool is6000e = Contains(o.targetDeviceName, "6000e");
  const bool plain = IsPlainQpl6000Word(o.targetDeviceName);
  if (is6000e) {
    Line(report, "Options :  (6000E only)");
  } else if (plain) {
    Line(report, "Options :  (6000 only)");
  }
  Line(report, kPowerdown, OnOff(o.pd1 && !run.outcome.pd1Refused));
  if (o.secure && plain) {
    Line(run.console, "Warning! This device does not support Security Bit, Igoring command line option.");
    Line(report, kSecurityBit, "OFF (Warning! This device does not support Security Bit!)");
  } else {
    Line(report, kSecurityBit, SecurityText(o.secure));
  }
  Line(report, kSlewRate, StateText(o.slew));
  Line(report, kPinClk, OnOff(run.outcome.ptClockConverted));
  Line(report, kRaceCoverage, OnOff(o.raceCover));
  if (is6000e) Line(report, kPinKeeper, OnOff(o.pinKeep));
}

void WriteBlockTargetSummary(Conversion& run) {
  const ConversionOptions& o = run.options;
  TextOut& report = run.report();
  if (const char* heading = run.pof.device.variant->summaryHeading) {
    report << "Options :  (" << heading << " only)\n";
    report.flush();
  }
  const Outcome& done = run.outcome;
  Line(report, kPowerdown, PowerdownText(o.pd1 && !done.pd1Refused, o.pd2 && !done.pd2Refused));
  Line(report, kSecurityBit, SecurityText(o.secure));
  Line(report, kSlewRate, StateText(o.slew));
  Line(report, kPinClk, OnOff(done.ptClockConverted));
  Line(report, kRaceCoverage, OnOff(o.raceCover));
  Line(report, kPinKeeper, OnOff(o.pinKeep));
  Line(report, "   Macrocell Low Power:\t", StateText(o.mcPower));
  Line(report, "   Power Reset :\t", o.powerResetBit ? "ALWAYS" : "ONCE");
  Line(report, "   ITD on GCLK1 :\t", OnOff(o.gclk1Itd || done.itdKept[0]));
  Line(report, "   ITD on GCLK2 :\t", OnOff(o.gclk2Itd || done.itdKept[1]));
  Line(report, "   ITD on GCLK3 :\t", OnOff(o.gclk3Itd || done.itdKept[2]));
  Line(report, "   Open Collector :\t", StateText(o.openOut));
  Line(report, "   JTAG mode :\t\t", StateText(done.jtagForcedOn ? ON : o.jtag));
  Line(report, "   TDI Pullup :\t\t", OnOff(o.tdiPullup && !done.tdiPullupRefused));
  Line(report, "   TMS Pullup :\t\t", OnOff(o.tmsPullup && !done.tmsPullupRefused));
}

}  // namespace

void WriteBanner(TextOut& out, const std::string& programName) {
  out << kMakerName << ' ' << programName << ' ' << kVersionText << kBuildDate << '\n';
  out.flush();
  out << kRightsNotice << "\n\n";
  out.flush();
}

std::string ReportTargetName(const DeviceRecord& device, const ConversionOptions& options) {
  if (!Contains(options.targetDeviceName, "unselected")) return options.targetDeviceName;
  if (!device.variant) return "UNKNOWN_DEVICE!";
  return device.variant->reportTarget ? device.variant->reportTarget : "QPL6000e";
}

void ResolveTargetDefaults(const DeviceRecord& device, ConversionOptions& options) {
  const std::string target = ReportTargetName(device, options);
  if (Contains(options.targetDeviceName, "unselected") && target == "QPL6000e") {
    options.targetDeviceName = target;
  }
  if (options.powerResetGiven == 0 && Contains(AsciiLower(target), "esl")) options.powerResetBit = 0;
}

void WriteReportHeader(Conversion& run) {
  const ConversionOptions& o = run.options;
  TextOut& report = run.report();
  const DeviceRecord& device = run.pof.device;
  const std::string& source = device.name;
  const std::string target = ReportTargetName(device, o);

  const std::string conversion = "  " + source + " --> " + target + device.reportPackage +
                                 std::to_string(device.pinCount) + "\n";
  for (TextOut* out : {&run.console, &report}) {
    *out << conversion;
    out->flush();
  }

  run.console << "Input file      \t: " << o.inputFileName << '\n'
              << "Output file     \t: " << o.outputFileName << '\n'
              << "Conversion Report file\t: " << o.reportFileName << "\n\n";
  run.console.flush();
  Line(report, "Input file                : ", o.inputFileName.c_str());
  Line(report, "Output file               : ", o.outputFileName.c_str());
  Line(report, "Conversion Report file    : ", o.reportFileName.c_str());
  Line(report, "");

  if (o.powerResetGiven == 0 && !Contains(AsciiLower(target), "esl")) {
    if (o.targetDeviceGiven == 0) {
      for (TextOut* out : {&run.console, &report}) {
        *out << "WARNING:  If conversion is for a low voltage device,\n"
             << "   please use the -power_reset option.\n\n";
        out->flush();
      }
    }
  }
}

void WriteSettingsSummary(Conversion& run) {
  const SourceVariant* variant = run.pof.device.variant;
  if (!variant) return;
  Line(run.report(), "");
  if (variant->summary == SummaryKind::kBlockTarget) {
    WriteBlockTargetSummary(run);
  } else {
    WriteQpl6000Summary(run);
  }
}

}  // namespace fusecvt
