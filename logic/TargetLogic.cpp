#include "logic/TargetLogic.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "logic/SignalCodes.h"
#include "qpl6000/Qpl6000Tables.h"
#include "translate/MacrocellBit.h"
#include "translate/RoutingTables.h"

namespace fusecvt::logic {

namespace {

enum class Target { Qpl6032, Qpl6064, Qpl6128 };

// Where the block targets keep their fuses in the file.
struct BlockFileLayout {
  Target target;
  const char* device;
  int macrocells, blocks, uimWidth, fuseCount;
  std::array<int, 8> slotBlocks;  // block of each run of 16 product-term slots
  bool slotsHighestFirst;         // macrocell order within a block's slots
  int halfBlocks;                 // blocks per half of the macrocell area
  bool firstPairHighestFirst;     // macrocell order along a group's first pair line
  bool uimFromTop;                // QPL6032 UIM line order, fuses in index order
  std::array<std::array<int, 2>, 4> uimPairs;
  int goeColumns;                 // file positions per GOE line
  bool goeDescending;             // GOE5 first (QPL6032)
};

const BlockFileLayout kLayouts[] = {
    {Target::Qpl6032, "QPL6032", 32, 2, 5, 16808, {0, 1}, false, 1, true, true, {{{0, 1}}}, 5, true},
    {Target::Qpl6064, "QPL6064", 64, 4, 9, 34192, {0, 1, 3, 2}, true, 2, false, false, {{{0, 3}, {1, 2}}}, 9, false},
    {Target::Qpl6128, "QPL6128", 128, 8, 27, 74136, {0, 1, 2, 3, 7, 6, 5, 4}, true, 4, false, false,
     {{{0, 7}, {1, 6}, {2, 5}, {3, 4}}}, 27, false},
};

// QPL6128: the file positions of each GOE line; each 'b' holds the next
// select fuse, from fuse 13 down to fuse 0.
constexpr const char* k6128GoePatterns[6] = {
    "bb11bbbbbbbbbbb11111111111b", "bbbbbbbbbb1bbbb111111111111",
    "1bb111b11111111bbbbbbbbbbb1", "1bb111b11111111bbbbbbbbbbb1",
    "bbbbbbbbbbbbbb1111111111111", "11bb11111111111bbbbbbbbbbbb",
};

// The S bits of the two pair lines of each 80-fuse group of the macrocell area.
constexpr int kGroupBits[6][2][2] = {
    {{16, 12}, {14, 11}}, {{9, 6}, {13, 10}}, {{20, 18}, {8, 21}},
    {{7, 19}, {22, 5}},   {{23, 4}, {3, 15}}, {{0, 1}, {17, 2}},
};

// The fuses of one block target, cut into the fields of its image.
struct BlockFuses {
  const BlockFileLayout& l;
  std::vector<std::string_view> terms;  // [mc * 5 + pt]: 16 foldback then 80 input fuses
  std::vector<std::string> sBits;  // [mc]: S0..S23
  std::vector<std::string> uim;    // [block * 40 + line]: select fuses by index
  std::array<std::string, 6> goe;  // per GOE: '0' for each selected choice, by choice
  std::string configBits;          // [32]
};

// Product-term area: five 96-fuse terms per macrocell, in slot order.
void CutTerms(BlockFuses& b, const std::string& f, long& address) {
  const BlockFileLayout& l = b.l;
  b.terms.resize(static_cast<std::size_t>(l.macrocells) * 5);
  for (int s = 0; s < l.blocks; ++s) {
    const int block = l.slotBlocks[static_cast<std::size_t>(s)];
    for (int pos = 0; pos < 16; ++pos) {
      const int mc = block * 16 + (l.slotsHighestFirst ? 15 - pos : pos);
      for (int k = 0; k < 5; ++k, address += 96) {
        const int pt = pos % 2 == 0 ? 4 - k : k;  // even slots hold PT 5 first
        b.terms[static_cast<std::size_t>(mc * 5 + pt)] = std::string_view(f).substr(static_cast<std::size_t>(address), 96);
      }
    }
  }
}

// Macrocell area: halves of halfBlocks blocks; each half holds group 1 of
// its blocks, then group 2, ...; a group is 16 unused fuses and two pair lines.
void CutMacrocellArea(BlockFuses& b, const std::string& f, long& address) {
  const BlockFileLayout& l = b.l;
  b.sBits.assign(static_cast<std::size_t>(l.macrocells), std::string(24, '1'));
  const int halves = l.blocks / l.halfBlocks;
  for (int h = 0; h < halves; ++h) {
    for (int group = 0; group < 6; ++group) {
      for (int j = 0; j < l.halfBlocks; ++j, address += 80) {
        const int block = l.slotBlocks[static_cast<std::size_t>(h * l.halfBlocks + j)];
        for (int line = 0; line < 2; ++line) {
          const bool down = (line == 0) == l.firstPairHighestFirst;
          const int* bits = kGroupBits[group][line];
          const long base = address + 16 + 32 * line;
          for (int i = 0; i < 16; ++i) {
            const int mc = block * 16 + (down ? 15 - i : i);
            const int odd = i % 2;
            std::string& s = b.sBits[static_cast<std::size_t>(mc)];
            s[static_cast<std::size_t>(bits[odd])] = f[static_cast<std::size_t>(base + 2 * i)];
            s[static_cast<std::size_t>(bits[1 - odd])] = f[static_cast<std::size_t>(base + 2 * i + 1)];
          }
        }
      }
    }
  }
}

// UIM area: one subsection per pair of blocks, 80 lines of W fuses.
void CutUimArea(BlockFuses& b, const std::string& f, long& address) {
  const BlockFileLayout& l = b.l;
  const int w = l.uimWidth;
  b.uim.assign(static_cast<std::size_t>(l.blocks) * 40, std::string());
  auto take = [&](int block, int line) {
    std::string fuses = f.substr(static_cast<std::size_t>(address), static_cast<std::size_t>(w));
    if (!l.uimFromTop) fuses.assign(fuses.rbegin(), fuses.rend());  // written from index W-1 down
    b.uim[static_cast<std::size_t>(block * 40 + line)] = fuses;
    address += w;
  };
  for (int p = 0; p < l.blocks / 2; ++p) {
    const int x = l.uimPairs[static_cast<std::size_t>(p)][0], y = l.uimPairs[static_cast<std::size_t>(p)][1];
    if (l.uimFromTop) {
      for (int u = 39; u >= 1; u -= 2) {
        take(x, u);
        take(y, u);
        take(x, u - 1);
        take(y, u - 1);
      }
    } else {
      for (int u = 0; u <= 38; u += 2) {
        take(x, u);
        take(y, u + 1);
        take(y, u);
        take(x, u + 1);
      }
    }
  }
}

// Global OE area: each GOE's choices, then the 32 configuration bits
// (written from bit 31 down).
void CutGoeArea(BlockFuses& b, const std::string& f, long address) {
  const BlockFileLayout& l = b.l;
  for (int g = 0; g < 6; ++g) {
    const int line = l.goeDescending ? 5 - g : g;
    const std::string fuses =
        f.substr(static_cast<std::size_t>(address + line * l.goeColumns), static_cast<std::size_t>(l.goeColumns));
    std::string& choices = b.goe[static_cast<std::size_t>(g)];
    if (l.target != Target::Qpl6128) {
      choices = fuses;  // QPL6032 and QPL6064 write choice t at position t
      continue;
    }
    choices.assign(14, '1');
    int next = 13;
    for (int t = 0; t < l.goeColumns; ++t) {
      if (k6128GoePatterns[g][t] == 'b') choices[static_cast<std::size_t>(next--)] = fuses[static_cast<std::size_t>(t)];
    }
  }
  address += 6L * l.goeColumns;
  b.configBits.assign(32, '1');
  for (int i = 0; i < 32; ++i) b.configBits[static_cast<std::size_t>(i)] = f[static_cast<std::size_t>(address + 31 - i)];
}

BlockFuses CutBlockFuses(const BlockFileLayout& l, const std::string& f) {
  BlockFuses b{l, {}, {}, {}, {}, {}};
  long address = 0;
  CutTerms(b, f, address);
  CutMacrocellArea(b, f, address);
  CutUimArea(b, f, address);
  CutGoeArea(b, f, address);
  return b;
}

// The one selected position of a multiplexer's fuses ('0' selects), -1 for
// none, -2 for several.
int Selected(const std::string& fuses) {
  int selected = -1;
  for (std::size_t j = 0; j < fuses.size(); ++j) {
    if (fuses[j] != '0') continue;
    if (selected != -1) return -2;
    selected = static_cast<int>(j);
  }
  return selected;
}

// Output enable from S0 S1 S2: never (000), always (111), else the signal of
// GOE (S0 S1 S2 - 1), inverted when its polarity bit (configuration bit 27 - GOE) is '1'.
std::string TargetOutputEnable(Target t, const std::string& s, const BlockFuses& b) {
  const int v = 4 * (s[0] == '1') + 2 * (s[1] == '1') + (s[2] == '1');
  if (v == 0) return "never";
  if (v == 7) return "always";
  const int g = v - 1;
  const int j = Selected(b.goe[static_cast<std::size_t>(g)]);
  if (j < 0) return "no signal";
  const bool inverted = b.configBits[static_cast<std::size_t>(27 - g)] == '1';
  switch (t) {
    case Target::Qpl6032: return OutputEnableOf(FromBlockCode(qpl6032::kGoeChoice[g][j]), inverted);
    case Target::Qpl6064: return OutputEnableOf(FromBlockCode(qpl6064::kGoeChoice[g][j]), inverted);
    case Target::Qpl6128: return OutputEnableOf(FromBlockCode(qpl6128::kGoeChoice[g][j]), inverted);
  }
  return "no signal";
}

// The global clock code 1..6 that configuration bits 15..20 hold, 0 for none.
int GlobalClockCode(const std::string& configBits) {
  static const char* const kBits[6] = {"010110", "011111", "111110", "010111", "011110", "010011"};
  const std::string bits = configBits.substr(15, 6);
  for (int g = 0; g < 6; ++g) {
    if (bits == kBits[g]) return g + 1;
  }
  return 0;
}

// The signal that UIM line u of a block selects, from its select fuses.
Signal LineSignal(Target t, int u, const std::string& fuses) {
  const int selected = Selected(fuses);
  if (selected == -1) return Signal{SignalType::NoSelect, 0, 0};
  if (selected == -2) return Signal{SignalType::Several, 0, 0};
  switch (t) {
    case Target::Qpl6032: return FromBlockCode(qpl6032::kUimChoice[u][selected]);
    case Target::Qpl6064: return FromBlockCode(qpl6064::kUimChoice[u][8 - selected]);
    case Target::Qpl6128: return FromBlockCode(qpl6128::kUimChoice[u][selected]);
  }
  return Signal{SignalType::Unmatched, 0, 0};
}

void DecodeBlockTarget(const BlockFileLayout& l, const std::string& f, Design& d) {
  const BlockFuses b = CutBlockFuses(l, f);
  d.device = l.device;
  d.macrocells.resize(static_cast<std::size_t>(l.macrocells));
  const int clockCode = GlobalClockCode(b.configBits);
  std::vector<Signal> lines(b.uim.size());
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = LineSignal(l.target, static_cast<int>(i % 40), b.uim[i]);
  for (int m = 0; m < l.macrocells; ++m) {
    Macrocell& mc = d.macrocells[static_cast<std::size_t>(m)];
    mc.number = m + 1;
    const int block = m / 16;
    for (int k = 0; k < 5; ++k) {
      const std::string_view s = b.terms[static_cast<std::size_t>(m * 5 + k)];
      Term& t = mc.terms[k];
      t.disabled = s.find('1') == std::string_view::npos;
      if (t.disabled) {
        FinishTerm(t);
        continue;
      }
      t.literals.reserve(static_cast<std::size_t>(std::count(s.begin(), s.end(), '0')));
      for (int e = 0; e < 16; ++e) {
        if (s[static_cast<std::size_t>(e)] == '0') {
          t.literals.push_back(Literal{Signal{SignalType::Expander, block * 16 + e + 1, 0}, false});
        }
      }
      for (int u = 0; u < 40; ++u) {
        // The true input of a line is its even fuse, except on the odd
        // lines of the QPL6032, where the two are swapped.
        const bool swapped = l.target == Target::Qpl6032 && u % 2 == 1;
        const char a = s[static_cast<std::size_t>(16 + 2 * u)], c = s[static_cast<std::size_t>(17 + 2 * u)];
        if (a == '0' && c == '0') t.state = TermState::False;
        const Signal sig = lines[static_cast<std::size_t>(block * 40 + u)];
        if (a == '0') t.literals.push_back(Literal{sig, swapped});
        if (c == '0') t.literals.push_back(Literal{sig, !swapped});
      }
      FinishTerm(t);
    }
    const std::string& sb = b.sBits[static_cast<std::size_t>(m)];
    mc.known = true;
    mc.outputEnable = TargetOutputEnable(l.target, sb, b);
    mc.registered = sb[kCombinationalBit] == '0';
    if (!mc.registered) continue;
    mc.clock = sb[kTermClockBit] == '1' ? std::string(kPtClock)
                                        : GlobalClockOf(clockCode, sb[kClockSelectBit] == '0' ? 2 : 1);
  }
}

// --- QPL6000 ------------------------------------------------------------------

constexpr int kQpl6000Columns = 152;

// Macrocell (from 1) at an I/O pin, 0 for a pin without one.
int McAtPin(int pin) {
  for (int m = 0; m < 32; ++m) {
    if (qpl6000::kIoPin[m] == pin) return m + 1;
  }
  return 0;
}

Signal DedicatedPin(int pin) {
  switch (pin) {
    case 43: return Signal{SignalType::Gclk1, 0, 0};
    case 2: return Signal{SignalType::Gclk2, 0, 0};
    case 44: return Signal{SignalType::Oe1, 0, 0};
    case 1: return Signal{SignalType::Input4, 0, 0};
    default: return Signal{SignalType::Unmatched, 0, 0};
  }
}

struct ColumnSignal {
  Signal signal{SignalType::Unmatched, 0, 0};
  bool complement = false;
};

// What every QPL6000 product-term column reads, from the column table (the
// pin-0 row is not a device pin and is left out).
const std::array<ColumnSignal, kQpl6000Columns>& Qpl6000Columns() {
  static const std::array<ColumnSignal, kQpl6000Columns> table = [] {
    std::array<ColumnSignal, kQpl6000Columns> t{};
    for (const qpl6000::PinColumns& p : qpl6000::kPinColumns) {
      if (p.pin == 0) continue;
      const int mc = McAtPin(p.pin);
      const Signal pin = mc ? Signal{SignalType::Pin, mc, 0} : DedicatedPin(p.pin);
      t[static_cast<std::size_t>(p.pinTrue)] = {pin, false};
      t[static_cast<std::size_t>(p.pinComplement)] = {pin, true};
      if (p.feedbackTrue >= 0) {
        t[static_cast<std::size_t>(p.feedbackTrue)] = {Signal{SignalType::Feedback, mc, 0}, false};
        t[static_cast<std::size_t>(p.feedbackComplement)] = {Signal{SignalType::Feedback, mc, 0}, true};
      }
      if (p.foldback >= 0) {
        ColumnSignal& f = t[static_cast<std::size_t>(p.foldback)];
        if (f.signal.type == SignalType::Expander) {
          f.signal = Signal{SignalType::SharedFoldback, std::min(f.signal.mc, mc), std::max(f.signal.mc, mc)};
        } else {
          f.signal = Signal{SignalType::Expander, mc, 0};
        }
      }
    }
    return t;
  }();
  return table;
}

// Offsets of PT 1..5 within a macrocell's 760-fuse slot.
constexpr int kQpl6000TermOffset[5] = {608, 0, 152, 304, 456};

void DecodeQpl6000(const std::string& f, bool e, Design& d) {
  d.device = e ? "QPL6000E" : "QPL6000";
  d.macrocells.resize(32);
  const auto& columns = Qpl6000Columns();
  for (int m = 0; m < 32; ++m) {
    Macrocell& mc = d.macrocells[static_cast<std::size_t>(m)];
    mc.number = m + 1;
    const std::size_t slot = static_cast<std::size_t>(31 - m) * 760;
    for (int k = 0; k < 5; ++k) {
      const char* s = f.data() + slot + static_cast<std::size_t>(kQpl6000TermOffset[k]);
      Term& t = mc.terms[k];
      t.literals.reserve(static_cast<std::size_t>(std::count(s, s + kQpl6000Columns, '0')));
      bool all = true;
      for (int c = 0; c < kQpl6000Columns; ++c) {
        if (s[c] != '0') {
          all = false;
          continue;
        }
        const ColumnSignal& cs = columns[static_cast<std::size_t>(c)];
        t.literals.push_back(Literal{cs.signal, cs.complement});
      }
      t.disabled = all;
      FinishTerm(t);
    }
    // Configuration bit i of MC m+1 at 24800 - 32 i + m.
    auto bit = [&](int i) { return f[static_cast<std::size_t>(24800 - 32 * i + m)]; };
    mc.known = true;
    mc.registered = bit(13) == '0';
    // Output enable from bits 9 and 10: 11 never, 01 always, 10 OE1, 00 OE2.
    const char b9 = bit(9), b10 = bit(10);
    mc.outputEnable = b9 == '1' ? (b10 == '1' ? "never" : "OE1")
                                : (b10 == '1' ? "always" : ShortName(Signal{SignalType::Gclk2, 0, 0}));
    // Bit 8 '1': the global clock, from the GCLK1 pin; '0': PT 4.
    if (mc.registered) mc.clock = bit(8) == '1' ? "GCLK1" : kPtClock;
  }
}

}  // namespace

int SharedFoldbackPartner(int mc) {
  for (const ColumnSignal& c : Qpl6000Columns()) {
    if (c.signal.type != SignalType::SharedFoldback) continue;
    if (c.signal.mc == mc) return c.signal.mc2;
    if (c.signal.mc2 == mc) return c.signal.mc;
  }
  return 0;
}

bool DecodeTarget(const JedecFuses& file, Design& design, std::string& error) {
  for (const BlockFileLayout& l : kLayouts) {
    if (file.fuseCount == l.fuseCount) {
      DecodeBlockTarget(l, file.fuses, design);
      return true;
    }
  }
  if (file.fuseCount == 24993 || file.fuseCount == 24994) {
    DecodeQpl6000(file.fuses, file.fuseCount == 24994, design);
    return true;
  }
  error = "fuse count " + std::to_string(file.fuseCount) + " is not that of a QPL target";
  return false;
}

}  // namespace fusecvt::logic
