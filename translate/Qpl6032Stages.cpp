// Placeholder stages. Replaced by the QPL6032 translation.
#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"

namespace fusecvt {

void Qpl6032::ReadProductTerms(Conversion&) {}
void Qpl6032::TranslateMacrocells(Conversion&) {}
void Qpl6032::RouteGlobalOe(Conversion&) {}
void Qpl6032::ApplyDeviceOptions(Conversion&) {}
void Qpl6032::RouteUim(Conversion&) {}
void Qpl6032::ClearUnusedProductTerms(Conversion&) {}

}  // namespace fusecvt
