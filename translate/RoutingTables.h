#pragma once
// Routing tables of the QPL6032, QPL6064 and QPL6128 translation: which signal
// each source PIA pick carries, which UIM line a PIA row feeds, what each UIM
// and global OE multiplexer can select, and the park choice of a line that no
// product term reads.
//
// Signal coding, the same on every target: the pin of macrocell n is (n, 0),
// its feedback (n, 2); the dedicated inputs are (-5, 0) GCLK1, (-2, 0) GCLK2 /
// second OE input, (-1, 0) first OE input, (-6, 0) the fourth dedicated
// input; "none" is (-4, 0); a choice that no source signal matches has kind -1.

#include <cstdint>

namespace fusecvt {

struct Signal {
  std::int32_t code;
  std::int32_t kind;
};
constexpr bool operator==(Signal a, Signal b) { return a.code == b.code && a.kind == b.kind; }

// The dedicated inputs and "none" in that coding.
inline constexpr Signal kGclk1Signal{-5, 0};
inline constexpr Signal kGclk2Signal{-2, 0};  // also the second OE input
inline constexpr Signal kOe1Signal{-1, 0};
inline constexpr Signal kInput4Signal{-6, 0};
inline constexpr Signal kNoneSignal{-4, 0};

namespace qpl6032 {
// Per PIA row and pick: the signal, and the UIM choice it selects on its line.
extern const Signal kPiaSignal[36][4];
extern const int kPiaChoice[36][4];
extern const int kPiaToUim[36];
// Per UIM line: the five choices (choice j is selected by fuse j) and the park choice.
extern const Signal kUimChoice[40][5];
extern const int kUimPark[40];
// Per OE PIA row and pick: the signal and the GOE fuse it sets (-1: none).
extern const Signal kOePiaSignal[6][5];
extern const int kOePiaFuse[6][5];
extern const int kOePiaToGoe[6];
// Per GOE: the five choices; choice j is selected by fuse 4 - j.
extern const Signal kGoeChoice[6][5];
}  // namespace qpl6032

namespace qpl6064 {
// Per PIA row and pick: the signal and the UIM fuse it sets on its line.
extern const Signal kPiaSignal[36][8];
extern const int kPiaFuse[36][8];
extern const int kPiaToUim[36];
// Per UIM line: the nine choices in list order; position i is selected by
// fuse 8 - i. Park: the fuse that parks a line no product term reads.
extern const Signal kUimChoice[40][9];
extern const int kUimParkFuse[40];
// Per OE PIA row and pick: the signal and the GOE fuse it sets.
extern const Signal kOePiaSignal[6][8];
extern const int kOePiaFuse[6][8];
extern const int kOePiaToGoe[6];
// Per GOE: the nine choices in list order; position i is selected by fuse 8 - i.
extern const Signal kGoeChoice[6][9];
}  // namespace qpl6064

namespace qpl6128 {
struct PiaRow {
  int pairRowLow;      // pair row serving LABs 0..3
  int pairRowHigh;     // pair row serving LABs 4..7
  int primaryLine;     // UIM line on the primary side
  int secondaryLine;   // UIM line on the secondary side
  Signal picks[13];
};
extern const PiaRow kPia[36];
// Per OE PIA row and pick: the signal and the GOE fuse it sets.
extern const Signal kOePiaSignal[6][13];
extern const int kOePiaFuse[6][13];
extern const int kOePiaToGoe[6];
// Per GOE: the choices in fuse order (fuse j selects choice j).
extern const Signal kGoeChoice[6][14];
// Per UIM line: the choices in fuse order and the park fuse.
extern const Signal kUimChoice[40][27];
extern const int kUimParkFuse[40];
}  // namespace qpl6128

}  // namespace fusecvt
