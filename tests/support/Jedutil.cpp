#include "support/Jedutil.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

#include "support/TestPaths.h"

namespace fusecvt::test {

namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

bool JedutilAvailable() { return std::system("command -v jedutil >/dev/null 2>&1") == 0; }

JedutilResult RunJedutil(const std::string& jedPath) {
  JedutilResult r;
  ScratchDir dir;
  const std::string bin = dir.File("out.bin");
  FILE* pipe = ::popen(("jedutil -convert " + Quote(jedPath) + " " + Quote(bin) + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) r.output.append(buf, n);
  const int status = ::pclose(pipe);
  r.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // The binary: the fuse count in four bytes, most significant first, then
  // the fuses eight to a byte, the lowest-numbered fuse in the lowest bit.
  const std::string data = ReadFile(bin);
  unsigned long count = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) count = count << 8 | static_cast<unsigned char>(data[i]);
  if (data.size() < 4 || data.size() != 4 + (count + 7) / 8) return r;
  r.fuseCount = static_cast<long>(count);
  for (unsigned long f = 0; f < count; ++f) r.fuses += (static_cast<unsigned char>(data[4 + f / 8]) >> (f % 8) & 1u) ? '1' : '0';
  return r;
}

::testing::AssertionResult JedutilAccepts(const std::string& jedPath) {
  const JedecReadResult own = ReadJedecFile(jedPath);
  if (own.fuseCount > kJedutilMaxFuses) {
    return ::testing::AssertionFailure() << jedPath << " has " << own.fuseCount << " fuses, more than jedutil handles";
  }
  if (!JedutilAvailable()) return ::testing::AssertionFailure() << "jedutil is not on PATH";
  const JedutilResult r = RunJedutil(jedPath);
  if (!r.accepted()) {
    return ::testing::AssertionFailure() << "jedutil refused " << jedPath << " (exit status " << r.exitStatus << "):\n" << r.output;
  }
  if (own.ok() && r.fuses != own.fuses) {
    const auto i = std::mismatch(r.fuses.begin(), r.fuses.end(), own.fuses.begin(), own.fuses.end()).first - r.fuses.begin();
    return ::testing::AssertionFailure() << "jedutil and the test reader disagree on " << jedPath << " from fuse " << i
                                         << " (jedutil read " << r.fuseCount << " fuses, the reader " << own.fuseCount << ")";
  }
  return ::testing::AssertionSuccess() << "jedutil accepted " << jedPath;
}

}  // namespace fusecvt::test
