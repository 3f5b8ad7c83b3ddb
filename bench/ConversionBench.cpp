// End-to-end conversions in process: POF read, translation, JEDEC file and
// report written to a scratch folder. The POFs are built once per benchmark
// with the test POF builder; each iteration is one whole run of the program.
// Counters: bytes of the JEDEC file written, and the process's peak resident
// set (ru_maxrss, KiB) after the runs.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "support/PofBuilder.h"
#include "support/RunHarness.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// Every macrocell uses all five product terms, each with a spread of inputs;
// every PIA row of every block picks a signal; macrocells are registered.
void FillDesign(SourceImage& img) {
  const int piaWidth = img.layout().piaWidth;
  for (int m = 0; m < img.macrocells(); ++m) {
    for (int pt = 0; pt < 5; ++pt) {
      for (int col = (m + pt) % 7; col < 88; col += 7) img.logicArray.at(m, pt, col) = '0';
    }
    img.mcConfig.at(m, m % img.layout().mcConfigWidth) = '0';
  }
  for (int lab = 0; lab < img.labs(); ++lab) {
    for (int row = 0; row < 36; ++row) img.pia.at(lab, row, (lab + row) % piaWidth) = '0';
  }
}

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Convert(benchmark::State& state, const char* deviceName, std::vector<std::string> options) {
  ScratchDir dir;
  PofBuilder builder(deviceName);
  FillDesign(builder.image());
  const std::string pof = dir.File("design.pof");
  builder.WriteTo(pof);
  std::vector<std::string> args{"fusecvt"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(pof);
  std::string last;
  for (auto _ : state) {
    const RunResult r = RunInProcess(args);
    if (r.status != 0 && r.status != 3) {
      state.SkipWithError(("conversion failed: " + r.out + r.err).c_str());
      break;
    }
    benchmark::DoNotOptimize(r.out.data());
    last = r.out;
  }
  // The console line naming source and target, to show what was converted.
  const std::size_t arrow = last.find(" --> ");
  if (arrow != std::string::npos) {
    const std::size_t begin = last.rfind('\n', arrow) + 1;
    const std::size_t firstChar = last.find_first_not_of(' ', begin);
    state.SetLabel(last.substr(firstChar, last.find('\n', arrow) - firstChar));
  }
  state.counters["jed_bytes"] = static_cast<double>(ReadFile(dir.File("design.jed")).size());
  state.counters["peak_rss_KiB"] = static_cast<double>(PeakRssKiB());
}

void BM_7128AE160ToQpl6128ES(benchmark::State& state) { Convert(state, "EPM7128AEQC160-10", {}); }
void BM_Plain7032ToQpl6000E(benchmark::State& state) { Convert(state, "EPM7032LC44-15", {}); }
void BM_7064SToQpl6064ES(benchmark::State& state) { Convert(state, "EPM7064SLC84-10", {}); }

// The same conversions with the logic check of the written file (--verify):
// the difference to the runs above is the cost of the check.
void BM_7128AE160ToQpl6128ESVerified(benchmark::State& state) { Convert(state, "EPM7128AEQC160-10", {"--verify"}); }
void BM_Plain7032ToQpl6000EVerified(benchmark::State& state) { Convert(state, "EPM7032LC44-15", {"--verify"}); }
void BM_7064SToQpl6064ESVerified(benchmark::State& state) { Convert(state, "EPM7064SLC84-10", {"--verify"}); }

BENCHMARK(BM_7128AE160ToQpl6128ES)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_7128AE160ToQpl6128ESVerified)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain7032ToQpl6000E)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain7032ToQpl6000EVerified)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_7064SToQpl6064ES)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_7064SToQpl6064ESVerified)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fusecvt::test

BENCHMARK_MAIN();
