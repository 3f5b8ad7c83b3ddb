#include "support/RunHarness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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
  const std::string binary = BinaryPath();
  if (args.empty()) args.push_back(binary);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The child writes its standard output and error into files of their own.
  const ScratchDir capture;
  const std::string outFile = capture.File("out"), errFile = capture.File("err");
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open("/dev/null", O_RDONLY), flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    const int out = open(outFile.c_str(), flags, 0600), err = open(errFile.c_str(), flags, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(125);
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return {};
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  return {code, ReadFile(outFile), ReadFile(errFile)};
}

}  // namespace fusecvt::test
