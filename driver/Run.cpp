#include "driver/Run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "driver/CommandLine.h"
#include "driver/HelpScreens.h"
#include "driver/OutputFiles.h"
#include "driver/Report.h"
#include "driver/TargetSet.h"
#include "driver/UsageSummary.h"
#include "driver/LogicModes.h"
#include "pof/PofReader.h"

namespace fusecvt {

namespace {

// Points the run's report channel at the open report file for as long as the
// file lives.
class ReportScope {
 public:
  ReportScope(Messages& messages, TextOut& report) : messages_(messages) { messages_.SetReport(&report); }
  ~ReportScope() { messages_.SetReport(nullptr); }
  ReportScope(const ReportScope&) = delete;
  ReportScope& operator=(const ReportScope&) = delete;

 private:
  Messages& messages_;
};

void ToConsoleAndReport(Conversion& run, const char* text) {
  for (TextOut* out : {&run.console, &run.report()}) {
    *out << text;
    out->flush();
  }
}

// The run once the report is open: its banner and header, the target choice
// and FinishConversion.
int ReportAndConvert(Conversion& run, TextOut& report, int loadResult, std::time_t startSeconds) {
  ReportScope scope(run, report);
  WriteBanner(report, run.options.programName);
  WriteReportHeader(run);

  const TargetChoice target = SelectTarget(run.sources.image() ? run.pof.device : DeviceRecord(), run);
  if (!target.device) {
    // A refused device word ends as a failure; a source with no target kind
    // ends quietly.
    return target.refused ? 1 : 0;
  }
  return FinishConversion(run, *target.device, target.plainQpl6000, loadResult, startSeconds);
}

}  // namespace

int RunConversion(std::vector<std::string> args, Conversion& run) {
  // --help and --version answer before anything else is read or written.
  switch (FindInfoRequest(args)) {
    case InfoRequest::Help:
      ShowUsageSummary(run.console);
      return 0;
    case InfoRequest::Version:
      ShowVersion(run.console);
      return 0;
    case InfoRequest::None:
      break;
  }
  if (const std::optional<int> status = RunLogicMode(args, run)) return *status;
  ConversionOptions& options = run.options;
  options.programName = args.empty() ? std::string() : ExtractProgramName(args[0]);
  options.outputFileName.clear();
  options.reportFileName.clear();
  options.inputFileName.clear();

  WriteBanner(run.console, options.programName);
  if (args.size() <= 1) {
    ShowDeviceTypePrompt(run.console);
    return 1;
  }
  if (ParseCommandLine(args, run) == EXIT) return 1;

  const std::time_t start = run.clock.seconds();
  options.inputFileName = PofPathOf(options.inputFileName);
  const LoadStatus load = PofReader(run, run, options.programName).Load(options.inputFileName);
  if (load.exitStatus) return *load.exitStatus;
  return ConvertLoadedPof(run, load.result, start);
}

int ConvertLoadedPof(Conversion& run, int loadResult, std::time_t startSeconds) {
  ConversionOptions& options = run.options;
  const DeviceRecord& source = run.pof.device;
  ResolveSourceDefaults(source, options);
  NormalizeDeviceName(source, run);
  ResolveTargetDefaults(source, options);

  if (loadResult != 0 && !run.sources.HasFuseData()) {
    run.error << "Error! Incompatible data format encountered in POF \a\n";
    run.error.flush();
    return loadResult;
  }

  DeriveFileNames(options);
  if (!CheckOutputPaths(options, run.error)) return 1;

  errno = 0;
  // A text-mode file: the report's lines end as the platform's text files do.
  std::FILE* report = std::fopen(options.reportFileName.c_str(), "w");
  if (!report) {
    const int cause = errno;
    run.error << "Error! Cannot open report file " << options.reportFileName << ": "
              << (cause != 0 ? std::strerror(cause) : "unknown error") << "\n";
    run.error.flush();
    return 1;
  }
  // The report is kept in memory (its line-by-line flushes cost nothing
  // there) and written in one piece, without a buffer of the file's own.
  std::setvbuf(report, nullptr, _IONBF, 0);
  StringTextOut text;
  const int status = ReportAndConvert(run, text, loadResult, startSeconds);
  const std::string& bytes = text.str();
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), report) == bytes.size();
  // A report that could not be written or closed whole fails the run; the
  // JEDEC file stays.
  if (std::fclose(report) != 0 || !written) {
    run.error << "Error! Cannot write report file " << options.reportFileName << "\n";
    run.error.flush();
    return 1;
  }
  return status;
}

int FinishConversion(Conversion& run, TargetDevice& target, bool plainQpl6000, int loadResult,
                     std::time_t startSeconds) {
  const ConversionOptions& options = run.options;
  const StageContext stages = run.Stages();
  target.ReadProductTerms(stages);
  target.TranslateMacrocells(stages);
  target.RouteGlobalOe(stages);
  target.ApplyDeviceOptions(stages);
  target.RouteUim(stages);
  target.ClearUnusedProductTerms(stages);
  // The plain QPL6000 has no security bit; the summary reports the refusal.
  if (options.secure == 1 && !plainQpl6000) run.outcome.securitySet = true;
  target.CoverRaces(stages);

  const int written = target.WriteJedec(run.Jedec());
  if (written == kJedecWriteFailed) return 1;  // the writer reported it and removed the file

  if (run.outcome.ptClockConverted) {
    ToConsoleAndReport(run, "**** There are PT-Clock converted to Pin Clock ****\n");
  }
  run.console << options.programName << " processed " << (run.clock.seconds() - startSeconds)
              << " seconds\n";
  run.console.flush();
  if (written == kJedecWritten) ToConsoleAndReport(run, "Conversion is completed\n");
  WriteSettingsSummary(run);
  return written == kJedecWritten ? loadResult : 1;
}

}  // namespace fusecvt
