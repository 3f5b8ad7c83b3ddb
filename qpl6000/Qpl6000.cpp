// Placeholder QPL6000 target. Replaced by its translation and writer.
#include "qpl6000/Qpl6000.h"

#include <ostream>

#include "driver/Conversion.h"

namespace fusecvt {

Qpl6000::Qpl6000() : ptFuses(32, 5, 152), mcBits(32, 16) {}

void Qpl6000::ReadMaxInputBits(const SourceImage&, Conversion&) {}
void Qpl6000::TranslateMacrocells(const SourceImage&, Conversion&) {}
void Qpl6000::ClearUnusedTerms(Conversion&) {}
void Qpl6000::CoverRaces(std::ostream&, Conversion&) {}
int Qpl6000::FindOppositeColumn(int) { return -1; }

void Qpl6000::ReadProductTerms(Conversion& run) {
  if (const SourceImage* s = run.sources.image()) ReadMaxInputBits(*s, run);
}
void Qpl6000::TranslateMacrocells(Conversion& run) {
  if (const SourceImage* s = run.sources.image()) TranslateMacrocells(*s, run);
}
void Qpl6000::ClearUnusedProductTerms(Conversion& run) { ClearUnusedTerms(run); }
int Qpl6000::WriteJedec(Conversion& run) {
  run.error << "Cannot write output_file " << run.options.outputFileName << '\n';
  return kJedecOpenFailed;
}

}  // namespace fusecvt
