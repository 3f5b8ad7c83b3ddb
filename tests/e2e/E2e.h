#pragma once
// End-to-end conversions: a design stated in source fields is written as a
// POF and converted by the real run; the JEDEC file is compared byte for byte
// with the file put together from the target's fuse map after the stated
// changes, and console and report with their texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/EndToEnd.h"
#include "support/ExpectedJedec.h"
#include "support/ExpectedQpl6000.h"
#include "driver/Version.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

// A source design of a plain 7032.
struct Design {
  explicit Design(const std::string& device) : pof(device), s(pof.image()) {}
  static void Row(FuseArray& f, int row, const char* text) {
    for (int i = 0; text[i]; ++i) f.at(row, i) = text[i];
  }
  // Pick p of PIA row r: a two-character code, high bit first.
  void Pick(int lab, int row, int p) {
    for (int i = 0; i < 2; ++i) s.pia.at(lab, row, i) = (p >> (1 - i)) & 1 ? '1' : '0';
  }
  void Connect(int m, int k, int c) { s.logicArray.at(m, k, c) = '0'; }
  PofBuilder pof;
  SourceImage& s;
};

// The texts of one run; console and report are put together around them.
struct Texts {
  std::string target;   // target, package and pins of the conversion line
  bool lowVoltage;      // the low-voltage warning after the file names
  std::string console;  // console lines before the timing line
  std::string report;   // report lines before "Conversion is completed"
  std::string summary;  // the report's settings summary
  std::string before = "", after = "";  // console lines around the rest
};

// Converts `pof` with `options` in a scratch folder and compares everything.
inline void ConvertAndCompare(const PofBuilder& pof, const std::vector<std::string>& options,
                              const std::string& expectedJed, long fuses, const Texts& t) {
  ScratchDir dir;
  const std::string in = dir.File("design.pof"), jed = dir.File("design.jed"), txt = dir.File("design.txt");
  pof.WriteTo(in);
  std::vector<std::string> args{"fusecvt"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(in);
  const RunResult r = RunInProcess(args);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_SAME_TEXT(expectedJed, ReadFile(jed));
  ExpectSoundJedec(jed, fuses);
  const std::string line = ConversionLine(pof.deviceName(), t.target), warn = t.lowVoltage ? LowVoltageWarning() : "";
  EXPECT_SAME_TEXT(Banner() + t.before + line + ConsoleFileNames(in, jed, txt) + warn + t.console + TimingLine() +
                       kCompleted + t.after, r.out);
  EXPECT_SAME_TEXT(Banner() + line + ReportFileNames(in, jed, txt) + warn + t.report + kCompleted + t.summary,
                   ReadFile(txt));
}

// A whole QPL6000(E) file: `head` runs from the device line to the line before
// '*'; vectors are numbered V001 on.
inline std::string Qpl6000File(const Qpl6000& q, const std::string& head, bool secure, bool extended, int pd1,
                               int pinKeep, const std::vector<std::string>& vectors) {
  std::string f = std::string("\x02") + "fusecvt " + kVersionText + "\n" + head + "*\n" + (secure ? "G1*\n" : "") +
                  Qpl6000FuseSection(q, extended, pd1, pinKeep) + "QV" + std::to_string(vectors.size()) + "* X0*\n";
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    f += "V" + std::string(n.size() < 3 ? 3 - n.size() : 0, '0') + n + " " + vectors[i] + "*\n";
  }
  return CrLf(f + "\x03" "0000\n");
}

}  // namespace fusecvt::test
