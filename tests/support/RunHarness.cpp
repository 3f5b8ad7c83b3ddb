#include "support/RunHarness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sstream>

#include "driver/Conversion.h"
#include "driver/Run.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

std::tm TestTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 9, t.tm_min = 7, t.tm_sec = 3;
  t.tm_wday = 4, t.tm_yday = 63;  // Thursday, day 31 + 28 + 5 - 1
  return t;
}

RunResult RunInProcess(std::vector<std::string> args) {
  std::ostringstream out, err;
  Conversion run(out, err, Clock::Fixed(TestTime()));
  const int status = RunConversion(std::move(args), run);
  return {status, out.str(), err.str()};
}

RunResult RunBinary(std::vector<std::string> args, const std::string& workDir) {
  ChildSetup setup;
  setup.workDir = workDir;
  return RunBinary(std::move(args), setup);
}

RunResult RunBinary(std::vector<std::string> args, const ChildSetup& setup) {
  const std::string& workDir = setup.workDir;
  const std::string binary = BinaryPath();
  if (args.empty()) args.push_back(binary);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The child writes its standard output and error into files of their own.
  const ScratchDir capture;
  const std::string outFile = capture.File("out"), errFile = capture.File("err");
  // A closed console: the reading end of the pipe is gone before the child starts.
  int pipeEnds[2] = {-1, -1};
  if (setup.closedStandardOutput) {
    if (pipe(pipeEnds) != 0) return {};
    close(pipeEnds[0]);
  }
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY), flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int out = setup.closedStandardOutput ? pipeEnds[1] : open(outFile.c_str(), flags, 0600);
    const int err = open(errFile.c_str(), flags, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(125);
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    // The console's failures must show as the program handles them, not as
    // the test process happens to treat SIGPIPE.
    if (setup.closedStandardOutput) signal(SIGPIPE, SIG_DFL);
    for (const std::string& e : setup.env) {
      const std::size_t eq = e.find('=');
      if (eq == std::string::npos || setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1) != 0) _exit(124);
    }
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (setup.closedStandardOutput) close(pipeEnds[1]);
  if (pid < 0) return {};
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return {code, ReadFile(outFile), ReadFile(errFile)};
}

}  // namespace fusecvt::test
