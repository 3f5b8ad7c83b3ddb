#include "logic/Equations.h"

namespace fusecvt::logic {

namespace {

std::string Product(const Term& t) {
  std::string text;
  for (const Literal& l : t.literals) {
    if (!text.empty()) text += " & ";
    text += (l.complement ? "/" : "") + ShortName(l.signal);
  }
  if (t.state == TermState::False) return text + " (always 0)";
  return text.empty() ? "1 (no literal)" : text;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string EquationsText(const Design& d) {
  std::size_t used = 0;
  for (const Macrocell& m : d.macrocells) used += InUse(m) ? 1 : 0;
  std::string text = "Design: " + d.device + ", " + std::to_string(d.macrocells.size()) + " macrocells, " +
                     std::to_string(used) + " in use\n";
  text += "Names: pin n = I/O pin of MC n, MC n = feedback of MC n, exp n = expander of MC n, / = complement\n";
  for (const Macrocell& m : d.macrocells) {
    if (!InUse(m)) continue;
    text += "\nMC " + std::to_string(m.number) + ": ";
    text += m.registered ? "registered, clock " + m.clock : "combinational";
    text += m.outputEnable.empty() ? "\n" : ", output enable " + m.outputEnable + "\n";
    for (int k = 0; k < 5; ++k) {
      if (InUse(m.terms[k])) text += "  PT " + std::to_string(k + 1) + " = " + Product(m.terms[k]) + "\n";
    }
  }
  return text;
}

std::string EquationsJson(const Design& d) {
  std::string j = "{\"device\": " + JsonString(d.device) + ", \"macrocells\": [";
  for (std::size_t i = 0; i < d.macrocells.size(); ++i) {
    const Macrocell& m = d.macrocells[i];
    j += i ? ",\n  " : "\n  ";
    j += "{\"mc\": " + std::to_string(m.number) + ", \"registered\": " + (m.registered ? "true" : "false") +
         ", \"clock\": " + JsonString(m.clock) + ", \"outputEnable\": " + JsonString(m.outputEnable) +
         ", \"terms\": [";
    for (int k = 0; k < 5; ++k) {
      const Term& t = m.terms[k];
      const char* state = t.disabled ? "disabled" : t.state == TermState::False ? "false" : "literals";
      j += k ? ", " : "";
      j += "{\"pt\": " + std::to_string(k + 1) + ", \"state\": \"" + state + "\", \"literals\": [";
      for (std::size_t l = 0; l < t.literals.size(); ++l) {
        j += l ? ", " : "";
        j += "{\"signal\": " + JsonString(ShortName(t.literals[l].signal)) +
             ", \"complement\": " + (t.literals[l].complement ? "true" : "false") + "}";
      }
      j += "]}";
    }
    j += "]}";
  }
  return j + "\n]}\n";
}

}  // namespace fusecvt::logic
