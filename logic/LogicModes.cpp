#include "logic/LogicModes.h"

#include <fstream>
#include <ostream>

#include "driver/Conversion.h"
#include "driver/Run.h"
#include "jedec/JedecReader.h"
#include "logic/Equations.h"
#include "logic/LogicCheck.h"
#include "logic/SourceLogic.h"
#include "logic/TargetLogic.h"
#include "pof/PofReader.h"

namespace fusecvt {

namespace {

constexpr int kDifferent = 3;

int Fail(Conversion& run, const std::string& reason) {
  run.error << "Logic check: " << reason << "\n";
  run.error.flush();
  return 1;
}

// Reads a POF into the run's source set; false (reason printed) when it cannot be used.
bool LoadPof(Conversion& run, const std::string& path) {
  run.options.inputFileName = path;
  const LoadStatus load = PofReader(run).Load();
  if (load.exitStatus) {
    Fail(run, "cannot read the POF " + path);
    return false;
  }
  if (!run.sources.image() || (load.result != 0 && !run.sources.HasFuseData())) {
    Fail(run, "the POF " + path + " holds no design of a supported source device");
    return false;
  }
  return true;
}

bool LoadJedec(Conversion& run, const std::string& path, logic::Design& design) {
  const JedecFuses file = ReadJedecFuses(path);
  std::string error = file.error;
  if (file.ok() && logic::DecodeTarget(file, design, error)) return true;
  Fail(run, "cannot read the JEDEC file " + path + ": " + error);
  return false;
}

int Compare(Conversion& run, const logic::Design& source, const logic::Design& target, std::ostream* report) {
  const logic::CheckResult r = logic::CompareLogic(source, target);
  const std::string account = logic::AccountText(r);
  run.console << account;
  run.console.flush();
  if (report) *report << account;
  return r.Same() ? 0 : kDifferent;
}

bool IsModeWord(const std::string& word) {
  return word == "--verify" || word == "--check" || word == "--equations";
}

int Verify(std::vector<std::string> args, Conversion& run) {
  args.erase(args.begin() + 1);
  if (args.size() > 1 && IsModeWord(args[1])) return Fail(run, "usage: --verify [options] design.pof");
  const int status = RunConversion(args, run);
  const std::string jed = run.options.outputFileName;
  // Nothing to check when the run wrote no JEDEC file (a source without a target).
  if (status != 0 || jed.empty() || !run.sources.image() || !std::ifstream(jed)) return status;
  logic::Design target;
  if (!LoadJedec(run, jed, target)) return 1;
  std::ofstream report(run.options.reportFileName, std::ios::out | std::ios::app);
  const logic::Design source = logic::DecodeSource(*run.sources.image(), run.pof.pinCount);
  return Compare(run, source, target, report ? &report : nullptr);
}

int Check(const std::vector<std::string>& args, Conversion& run) {
  if (args.size() != 4) return Fail(run, "usage: --check design.pof file.jed");
  if (!LoadPof(run, args[2])) return 1;
  logic::Design target;
  if (!LoadJedec(run, args[3], target)) return 1;
  return Compare(run, logic::DecodeSource(*run.sources.image(), run.pof.pinCount), target, nullptr);
}

bool IsPof(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[3] = {};
  return in.read(magic, 3) && magic[0] == 'P' && magic[1] == 'O' && magic[2] == 'F';
}

int Equations(const std::vector<std::string>& args, Conversion& run) {
  const bool json = args.size() > 2 && args[2] == "--json";
  if (args.size() != (json ? 4u : 3u)) return Fail(run, "usage: --equations [--json] file");
  const std::string& path = args.back();
  logic::Design design;
  if (IsPof(path)) {
    if (!LoadPof(run, path)) return 1;
    design = logic::DecodeSource(*run.sources.image(), run.pof.pinCount);
  } else if (!LoadJedec(run, path, design)) {
    return 1;
  }
  run.console << (json ? logic::EquationsJson(design) : logic::EquationsText(design));
  run.console.flush();
  return 0;
}

}  // namespace

std::optional<int> RunLogicMode(const std::vector<std::string>& args, Conversion& run) {
  if (args.size() < 2) return std::nullopt;
  if (args[1] == "--verify") return Verify(args, run);
  if (args[1] == "--check") return Check(args, run);
  if (args[1] == "--equations") return Equations(args, run);
  return std::nullopt;
}

}  // namespace fusecvt
