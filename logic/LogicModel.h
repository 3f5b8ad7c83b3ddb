#pragma once
// The logic of a design as its fuse map says it, for every device alike:
// per macrocell the five product terms as sets of literals, and the
// configuration that both fuse maps name (register or combinational, clock,
// output enable). Built from a source image (SourceLogic.h) or from a JEDEC
// file of a target (TargetLogic.h) by reading each fuse map's tables forward,
// column to signal; compared by LogicCheck.h.

#include <string>
#include <vector>

namespace fusecvt::logic {

enum class SignalType {
  Pin,          // the I/O pin of macrocell `mc`
  Feedback,     // the feedback of macrocell `mc`
  Expander,     // the shared expander (foldback term) of macrocell `mc`
  SharedFoldback,  // one foldback column serving macrocells `mc` and `mc2`
  Gclk1,        // dedicated input GCLK1
  Gclk2,        // dedicated input GCLK2, also the second output-enable input
  Oe1,          // dedicated input used as the first output-enable input
  Input4,       // the fourth dedicated input
  None,         // a "none" choice: the line carries no signal
  NoSelect,     // a PIA row with no pick, or a UIM line with no select fuse
  Unmatched,    // a choice that carries no source signal
  Several,      // a UIM line with more than one select fuse
};

struct Signal {
  SignalType type = SignalType::None;
  int mc = 0;   // macrocell number (from 1) for Pin, Feedback, Expander
  int mc2 = 0;  // the second macrocell of a SharedFoldback
  friend bool operator==(const Signal& a, const Signal& b) {
    return a.type == b.type && a.mc == b.mc && a.mc2 == b.mc2;
  }
  friend bool operator!=(const Signal& a, const Signal& b) { return !(a == b); }
  friend bool operator<(const Signal& a, const Signal& b) {
    if (a.type != b.type) return a.type < b.type;
    if (a.mc != b.mc) return a.mc < b.mc;
    return a.mc2 < b.mc2;
  }
};

struct Literal {
  Signal signal;
  bool complement = false;
  friend bool operator==(const Literal& a, const Literal& b) {
    return a.signal == b.signal && a.complement == b.complement;
  }
  friend bool operator<(const Literal& a, const Literal& b) {
    if (a.signal != b.signal) return a.signal < b.signal;
    return a.complement < b.complement;
  }
};

// What a product term computes.
enum class TermState {
  Literals,  // the AND of its literals (no literal: constant true)
  False,     // constant false: some input read in both polarities
};

struct Term {
  TermState state = TermState::Literals;
  bool disabled = false;  // every fuse programmed (the disabled pattern)
  std::vector<Literal> literals;  // sorted, each once
};

struct Macrocell {
  int number = 0;  // from 1
  Term terms[5];
  // Configuration, as far as the fuse map names it.
  bool known = false;         // the fields below were decoded
  bool registered = false;    // a register, not a combinational output
  // "PT 4", or the signal of the global clock line ("GCLK1", "/GCLK2"; "no
  // signal" when the clock lines are not configured); empty when combinational.
  std::string clock;
  // "always", "never", the enabling literal ("OE1", "/pin 12"), "no signal";
  // empty when the fuse map does not say (a macrocell without an I/O record).
  std::string outputEnable;
};

struct Design {
  std::string device;  // "7032S", "QPL6032", "QPL6000E", ...
  std::vector<Macrocell> macrocells;
  // Source designs: per LAB, whether some PIA row picks "none".
  std::vector<bool> nonePickInLab;
};

// A term that reads something (not disabled, not without literals); a
// macrocell with such a term.
bool InUse(const Term& t);
bool InUse(const Macrocell& m);

// The signal of global clock line 1 or 2 for a global clock code 1..6 (the
// two lines: 1 GCLK1, GCLK2; 2 /GCLK1, /GCLK2; 3 GCLK1, /GCLK1; 4 /GCLK1,
// GCLK2; 5 GCLK1, /GCLK2; 6 /GCLK2, GCLK2); "no signal" for any other code.
std::string GlobalClockOf(int code, int line);
inline constexpr char kPtClock[] = "PT 4";

// The output-enable text of a literal: its short name, "/" before it when
// inverted, "no signal" for a line that carries none.
std::string OutputEnableOf(const Signal& s, bool inverted);

// "input pin of MC 12", "feedback of MC 3", "GCLK1", ...
std::string DescribeSignal(const Signal& s);
// "pin 12", "MC 3", "exp 5", "GCLK1", ... (the equation form)
std::string ShortName(const Signal& s);

// A signal that names a real input (not none, no select, unconnected, conflict).
bool IsDefined(const Signal& s);
// Sorts the literals, keeps each once, and makes the term constant false when
// it reads a defined signal in both polarities. Decoders mark a term false
// themselves when it reads one row or line in both polarities.
void FinishTerm(Term& term);

}  // namespace fusecvt::logic
