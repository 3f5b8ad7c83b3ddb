#include "driver/TargetSet.h"


#include "driver/Conversion.h"
#include "pof/Text.h"
#include "translate/BlockTarget.h"
#include "qpl6000/Qpl6000.h"

namespace fusecvt {

bool IsPlainQpl6000Word(const std::string& deviceWord) {
  return FirstCharsEqual(deviceWord, "p6000", 5) && !Contains(deviceWord, "6000e");
}

const std::vector<const char*>& DeviceWordsOf(TargetFamily family) {
  static const std::vector<const char*> k32 = {"6032es", "6032esl"};
  static const std::vector<const char*> k32Or6000 = {"6000e", "p6000", "6032es", "6032esl"};
  static const std::vector<const char*> k64 = {"6064es", "6064esl"};
  static const std::vector<const char*> k128 = {"6128es", "6128esl"};
  switch (family) {
    case TargetFamily::kQpl6032:
    case TargetFamily::kQpl6032Only: return k32;
    case TargetFamily::kQpl6032OrQpl6000: return k32Or6000;
    case TargetFamily::kQpl6064: return k64;
    case TargetFamily::kQpl6128: break;
  }
  return k128;
}

bool DeviceWordFits(TargetFamily family, const std::string& lowerWord) {
  switch (family) {
    case TargetFamily::kQpl6032: return Contains(lowerWord, "6032");
    case TargetFamily::kQpl6032Only:
    case TargetFamily::kQpl6032OrQpl6000: return Contains(lowerWord, "6032") || Contains(lowerWord, "6000");
    case TargetFamily::kQpl6064: return Contains(lowerWord, "6064");
    case TargetFamily::kQpl6128: break;
  }
  return Contains(lowerWord, "6128");
}

TargetChoice SelectTarget(const DeviceRecord& source, Conversion& run) {
  TargetChoice choice;
  if (!source.variant) return choice;
  const std::string& word = run.options.targetDeviceName;
  switch (source.variant->target) {
    case TargetFamily::kQpl6032Only:
      if (Contains(word, "6000")) {
        for (TextOut* out : {&run.console, &run.report()}) {
          *out << "ERROR:  Invalid Device type specified. Target\n"
               << "    device for " << SourceKindName(source.kind()) << " is 6032ES\n\n";
          out->flush();
        }
        choice.refused = true;
        return choice;
      }
      choice.device = std::make_unique<Qpl6032>();
      break;
    case TargetFamily::kQpl6032: choice.device = std::make_unique<Qpl6032>(); break;
    case TargetFamily::kQpl6032OrQpl6000:
      if (Contains(word, "6032")) {
        choice.device = std::make_unique<Qpl6032>();
      } else {
        choice.device = std::make_unique<Qpl6000>();
        choice.plainQpl6000 = IsPlainQpl6000Word(word);
      }
      break;
    case TargetFamily::kQpl6064: choice.device = std::make_unique<Qpl6064>(); break;
    case TargetFamily::kQpl6128: choice.device = std::make_unique<Qpl6128>(); break;
  }
  return choice;
}

}  // namespace fusecvt
