#pragma once
// End-to-end conversions to the QPL6032: a design stated in source fields is
// written as a POF, converted by the real run, and the JEDEC file is compared
// with the file expected from the QPL6032 fuse map after the stated changes.
//
// Every design starts from "idle" macrocells: an erased source macrocell
// except mcConfig[7] = '0' (S6 = '0'), which routes no product term and leaves
// its pin unused. The source kinds with global clock bits get the code "001"
// (clock code 1), so that no "Illegal GCLK" line appears.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "jedec/BlockTarget.h"
#include "support/EndToEnd.h"
#include "support/ExpectedJedec.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

// S0..S23 of an idle macrocell after translation with the kind's default
// options, S0 first. 7032S, 7032AE, 3032A: output select VCC (S0..S2 "111"),
// S6 = mc[7] = '0', S15 = BitNot(mc[6]) = '0', S20 = BitNot(open-drain bit) =
// '0', S21 left at '1' (no product term in use), every other bit '1'. Plain
// 7032: the same except S8 = BitNot(mc[11]) = '0', S20 keeps its default '0'
// (openOut stays unset) and S22 = '0' (slew FAST).
inline constexpr char kIdleS[] = "111111011111111011110111";
inline constexpr char kIdlePlain[] = "111111010111111011110101";
// An erased source macrocell (mc[7] = '1'): S6 = '1' puts PT 2 in use, so
// S21 = '0' and the pin counts as used.
inline constexpr char kErasedS[] = "111111111111111011110011";

class Design6032 {
 public:
  explicit Design6032(const std::string& deviceName) : pof(deviceName) {
    for (int m = 0; m < 32; ++m) src().mcConfig.at(m, 7) = '0';
    if (src().kind() != SourceKind::Max7032) SetClocks("001");
  }
  SourceImage& src() { return pof.image(); }

  void Erase(int m) { src().mcConfig.at(m, 7) = '1'; }
  void Mc(int m, const char* text) { SetRow(src().mcConfig, m, text); }
  void Io(int m, const char* text) { SetRow(src().ioConfig, m, text); }
  void Oe(int m, const char* code) { SetRow(src().outputEnable, m, code); }
  void OePia(int row, const char* text) { SetRow(src().oePia, row, text); }
  void SetClocks(const char* text) {
    for (int i = 0; i < 3; ++i) src().globalClocks.at(i) = text[i];
  }
  // Pick p of PIA row r of a LAB: one-hot for the S kinds, a two-character
  // code (first character the high bit) for the plain 7032.
  void Pick(int lab, int row, int p) {
    if (src().kind() == SourceKind::Max7032) {
      src().pia.at(lab, row, 0) = (p & 2) ? '1' : '0';
      src().pia.at(lab, row, 1) = (p & 1) ? '1' : '0';
    } else {
      for (int i = 0; i < 4; ++i) src().pia.at(lab, row, i) = i == p ? '0' : '1';
    }
  }
  // Connects source column c of PT k (0..4) of macrocell m.
  void Connect(int m, int k, int c) { src().logicArray.at(m, k, c) = '0'; }

  PofBuilder pof;

 private:
  static void SetRow(FuseArray& f, int row, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(row, i) = text[i];
  }
};

// The converted image expected of an idle design of the kind; tests state
// their changes on top of it.
class Expected6032 {
 public:
  explicit Expected6032(SourceKind kind) {
    // The fresh QPL6032 image, field by field.
    img.ptInputFuses.fill('1');
    img.ptFoldbackFuses.fill('1');
    for (int m = 0; m < 32; ++m) S(m, "111111100000000100100110");
    img.uimMux.fill('1');
    img.goeMux.fill('1');
    for (auto [g, f] : {std::pair{0, 0}, {1, 1}, {2, 0}, {3, 0}, {4, 1}, {5, 0}}) img.goeMux.at(g, f) = '0';
    img.configBits.fill('1');
    for (int i : {9, 10, 11, 14, 20, 21, 22, 23, 24, 25, 26, 27, 31}) img.configBits.at(i) = '0';
    img.uesBits.fill('1');
    img.jtagBit = '0';

    // What the conversion of an idle design changes.
    img.ptInputFuses.fill('0');  // no product term in use: all disabled
    img.ptFoldbackFuses.fill('0');
    const bool plain = kind == SourceKind::Max7032;
    for (int m = 0; m < 32; ++m) S(m, plain ? kIdlePlain : kIdleS);
    for (int b = 0; b < 2; ++b) {
      for (int u : {9, 19, 29, 39}) Uim(b, u, "10111");  // lines no PIA row feeds
    }
    if (plain) {
      // Every flat PIA row of an erased source reads code "11" (pick 3); the
      // brackets of the row table give the choice on the row's line.
      static const int kPick3Choice[9] = {3, 3, 2, 0, 1, 0, 0, 0, 0};
      for (int b = 0; b < 2; ++b) {
        for (int r = 0; r < 36; ++r) {
          for (int i = 0; i < 5; ++i) img.uimMux.at(b, LineOfRow(r), i) = i == kPick3Choice[r % 9] ? '0' : '1';
        }
      }
    } else {
      // Clock code 1: configBits 15..20 = 0 1 0 1 1 0.
      const char* g1 = "010110";
      for (int i = 0; i < 6; ++i) img.configBits.at(15 + i) = g1[i];
      // The source JTAG bit '1' with jtag AUTO: JTAG on, TMS, TCK and TDI
      // (MC 9, 25, 4) leave their outputs off.
      img.jtagBit = '1';
      for (int m : {8, 24, 3}) Sel(m, "000");
      if (kind != SourceKind::Max7032S) img.configBits.at(6) = '0';  // low-voltage target
      if (kind == SourceKind::Max3032A) {
        Sel(11, "000");
        Sel(21, "000");
      }
    }
  }

  // UIM line of PIA row r.
  static int LineOfRow(int r) { return r < 9 ? 30 + r : r < 18 ? 11 + r : r < 27 ? r - 8 : r - 27; }

  void S(int m, const char* bits) {
    for (int i = 0; i < 24; ++i) img.mcBits.at(m, i) = bits[i];
  }
  void Sel(int m, const char* s0s2) {
    for (int i = 0; i < 3; ++i) img.mcBits.at(m, i) = s0s2[i];
  }
  // PT k of macrocell m in use: all '1' but the listed input and foldback fuses.
  void Term(int m, int k, std::initializer_list<int> inputs, std::initializer_list<int> foldbacks = {}) {
    for (int i = 0; i < 80; ++i) img.ptInputFuses.at(m, k, i) = '1';
    for (int i = 0; i < 16; ++i) img.ptFoldbackFuses.at(m, k, i) = '1';
    for (int i : inputs) img.ptInputFuses.at(m, k, i) = '0';
    for (int i : foldbacks) img.ptFoldbackFuses.at(m, k, i) = '0';
  }
  void Uim(int b, int u, const char* five) {
    for (int j = 0; j < 5; ++j) img.uimMux.at(b, u, j) = five[j];
  }
  void Goe(int e, const char* five) {
    for (int j = 0; j < 5; ++j) img.goeMux.at(e, j) = five[j];
  }
  void Config(int i, char c) { img.configBits.at(i) = c; }
  void Ues(const char* sixteen) {
    for (int i = 0; i < 16; ++i) img.uesBits.at(i) = sixteen[i];
  }

  Qpl6032 img;
};

// One in-process conversion of a design in a scratch folder: the POF is
// written as <name>.pof; Run() converts it with the given options before its
// path. jedPath and txtPath are where the outputs are expected (change them
// before Run() for -o).
struct Converted {
  explicit Converted(const PofBuilder& pof, const std::string& name = "design")
      : pofPath(dir.File(name + ".pof")), jedPath(dir.File(name + ".jed")),
        txtPath(dir.File(name + ".txt")), sourceName(pof.deviceName()) {
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
  // The conversion line and the file names, as the console shows them.
  std::string ConsoleHead(const std::string& targetPackagePins) const {
    return Banner() + ConversionLine(sourceName, targetPackagePins) +
           ConsoleFileNames(pofPath, jedPath, txtPath);
  }
  // The banner, the conversion line and the file names of the report.
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
