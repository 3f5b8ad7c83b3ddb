#include "support/JedecFacts.h"

#include "support/ExpectedJedec.h"
#include "support/JedecReader.h"

namespace fusecvt::test {

JedecFacts::JedecFacts(const std::string& jedec) {
  const JedecReadResult r = ReadJedec(jedec);
  if (r.ok()) image_ = ImageOfFuses(r.fuses);
}

std::string JedecFacts::S(int mc) const {
  if (mc < 1 || mc > macrocells()) return std::string(24, '?');
  return std::string(image_->mcBits.row(mc - 1), 24);
}

std::string JedecFacts::Term(int mc, int pt) const {
  if (mc < 1 || mc > macrocells() || pt < 1 || pt > 5) return "";
  return image_->ptFoldbackFuses.row(mc - 1, pt - 1).Text() + image_->ptInputFuses.row(mc - 1, pt - 1).Text();
}

std::string JedecFacts::ConfigBits() const {
  return image_ ? std::string(image_->configBits.data(), 32) : std::string();
}

}  // namespace fusecvt::test
