#include <csignal>
#include <cstdio>
#include <cstdlib>
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
  fusecvt::FileTextOut console(stdout);
  fusecvt::FileTextOut error(stderr);
  fusecvt::Conversion run(console, error, fusecvt::Clock::System(std::getenv("SOURCE_DATE_EPOCH")));
  const int status = fusecvt::RunConversion(std::move(args), run);
  console.flush();
  return status;
}
