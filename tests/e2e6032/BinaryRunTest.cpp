// The built program converting 7032S POFs: exit status, the real standard
// output and standard error, and the files it leaves.

#include <regex>

#include "Conversion6032.h"

namespace fusecvt::test {
namespace {

// The "Created on" text of a JEDEC file written at run time.
std::string CreatedOn(const std::string& jed) {
  const std::size_t at = jed.find("\r\nCreated on: ");
  return at == std::string::npos ? std::string() : jed.substr(at + 14, 24);
}

TEST(Convert7032SBinary, ConvertsAndPrintsOnStandardOutput) {
  ScratchDir dir;
  Design6032 d("EPM7032SLC44-10");
  d.Erase(19);  // the TDO pin is used; the source has JTAG on, so no warning
  d.pof.WriteTo(dir.File("design.pof"));
  // The program name comes from the path after its last backslash, without
  // the extension. The word after a target word is lower-cased (a lower-case
  // file name stays what it is).
  const RunResult r = RunBinary({"C:\\bin\\FuseCvt.exe", "-6032es", "design.pof"}, dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::string out = r.out;
  // A run may cross a second boundary.
  out = std::regex_replace(out, std::regex("FuseCvt processed 1 seconds\n"), "FuseCvt processed 0 seconds\n");
  const std::string expectedOut =
      Banner("FuseCvt") +
      "NOTE : You should not use -6128es option here when converting a file.\n"
      "       Ignore -6128es option.\n\n" +
      ConversionLine("EPM7032SLC44-10", "QPL6032ESPLCC44") +
      ConsoleFileNames("design.pof", "design.jed", "design.txt") + LowVoltageWarning() +
      TimingLine("FuseCvt") + kCompleted;
  EXPECT_SAME_TEXT(expectedOut, out);

  const std::string jed = ReadFile(dir.File("design.jed"));
  const std::string date = CreatedOn(jed);
  EXPECT_TRUE(std::regex_match(date, std::regex("(Mon|Tue|Wed|Thu|Fri|Sat|Sun) "
                                                "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                                "[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}")))
      << date;
  Expected6032 e(SourceKind::Max7032S);
  e.S(19, kErasedS);
  e.Term(19, 1, {});
  const std::string expectedJed = ExpectedJedecFile(e.img, ExpectedHeader{"PLCC", 44, date, false, {}});
  EXPECT_SAME_TEXT(expectedJed, jed);
  ExpectSoundJedec(dir.File("design.jed"), 16808);
  const std::string report = Banner("FuseCvt") + ConversionLine("EPM7032SLC44-10", "QPL6032ESPLCC44") +
                             ReportFileNames("design.pof", "design.jed", "design.txt") +
                             LowVoltageWarning() + kCompleted + BlockSummary{}.Text();
  EXPECT_SAME_TEXT(report, ReadFile(dir.File("design.txt")));
}

}  // namespace
}  // namespace fusecvt::test
