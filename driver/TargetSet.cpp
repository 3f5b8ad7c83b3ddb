#include "driver/TargetSet.h"

#include "driver/Conversion.h"
#include "driver/Text.h"
#include "jedec/BlockTarget.h"
#include "qpl6000/Qpl6000.h"

namespace fusecvt {

bool IsPlainQpl6000Word(const std::string& deviceWord) {
  return FirstCharsEqual(deviceWord, "p6000", 5) && !Contains(deviceWord, "6000e");
}

void TargetDevice::ApplySecurity(Conversion& run) { run.sources.securityBit = 1; }

TargetSet::TargetSet() = default;
TargetSet::~TargetSet() = default;

int TargetSet::SelectTarget(const std::string* deviceText, Conversion& run) {
  qpl6000.reset();
  qpl6128.reset();
  qpl6064.reset();
  qpl6032.reset();
  deviceWordRefused_ = false;
  if (!deviceText) return 0;
  const std::string& name = *deviceText;
  const std::string& word = run.options.targetDeviceName;
  if (Contains(name, "7032S")) {
    if (Contains(word, "6000")) {
      for (std::ostream* out : {&run.console, &run.report()}) {
        *out << "ERROR:  Invalid Device type specified. Target\n"
             << "    device for 7032S is 6032ES\n\n";
        out->flush();
      }
      deviceWordRefused_ = true;
      return 0;
    }
    qpl6032 = std::make_unique<Qpl6032>();
  } else if (Contains(name, "7032AE") || Contains(name, "3032A")) {
    qpl6032 = std::make_unique<Qpl6032>();
  } else if (Contains(name, "7032")) {
    if (Contains(word, "6032")) {
      qpl6032 = std::make_unique<Qpl6032>();
    } else {
      qpl6000 = std::make_unique<Qpl6000>();
    }
  } else if (Contains(name, "7128") || Contains(name, "3128")) {
    qpl6128 = std::make_unique<Qpl6128>();
  } else if (Contains(name, "7064") || Contains(name, "3064")) {
    qpl6064 = std::make_unique<Qpl6064>();
  } else {
    return 0;
  }
  return 1;
}

TargetDevice* TargetSet::current() const {
  if (qpl6000) return qpl6000.get();
  if (qpl6128) return qpl6128.get();
  if (qpl6064) return qpl6064.get();
  if (qpl6032) return qpl6032.get();
  return nullptr;
}

void TargetSet::ReadProductTerms(Conversion& run) {
  if (TargetDevice* t = current()) t->ReadProductTerms(run);
}
void TargetSet::TranslateMacrocells(Conversion& run) {
  if (TargetDevice* t = current()) t->TranslateMacrocells(run);
}
void TargetSet::RouteGlobalOe(Conversion& run) {
  if (TargetDevice* t = current()) t->RouteGlobalOe(run);
}
void TargetSet::ApplyDeviceOptions(Conversion& run) {
  if (TargetDevice* t = current()) t->ApplyDeviceOptions(run);
}
void TargetSet::RouteUim(Conversion& run) {
  if (TargetDevice* t = current()) t->RouteUim(run);
}
void TargetSet::ClearUnusedProductTerms(Conversion& run) {
  if (TargetDevice* t = current()) t->ClearUnusedProductTerms(run);
}
void TargetSet::ApplySecurity(Conversion& run) {
  if (TargetDevice* t = current()) t->ApplySecurity(run);
}
int TargetSet::WriteJedec(Conversion& run) {
  TargetDevice* t = current();
  return t ? t->WriteJedec(run) : kJedecWritten;
}

}  // namespace fusecvt
