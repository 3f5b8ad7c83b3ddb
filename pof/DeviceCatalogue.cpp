#include "pof/DeviceCatalogue.h"

#include <array>
#include <cctype>

#include "pof/Text.h"

namespace fusecvt {

namespace {

// PD1 and PD2 package pins of the source families.
const std::vector<PowerDownPins> k32Pins = {{44, "PLCC", 11, 25}, {44, "TQFP", 5, 19}};
const std::vector<PowerDownPins> kPlain32Pins = {
    {44, "PLCC", 11, 25}, {44, "TQFP", 5, 19}, {68, nullptr, 17, 37}, {84, nullptr, 20, 46}, {100, nullptr, 14, 44}};
const std::vector<PowerDownPins> k64Pins = {{44, "PLCC", 11, 25}, {44, "TQFP", 5, 19}, {100, nullptr, 14, 44}};
const std::vector<PowerDownPins> kPlain64Pins = kPlain32Pins;
const std::vector<PowerDownPins> k128Pins = {{84, nullptr, 12, 45}, {100, nullptr, 3, 43}, {160, nullptr, 159, 63}};

using K = SourceKind;
using T = TargetFamily;
constexpr SummaryKind kBlock = SummaryKind::kBlockTarget;

// Ordered: the more specific word before its prefix, and the 7128 family
// before the 7064 family before the 3000A parts.
// Columns: word, kind, target family, report target, slew default,
// -open_out/-jtag default, -pin_keep refused with 6000e, summary kind,
// summary heading, PD1/PD2 package pins (the fields of SourceVariant).
const SourceVariant kVariants[] = {
    {"7032S", K::Max7032S, T::kQpl6032Only, "QPL6032ES", AUTO, AUTO, true, kBlock, "6032", k32Pins},
    {"7032AE", K::Max7032AE, T::kQpl6032, "QPL6032ESL", AUTO, AUTO, true, kBlock, "6032", k32Pins},
    {"7032A", K::Max7032, T::kQpl6032OrQpl6000, "QPL6032ESL", FAST, UNSET, true, SummaryKind::kQpl6000,
     nullptr, kPlain32Pins},
    {"7032", K::Max7032, T::kQpl6032OrQpl6000, nullptr, FAST, UNSET, true, SummaryKind::kQpl6000, nullptr,
     kPlain32Pins},
    {"7128S", K::Max7128S, T::kQpl6128, "QPL6128ES", AUTO, AUTO, false, kBlock, "6128", k128Pins},
    {"7128AE", K::Max7128AE, T::kQpl6128, "QPL6128ESL", AUTO, AUTO, false, kBlock, "6128", k128Pins},
    {"7128A", K::Max7128S, T::kQpl6128, "QPL6128ESL", AUTO, OFF, false, kBlock, "6128", k128Pins},
    {"7128E", K::Max7128E, T::kQpl6128, "QPL6128ES", AUTO, OFF, false, kBlock, "6128", k128Pins},
    {"7128", K::Max7128, T::kQpl6128, "QPL6128ES", AUTO, OFF, false, kBlock, "6128", k128Pins},
    {"7064S", K::Max7064S, T::kQpl6064, "QPL6064ES", AUTO, AUTO, false, kBlock, "6064", k64Pins},
    {"7064AE", K::Max7064AE, T::kQpl6064, "QPL6064ESL", AUTO, AUTO, false, kBlock, "6064", k64Pins},
    {"7064A", K::Max7064, T::kQpl6064, "QPL6064ESL", AUTO, OFF, false, kBlock, "6064", kPlain64Pins},
    {"7064", K::Max7064, T::kQpl6064, "QPL6064ES", AUTO, OFF, false, kBlock, "6064", kPlain64Pins},
    {"3032A", K::Max3032A, T::kQpl6032, "QPL6032ESL", AUTO, AUTO, false, kBlock, nullptr, k32Pins},
    {"3064A", K::Max3064A, T::kQpl6064, "QPL6064ESL", AUTO, AUTO, false, kBlock, nullptr, k64Pins},
    {"3128A", K::Max3128A, T::kQpl6128, "QPL6128ESL", AUTO, AUTO, false, kBlock, nullptr, k128Pins},
};

constexpr std::array<const char*, kSourceKindCount> kKindNames = {
    "7032", "7032AE", "7032S", "7128", "7128E", "7128S", "7128AE",
    "7064", "7064S", "7064AE", "3032A", "3064A", "3128A"};

// Package codes: the grade letter (C commercial, I industrial) after the
// package letter.
struct PackageCode {
  const char* code;
  const char* package;
};
constexpr PackageCode kPackageCodes[] = {{"TC", "TQFP"}, {"TI", "TQFP"}, {"LC", "PLCC"},
                                         {"LI", "PLCC"}, {"QC", "PQFP"}, {"QI", "PQFP"}};
constexpr int kPinCounts[] = {44, 68, 84, 100, 160};

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool IsPackageCodeAt(const std::string& name, std::size_t i) {
  for (const PackageCode& p : kPackageCodes) {
    if (name.compare(i, 2, p.code) == 0) return true;
  }
  return false;
}

// The first package code directly followed by digits decides the pin count;
// a name without one keeps the first pin-count text it holds (44 when none).
void ReadPinCount(DeviceRecord& d) {
  const std::string& name = d.name;
  for (std::size_t i = 0; i + 2 < name.size(); ++i) {
    if (!IsDigit(name[i + 2]) || !IsPackageCodeAt(name, i)) continue;
    std::size_t end = i + 2;
    while (end < name.size() && IsDigit(name[end])) ++end;
    const std::string digits = name.substr(i + 2, end - i - 2);
    d.gradeText = name.substr(end);
    for (int pins : kPinCounts) {
      if (digits.size() <= 4 && std::stoi(digits) == pins) {
        d.pinCount = pins;
        return;
      }
    }
    d.unsupportedPins = digits;
    return;
  }
  for (const char* pins : {"44", "68", "84", "100", "160"}) {
    if (Contains(name, pins)) {
      d.pinCount = std::stoi(pins);
      return;
    }
  }
}

}  // namespace

DeviceRecord ParseDeviceName(const std::string& name) {
  DeviceRecord d;
  d.name = name;
  d.packageName = "unknown";
  d.pinCount = 44;
  for (const SourceVariant& v : kVariants) {
    if (Contains(name, v.word)) {
      d.variant = &v;
      break;
    }
  }
  for (const PackageCode& p : kPackageCodes) {
    if (Contains(name, p.code)) {
      d.packageName = p.package;
      break;
    }
  }
  ReadPinCount(d);
  d.quadFlatPack = Contains(name, "QC") || Contains(name, "TC") || Contains(name, "QI") || Contains(name, "TI");
  // The report header reads single letters, and a plain 7032 named with a
  // Q is a TQFP there.
  if (Contains(name, "L")) {
    d.reportPackage = "PLCC";
  } else if (Contains(name, "T")) {
    d.reportPackage = "TQFP";
  } else if (Contains(name, "Q")) {
    d.reportPackage = "PQFP";
  }
  if (d.variant && !d.variant->reportTarget && Contains(name, "Q")) d.reportPackage = "TQFP";
  return d;
}

std::string PowerDownPinText(const DeviceRecord& device, bool pd2) {
  if (!device.variant) return "?";
  for (const PowerDownPins& p : device.variant->powerDownPins) {
    if (p.pinCount == device.pinCount && (!p.package || device.packageName == p.package)) {
      return std::to_string(pd2 ? p.pd2 : p.pd1);
    }
  }
  return "?";
}

const char* SourceKindName(SourceKind kind) { return kKindNames[static_cast<int>(kind)]; }

}  // namespace fusecvt
