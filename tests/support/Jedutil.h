#pragma once
// `jedutil -convert` as a second, outside reader of the JEDEC files written,
// compared fuse by fuse with the test reader:
//
//   FUSECVT_SKIP_WITHOUT_JEDUTIL();
//   EXPECT_TRUE(JedutilAccepts(path));

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/JedecReader.h"

namespace fusecvt::test {

// jedutil handles at most this many fuses (and crashes on larger files).
constexpr long kJedutilMaxFuses = 65536;

struct JedutilResult {
  int exitStatus = -1;  // -1 when jedutil did not run or exit normally
  std::string output;   // its standard output and error
  long fuseCount = -1;  // from the binary it wrote; -1 when it wrote none
  std::string fuses;    // fuse characters '0'/'1' from that binary
  bool accepted() const { return exitStatus == 0 && fuseCount >= 0; }
};

bool JedutilAvailable();  // jedutil is on PATH
// FUSECVT_REQUIRE_JEDUTIL is set (and not empty).
inline bool JedutilRequired() { return std::getenv("FUSECVT_REQUIRE_JEDUTIL") && *std::getenv("FUSECVT_REQUIRE_JEDUTIL"); }
// Runs `jedutil -convert jedPath OUT.bin` in a scratch folder and decodes OUT.bin.
JedutilResult RunJedutil(const std::string& jedPath);
// Success when jedutil converts the file and reads the same fuses as
// ReadJedecFile; refuses (fails) files of more than kJedutilMaxFuses fuses
// without running jedutil, and fails when jedutil is missing.
::testing::AssertionResult JedutilAccepts(const std::string& jedPath);

}  // namespace fusecvt::test

// In a test body: skips the test when jedutil is missing, unless
// FUSECVT_REQUIRE_JEDUTIL is set; then the test fails.
#define FUSECVT_SKIP_WITHOUT_JEDUTIL()                                                                       \
  do {                                                                                                       \
    if (!::fusecvt::test::JedutilAvailable()) {                                                              \
      if (::fusecvt::test::JedutilRequired()) FAIL() << "jedutil is not on PATH but FUSECVT_REQUIRE_JEDUTIL is set"; \
      GTEST_SKIP() << "jedutil (mame-tools) is not installed";                                               \
    }                                                                                                        \
  } while (0)

