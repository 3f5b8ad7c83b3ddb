// QPL6000 / QPL6000E translation of a plain 7032 image: product terms through
// the flat 152-column array, macrocell configuration bits, clean-up of unused
// terms and the combinational-latch (race coverage / pin feedback) pass.
#include "qpl6000/Qpl6000.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "pof/TextOut.h"
#include "qpl6000/Qpl6000Tables.h"
#include "translate/BitOps.h"
#include "translate/TargetDevice.h"

namespace fusecvt {

namespace {

using qpl6000::PinColumns;
using namespace qpl6000;  // the configuration bit names

constexpr int kMacrocells = Qpl6000::kMacrocells;
constexpr int kTerms = Qpl6000::kTermsPerMacrocell;
constexpr int kBits = Qpl6000::kConfigBits;
constexpr int kSourceTermWidth = 88;  // 36 PIA rows x 2, then 16 expanders
constexpr int kPiaPositions = 72;
constexpr int kPiaBlockWidth = 72;    // flat PIA characters per source block
constexpr int kMaxPin = 44;

static_assert(std::size(qpl6000::kPinColumns) == 37, "pin 0 and 36 device pins");
static_assert(std::size(qpl6000::kPiaTable) == kPiaPositions / 2, "one row per PIA pair");
static_assert(std::size(qpl6000::kIoPin) == kMacrocells, "one I/O pin per macrocell");

// Row of the column table for a pin (pin 0 included), or null.
const PinColumns* ColumnsOfPin(int pin) {
  static const std::array<int, kMaxPin + 1> index = [] {
    std::array<int, kMaxPin + 1> a{};
    a.fill(-1);
    for (int i = 0; i < static_cast<int>(std::size(qpl6000::kPinColumns)); ++i) {
      const int p = qpl6000::kPinColumns[i].pin;
      if (p >= 0 && p <= kMaxPin && a[p] < 0) a[p] = i;
    }
    return a;
  }();
  if (pin < 0 || pin > kMaxPin || index[pin] < 0) return nullptr;
  return &qpl6000::kPinColumns[index[pin]];
}

const PinColumns& ColumnsOfMacrocell(int m) {
  // Every macrocell's pin has a row (checked by the table tests).
  return *ColumnsOfPin(qpl6000::kIoPin[m]);
}

bool Has(const char* p, int n, char c) { return std::memchr(p, c, static_cast<std::size_t>(n)); }

int Count(const char* p, int n, char c) {
  return static_cast<int>(std::count(p, p + n, c));
}


// The fields of a plain 7032 image have exactly the sizes the translation reads.
bool IsPlain7032(const SourceImage& s) {
  return s.kind() == SourceKind::Max7032 &&
         s.logicArray.size() == static_cast<std::size_t>(kMacrocells) * kTerms * kSourceTermWidth &&
         s.pia.size() == 2u * kPiaBlockWidth &&
         s.mcConfig.size() == static_cast<std::size_t>(kMacrocells) * 12 &&
         s.outputEnable.size() == static_cast<std::size_t>(kMacrocells) * 2;
}

// The configuration bit (and the value) that switches each product term on.
struct TermEnable {
  int bit;
  char value;
};
constexpr TermEnable kTermEnable[kTerms] = {
    {kTerm1ToSum, '1'}, {kTerm2ToSum, '1'}, {kTerm3Off, '0'}, {kTerm4Off, '0'}, {kTerm5Off, '0'}};

enum class TermClass {
  Unused,        // no connection
  Empty,         // every column connected
  SetAside,      // PT 1 used for something other than the sum
  UsesFeedbackComplement,
  Latch,         // the own feedback and exactly one other literal
  MoreLiterals,  // the own feedback and two or more other literals
  Plain,
};

}  // namespace

Qpl6000::Qpl6000() : ptFuses(kMacrocells, kTerms, kColumns), mcBits(kMacrocells, kBits) {}

void Qpl6000::ReadProductTerms(const StageContext& run) {
  const SourceImage& source = run.source;
  if (!IsPlain7032(source)) return;
  for (int m = 0; m < kMacrocells; ++m) {
    const int block = m / 16;
    const char* piaBlock = source.pia.data() + block * kPiaBlockWidth;
    for (int p = 0; p < kTerms; ++p) {
      const PackedFuseArray::ConstRow s = source.logicArray.row(m, p);
      char* t = ptFuses.row(m, p);
      if (s.AllProgrammed()) {
        std::fill(t, t + kColumns, '0');
        continue;
      }
      for (int i = 0; i < kSourceTermWidth; ++i) {
        if (s[i] == '1') continue;
        int column = -1;
        if (i < kPiaPositions) {
          const int r = i / 2;
          const char hi = piaBlock[2 * r];
          const char lo = piaBlock[2 * r + 1];
          if ((hi == '0' || hi == '1') && (lo == '0' || lo == '1')) {
            const int code = (hi - '0') * 2 + (lo - '0');
            const qpl6000::PiaSignal& sig = qpl6000::kPiaTable[r][code];
            if (const PinColumns* pc = ColumnsOfPin(sig.pin)) {
              const bool even = i % 2 == 0;
              column = sig.feedback ? (even ? pc->feedbackTrue : pc->feedbackComplement)
                                    : (even ? pc->pinTrue : pc->pinComplement);
            }
          }
        } else {
          const int e = m < 16 ? i - kPiaPositions : i - 56;
          column = ColumnsOfMacrocell(e).foldback;
        }
        if (column >= 0 && column < kColumns) {
          t[column] = '0';
        } else {
          run.messages.console << "Qpl6000::ReadMaxInputBits() Error\n";
        }
      }
    }
  }
}

void Qpl6000::TranslateMacrocells(const StageContext& run) {
  const SourceImage& source = run.source;
  if (!IsPlain7032(source)) return;
  for (int m = 0; m < kMacrocells; ++m) {
    const char* c = source.mcConfig.row(m);
    const char* o = source.outputEnable.row(m);
    char* b = mcBits.row(m);
    b[kTerm1ToSum] = BitNot(c[0]);
    b[kTerm2ToSum] = BitNot(c[1]);
    b[kFoldbackMode] = BitNot(c[7]);
    b[kFoldbackLow] = BitNot(c[8]);
    b[kFoldbackHigh] = BitEqual(c[8], c[9]);
    b[kTerm3Off] = c[2];
    b[kRegisterOption] = BitNot(c[6]);
    b[kTerm4Off] = c[3];
    b[kGlobalClock] = BitNot(c[5]);
    b[kOutputOff] = BitNot(o[1]);
    b[kOutputEnable1] = BitEqual(o[0], o[1]);
    b[kOutputEnable2] = '1';
    b[kTerm5Off] = c[4];
    b[kCombinational] = c[10];
    switch (run.options.slew) {
      case AUTO: b[kSlowSlew] = BitNot(c[11]); break;
      case FAST: b[kSlowSlew] = '0'; break;
      default: b[kSlowSlew] = '1'; break;
    }
    b[kFixed15] = '1';

    if (b[kCombinational] == '1' && b[kTerm4Off] == '0' && b[kGlobalClock] == '0') b[kGlobalClock] = '1';
    // Macrocells of the first block look at the expander of their own
    // position in PT 1 of MC 18; the second block keeps its bit.
    if (b[kFoldbackMode] == '0' && b[kFoldbackLow] == '1' && b[kFoldbackHigh] == '0' && m < 16 &&
        source.logicArray.at(17, 0, kPiaPositions + m % 16) == '0') {
      b[kFoldbackHigh] = '1';
    }
    char* pt4 = ptFuses.row(m, 3);
    if (b[kGlobalClock] == '1' && b[kTerm4Off] == '1' && !Has(pt4, kColumns, '0')) {
      b[kTerm4Off] = '0';
      std::fill(pt4, pt4 + kColumns, '0');
    }
    // A clock term that only takes pin 43 becomes the pin clock.
    constexpr int kClockPinColumn = 58;
    if (run.options.pinClock && pt4[kClockPinColumn] == '0' && Count(pt4, kColumns, '0') == 1) {
      run.outcome.ptClockConverted = true;
      if (b[kTerm4Off] == '1' && b[kGlobalClock] == '0' && b[kCombinational] == '0') {
        b[kTerm4Off] = '0';
        b[kGlobalClock] = '1';
      }
      std::fill(pt4, pt4 + kColumns, '0');
    }
  }
}

void Qpl6000::ClearUnusedProductTerms(const StageContext& run) {
  for (int m = 0; m < kMacrocells; ++m) {
    char* b = mcBits.row(m);
    for (int p = 0; p < kTerms; ++p) {
      char* t = ptFuses.row(m, p);
      if (Has(t, kColumns, '0')) continue;
      bool keep = false;
      switch (p) {
        case 0: keep = b[kTerm1ToSum] == '1'; break;
        case 1:
          if (b[kTerm2ToSum] == '1') {
            if (b[kCombinational] == '0' || b[kFixed15] == '1') {
              if (b[kFoldbackMode] == '1' && b[kFoldbackLow] == '1' && b[kFoldbackHigh] == '1') {
                b[kFoldbackMode] = '0';
                if (run.options.verbose) {
                  run.messages.console << "Macrocell " << m + 1 << " PT2 VCC is reconfigured\n";
                }
              } else {
                keep = true;
              }
            }
          } else if (b[kTerm2ToSum] == '0') {
            keep = (b[kFoldbackMode] == '1' && b[kFoldbackLow] == '1' && b[kFoldbackHigh] == '0') ||
                   (b[kFoldbackMode] == '0' && b[kFoldbackLow] == '1' && b[kFoldbackHigh] == '1');
          }
          break;
        case 2: keep = b[kTerm3Off] == '0'; break;
        case 3: keep = b[kTerm4Off] == '0' || (b[kTerm4Off] == '1' && b[kGlobalClock] == '1' && b[kCombinational] == '0'); break;
        default: break;  // PT 5 is never kept without a connection
      }
      if (!keep) std::fill(t, t + kColumns, '0');
    }
  }
}

int Qpl6000::FindOppositeColumn(int column) {
  if (column < 0 || column >= kColumns) return -1;
  for (const PinColumns& c : qpl6000::kPinColumns) {
    if (c.pin < 1) continue;
    if (column == c.pinTrue) return c.pinComplement;
    if (column == c.pinComplement) return c.pinTrue;
    if (column == c.feedbackTrue) return c.feedbackComplement;
    if (column == c.feedbackComplement) return c.feedbackTrue;
    if (column == c.foldback) return -1;
  }
  return -1;
}

namespace {

constexpr int kColumns = Qpl6000::kColumns;

// The product terms of one macrocell, sorted by what they do with its
// feedback.
struct TermCensus {
  TermClass cls[kTerms];
  int empty = 0, complement = 0, latch = 0, more = 0, plain = 0, plainTerm = -1;
};

TermCensus TakeCensus(const Qpl6000& q, int m, int f, int fc) {
  const char* b = q.mcBits.row(m);
  TermCensus c;
  for (int p = 0; p < kTerms; ++p) {
    const char* t = q.ptFuses.row(m, p);
    const int zeros = Count(t, kColumns, '0');
    TermClass& cls = c.cls[p];
    if (zeros == 0) {
      cls = TermClass::Unused;
    } else if (zeros == kColumns) {
      cls = TermClass::Empty;
      ++c.empty;
    } else if (p == 0 && b[kTerm1ToSum] == '0' && (b[kFoldbackMode] == '1' || b[kFoldbackLow] == '0' || b[kFoldbackHigh] == '1')) {
      cls = TermClass::SetAside;
    } else if (t[fc] == '0') {
      cls = TermClass::UsesFeedbackComplement;
      ++c.complement;
    } else if (t[f] == '0' && zeros == 2) {
      cls = TermClass::Latch;
      ++c.latch;
    } else if (t[f] == '0' && zeros >= 3) {
      cls = TermClass::MoreLiterals;
      ++c.more;
    } else {
      cls = TermClass::Plain;
      ++c.plain;
      c.plainTerm = p;
    }
  }
  return c;
}

// Race coverage: the plain term without the latch literals it already has in
// the other polarity, and with the feedback added, covers the moment the
// latch term changes over. True when the latch is settled this way (a term
// added, or the covering term already there).
// The notices of the latch pass: for standard output and for the JEDEC header.
struct RaceNotices {
  StringTextOut console;
  StringTextOut file;
  bool verbose;
};

bool CoverWithTerm(Qpl6000& q, int m, const TermCensus& c, RaceNotices& notices) {
  const int f = ColumnsOfMacrocell(m).feedbackTrue;
  const char* b = q.mcBits.row(m);
  if (!(c.complement == 0 && c.more == 0 && (c.latch == 1 || c.latch == 2) && c.plain == 1 && c.empty >= 1 &&
        b[kFoldbackLow] == '1' && b[kFoldbackHigh] == '1')) {
    return false;
  }
  const char* plainFuses = q.ptFuses.row(m, c.plainTerm);
  std::array<char, kColumns> copy{};
  std::copy(plainFuses, plainFuses + kColumns, copy.begin());
  int counted = 0;
  int countedTerm = -1;
  for (int p = 0; p < kTerms; ++p) {
    if (c.cls[p] != TermClass::Latch) continue;
    const char* t = q.ptFuses.row(m, p);
    int x = -1;
    for (int col = 0; col < kColumns && x < 0; ++col) {
      if (t[col] == '0' && col != f) x = col;
    }
    const int opposite = Qpl6000::FindOppositeColumn(x);
    if (opposite < 0) return false;
    if (copy[opposite] == '0') {
      copy[opposite] = '1';
    } else if (copy[x] == '0') {
      ++counted;
      countedTerm = p;
    } else {
      return false;
    }
  }
  const bool connects = std::find(copy.begin(), copy.end(), '0') != copy.end();
  if (counted >= 2 || !connects) return false;
  copy[f] = '0';
  if (counted == 1) return std::equal(copy.begin(), copy.end(), q.ptFuses.row(m, countedTerm));
  const TermClass* firstEmpty = std::find(c.cls, c.cls + kTerms, TermClass::Empty);
  if (firstEmpty != c.cls + kTerms) {
    const int p = static_cast<int>(firstEmpty - c.cls);
    std::copy(copy.begin(), copy.end(), q.ptFuses.row(m, p));
    q.mcBits.at(m, kTermEnable[p].bit) = kTermEnable[p].value;
    notices.console << "Combinatorial Latch Detected at Macrocell " << m + 1 << " from POF file\a\n"
                    << "\t- Added race coverage product term\a\n";
    notices.file << "Combinatorial Latch Detected at Macrocell " << m + 1 << " from POF file\n"
                 << "\t- Added race coverage product term\n";
  }
  return true;
}

// Pin feedback: the latch reads the pin instead of the internal feedback.
void FeedBackFromPin(Qpl6000& q, int m, const TermCensus& c, RaceNotices& notices) {
  char* b = q.mcBits.row(m);
  const PinColumns& pc = ColumnsOfMacrocell(m);
  const bool allSet = b[kOutputOff] == '1' && b[kOutputEnable1] == '1' && b[kOutputEnable2] == '1';
  const bool enabledOutput = b[kOutputOff] == '0' && b[kOutputEnable1] == '1' && b[kOutputEnable2] == '1';
  if (!allSet && !enabledOutput) return;
  if (allSet) {
    bool pinInUse = false;
    for (int mm = 0; mm < kMacrocells && !pinInUse; ++mm) {
      for (int p = 0; p < kTerms && !pinInUse; ++p) {
        const char* t = q.ptFuses.row(mm, p);
        pinInUse = t[pc.pinTrue] == '0' || t[pc.pinComplement] == '0';
      }
    }
    if (pinInUse) {
      for (StringTextOut* s : {&notices.console, &notices.file}) {
        *s << "Combinatorial Latch Detected at Macrocell " << m + 1 << " from POF file\n";
      }
      return;
    }
  }
  for (int p = 0; p < kTerms; ++p) {
    if (c.cls[p] == TermClass::Empty) continue;
    char* t = q.ptFuses.row(m, p);
    if (t[pc.feedbackTrue] == '0') {
      t[pc.feedbackTrue] = '1';
      t[pc.pinTrue] = '0';
    } else if (t[pc.feedbackComplement] == '0') {
      t[pc.feedbackComplement] = '1';
      t[pc.pinComplement] = '0';
    }
  }
  if (allSet) b[kOutputOff] = '0';
  if (notices.verbose) {
    for (StringTextOut* s : {&notices.console, &notices.file}) {
      *s << "Combinatorial Latch Detected at Macrocell " << m + 1 << " from POF file (pf)\n"
         << " - Implemented Pin feedback.\n";
    }
  }
}

}  // namespace

void Qpl6000::CoverRaces(const StageContext& run) {
  raceNotes.clear();
  raceConsole.clear();
  if (run.options.raceCover == 0) return;
  RaceNotices notices;
  notices.verbose = run.options.verbose != 0;
  for (int m = 0; m < kMacrocells; ++m) {
    const char* b = mcBits.row(m);
    if (b[kCombinational] != '1' || b[kFixed15] != '1') continue;  // a registered output has no race
    const PinColumns& pc = ColumnsOfMacrocell(m);
    const TermCensus census = TakeCensus(*this, m, pc.feedbackTrue, pc.feedbackComplement);
    if (census.latch == 0 && census.complement == 0 && census.more == 0) continue;
    if (CoverWithTerm(*this, m, census, notices)) continue;
    FeedBackFromPin(*this, m, census, notices);
  }
  raceNotes = notices.file.str();
  raceConsole = notices.console.str();
}

}  // namespace fusecvt
