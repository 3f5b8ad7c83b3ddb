// Placeholder stages. Replaced by the QPL6064 translation.
#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"

namespace fusecvt {

void Qpl6064::ReadProductTerms(Conversion&) {}
void Qpl6064::TranslateMacrocells(Conversion&) {}
void Qpl6064::RouteGlobalOe(Conversion&) {}
void Qpl6064::ApplyDeviceOptions(Conversion&) {}
void Qpl6064::RouteUim(Conversion&) {}
void Qpl6064::ClearUnusedProductTerms(Conversion&) {}

}  // namespace fusecvt
