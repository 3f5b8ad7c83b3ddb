#include "logic/LogicCheck.h"

#include <algorithm>
#include <set>

#include "logic/TargetLogic.h"

namespace fusecvt::logic {

namespace {

enum Deliberate {
  kEmptyDisabled,
  kPinClock,
  kParked,
  kRaceCover,
  kPinFeedback,
  kOutputEnableOff,
  kDeliberateCount,
};
const char* const kDeliberateNames[kDeliberateCount] = {
    "unused terms disabled",
    "product-term clocks turned into pin clocks",
    "constant-false terms reading parked lines",
    "race-coverage terms added",
    "own feedback read as own pin (pin feedback)",
    "output enables switched off (power-down and JTAG pins, unused macrocells)",
};

// Macrocells (from 1) whose output the options may switch off: the power-down
// pins PD1 and PD2, the JTAG pins, and MC 12 and MC 22 of a 3032A.
bool SpecialPin(const std::string& target, int mc) {
  static const struct { const char* device; int mcs[7]; } kPins[] = {
      {"QPL6032", {8, 32, 9, 25, 4, 12, 22}},
      {"QPL6064", {3, 35, 32, 48, 8, 0, 0}},
      {"QPL6128", {3, 67, 32, 48, 96, 0, 0}},
  };
  for (const auto& p : kPins) {
    if (target != p.device) continue;
    for (int m : p.mcs) {
      if (m == mc) return true;
    }
  }
  return false;
}

std::string Lit(const Literal& l) {
  return DescribeSignal(l.signal) + (l.complement ? " (complement)" : " (true)");
}

bool ReadsNone(const std::vector<Literal>& lits) {
  return std::any_of(lits.begin(), lits.end(), [](const Literal& l) { return l.signal.type == SignalType::None; });
}

// A term with the macrocell's own feedback read as its own pin, which it
// equals while the output drives the pin.
Term WithPinFeedback(int mc, const std::vector<Literal>& lits) {
  Term t;
  for (Literal l : lits) {
    if (l.signal == Signal{SignalType::Feedback, mc, 0}) l.signal.type = SignalType::Pin;
    t.literals.push_back(l);
  }
  FinishTerm(t);
  return t;
}

// Whether two terms agree once both read the macrocell's feedback as its pin.
bool SameWithPinFeedback(int mc, const std::vector<Literal>& a, const std::vector<Literal>& b) {
  const Term x = WithPinFeedback(mc, a), y = WithPinFeedback(mc, b);
  if (x.state != y.state) return false;
  return x.state == TermState::False || x.literals == y.literals;
}

// A literal of a UIM line with several selects or with a select of no signal.
bool ReadsLineOfNonePick(const std::vector<Literal>& lits) {
  return std::any_of(lits.begin(), lits.end(), [](const Literal& l) {
    return l.signal.type == SignalType::Several || l.signal.type == SignalType::Unmatched;
  });
}

bool IsGclk(const Signal& s) { return s.type == SignalType::Gclk1 || s.type == SignalType::Gclk2; }

struct Checker {
  const Design& source;
  const Design& target;
  CheckResult r;
  int counts[kDeliberateCount] = {};
  bool qpl6000 = false;
  std::set<int> expandersUsed;  // source macrocells whose expander some term reads
  std::set<int> sharedReported;  // shared foldback columns already reported (by lower macrocell)
  bool illegalClockReported = false;

  void Difference(const std::string& where, const std::string& what) { r.differences.push_back(where + ": " + what); }
  void Known(const std::string& where, const std::string& what) { r.known.push_back(where + ": " + what); }

  bool NoneInLab(int mc) const {
    const std::size_t lab = static_cast<std::size_t>((mc - 1) / 16);
    return lab < source.nonePickInLab.size() && source.nonePickInLab[lab];
  }

  // On the QPL6000 the expanders of two macrocells share a foldback column.
  void MapExpanders(std::vector<Literal>& lits, const std::string& where) {
    if (!qpl6000) return;
    for (Literal& l : lits) {
      if (l.signal.type != SignalType::Expander) continue;
      const int x = l.signal.mc, y = SharedFoldbackPartner(x);
      if (!y) continue;
      if (expandersUsed.count(y) && sharedReported.insert(std::min(x, y)).second) {
        Known(where, "known: the expanders of MC " + std::to_string(std::min(x, y)) + " and MC " +
                         std::to_string(std::max(x, y)) + " are both read but share one foldback column in the target");
      }
      l.signal = Signal{SignalType::SharedFoldback, std::min(x, y), std::max(x, y)};
    }
    std::sort(lits.begin(), lits.end());
  }

  // Pin feedback (QPL6000): the macrocell's own feedback read as its own pin.
  void AcceptPinFeedback(int mc, std::vector<Literal>& missing, std::vector<Literal>& extra,
                         const std::vector<Literal>& t) {
    for (auto it = missing.begin(); it != missing.end();) {
      const Literal pin{Signal{SignalType::Pin, mc, 0}, it->complement};
      auto e = std::find(extra.begin(), extra.end(), pin);
      const bool pinRead = e != extra.end() || std::binary_search(t.begin(), t.end(), pin);
      if (it->signal == Signal{SignalType::Feedback, mc, 0} && pinRead) {
        ++counts[kPinFeedback];
        if (e != extra.end()) extra.erase(e);
        it = missing.erase(it);
      } else {
        ++it;
      }
    }
  }

  // A "none" pick that the target reads as a signal, or does not read.
  void AcceptNonePicks(const std::string& where, std::vector<Literal>& missing, std::vector<Literal>& extra) {
    for (auto it = missing.begin(); it != missing.end();) {
      if (it->signal.type != SignalType::None) {
        ++it;
        continue;
      }
      const std::string pick = std::string("known: none pick ") + (it->complement ? "(complement)" : "(true)");
      if (!extra.empty()) {
        Known(where, pick + " reads " + Lit(extra.front()) + " in the target");
        extra.erase(extra.begin());
      } else {
        Known(where, pick + " is not read in the target");
      }
      it = missing.erase(it);
    }
  }

  // A UIM line that a none pick of the LAB shares with a signal gets several
  // selects, or selects no signal.
  void AcceptSharedLines(int mc, const std::string& where, std::vector<Literal>& missing,
                         std::vector<Literal>& extra) {
    if (!NoneInLab(mc)) return;
    for (auto it = extra.begin(); it != extra.end();) {
      const SignalType type = it->signal.type;
      if (type != SignalType::Several && type != SignalType::Unmatched) {
        ++it;
        continue;
      }
      const std::string line = type == SignalType::Several ? "a UIM line with several selects"
                                                           : "a UIM line selecting no signal";
      if (!missing.empty()) {
        Known(where, "known: " + Lit(missing.front()) + " reads " + line + " (a none pick of the LAB sets one)");
        missing.erase(missing.begin());
      } else {
        Known(where, "known: the target also reads " + line + " (a none pick of the LAB sets one)");
      }
      it = extra.erase(it);
    }
  }

  // The literals of one term on both sides: each one missing or extra is a
  // difference, unless pin feedback or a none pick accounts for it.
  void CompareLiterals(int mc, const std::string& where, const std::vector<Literal>& s,
                       const std::vector<Literal>& t) {
    std::vector<Literal> missing, extra;
    std::set_difference(s.begin(), s.end(), t.begin(), t.end(), std::back_inserter(missing));
    std::set_difference(t.begin(), t.end(), s.begin(), s.end(), std::back_inserter(extra));
    if (qpl6000) AcceptPinFeedback(mc, missing, extra, t);
    AcceptNonePicks(where, missing, extra);
    AcceptSharedLines(mc, where, missing, extra);
    // In a term that reads a none pick, the rest follows from where the pick
    // lands: a UIM line it shares with a signal, or a line another signal feeds.
    if (ReadsNone(s)) {
      for (const Literal& l : missing) Known(where, "known: " + Lit(l) + " not read in the target (the term reads a none pick)");
      for (const Literal& l : extra) Known(where, "known: " + Lit(l) + " read in the target (the term reads a none pick)");
      return;
    }
    for (const Literal& l : missing) Difference(where, Lit(l) + " missing in the target");
    for (const Literal& l : extra) Difference(where, Lit(l) + " extra in the target");
  }

  // Returns whether PT 4 was turned into a pin clock.
  bool CompareTerm(int mc, int k, const Term& s, const Term& t) {
    const std::string where = "MC " + std::to_string(mc) + " PT " + std::to_string(k + 1);
    ++r.terms;
    r.literals += static_cast<int>(s.literals.size());
    std::vector<Literal> sl = s.literals;
    MapExpanders(sl, where);
    const bool sFalse = s.state == TermState::False, tFalse = t.state == TermState::False;
    if (sFalse && tFalse) {
      if (!s.disabled && sl != t.literals) ++counts[kParked];
      return false;
    }
    if (!sFalse && sl.empty() && t.disabled) {
      ++counts[kEmptyDisabled];
      return false;
    }
    if (k == 3 && !sFalse && sl.size() == 1 && IsGclk(sl[0].signal) && t.disabled) {
      ++counts[kPinClock];
      return true;
    }
    // Race coverage fills a term the source leaves unused with a copy of a
    // term of the macrocell, always ANDed with the macrocell's own feedback.
    const bool sourceUnused = s.disabled || (!sFalse && sl.empty());
    if (qpl6000 && sourceUnused && !tFalse &&
        std::binary_search(t.literals.begin(), t.literals.end(), Literal{Signal{SignalType::Feedback, mc, 0}, false})) {
      ++counts[kRaceCover];
      return false;
    }
    if (qpl6000 && sFalse != tFalse && SameWithPinFeedback(mc, sl, t.literals)) {
      ++counts[kPinFeedback];
      return false;
    }
    if (sFalse != tFalse) {
      const std::string what = sFalse ? "constant false in the source, not in the target" : "constant false in the target";
      if (ReadsNone(sl)) {
        Known(where, "known: none pick: " + what);
      } else if (NoneInLab(mc) && ReadsLineOfNonePick(t.literals)) {
        Known(where, "known: a none pick of the LAB selects on a line the term reads: " + what);
      } else {
        Difference(where, what);
      }
      return false;
    }
    CompareLiterals(mc, where, sl, t.literals);
    return false;
  }

  void CompareOutputEnable(const std::string& where, const Macrocell& s, const Macrocell& t) {
    if (s.outputEnable.empty() || t.outputEnable.empty() || s.outputEnable == t.outputEnable) return;
    if (t.outputEnable == "never" && (SpecialPin(target.device, s.number) || !InUse(t))) {
      ++counts[kOutputEnableOff];
    } else if (qpl6000 && s.outputEnable == "never" && t.outputEnable == "always" && !t.registered) {
      ++counts[kPinFeedback];  // the output now drives the pin that the terms read
    } else {
      Difference(where, "output enable " + s.outputEnable + " in the source, " + t.outputEnable + " in the target");
    }
  }

  void CompareMacrocell(const Macrocell& s, const Macrocell& t) {
    ++r.macrocells;
    // The literal of a PT 4 turned into a pin clock ("GCLK1", "/GCLK2"), else empty.
    std::string pinClockLiteral;
    for (int k = 0; k < 5; ++k) {
      if (CompareTerm(s.number, k, s.terms[k], t.terms[k])) {
        const Literal& l = s.terms[k].literals.front();
        pinClockLiteral = OutputEnableOf(l.signal, l.complement);
      }
    }
    if (!s.known || !t.known) return;
    const std::string where = "MC " + std::to_string(s.number);
    CompareOutputEnable(where, s, t);
    if (s.registered != t.registered) {
      Difference(where, s.registered ? "registered in the source, combinational in the target"
                                     : "combinational in the source, registered in the target");
      return;
    }
    if (!s.registered || s.clock == t.clock) return;
    // A product-term clock turned into a pin clock must clock from its one literal.
    if (!pinClockLiteral.empty() && s.clock == kPtClock && t.clock == pinClockLiteral) return;
    if (s.clock == "no signal") {  // told once, at the first macrocell it concerns
      if (!illegalClockReported) {
        Known(where, "known: the source's global clock code is illegal; the target clocks from " + t.clock);
      }
      illegalClockReported = true;
      return;
    }
    Difference(where, "clock " + s.clock + (pinClockLiteral.empty() ? "" : " (" + pinClockLiteral + ")") +
                          " in the source, " + t.clock + " in the target");
  }

  void Run() {
    qpl6000 = target.device.rfind("QPL6000", 0) == 0;
    for (const Macrocell& m : source.macrocells) {
      for (const Term& t : m.terms) {
        for (const Literal& l : t.literals) {
          if (l.signal.type == SignalType::Expander) expandersUsed.insert(l.signal.mc);
        }
      }
    }
    if (source.macrocells.size() != target.macrocells.size()) {
      Difference("design", "the source has " + std::to_string(source.macrocells.size()) +
                               " macrocells, the target " + std::to_string(target.macrocells.size()));
      return;
    }
    for (std::size_t m = 0; m < source.macrocells.size(); ++m) {
      CompareMacrocell(source.macrocells[m], target.macrocells[m]);
    }
    for (int i = 0; i < kDeliberateCount; ++i) {
      if (counts[i]) r.deliberate.emplace_back(kDeliberateNames[i], counts[i]);
    }
  }
};

}  // namespace

CheckResult CompareLogic(const Design& source, const Design& target) {
  Checker c{source, target, {}, {}, false, {}, {}, false};
  c.Run();
  return std::move(c.r);
}

std::string AccountText(const CheckResult& r) {
  std::string text = "Logic check: " + std::to_string(r.macrocells) + " macrocells, " + std::to_string(r.terms) +
                     " product terms, " + std::to_string(r.literals) + " literals compared; ";
  const std::size_t n = r.differences.size(), k = r.known.size();
  if (n == 0 && k == 0) {
    text += "no difference\n";
  } else {
    if (n) text += std::to_string(n) + (n == 1 ? " difference" : " differences");
    if (n && k) text += ", ";
    if (k) text += std::to_string(k) + (k == 1 ? " known difference" : " known differences");
    text += "\n";
  }
  if (!r.deliberate.empty()) {
    text += "Logic check: changes made on purpose:";
    for (std::size_t i = 0; i < r.deliberate.size(); ++i) {
      text += (i ? ", " : " ") + std::to_string(r.deliberate[i].second) + " " + r.deliberate[i].first;
    }
    text += "\n";
  }
  for (const std::string& d : r.differences) text += "Logic check: " + d + "\n";
  for (const std::string& d : r.known) text += "Logic check: " + d + "\n";
  return text;
}

}  // namespace fusecvt::logic
