#pragma once
// One run of the built binary in a fresh folder, and what it left there: the
// folder holds a.pof, an erased POF of `device` (none when device is null)
// changed by the edit, or by default with one programmed logic fuse (every
// pin counts as used); the run is `program [args]` in that folder.
//
//   const Converted c("EPM7064LC68-10", {"-jtag", "off", "a.pof"});
//   EXPECT_EQ(c.jedec.Oe(5), "111");  EXPECT_EQ(c.files, "a.jed a.pof a.txt");

#include <functional>
#include <string>
#include <vector>

#include "support/JedecFacts.h"
#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

using DesignEdit = std::function<void(SourceImage&)>;

struct RunSetup {
  DesignEdit edit;                            // empty: one programmed logic fuse
  void (*prepare)(const std::string& dir) = nullptr;  // called before the run
  int stop = 0;  // 1: an unknown packet after the fuse data stops the read; 2: also an output-enable fuse programmed
  ChildSetup child = {};                      // its workDir is replaced by the folder
  std::string program = "fusecvt";
};

struct Converted {
  Converted(const char* device, std::vector<std::string> args, RunSetup setup = {});
  // A design: `fusecvt [options] a.pof`, the erased POF changed by `edit`.
  Converted(const std::string& device, const DesignEdit& edit, std::vector<std::string> options = {});
  ScratchDir dir;
  RunResult run;  // "processed N seconds" on the console reads "processed 0 seconds"
  std::string files;   // the folder's paths afterwards, relative, sorted
  std::string report;  // a.txt
  JedecFacts jedec;    // of a.jed
};

// The conversion line and the file-name lines of a run of a.pof whose
// outputs are <stem>.jed and <stem>.txt, as the console or the report shows them.
std::string Head(bool console, const char* source, const char* target, const std::string& stem = "a",
                 const std::string& input = "a.pof");

}  // namespace fusecvt::test
