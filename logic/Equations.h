#pragma once
// The design as text: one block per macrocell with its register type, clock
// and product terms as products of named literals; or the same as JSON.

#include <string>

#include "logic/LogicModel.h"

namespace fusecvt::logic {

std::string EquationsText(const Design& d);
std::string EquationsJson(const Design& d);

}  // namespace fusecvt::logic
