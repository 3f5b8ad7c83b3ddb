#include "support/ExpectedJedec.h"

#include <algorithm>
#include <cstdio>

#include "support/JedecReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

namespace {

// Per target: device name, UIM line width, the blocks of the product-term
// slots, of the two halves of the macrocell area and of the UIM pairs, in
// the order the fuse map lists them (letters for readability).
const struct {
  const char* device;
  int w;
  const char* slots;
  std::vector<std::string> halves, pairs;
  SectionStarts starts;
} kTargets[] = {
    {"QPL6032", 5, "AB", {"A", "B"}, {"AB"}, {0, 15360, 16320, 16720, 16750, 16782, 16786, 16802, 16808}},
    {"QPL6064", 9, "ABDC", {"AB", "DC"}, {"AD", "BC"}, {0, 30720, 32640, 34080, 34134, 34166, 34170, 34186, 34192}},
    {"QPL6128", 27, "ABCDHGFE", {"ABCD", "HGFE"}, {"AH", "BG", "CF", "DE"},
     {0, 61440, 65280, 73920, 74082, 74114, 74118, 74134, 74136}},
};

// The S bits of the pair lines of each group, as their notes name them.
const char* const kPairLabels[6][2] = {
    {"S16,S12", "S14,S11"}, {"S9 ,S6 ", "S13,S10"}, {"S20,S18", "S8 ,S21"},
    {"S7 ,S19", "S22,S5 "}, {"S23,S4 ", "S3 ,S15"}, {"S0 ,S1 ", "S17,S2 "},
};

std::string Label(BlockTargetKind k, char block, int group, int line) {
  const bool ab = block == 'A' || block == 'B';
  if (k != BlockTargetKind::Qpl6128 && ab && group == 5 && line == 1) return "S17 ,S2";
  if (k == BlockTargetKind::Qpl6064 && !ab && (group == 3 || group == 4)) {
    static const char* const kCd[2][2] = {{"S7,S19 ", "S22 ,S5"}, {"S23 ,S4", "S3,S15 "}};
    return kCd[group - 3][line];
  }
  return kPairLabels[group][line];
}

// A QPL6128 global OE line has 27 columns. The fuses of goeMux[g], from
// index 13 down to 0, fill these runs of columns (first, last) in order;
// every other column is a fixed '1'.
const int kGoeRuns[6][3][2] = {
    {{0, 1}, {4, 14}, {26, 26}}, {{0, 9}, {11, 14}, {-1, -1}}, {{1, 2}, {6, 6}, {15, 25}},
    {{1, 2}, {6, 6}, {15, 25}},  {{0, 13}, {-1, -1}, {-1, -1}}, {{2, 3}, {15, 26}, {-1, -1}},
};

// The goeMux index at column col of QPL6128 GOE g; -1 for a fixed column.
int GoeFuseAt(int g, int col) {
  int next = 13;
  for (const auto& run : kGoeRuns[g]) {
    if (run[0] >= 0 && col >= run[0] && col <= run[1]) return next - (col - run[0]);
    next -= run[1] - run[0] + 1;
  }
  return -1;
}

// The macrocell (from 0) and product term of the term at address a.
std::pair<int, int> TermOwner(BlockTargetKind k, long a) {
  const int slot = static_cast<int>(a / 480), pos = slot % 16, term = static_cast<int>(a % 480 / 96);
  const int mc = k == BlockTargetKind::Qpl6032 ? slot : (kTargets[static_cast<int>(k)].slots[slot / 16] - 'A') * 16 + 15 - pos;
  return {mc, pos % 2 == 0 ? 4 - term : term};
}

// The UIM line `line` (0..79) of the pair of blocks: block letter and mux.
std::pair<char, int> UimLineOwner(BlockTargetKind k, const std::string& pair, int line) {
  const int q = line / 4, r = line % 4;
  if (k == BlockTargetKind::Qpl6032) return {pair[static_cast<std::size_t>(r % 2)], 39 - 2 * q - r / 2};
  return {pair[r == 1 || r == 2 ? 1 : 0], 2 * q + r % 2};
}

// Where the fuse at address a of a target's file comes from: a position of
// one of the image's fields, or a fixed value.
struct FuseRef {
  enum Field { kFixed0, kFixed1, kFoldback, kInput, kMcBit, kUim, kGoe, kConfig, kJtag, kUes } field;
  int a = 0, b = 0, c = 0;
};

FuseRef RefAt(BlockTargetKind k, long a) {
  const auto& t = kTargets[static_cast<int>(k)];
  const SectionStarts& s = t.starts;
  const int w = t.w;
  if (a < s.mcConfig) {
    const auto [mc, pt] = TermOwner(k, a);
    const int i = static_cast<int>(a % 96);
    return i < 16 ? FuseRef{FuseRef::kFoldback, mc, pt, i} : FuseRef{FuseRef::kInput, mc, pt, i - 16};
  }
  if (a < s.uim) {
    const long perHalf = (s.uim - s.mcConfig) / 2, r = (a - s.mcConfig) % perHalf;
    const std::string& half = t.halves[static_cast<std::size_t>((a - s.mcConfig) / perHalf)];
    const long groupSize = 80 * static_cast<long>(half.size());
    const int group = static_cast<int>(r / groupSize), x = static_cast<int>(r % 80) - 16;
    const char block = half[static_cast<std::size_t>(r % groupSize / 80)];
    if (x < 0) return {FuseRef::kFixed1};
    const int line = x / 32, i = x % 32 / 2, second = x % 2;
    // QPL6032 runs its first pair line from the highest macrocell down,
    // the others their second one.
    const bool down = (k == BlockTargetKind::Qpl6032) == (line == 0);
    int bits[2];
    std::sscanf(kPairLabels[group][line], "S%d ,S%d", &bits[0], &bits[1]);
    return {FuseRef::kMcBit, (block - 'A') * 16 + (down ? 15 - i : i), bits[i % 2 == 0 ? second : 1 - second]};
  }
  if (a < s.goe) {
    const long per = 80L * w;
    const auto [block, mux] = UimLineOwner(k, t.pairs[static_cast<std::size_t>((a - s.uim) / per)], static_cast<int>((a - s.uim) % per / w));
    const int j = static_cast<int>((a - s.uim) % w);
    return {FuseRef::kUim, block - 'A', mux, k == BlockTargetKind::Qpl6032 ? j : w - 1 - j};
  }
  if (a < s.config) {
    const int g = static_cast<int>((a - s.goe) / w), col = static_cast<int>((a - s.goe) % w);
    const int i = k == BlockTargetKind::Qpl6128 ? GoeFuseAt(g, col) : w - 1 - col;
    return i < 0 ? FuseRef{FuseRef::kFixed1} : FuseRef{FuseRef::kGoe, k == BlockTargetKind::Qpl6032 ? 5 - g : g, i};
  }
  if (a < s.jtag) return {FuseRef::kConfig, 31 - static_cast<int>(a - s.config)};
  if (a < s.ues) return a - s.jtag == 1 ? FuseRef{FuseRef::kJtag} : FuseRef{FuseRef::kFixed1};
  return a < s.reserved ? FuseRef{FuseRef::kUes, static_cast<int>(a - s.ues)} : FuseRef{FuseRef::kFixed0};
}

// Calls f with the image position a reference names (a char& or a packed
// field's fuse reference); false, without a call, for a fixed value.
template <class F>
bool WithSlot(BlockTargetImage& img, const FuseRef& r, F f) {
  switch (r.field) {
    case FuseRef::kFoldback: f(img.ptFoldbackFuses.at(r.a, r.b, r.c)); return true;
    case FuseRef::kInput: f(img.ptInputFuses.at(r.a, r.b, r.c)); return true;
    case FuseRef::kMcBit: f(img.mcBits.at(r.a, r.b)); return true;
    case FuseRef::kUim: f(img.uimMux.at(r.a, r.b, r.c)); return true;
    case FuseRef::kGoe: f(img.goeMux.at(r.a, r.b)); return true;
    case FuseRef::kConfig: f(img.configBits.at(r.a)); return true;
    case FuseRef::kJtag: f(img.jtagBit); return true;
    case FuseRef::kUes: f(img.uesBits.at(r.a)); return true;
    default: return false;
  }
}

// The fuse at every address 0..QF-1.
std::string ExpectedFuseMap(const BlockTargetImage& image) {
  BlockTargetImage& img = const_cast<BlockTargetImage&>(image);  // read only
  const BlockTargetKind k = img.targetKind();
  std::string map(static_cast<std::size_t>(kTargets[static_cast<int>(k)].starts.total), '?');
  for (std::size_t a = 0; a < map.size(); ++a) {
    const FuseRef r = RefAt(k, static_cast<long>(a));
    map[a] = r.field == FuseRef::kFixed0 ? '0' : '1';
    WithSlot(img, r, [&](auto&& slot) { map[a] = slot; });
  }
  return map;
}

std::string Num(long v) { return std::to_string(v); }

}  // namespace

SectionStarts SectionStartsOf(BlockTargetKind kind) { return kTargets[static_cast<int>(kind)].starts; }

std::unique_ptr<BlockTargetImage> MakeBlockTarget(BlockTargetKind kind) {
  if (kind == BlockTargetKind::Qpl6032) return std::make_unique<Qpl6032>();
  if (kind == BlockTargetKind::Qpl6064) return std::make_unique<Qpl6064>();
  return std::make_unique<Qpl6128>();
}

std::unique_ptr<BlockTargetImage> ImageOfFuses(const std::string& fuses) {
  std::unique_ptr<BlockTargetImage> img;
  for (int k = 0; k < 3; ++k) {
    if (static_cast<long>(fuses.size()) != kTargets[k].starts.total) continue;
    img = MakeBlockTarget(static_cast<BlockTargetKind>(k));
    for (std::size_t a = 0; a < fuses.size(); ++a) {
      WithSlot(*img, RefAt(img->targetKind(), static_cast<long>(a)), [&](auto&& slot) { slot = fuses[a]; });
    }
  }
  return img;
}

std::string ExpectedJedecFile(const BlockTargetImage& img, const ExpectedHeader& h) {
  const BlockTargetKind k = img.targetKind();
  const auto& t = kTargets[static_cast<int>(k)];
  const SectionStarts& s = t.starts;
  const int w = t.w;
  const std::string map = ExpectedFuseMap(img), nl = "\r\n";
  auto fuses = [&](long a, long n) { return map.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(n)); };
  auto line = [&](long a, long n) { return "L" + Num(a) + " " + fuses(a, n) + "*"; };
  std::string f = "\x02" + std::string(kReleaseVersionText) + nl + "JEDEC file for: " + t.device + " " + h.packageName + Num(h.pinCount) + nl +
                  "Created on: " + h.createdOn + nl + nl + "*" + nl + (h.secure ? "G1*" + nl : "") + "QF" + Num(s.total) +
                  "* QP" + Num(h.pinCount) + " * F0*" + nl + "NOTE " + nl +
                  "0         0         0         0         0         *" + nl;

  for (long a = 0; a < s.mcConfig; a += 96) {
    const std::string term = fuses(a, 96);
    if (term.find('1') == std::string::npos) continue;  // left out: all '0' anyway
    const auto [mc, pt] = TermOwner(k, a);
    f += "L" + Num(a) + nl + term.substr(0, 16) + nl + term.substr(16, 40) + nl + term.substr(56, 40) + "*  NOTE PT " +
         Num(pt + 1) + " of MC " + Num(mc + 1) + "(LAB " + static_cast<char>('A' + mc / 16) + ") *" + nl;
  }

  f += nl + "NOTE macrocell configurations" + nl + "        0         0         0         0 *" + nl;
  long a = s.mcConfig;
  for (const std::string& half : t.halves) {
    for (int group = 0; group < 6; ++group) {
      for (char block : half) {
        f += line(a, 16) + nl;
        for (int l = 0; l < 2; ++l) {
          f += line(a + 16 + 32 * l, 32) + "  NOTE " + Label(k, block, group, l) + " of block " + block + " * " + nl;
        }
        a += 80;
      }
    }
  }

  for (const std::string& pair : t.pairs) {
    f += nl + "NOTE   UIM for block " + pair[0] + " and " + pair[1] + "*" + nl + "NOTE         0         0         0*" + nl;
    for (int l = 0; l < 80; ++l, a += w) {
      const auto [block, mux] = UimLineOwner(k, pair, l);
      f += line(a, w) + "  NOTE Mux-" + Num(mux) + " of block " + block + "*" + nl;
    }
  }

  f += nl + "NOTE  6 global OE " + nl + "0         0         0*" + nl;
  if (k == BlockTargetKind::Qpl6128) f += "L" + Num(s.goe) + nl;
  for (int i = 0; i < 6; ++i) {
    if (k == BlockTargetKind::Qpl6128) f += fuses(s.goe + 27 * i, 27) + nl;
    else f += line(s.goe + i * w, w) + "  NOTE GOE" + Num(k == BlockTargetKind::Qpl6032 ? 5 - i : i) + "*" + nl;
  }
  f += "*" + nl;

  f += nl + "NOTE  device configuration bits*" + nl + "NOTE    0         0         0         0*" + nl + line(s.config, 32) + nl;
  f += nl + "NOTE  Special Purpose Bits (JTAG) *" + nl + line(s.jtag, 4) + nl;
  f += nl + "NOTE  UES bits*" + nl + line(s.ues, 16) + nl;
  f += nl + "NOTE  Reserved bits *" + nl + line(s.reserved, s.total - s.reserved) + nl + nl;
  char c[16];
  std::snprintf(c, sizeof c, "C%04X*", JedecChecksumOf(map));
  f += c + nl;

  if (!h.vectors.empty()) f += "QV" + Num(static_cast<long>(h.vectors.size())) + "* X0*" + nl;
  for (std::size_t i = 0; i < h.vectors.size(); ++i) {
    char v[32];
    std::snprintf(v, sizeof v, "V%04zu ", i + 1);
    f += v;
    for (char ch : h.vectors[i]) f += ch == '\n' ? nl : std::string(1, ch);
    f += "*" + nl;
  }
  return f + "\x03" "0000" + nl;
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  const auto i = static_cast<std::size_t>(
      std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first - expected.begin());
  const auto line = std::count(expected.begin(), expected.begin() + static_cast<long>(i), '\n') + 1;
  auto show = [&](const std::string& t) {
    std::string out;
    for (std::size_t j = i < 120 ? 0 : i - 120; j < t.size() && j < i + 120; ++j) {
      out += t[j] == '\r' ? std::string("\\r") : t[j] == '\n' ? std::string("\\n\n") : std::string(1, t[j]);
    }
    return out;
  };
  return "first difference at byte " + std::to_string(i) + " (line " + std::to_string(line) + ", sizes " +
         std::to_string(expected.size()) + "/" + std::to_string(actual.size()) + ")\n--- expected:\n" + show(expected) +
         "\n--- actual:\n" + show(actual) + "\n";
}

}  // namespace fusecvt::test
