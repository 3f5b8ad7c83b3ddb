// Runs the whole conversion in process on arbitrary bytes and checks the JEDEC
// file it writes.
//
// Input layout: the first byte picks one of the command lines below, the rest
// is written as the POF file. The seeds in corpus/conversion/ are POFs with
// one such selector byte in front. Files go to one scratch folder per process
// and are deleted after every run.

#include <unistd.h>

#include <cctype>
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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads a decimal number at b[p..end); false when there is none.
bool Decimal(const std::string &b, std::size_t &p, std::size_t end, long &v) {
  const std::size_t first = p;
  v = 0;
  while (p < end && b[p] >= '0' && b[p] <= '9') {
    Check(v < 100000000L);
    v = v * 10 + (b[p++] - '0');
  }
  return p > first;
}

// The checks every JEDEC file of a run must pass: fields end in '*' between
// STX and ETX, a QF count comes before the fuse lists, L addresses rise and
// stay inside QF, and C equals the sum of the fuses packed 8 to a word
// (fuse n is bit n % 8), modulo 65536. CR LF line ends throughout.
void CheckJedec(const std::string &b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (b[i] == '\n') Check(i > 0 && b[i - 1] == '\r');
    if (b[i] == '\r') Check(i + 1 < b.size() && b[i + 1] == '\n');
  }
  Check(!b.empty() && b[0] == '\x02');
  const std::size_t etx = b.find('\x03');
  Check(etx != std::string::npos);
  Check(b.find('\x02', 1) > etx);
  std::size_t start = b.find('*');
  Check(start != std::string::npos && start < etx);  // the header text
  ++start;

  long fuseCount = -1;
  int defaultFuse = -1;
  long nextFree = 0;  // lowest address the next L field may use
  bool haveChecksum = false;
  unsigned fileChecksum = 0;
  std::vector<char> fuses;
  for (;;) {
    const std::size_t star = b.find('*', start);
    if (star == std::string::npos || star > etx) break;
    std::size_t p = start;
    start = star + 1;
    while (p < star && IsBlank(b[p])) ++p;
    if (p == star) continue;
    const char id = b[p++];
    if (id == 'Q' && p < star && b[p] == 'F') {
      ++p;
      Check(fuseCount < 0);
      Check(Decimal(b, p, star, fuseCount));
      fuses.assign(static_cast<std::size_t>(fuseCount), 0);
    } else if (id == 'F') {
      long v = 0;
      Check(Decimal(b, p, star, v) && v <= 1);
      defaultFuse = static_cast<int>(v);
    } else if (id == 'C') {
      Check(!haveChecksum && star - p >= 4);
      for (std::size_t i = p; i < star; ++i)
        Check(i < p + 4 ? std::isxdigit(static_cast<unsigned char>(b[i])) != 0 : IsBlank(b[i]));
      fileChecksum = static_cast<unsigned>(std::stoul(b.substr(p, 4), nullptr, 16));
      haveChecksum = true;
    } else if (id == 'L') {
      Check(fuseCount >= 0);
      long address = 0;
      Check(Decimal(b, p, star, address));
      Check(address >= nextFree && address < fuseCount);
      const long first = address;
      for (; p < star; ++p) {
        if (IsBlank(b[p])) continue;
        Check(b[p] == '0' || b[p] == '1');
        Check(address < fuseCount);
        fuses[static_cast<std::size_t>(address++)] = b[p];
      }
      Check(address > first);  // no empty fuse list
      nextFree = address;
    }
  }
  for (std::size_t i = start; i < etx; ++i) Check(IsBlank(b[i]));
  Check(fuseCount >= 0);
  Check(haveChecksum);

  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < fuses.size(); ++i) {
    char f = fuses[i];
    if (f == 0) {
      Check(defaultFuse >= 0);
      f = defaultFuse ? '1' : '0';
    }
    if (f == '1') sum += 1u << (i % 8);
  }
  Check((sum & 0xFFFFu) == fileChecksum);
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
  std::vector<std::string> args = {"fusecvt"};
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
  Check(status >= 0 && status <= 2);

  std::string jedec;
  if (ReadAll(scratch.jed, jedec)) CheckJedec(jedec);
  std::remove(scratch.jed.c_str());
  std::remove(scratch.txt.c_str());
  return 0;
}
