#include "support/RunHarness.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

namespace {

// With FUSECVT_KEEP_DESIGNS=dir, every run keeps a replayable copy of itself:
// dir/<hash>/args holds the argument vector one per line, each path cut to its
// last component, and the input files it names are copied beside it.
void KeepDesign(const std::vector<std::string>& args, const std::string& workDir) {
  const char* keep = std::getenv("FUSECVT_KEEP_DESIGNS");
  if (!keep || !*keep || args.empty()) return;
  namespace fs = std::filesystem;
  std::string list, inputs;
  std::vector<std::pair<std::string, std::string>> copies;  // source path, base name
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::size_t slash = a.find_last_of('/');
    const std::string base = slash == std::string::npos ? a : a.substr(slash + 1);
    if (a.find('\n') != std::string::npos) return;  // not replayable from a line list
    list += (i == 0 ? a : base) + "\n";
    const std::string path = workDir.empty() || (!a.empty() && a[0] == '/') ? a : workDir + "/" + a;
    std::error_code ec;
    if (i > 0 && !base.empty() && fs::is_regular_file(path, ec)) {
      copies.emplace_back(path, base);
      inputs += ReadFile(path);
    }
  }
  char name[32];
  std::snprintf(name, sizeof name, "%016zx", std::hash<std::string>()(list + '\0' + inputs));
  const fs::path dir = fs::path(keep) / name;
  std::error_code ec;
  if (fs::exists(dir, ec)) return;
  const fs::path part = fs::path(keep) / (std::string(name) + ".part" + std::to_string(getpid()));
  fs::create_directories(part, ec);
  for (const auto& c : copies) fs::copy_file(c.first, part / c.second, fs::copy_options::overwrite_existing, ec);
  WriteFile((part / "args").string(), list);
  fs::rename(part, dir, ec);
  if (ec) fs::remove_all(part, ec);
}

}  // namespace

RunResult RunInProcess(std::vector<std::string> args) {
  KeepDesign(args, std::string());
  std::ostringstream out, err;
  Conversion run(out, err, Clock::Fixed(TestTime()));
  const int status = RunConversion(std::move(args), run);
  return {status, out.str(), err.str()};
}

RunResult RunBinary(std::vector<std::string> args, const ChildSetup& setup) {
  const std::string& workDir = setup.workDir;
  const std::string binary = BinaryPath();
  if (args.empty()) args.push_back(binary);
  KeepDesign(args, workDir);
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
