// Placeholder stages. Replaced by the QPL6128 translation.
#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"

namespace fusecvt {

void Qpl6128::ReadProductTerms(Conversion&) {}
void Qpl6128::TranslateMacrocells(Conversion&) {}
void Qpl6128::RouteGlobalOe(Conversion&) {}
void Qpl6128::ApplyDeviceOptions(Conversion&) {}
void Qpl6128::RouteUim(Conversion&) {}
void Qpl6128::ClearUnusedProductTerms(Conversion&) {}

}  // namespace fusecvt
