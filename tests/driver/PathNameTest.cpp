// Where a path's own file name starts, under both path conventions: the
// extension test of the output names and the ".pof" append of the reader
// depend on it (only '/' separates on Linux; '\' and a drive's ':' too on
// Windows).
#include <gtest/gtest.h>

#include <string>

#include "pof/PathName.h"

namespace fusecvt::test {
namespace {

struct PathCase {
  const char* path;
  std::size_t posixStart;
  std::size_t windowsStart;
};

TEST(PathName, FileNameStartsAfterTheLastSeparatorOfEachConvention) {
  const PathCase cases[] = {
      {"design.pof", 0, 0},
      {"", 0, 0},
      {"sub/design", 4, 4},
      {"/abs/sub/design.pof", 9, 9},
      {"sub\\design", 0, 4},
      {"proj.v2\\design", 0, 8},
      {"C:\\work\\proj.v2\\design.pof", 0, 16},
      {"C:design", 0, 2},
      {"C:", 0, 2},
      {"a/b\\c", 2, 4},
      {"a\\b/c", 4, 4},
      {"dir/", 4, 4},
      {"dir\\", 0, 4},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(FileNameStart(c.path, false), c.posixStart) << c.path;
    EXPECT_EQ(FileNameStart(c.path, true), c.windowsStart) << c.path;
  }
}

}  // namespace
}  // namespace fusecvt::test
