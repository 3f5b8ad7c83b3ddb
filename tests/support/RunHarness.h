#pragma once
// Runs of the whole program for end-to-end tests, in two ways:
//
//   RunInProcess: calls RunConversion on a fresh Conversion whose console and
//     error streams are captured and whose clock is fixed at TestTime() (the
//     elapsed time is always 0 seconds).
//   RunBinary: starts the built fusecvt binary as a child process and
//     captures its standard output and standard error separately.
//
// In both, args is the whole argument vector: args[0] is the program path as
// the program sees it (it decides the program name in the banner and the
// usage line), args[1..] the options and file names. RunBinary always starts
// the built binary; args[0] only becomes the child's argv[0]. Output files are
// written where the paths say (relative paths: the test's working directory,
// or workDir for RunBinary), so pass paths inside a ScratchDir.

#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Conversion.h"

namespace fusecvt::test {

struct RunResult {
  int status = -1;  // exit status; for a child killed by a signal, 128 + signal
  std::string out;  // everything written to standard output
  std::string err;  // everything written to standard error
};

// The fixed local time of in-process runs: Thursday, 5 March 2026, 09:07:03
// (a one-digit day, so the zero padding of the JEDEC date shows).
std::tm TestTime();
// TestTime() in the JEDEC header layout.
inline constexpr char kTestTimeText[] = "Thu Mar 05 09:07:03 2026";

RunResult RunInProcess(std::vector<std::string> args);

// A conversion record for running parts of a conversion in the test: its
// console, error and report streams captured, its clock fixed.
struct CapturedRun {
  explicit CapturedRun(const std::tm& now = TestTime()) : run(console, error, Clock::Fixed(now)) { run.SetReport(&report); }
  std::ostringstream console, error, report;
  Conversion run;
};

// How the child of RunBinary is started, beyond its arguments.
struct ChildSetup {
  std::string workDir;              // empty: the test's own
  std::vector<std::string> env;     // "NAME=value" entries set in the child's environment
  bool closedStandardOutput = false;  // standard output: a pipe whose reading end is closed
};
RunResult RunBinary(std::vector<std::string> args, const ChildSetup& setup = {});

}  // namespace fusecvt::test
