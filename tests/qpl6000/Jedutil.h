#pragma once
// Runs the JEDEC parser of mame-tools (`jedutil -convert`) over a written file:
// an independent check of syntax, fuse count and fuse checksum.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "support/TestPaths.h"

namespace fusecvt::test {

inline bool JedutilAvailable() {
  static const bool available = std::system("command -v jedutil >/dev/null 2>&1") == 0;
  return available;
}
inline bool JedutilRequired() {
  const char* v = std::getenv("FUSECVT_REQUIRE_JEDUTIL");
  return v && *v;
}

// Exit status of `jedutil -convert path`, its output in `log`; -1 when absent.
inline int RunJedutil(const std::string& path, std::string* log) {
  if (!JedutilAvailable()) return -1;
  const std::string bin = path + ".bin";
  const std::string out = path + ".jedutil.log";
  const std::string cmd = "jedutil -convert '" + path + "' '" + bin + "' >'" + out + "' 2>&1";
  const int status = std::system(cmd.c_str());
  if (log) *log = ReadFile(out);
  std::remove(bin.c_str());
  std::remove(out.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// Fails the test when jedutil refuses the file, or when it is missing but
// required by FUSECVT_REQUIRE_JEDUTIL. Without jedutil the check is left out.
inline void ExpectJedutilAccepts(const std::string& path) {
  if (!JedutilAvailable()) {
    if (JedutilRequired()) ADD_FAILURE() << "jedutil is required but not installed";
    return;
  }
  std::string log;
  EXPECT_EQ(RunJedutil(path, &log), 0) << "jedutil refused " << path << ":\n" << log;
}

}  // namespace fusecvt::test
