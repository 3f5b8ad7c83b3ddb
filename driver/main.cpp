#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "driver/Run.h"

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // A console that was closed (a pipe into a pager that quit) must not stop
  // the run: the files are still written in full. Console writes that fail
  // are dropped.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  std::vector<std::string> args(argv, argv + argc);
  fusecvt::Conversion run(std::cout, std::cerr, fusecvt::Clock::System(std::getenv("SOURCE_DATE_EPOCH")));
  const int status = fusecvt::RunConversion(std::move(args), run);
  std::cout.flush();
  return status;
}
