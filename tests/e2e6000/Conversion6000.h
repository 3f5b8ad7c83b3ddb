#pragma once
// End-to-end conversions of plain 7032 POFs to the QPL6000 family: a design
// stated in source fields is written as a POF and converted by the real run;
// the JEDEC file is compared with the file expected from the QPL6000 fuse map
// after the stated changes.
//
// Designs start from an erased 7032: every macrocell bit then reads
// "0000110100111101" (bit 0 = NOT(c0), ... bit 14 = '0' for slew FAST), no
// product term is kept by the macrocell bits, and the race pass finds only
// empty terms. Source PIA codes are two characters per row, the first the
// high bit.

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "driver/Version.h"
#include "qpl6000/Qpl6000.h"
#include "support/EndToEnd.h"
#include "support/ExpectedQpl6000.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

inline constexpr char kErasedBits[] = "0000110100111101";

class Design7032 {
 public:
  explicit Design7032(const std::string& deviceName = "EPM7032LC44-15") : pof(deviceName) {}
  SourceImage& src() { return pof.image(); }
  // mcConfig character i of macrocell m.
  void Mc(int m, int i, char c) { src().mcConfig.at(m, i) = c; }
  void Oe(int m, const char* code) {
    src().outputEnable.at(m, 0) = code[0];
    src().outputEnable.at(m, 1) = code[1];
  }
  void Code(int lab, int row, int code) {
    src().pia.at(lab, row, 0) = (code & 2) ? '1' : '0';
    src().pia.at(lab, row, 1) = (code & 1) ? '1' : '0';
  }
  // Connects source position i of PT p (0..4) of macrocell m.
  void Connect(int m, int p, int i) { src().logicArray.at(m, p, i) = '0'; }

  PofBuilder pof;
};

class Expected6000 {
 public:
  Expected6000() {
    img.ptFuses.fill('0');  // every unkept term is cleared
    for (int m = 0; m < 32; ++m) Bits(m, kErasedBits);
  }
  void Bits(int m, const char* bits) {
    for (int i = 0; i < 16; ++i) img.mcBits.at(m, i) = bits[i];
  }
  void Bit(int m, int i, char c) { img.mcBits.at(m, i) = c; }
  // PT p of macrocell m kept: all '1' but the listed columns.
  void Term(int m, int p, std::initializer_list<int> zeros) {
    for (int c = 0; c < 152; ++c) img.ptFuses.at(m, p, c) = '1';
    for (int c : zeros) img.ptFuses.at(m, p, c) = '0';
  }

  Qpl6000 img;
};

struct Header6000 {
  bool extended = true;  // QPL6000E
  std::string package = "PLCC";
  std::string createdOn = kTestTimeText;
  std::string notices;  // race pass notices, "\n" line ends
  bool secure = false;
  int pd1 = 0;
  int pinKeep = 0;
  std::vector<std::string> vectors;
};

// The whole file, bytes as they reach the disk.
inline std::string ExpectedQpl6000File(const Qpl6000& q, const Header6000& h) {
  std::string f = std::string("\x02") + "fusecvt " + kVersionText + "\n";
  f += std::string("Device ") + (h.extended ? "QPL6000E" : "QPL6000") + " (" + h.package + ")\n";
  f += "Created on: " + h.createdOn + "\n\n";
  f += "PofBuilder\nUntitled\n";  // the builder's creator and comment texts
  f += h.notices + "*\n";
  if (h.secure) f += "G1*\n";
  f += Qpl6000FuseSection(q, h.extended, h.pd1, h.pinKeep);
  f += "QV" + std::to_string(h.vectors.size()) + "* X0*\n";
  for (std::size_t i = 0; i < h.vectors.size(); ++i) {
    char n[32];
    std::snprintf(n, sizeof n, "V%03zu ", i + 1);
    f += n + h.vectors[i] + "*\n";
  }
  f += "\x03" "0000\n";
  return CrLf(f);
}

// One in-process conversion of a design in a scratch folder.
struct Converted6000 {
  explicit Converted6000(const PofBuilder& pof)
      : pofPath(dir.File("design.pof")), jedPath(dir.File("design.jed")),
        txtPath(dir.File("design.txt")), sourceName(pof.deviceName()) {
    pof.WriteTo(pofPath);
  }
  const RunResult& Run(std::vector<std::string> options = {}) {
    std::vector<std::string> args{"fusecvt"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(pofPath);
    run = RunInProcess(args);
    return run;
  }
  std::string Jedec() const { return ReadFile(jedPath); }
  std::string Report() const { return ReadFile(txtPath); }
  // Conversion line and file names as the console shows them.
  std::string ConsoleHead(const std::string& targetPackagePins) const {
    return ConversionLine(sourceName, targetPackagePins) + ConsoleFileNames(pofPath, jedPath, txtPath);
  }
  std::string ReportHead(const std::string& targetPackagePins) const {
    return Banner() + ConversionLine(sourceName, targetPackagePins) +
           ReportFileNames(pofPath, jedPath, txtPath);
  }

  ScratchDir dir;
  std::string pofPath, jedPath, txtPath;
  std::string sourceName;
  RunResult run;
};

}  // namespace fusecvt::test
