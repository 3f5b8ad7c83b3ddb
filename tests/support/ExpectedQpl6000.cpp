#include "support/ExpectedQpl6000.h"

#include <cstdio>

namespace fusecvt::test {

namespace {

constexpr int kNotePin[32] = {4,  5,  6,  7,  8,  9,  11, 12, 13, 14, 16, 17, 18, 19, 20, 21,
                              41, 40, 39, 38, 37, 36, 34, 33, 32, 31, 29, 28, 27, 26, 25, 24};

constexpr int kSlotOrder[5] = {1, 2, 3, 4, 0};  // PT 2, 3, 4, 5, 1

}  // namespace

std::string Qpl6000Ruler() {
  std::string r;
  for (int i = 0; i < 152; ++i) r += i % 10 == 0 ? '0' : ' ';
  return r;
}

std::string Qpl6000Address(int a) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "L%05d", a);
  return buf;
}

int Qpl6000NotePin(int m) { return kNotePin[m]; }

std::string Qpl6000FuseMap(const Qpl6000& q, bool extended, int pd1, int pinKeep) {
  std::string f(extended ? 24994 : 24993, '0');
  for (int mc = 0; mc < 32; ++mc) {
    for (int k = 0; k < 5; ++k) {
      for (int c = 0; c < 152; ++c) {
        f[static_cast<std::size_t>((31 - mc) * 760 + k * 152 + c)] =
            q.ptFuses.at(mc, kSlotOrder[k], c);
      }
    }
  }
  for (int i = 0; i < 16; ++i) {
    for (int m = 0; m < 32; ++m) f[static_cast<std::size_t>(24800 - 32 * i + m)] = q.mcBits.at(m, i);
  }
  for (int j = 0; j < 160; ++j) f[static_cast<std::size_t>(24832 + j)] = '1';
  f[24992] = pd1 == 1 ? '0' : '1';
  if (extended) f[24993] = pinKeep ? '1' : '0';
  return f;
}

unsigned Qpl6000Checksum(const std::string& fuses) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < fuses.size(); ++i) {
    if (fuses[i] == '1') sum += 1u << (i % 8);
  }
  return sum & 0xFFFFu;
}

std::string Qpl6000FuseSection(const Qpl6000& q, bool extended, int pd1, int pinKeep) {
  std::string s = std::string(extended ? "QF24994" : "QF24993") + "* QP44* F0*\nNOTE\n" +
                  Qpl6000Ruler() + "*\n";
  for (int mc = 31; mc >= 0; --mc) {
    bool noted = false;
    for (int k = 0; k < 5; ++k) {
      const std::string term(q.ptFuses.row(mc, kSlotOrder[k]), 152);
      if (term.find('1') == std::string::npos) continue;
      if (!noted) {
        s += "NOTE  Macrocell " + std::to_string(mc + 1) + " (IO pin " +
             std::to_string(kNotePin[mc]) + ") *\n";
      }
      noted = true;
      s += Qpl6000Address((31 - mc) * 760 + k * 152) + "\n" + term + "*\n";
    }
  }
  s += "\nNOTE   12345678901234567890123456789012*\n";
  for (int i = 15; i >= 0; --i) {
    s += Qpl6000Address(24800 - 32 * i) + " ";
    for (int m = 0; m < 32; ++m) s += q.mcBits.at(m, i);
    s += "*\n";
  }
  s += "\nNOTE   User Row*\nL24832\n" + std::string(160, '1') + "*\n";
  s += std::string("\nNOTE   Sleep Bit*\nL24992 ") + (pd1 == 1 ? '0' : '1') + "*\n";
  if (extended) s += std::string("\nNOTE   Pin Keeper Bit*\nL24993 ") + (pinKeep ? '1' : '0') + "*\n";
  char c[16];
  std::snprintf(c, sizeof c, "C%04X*\n", Qpl6000Checksum(Qpl6000FuseMap(q, extended, pd1, pinKeep)));
  return s + c;
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace fusecvt::test
