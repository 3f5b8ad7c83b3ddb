#include "driver/Report.h"

#include <ostream>

#include "driver/Conversion.h"
#include "driver/TargetSet.h"
#include "driver/Text.h"
#include "driver/Version.h"

namespace fusecvt {

namespace {

// The target name the report gives each source kind; the first row whose word
// the source name contains decides. A null target keeps the device word (the
// plain 7032, whose target follows -device).
struct TargetNameRow {
  const char* source;
  const char* target;
};
constexpr TargetNameRow kTargetNames[] = {
    {"7032S", "QPL6032ES"},  {"7032A", "QPL6032ESL"}, {"3032", "QPL6032ESL"}, {"7032", nullptr},
    {"7064A", "QPL6064ESL"}, {"7064", "QPL6064ES"},   {"3064", "QPL6064ESL"}, {"7128A", "QPL6128ESL"},
    {"7128", "QPL6128ES"},   {"3128", "QPL6128ESL"},
};

void Line(std::ostream& out, const char* text) {
  out << text << '\n';
  out.flush();
}

void Line(std::ostream& out, const char* label, const char* value) {
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
  std::ostream& report = run.report();
  const bool is6000e = Contains(o.targetDeviceName, "6000e");
  const bool plain = IsPlainQpl6000Word(o.targetDeviceName);
  if (is6000e) {
    Line(report, "Options :  (6000E only)");
  } else if (plain) {
    Line(report, "Options :  (6000 only)");
  }
  Line(report, kPowerdown, OnOff(o.pd1));
  if (o.secure && plain) {
    Line(run.console, "Warning! This device does not support Security Bit, Igoring command line option.");
    Line(report, kSecurityBit, "OFF (Warning! This device does not support Security Bit!)");
  } else {
    Line(report, kSecurityBit, SecurityText(o.secure));
  }
  Line(report, kSlewRate, StateText(o.slew));
  Line(report, kPinClk, OnOff(o.ptClockConverted));
  Line(report, kRaceCoverage, OnOff(o.raceCover));
  if (is6000e) Line(report, kPinKeeper, OnOff(o.pinKeep));
}

void WriteBlockTargetSummary(Conversion& run) {
  const ConversionOptions& o = run.options;
  const std::string& source = run.pof.sourceDeviceName;
  std::ostream& report = run.report();
  if (Contains(source, "7128")) {
    Line(report, "Options :  (6128 only)");
  } else if (Contains(source, "7064")) {
    Line(report, "Options :  (6064 only)");
  } else if (Contains(source, "7032S") || Contains(source, "7032AE")) {
    Line(report, "Options :  (6032 only)");
  }
  Line(report, kPowerdown, PowerdownText(o.pd1, o.pd2));
  Line(report, kSecurityBit, SecurityText(o.secure));
  Line(report, kSlewRate, StateText(o.slew));
  Line(report, kPinClk, OnOff(o.ptClockConverted));
  Line(report, kRaceCoverage, OnOff(o.raceCover));
  Line(report, kPinKeeper, OnOff(o.pinKeep));
  Line(report, "   Macrocell Low Power:\t", StateText(o.mcPower));
  Line(report, "   Power Reset :\t", o.powerResetBit ? "ALWAYS" : "ONCE");
  Line(report, "   ITD on GCLK1 :\t", OnOff(o.gclk1Itd));
  Line(report, "   ITD on GCLK2 :\t", OnOff(o.gclk2Itd));
  Line(report, "   ITD on GCLK3 :\t", OnOff(o.gclk3Itd));
  Line(report, "   Open Collector :\t", StateText(o.openOut));
  Line(report, "   JTAG mode :\t\t", StateText(o.jtag));
  Line(report, "   TDI Pullup :\t\t", OnOff(o.tdiPullup));
  Line(report, "   TMS Pullup :\t\t", OnOff(o.tmsPullup));
}

}  // namespace

void WriteBanner(std::ostream& out, const std::string& programName) {
  out << kMakerName << ' ' << programName << ' ' << kVersionText << kBuildDate << '\n';
  out.flush();
  out << kRightsNotice << "\n\n";
  out.flush();
}

void WriteReportHeader(Conversion& run) {
  ConversionOptions& o = run.options;
  const std::string& source = run.pof.sourceDeviceName;
  std::ostream& report = run.report();

  std::string package = "!UNKNOWN_PACKAGE!";
  if (Contains(source, "L")) {
    package = "PLCC";
  } else if (Contains(source, "T")) {
    package = "TQFP";
  } else if (Contains(source, "Q")) {
    package = "PQFP";
  }

  std::string target = "UNKNOWN_DEVICE!";
  for (const TargetNameRow& row : kTargetNames) {
    if (!Contains(source, row.source)) continue;
    if (row.target) {
      target = row.target;
    } else {
      target = o.targetDeviceName;
      if (Contains(source, "Q")) package = "TQFP";
    }
    break;
  }

  if (!Contains(o.targetDeviceName, "unselected")) {
    target = o.targetDeviceName;
  } else if (Contains(target, "unselected")) {
    target = "QPL6000e";
    o.targetDeviceName = target;
  }

  const std::string conversion =
      "  " + source + " --> " + target + package + std::to_string(run.pof.pinCount) + "\n";
  for (std::ostream* out : {&run.console, &report}) {
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

  if (o.powerResetGiven == 0) {
    if (Contains(AsciiLower(target), "esl")) {
      o.powerResetBit = 0;
    } else if (o.targetDeviceGiven == 0) {
      for (std::ostream* out : {&run.console, &report}) {
        *out << "WARNING:  If conversion is for a low voltage device,\n"
             << "   please use the -power_reset option.\n\n";
        out->flush();
      }
    }
  }
}

void WriteSettingsSummary(Conversion& run) {
  static const char* const kBlockSources[] = {"7128", "7064", "7032S", "7032AE", "3032", "3064", "3128"};
  const std::string& source = run.pof.sourceDeviceName;
  bool blockTarget = false;
  for (const char* word : kBlockSources) blockTarget = blockTarget || Contains(source, word);
  if (!blockTarget && !Contains(source, "7032")) return;

  Line(run.report(), "");
  if (blockTarget) {
    WriteBlockTargetSummary(run);
  } else {
    WriteQpl6000Summary(run);
  }
}

}  // namespace fusecvt
