#include "logic/LogicModel.h"

#include <algorithm>

namespace fusecvt::logic {

std::string DescribeSignal(const Signal& s) {
  const std::string n = std::to_string(s.mc);
  switch (s.type) {
    case SignalType::Pin: return "input pin of MC " + n;
    case SignalType::Feedback: return "feedback of MC " + n;
    case SignalType::Expander: return "expander of MC " + n;
    case SignalType::SharedFoldback:
      return "foldback column of MC " + n + " and MC " + std::to_string(s.mc2);
    case SignalType::Gclk1: return "GCLK1";
    case SignalType::Gclk2: return "GCLK2/OE2";
    case SignalType::Oe1: return "OE1";
    case SignalType::Input4: return "fourth dedicated input";
    case SignalType::None: return "no signal (none pick)";
    case SignalType::NoSelect: return "a line with no select";
    case SignalType::Unmatched: return "an unconnected choice";
    case SignalType::Several: return "a line with several selects";
  }
  return "?";
}

std::string ShortName(const Signal& s) {
  const std::string n = std::to_string(s.mc);
  switch (s.type) {
    case SignalType::Pin: return "pin " + n;
    case SignalType::Feedback: return "MC " + n;
    case SignalType::Expander: return "exp " + n;
    case SignalType::SharedFoldback: return "exp " + n + "|" + std::to_string(s.mc2);
    case SignalType::Gclk1: return "GCLK1";
    case SignalType::Gclk2: return "GCLK2";
    case SignalType::Oe1: return "OE1";
    case SignalType::Input4: return "IN4";
    case SignalType::None: return "none";
    case SignalType::NoSelect: return "unselected";
    case SignalType::Unmatched: return "unconnected";
    case SignalType::Several: return "conflict";
  }
  return "?";
}

bool IsDefined(const Signal& s) {
  return s.type != SignalType::None && s.type != SignalType::NoSelect &&
         s.type != SignalType::Unmatched && s.type != SignalType::Several;
}

bool InUse(const Term& t) { return !t.disabled && !(t.state == TermState::Literals && t.literals.empty()); }

bool InUse(const Macrocell& m) {
  for (const Term& t : m.terms) {
    if (InUse(t)) return true;
  }
  return false;
}

std::string GlobalClockOf(int code, int line) {
  static const char* const kLines[6][2] = {{"GCLK1", "GCLK2"}, {"/GCLK1", "/GCLK2"}, {"GCLK1", "/GCLK1"},
                                           {"/GCLK1", "GCLK2"}, {"GCLK1", "/GCLK2"}, {"/GCLK2", "GCLK2"}};
  if (code < 1 || code > 6 || line < 1 || line > 2) return "no signal";
  return kLines[code - 1][line - 1];
}

std::string OutputEnableOf(const Signal& s, bool inverted) {
  if (!IsDefined(s)) return "no signal";
  return (inverted ? "/" : "") + ShortName(s);
}

void FinishTerm(Term& term) {
  if (term.disabled) {  // every input read in both polarities: nothing to name
    term.state = TermState::False;
    term.literals.clear();
    return;
  }
  std::sort(term.literals.begin(), term.literals.end());
  term.literals.erase(std::unique(term.literals.begin(), term.literals.end()), term.literals.end());
  for (std::size_t i = 0; i + 1 < term.literals.size(); ++i) {
    const Signal& a = term.literals[i].signal;
    if (a == term.literals[i + 1].signal && IsDefined(a)) term.state = TermState::False;
  }
}

}  // namespace fusecvt::logic
