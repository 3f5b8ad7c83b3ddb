#include "support/ExpectedJedec.h"

#include <algorithm>
#include <cstdio>

namespace fusecvt::test {

namespace {

// Block orders as the fuse map lists them, letters for readability.
std::string SlotBlocks(BlockTargetKind k) {
  switch (k) {
    case BlockTargetKind::Qpl6032: return "AB";
    case BlockTargetKind::Qpl6064: return "ABDC";
    case BlockTargetKind::Qpl6128: return "ABCDHGFE";
  }
  return "";
}

// The halves of the macrocell area, blocks in the order they appear.
std::vector<std::string> McHalves(BlockTargetKind k) {
  switch (k) {
    case BlockTargetKind::Qpl6032: return {"A", "B"};
    case BlockTargetKind::Qpl6064: return {"AB", "DC"};
    case BlockTargetKind::Qpl6128: return {"ABCD", "HGFE"};
  }
  return {};
}

std::vector<std::string> UimPairs(BlockTargetKind k) {
  switch (k) {
    case BlockTargetKind::Qpl6032: return {"AB"};
    case BlockTargetKind::Qpl6064: return {"AD", "BC"};
    case BlockTargetKind::Qpl6128: return {"AH", "BG", "CF", "DE"};
  }
  return {};
}

int BlockIndex(char letter) { return letter - 'A'; }

// S bits of the pair lines of each group.
const int kPairBits[6][2][2] = {
    {{16, 12}, {14, 11}}, {{9, 6}, {13, 10}}, {{20, 18}, {8, 21}},
    {{7, 19}, {22, 5}},   {{23, 4}, {3, 15}}, {{0, 1}, {17, 2}},
};

std::string Label(BlockTargetKind k, char block, int group, int line) {
  static const char* const kRegular[6][2] = {
      {"S16,S12", "S14,S11"}, {"S9 ,S6 ", "S13,S10"}, {"S20,S18", "S8 ,S21"},
      {"S7 ,S19", "S22,S5 "}, {"S23,S4 ", "S3 ,S15"}, {"S0 ,S1 ", "S17,S2 "},
  };
  const bool ab = block == 'A' || block == 'B';
  const bool cd = block == 'C' || block == 'D';
  if (k == BlockTargetKind::Qpl6032 || k == BlockTargetKind::Qpl6064) {
    if (ab && group == 5 && line == 1) return "S17 ,S2";
  }
  if (k == BlockTargetKind::Qpl6064 && cd) {
    if (group == 3 && line == 0) return "S7,S19 ";
    if (group == 3 && line == 1) return "S22 ,S5";
    if (group == 4 && line == 0) return "S23 ,S4";
    if (group == 4 && line == 1) return "S3,S15 ";
  }
  return kRegular[group][line];
}

const char* const kGoePatterns[6] = {
    "bb11bbbbbbbbbbb11111111111b", "bbbbbbbbbb1bbbb111111111111",
    "1bb111b11111111bbbbbbbbbbb1", "1bb111b11111111bbbbbbbbbbb1",
    "bbbbbbbbbbbbbb1111111111111", "11bb11111111111bbbbbbbbbbbb",
};

// Product-term slot s: macrocell index (from 0) and position within its block.
void SlotOwner(BlockTargetKind k, int slot, int& mc, int& pos) {
  const char block = SlotBlocks(k)[static_cast<std::size_t>(slot / 16)];
  pos = slot % 16;
  if (k == BlockTargetKind::Qpl6032) {
    mc = slot;
  } else {
    mc = BlockIndex(block) * 16 + 15 - pos;
  }
}

int PtOfTermPosition(int pos, int k) { return pos % 2 == 0 ? 4 - k : k; }

// The UIM line `line` (0..79) of subsection `pair`: block letter and mux.
void UimLineOwner(BlockTargetKind k, const std::string& pair, int line, char& block, int& mux) {
  const int q = line / 4;
  const int r = line % 4;
  if (k == BlockTargetKind::Qpl6032) {
    const int n = 39 - 2 * q;
    const char blocks[4] = {pair[0], pair[1], pair[0], pair[1]};
    const int muxes[4] = {n, n, n - 1, n - 1};
    block = blocks[r];
    mux = muxes[r];
  } else {
    const int n = 2 * q;
    const char blocks[4] = {pair[0], pair[1], pair[1], pair[0]};
    const int muxes[4] = {n, n + 1, n, n + 1};
    block = blocks[r];
    mux = muxes[r];
  }
}

char EditedS(const BlockTargetImage& img, int mc, int bit) {
  const char* s = img.mcBits.row(mc);
  const bool cleared = s[0] == '1' && s[1] == '1' && s[2] == '1' && s[21] == '1';
  return cleared && bit <= 2 ? '0' : s[bit];
}

std::string Num(long v) { return std::to_string(v); }

}  // namespace

SectionStarts SectionStartsOf(BlockTargetKind kind) {
  switch (kind) {
    case BlockTargetKind::Qpl6032:
      return {0, 15360, 16320, 16720, 16750, 16782, 16786, 16802, 16808};
    case BlockTargetKind::Qpl6064:
      return {0, 30720, 32640, 34080, 34134, 34166, 34170, 34186, 34192};
    case BlockTargetKind::Qpl6128:
      return {0, 61440, 65280, 73920, 74082, 74114, 74118, 74134, 74136};
  }
  return {};
}

std::string ExpectedFuseMap(const BlockTargetImage& img) {
  const BlockTargetKind k = img.targetKind();
  const SectionStarts s = SectionStartsOf(k);
  const int w = k == BlockTargetKind::Qpl6032 ? 5 : k == BlockTargetKind::Qpl6064 ? 9 : 27;
  std::string map(static_cast<std::size_t>(s.total), '?');
  for (long a = 0; a < s.total; ++a) {
    char& f = map[static_cast<std::size_t>(a)];
    if (a < s.mcConfig) {
      int mc = 0, pos = 0;
      SlotOwner(k, static_cast<int>(a / 480), mc, pos);
      const int pt = PtOfTermPosition(pos, static_cast<int>(a % 480 / 96));
      const int i = static_cast<int>(a % 96);
      f = i < 16 ? img.ptFoldbackFuses.at(mc, pt, i) : img.ptInputFuses.at(mc, pt, i - 16);
    } else if (a < s.uim) {
      const std::vector<std::string> halves = McHalves(k);
      const long perHalf = (s.uim - s.mcConfig) / static_cast<long>(halves.size());
      const std::string& half = halves[static_cast<std::size_t>((a - s.mcConfig) / perHalf)];
      const long r = (a - s.mcConfig) % perHalf;
      const long groupSize = 80 * static_cast<long>(half.size());
      const int group = static_cast<int>(r / groupSize);
      const char block = half[static_cast<std::size_t>(r % groupSize / 80)];
      const int x = static_cast<int>(r % 80);
      if (x < 16) {
        f = '1';
      } else {
        const int line = (x - 16) / 32;
        const int i = (x - 16) % 32 / 2;
        const int second = (x - 16) % 2;
        // QPL6032 runs its first pair line from the highest macrocell down,
        // the others their second one.
        const bool down = (k == BlockTargetKind::Qpl6032) == (line == 0);
        const int mc = BlockIndex(block) * 16 + (down ? 15 - i : i);
        const int bit = kPairBits[group][line][i % 2 == 0 ? second : 1 - second];
        f = EditedS(img, mc, bit);
      }
    } else if (a < s.goe) {
      const long per = 80L * w;
      const std::string pair = UimPairs(k)[static_cast<std::size_t>((a - s.uim) / per)];
      char block = 0;
      int mux = 0;
      UimLineOwner(k, pair, static_cast<int>((a - s.uim) % per / w), block, mux);
      const int j = static_cast<int>((a - s.uim) % w);
      f = img.uimMux.at(BlockIndex(block), mux, k == BlockTargetKind::Qpl6032 ? j : w - 1 - j);
    } else if (a < s.config) {
      const long off = a - s.goe;
      if (k == BlockTargetKind::Qpl6032) {
        f = img.goeMux.at(5 - static_cast<int>(off / 5), 4 - static_cast<int>(off % 5));
      } else if (k == BlockTargetKind::Qpl6064) {
        f = img.goeMux.at(static_cast<int>(off / 9), 8 - static_cast<int>(off % 9));
      } else {
        const int g = static_cast<int>(off / 27);
        const int col = static_cast<int>(off % 27);
        const char* p = kGoePatterns[g];
        if (p[col] == '1') {
          f = '1';
        } else {
          const int before = static_cast<int>(std::count(p, p + col, 'b'));
          f = img.goeMux.at(g, 13 - before);
        }
      }
    } else if (a < s.jtag) {
      f = img.configBits.at(31 - static_cast<int>(a - s.config));
    } else if (a < s.ues) {
      f = a - s.jtag == 1 ? img.jtagBit : '1';
    } else if (a < s.reserved) {
      f = img.uesBits.at(static_cast<int>(a - s.ues));
    } else {
      f = '0';
    }
  }
  return map;
}

std::string ExpectedJedecFile(const BlockTargetImage& img, const ExpectedHeader& h) {
  const BlockTargetKind k = img.targetKind();
  const SectionStarts s = SectionStartsOf(k);
  const std::string map = ExpectedFuseMap(img);
  auto fuses = [&](long a, long n) {
    return map.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(n));
  };
  const char* device = k == BlockTargetKind::Qpl6032   ? "QPL6032"
                       : k == BlockTargetKind::Qpl6064 ? "QPL6064"
                                                       : "QPL6128";
  const int w = k == BlockTargetKind::Qpl6032 ? 5 : k == BlockTargetKind::Qpl6064 ? 9 : 27;
  const std::string nl = "\r\n";
  std::string f;
  f += "\x02 1.0.0 " + nl;
  f += std::string("JEDEC file for: ") + device + " " + h.packageName + Num(h.pinCount) + nl;
  f += "Created on: " + h.createdOn + nl + nl;
  f += "*" + nl;
  if (h.secure) f += "G1*" + nl;
  f += "QF" + Num(s.total) + "* QP" + Num(h.pinCount) + " * F0*" + nl;
  f += "NOTE " + nl + "0         0         0         0         0         *" + nl;

  for (long a = 0; a < s.mcConfig; a += 96) {
    const std::string t = fuses(a, 96);
    if (t.find('1') == std::string::npos) continue;
    int mc = 0, pos = 0;
    SlotOwner(k, static_cast<int>(a / 480), mc, pos);
    const int pt = PtOfTermPosition(pos, static_cast<int>(a % 480 / 96));
    f += "L" + Num(a) + nl + t.substr(0, 16) + nl + t.substr(16, 40) + nl + t.substr(56, 40);
    f += "*  NOTE PT " + Num(pt + 1) + " of MC " + Num(mc + 1) + "(LAB " +
         static_cast<char>('A' + mc / 16) + ") *" + nl;
  }

  f += nl + "NOTE macrocell configurations" + nl + "        0         0         0         0 *" + nl;
  const std::vector<std::string> halves = McHalves(k);
  long a = s.mcConfig;
  for (const std::string& half : halves) {
    for (int group = 0; group < 6; ++group) {
      for (char block : half) {
        f += "L" + Num(a) + " " + fuses(a, 16) + "*" + nl;
        for (int line = 0; line < 2; ++line) {
          const long at = a + 16 + 32 * line;
          f += "L" + Num(at) + " " + fuses(at, 32) + "*  NOTE " + Label(k, block, group, line) +
               " of block " + block + " * " + nl;
        }
        a += 80;
      }
    }
  }

  a = s.uim;
  for (const std::string& pair : UimPairs(k)) {
    f += nl + "NOTE   UIM for block " + pair[0] + " and " + pair[1] + "*" + nl;
    f += "NOTE         0         0         0*" + nl;
    for (int line = 0; line < 80; ++line, a += w) {
      char block = 0;
      int mux = 0;
      UimLineOwner(k, pair, line, block, mux);
      f += "L" + Num(a) + " " + fuses(a, w) + "*  NOTE Mux-" + Num(mux) + " of block " + block +
           "*" + nl;
    }
  }

  f += nl + "NOTE  6 global OE " + nl + "0         0         0*" + nl;
  if (k == BlockTargetKind::Qpl6128) {
    f += "L" + Num(s.goe) + nl;
    for (int g = 0; g < 6; ++g) f += fuses(s.goe + 27 * g, 27) + nl;
  } else {
    for (int i = 0; i < 6; ++i) {
      const long at = s.goe + i * w;
      const int g = k == BlockTargetKind::Qpl6032 ? 5 - i : i;
      f += "L" + Num(at) + " " + fuses(at, w) + "*  NOTE GOE" + Num(g) + "*" + nl;
    }
  }
  f += "*" + nl;

  f += nl + "NOTE  device configuration bits*" + nl + "NOTE    0         0         0         0*" + nl;
  f += "L" + Num(s.config) + " " + fuses(s.config, 32) + "*" + nl;
  f += nl + "NOTE  Special Purpose Bits (JTAG) *" + nl;
  f += "L" + Num(s.jtag) + " " + fuses(s.jtag, 4) + "*" + nl;
  f += nl + "NOTE  UES bits*" + nl;
  f += "L" + Num(s.ues) + " " + fuses(s.ues, 16) + "*" + nl;
  f += nl + "NOTE  Reserved bits *" + nl;
  f += "L" + Num(s.reserved) + " " + fuses(s.reserved, s.total - s.reserved) + "*" + nl + nl;

  // Fuse i adds 2^(i mod 8) when it is '1'; a left-out term is all '0' anyway.
  unsigned long sum = 0;
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (map[i] == '1') sum += 1ul << (i % 8);
  }
  char c[16];
  std::snprintf(c, sizeof c, "C%04lX*", sum % 65536);
  f += c + nl;

  if (!h.vectors.empty()) {
    f += "QV" + Num(static_cast<long>(h.vectors.size())) + "* X0*" + nl;
    for (std::size_t i = 0; i < h.vectors.size(); ++i) {
      char v[32];
      std::snprintf(v, sizeof v, "V%04zu ", i + 1);
      std::string text;
      for (char ch : h.vectors[i]) text += ch == '\n' ? nl : std::string(1, ch);
      f += v + text + "*" + nl;
    }
  }
  f += "\x03" "0000" + nl;
  return f;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::size_t i = 0;
  while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) ++i;
  const std::size_t line = static_cast<std::size_t>(std::count(expected.begin(),
                                                               expected.begin() + static_cast<long>(i), '\n')) + 1;
  const std::size_t from = i < 120 ? 0 : i - 120;
  auto show = [&](const std::string& t) {
    std::string out;
    for (std::size_t j = from; j < t.size() && j < i + 120; ++j) {
      const char ch = t[j];
      out += ch == '\r' ? std::string("\\r") : ch == '\n' ? std::string("\\n\n") : std::string(1, ch);
    }
    return out;
  };
  return "first difference at byte " + std::to_string(i) + " (line " + std::to_string(line) +
         ", sizes " + std::to_string(expected.size()) + "/" + std::to_string(actual.size()) +
         ")\n--- expected:\n" + show(expected) + "\n--- actual:\n" + show(actual) + "\n";
}

}  // namespace fusecvt::test
