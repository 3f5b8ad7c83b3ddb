// Runs the whole conversion in process on arbitrary bytes and checks the JEDEC
// file it writes with the tests' independent reader: STX/ETX frame and CR LF
// line ends, every field ended by '*', a QF count, L addresses rising inside
// QF with no fuse written twice, and a C field equal to the recomputed sum.
//
// Input layout: the first byte picks one of the command lines below, the rest
// is written as the POF file. The seeds in corpus/conversion/ are POFs with
// one such selector byte in front. Files go to one scratch folder per process
// and are deleted after every run.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "driver/Run.h"
#include "support/JedecReader.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Options after the program name; the POF path is added last.
const std::vector<std::vector<std::string>> kCommandLines = {
    {"-device", "p6000"},
    {"-device", "6000e"},
    {"-device", "6032es"},
    {"-device", "6064es"},
    {"-device", "6128es"},
    {"-device", "6064esl"},
    {"-device", "6000e", "-pin_keep", "-pinclk"},
    {"-device", "p6000", "-secure", "-race_cover_off"},
    {"-device", "6032es", "-jtag", "on", "-slew", "slow", "-verbose"},
    {"-device", "6064es", "-jtag", "off", "-open_out", "on", "-mc_power", "off"},
    {"-device", "6128es", "-secure", "-pinclk", "-slew", "fast", "-pin_keep"},
    {"-device", "6032esl", "-open_out", "off", "-mc_power", "on", "-race_cover_off"},
    {"-device", "6128esl", "-jtag", "auto", "-powerdown", "-pd2", "-verbose"},
    {"-device", "6064es", "-gclk1_itd", "-gclk2_itd", "-gclk3_itd", "-tdi_pullup", "-tms_pullup"},
    {"-device", "p6000e", "-power_reset", "-slew", "auto", "-open_out", "auto"},
    {"-secure", "-verbose"},
};

struct Scratch {
  std::string dir;
  std::string pof, jed, txt;

  Scratch() {
    char name[] = "/tmp/fuzz_conversion.XXXXXX";
    Check(::mkdtemp(name) != nullptr);
    dir = name;
    pof = dir + "/in.pof";
    jed = dir + "/in.jed";
    txt = dir + "/in.txt";
  }
  ~Scratch() {
    for (const std::string *f : {&pof, &jed, &txt}) std::remove(f->c_str());
    ::rmdir(dir.c_str());
  }
};

bool ReadAll(const std::string &path, std::string &bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using namespace fusecvt;
  static Scratch scratch;
  if (size == 0) return 0;
  {
    std::ofstream pof(scratch.pof, std::ios::binary | std::ios::trunc);
    pof.write(reinterpret_cast<const char *>(data + 1), static_cast<std::streamsize>(size - 1));
    Check(pof.good());
  }
  // Every conversion is also checked: its JEDEC file read back as logic.
  std::vector<std::string> args = {"fusecvt", "--verify"};
  const std::vector<std::string> &options = kCommandLines[data[0] % kCommandLines.size()];
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(scratch.pof);

  std::ostream console(nullptr);
  std::ostream error(nullptr);
  std::tm fixed{};
  fixed.tm_year = 2026 - 1900;
  fixed.tm_mday = 1;
  Conversion run(console, error, Clock::Fixed(fixed));
  const int status = RunConversion(args, run);
  Check(status >= 0 && status <= 3);

  std::string jedec;
  if (ReadAll(scratch.jed, jedec)) {
    const test::JedecReadResult r = test::ReadJedec(jedec);
    Check(r.ok() && r.fuseCount >= 0 && r.hasChecksum);
  }
  std::remove(scratch.jed.c_str());
  std::remove(scratch.txt.c_str());
  return 0;
}
