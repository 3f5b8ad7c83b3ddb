#include "support/ExpectedQpl6000.h"

#include <cstdio>

#include "support/JedecReader.h"

namespace fusecvt::test {

namespace {

// The I/O pin of macrocell mc (from 0), as the notes name it: on the 44-pin
// package MC 1..16 sit on pins 4..21 upwards and MC 17..32 on pins 41..24
// downwards, skipping pins 10, 15, 30 and 35, which carry no macrocell.
int NotePin(int mc) {
  int pin = mc < 16 ? 3 : 42;
  for (int n = mc % 16; n >= 0; --n) {
    do pin += mc < 16 ? 1 : -1;
    while (pin == 10 || pin == 15 || pin == 30 || pin == 35);
  }
  return pin;
}
constexpr int kSlotOrder[5] = {1, 2, 3, 4, 0};  // PT 2, 3, 4, 5, 1

std::string Address(int a) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "L%05d", a);
  return buf;
}

}  // namespace

std::string Qpl6000FuseSection(const Qpl6000& q, bool extended, int pd1, int pinKeep) {
  std::string map(extended ? 24994 : 24993, '0');  // the whole fuse map, for the checksum
  std::string s = std::string(extended ? "QF24994" : "QF24993") + "* QP44* F0*\nNOTE\n";
  for (int i = 0; i < 152; ++i) s += i % 10 == 0 ? '0' : ' ';
  s += "*\n";
  for (int mc = 31; mc >= 0; --mc) {
    bool noted = false;
    for (int k = 0; k < 5; ++k) {
      const std::string term(q.ptFuses.row(mc, kSlotOrder[k]), 152);
      const int at = (31 - mc) * 760 + k * 152;
      map.replace(static_cast<std::size_t>(at), 152, term);
      if (term.find('1') == std::string::npos) continue;
      if (!noted) s += "NOTE  Macrocell " + std::to_string(mc + 1) + " (IO pin " + std::to_string(NotePin(mc)) + ") *\n";
      noted = true;
      s += Address(at) + "\n" + term + "*\n";
    }
  }
  s += "\nNOTE   12345678901234567890123456789012*\n";
  for (int i = 15; i >= 0; --i) {
    std::string row;
    for (int m = 0; m < 32; ++m) row += q.mcBits.at(m, i);
    map.replace(static_cast<std::size_t>(24800 - 32 * i), 32, row);
    s += Address(24800 - 32 * i) + " " + row + "*\n";
  }
  const char sleep = pd1 == 1 ? '0' : '1', keeper = pinKeep ? '1' : '0';
  map.replace(24832, 161, std::string(160, '1') + sleep);
  s += "\nNOTE   User Row*\nL24832\n" + std::string(160, '1') + "*\n" + "\nNOTE   Sleep Bit*\nL24992 " + sleep + "*\n";
  if (extended) s += std::string("\nNOTE   Pin Keeper Bit*\nL24993 ") + keeper + "*\n", map[24993] = keeper;
  char c[16];
  std::snprintf(c, sizeof c, "C%04X*\n", JedecChecksumOf(map));
  return s + c;
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

}  // namespace fusecvt::test
