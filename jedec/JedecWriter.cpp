#include "jedec/JedecWriter.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cstring>
#include <ostream>
#include <sstream>

#include "driver/Conversion.h"
#include "driver/Version.h"

namespace fusecvt {

namespace {

constexpr int kBlockSize = 16;    // macrocells per block
constexpr int kTermsPerMc = 5;
constexpr int kFoldbackFuses = 16;
constexpr int kInputFuses = 80;
constexpr int kTermFuses = kFoldbackFuses + kInputFuses;  // 96
constexpr int kSlotFuses = kTermsPerMc * kTermFuses;      // 480 per macrocell
constexpr int kMcConfigFuses = 30;                        // per macrocell
constexpr int kGroupFuses = 80;   // a 16-fuse line and two 32-fuse pair lines
constexpr int kGroups = 6;
constexpr int kUimPerBlock = 40;
constexpr int kGoeCount = 6;
constexpr int kConfigBits = 32;
constexpr int kJtagBits = 4;
constexpr int kUesBits = 16;

// The S bits of the two pair lines of each group of the macrocell area.
constexpr int kGroupBits[kGroups][2][2] = {
    {{16, 12}, {14, 11}}, {{9, 6}, {13, 10}}, {{20, 18}, {8, 21}},
    {{7, 19}, {22, 5}},   {{23, 4}, {3, 15}}, {{0, 1}, {17, 2}},
};

// A pair label spelled otherwise than the two padded bit names.
struct LabelSpelling {
  unsigned blockMask;  // bit b: block b
  int first;
  int second;
  const char* text;
};

enum class UimOrder {
  kFromTop,     // n = 39, 37, ..., 1: (X,n) (Y,n) (X,n-1) (Y,n-1); fuses 0..W-1
  kFromBottom,  // n = 0, 2, ..., 38: (X,n) (Y,n+1) (Y,n) (X,n+1); fuses W-1..0
};

enum class GoeLayout {
  kDescending,  // GOE5 first, one noted line each, fuses G-1..0
  kAscending,   // GOE0 first, one noted line each, fuses G-1..0
  kPatterned,   // one field, a patterned line per GOE
};

struct BlockJedecLayout {
  std::array<int, 8> slotBlocks;  // block of each run of 16 product-term slots
  bool slotsHighestFirst;         // macrocell order within a block's slots
  int halfBlocks;                 // blocks per half of the macrocell area
  std::array<int, 8> halfOrder;   // blocks of the halves, first half first
  bool firstPairHighestFirst;     // macrocell order along a group's first pair line
  int uimPairs;
  std::array<std::array<int, 2>, 4> uimPair;  // (X, Y) of each UIM subsection
  UimOrder uimOrder;
  GoeLayout goeLayout;
  const char* const* goePatterns;  // kPatterned: 27 columns, 'b' takes a goeMux fuse
  int goeColumns;                  // fuse positions per GOE in the file
  const LabelSpelling* spellings;
  int spellingCount;
  int reservedBits;
};

constexpr unsigned kBlocksAB = 0x3;
constexpr unsigned kBlocksCD = 0xC;

constexpr LabelSpelling k6032Spellings[] = {
    {kBlocksAB, 17, 2, "S17 ,S2"},
};
constexpr LabelSpelling k6064Spellings[] = {
    {kBlocksAB, 17, 2, "S17 ,S2"},  {kBlocksCD, 7, 19, "S7,S19 "}, {kBlocksCD, 22, 5, "S22 ,S5"},
    {kBlocksCD, 23, 4, "S23 ,S4"},  {kBlocksCD, 3, 15, "S3,S15 "},
};

constexpr const char* k6128GoePatterns[kGoeCount] = {
    "bb11bbbbbbbbbbb11111111111b", "bbbbbbbbbb1bbbb111111111111",
    "1bb111b11111111bbbbbbbbbbb1", "1bb111b11111111bbbbbbbbbbb1",
    "bbbbbbbbbbbbbb1111111111111", "11bb11111111111bbbbbbbbbbbb",
};

constexpr int CountB(const char* p) { return *p ? (*p == 'b') + CountB(p + 1) : 0; }
constexpr int Length(const char* p) { return *p ? 1 + Length(p + 1) : 0; }
constexpr bool PatternsFit(int width, int fuses) {
  for (const char* p : k6128GoePatterns) {
    if (Length(p) != width || CountB(p) != fuses) return false;
  }
  return true;
}
static_assert(PatternsFit(27, 14), "every global OE pattern has 27 columns and 14 fuses");

const BlockJedecLayout& LayoutOf(BlockTargetKind kind) {
  static const BlockJedecLayout k6032{
      {0, 1}, false, 1, {0, 1}, true, 1, {{{0, 1}}}, UimOrder::kFromTop, GoeLayout::kDescending,
      nullptr, 5, k6032Spellings, 1, 6};
  static const BlockJedecLayout k6064{
      {0, 1, 3, 2}, true, 2, {0, 1, 3, 2}, false, 2, {{{0, 3}, {1, 2}}}, UimOrder::kFromBottom,
      GoeLayout::kAscending, nullptr, 9, k6064Spellings, 5, 6};
  static const BlockJedecLayout k6128{
      {0, 1, 2, 3, 7, 6, 5, 4}, true, 4, {0, 1, 2, 3, 7, 6, 5, 4}, false, 4,
      {{{0, 7}, {1, 6}, {2, 5}, {3, 4}}}, UimOrder::kFromBottom, GoeLayout::kPatterned,
      k6128GoePatterns, 27, nullptr, 0, 2};
  switch (kind) {
    case BlockTargetKind::Qpl6032: return k6032;
    case BlockTargetKind::Qpl6064: return k6064;
    case BlockTargetKind::Qpl6128: return k6128;
  }
  return k6032;
}

// First addresses of the sections, from the geometry and the layout.
struct SectionAddresses {
  long productTerms = 0;
  long mcConfig, uim, goe, config, jtag, ues, reserved, end;
  SectionAddresses(const TargetGeometry& g, const BlockJedecLayout& l)
      : mcConfig(static_cast<long>(g.macrocells) * kSlotFuses),
        uim(mcConfig + static_cast<long>(g.macrocells) * kMcConfigFuses),
        goe(uim + static_cast<long>(g.blocks) * kUimPerBlock * g.uimWidth),
        config(goe + static_cast<long>(kGoeCount) * l.goeColumns),
        jtag(config + kConfigBits),
        ues(jtag + kJtagBits),
        reserved(ues + kUesBits),
        end(reserved + l.reservedBits) {}
};

const BlockJedecLayout& LayoutOf(const JedecFuseImage& image) {
  return LayoutOf(image.target.targetKind());
}

char BlockLetter(int block) { return static_cast<char>('A' + block); }

// The address field of a line: "L" and the address; checks that the file
// stays in increasing address order.
void PutAddress(JedecFuseImage& image, long address) {
  assert(address >= image.nextAddress);
  image.nextAddress = address;
  image.out.Put('L');
  image.out.AppendNumber(address);
}

// The same as PutFuse for each fuse, the text appended in one piece.
void PutFuses(JedecFuseImage& image, const char* fuses, int count) {
  const auto n = static_cast<std::size_t>(count);
  image.out.Append(fuses, n);
  image.fuseChecksum.PutFuses(fuses, n);
  image.nextAddress += count;
}

void PutFusesReversed(JedecFuseImage& image, const char* fuses, int count) {
  char reversed[64];
  for (int done = 0; done < count;) {
    const int n = count - done < 64 ? count - done : 64;
    for (int i = 0; i < n; ++i) reversed[i] = fuses[count - 1 - done - i];
    PutFuses(image, reversed, n);
    done += n;
  }
}

// Calls f(block, group, offset) for every 80-fuse group of the macrocell
// area, in address order; offset counts from the area's first fuse.
template <class F>
void ForEachConfigGroup(const JedecFuseImage& image, F f) {
  const BlockJedecLayout& l = LayoutOf(image);
  const int halves = image.target.geometry().blocks / l.halfBlocks;
  long offset = 0;
  for (int h = 0; h < halves; ++h) {
    for (int group = 0; group < kGroups; ++group) {
      for (int j = 0; j < l.halfBlocks; ++j, offset += kGroupFuses) {
        f(l.halfOrder[static_cast<std::size_t>(h * l.halfBlocks + j)], group, offset);
      }
    }
  }
}

void AppendBitName(std::string& label, int bit) {
  const std::size_t start = label.size();
  label += 'S';
  label += std::to_string(bit);
  while (label.size() - start < 3) label += ' ';
}

std::string PairLabel(const BlockJedecLayout& l, int block, int first, int second) {
  for (int i = 0; i < l.spellingCount; ++i) {
    const LabelSpelling& s = l.spellings[i];
    if (((s.blockMask >> block) & 1u) && s.first == first && s.second == second) return s.text;
  }
  std::string label;
  AppendBitName(label, first);
  label += ',';
  AppendBitName(label, second);
  return label;
}

void PutUimLine(JedecFuseImage& image, long address, int block, int mux, bool reversed) {
  const int w = image.target.geometry().uimWidth;
  const char* fuses = image.target.uimMux.row(block, mux);
  PutAddress(image, address);
  image.out.Put(' ');
  if (reversed) {
    PutFusesReversed(image, fuses, w);
  } else {
    PutFuses(image, fuses, w);
  }
  image.out.Append("*  NOTE Mux-");
  image.out.AppendNumber(mux);
  image.out.Append(" of block ");
  image.out.Put(BlockLetter(block));
  image.out.Append("*\n");
}

}  // namespace

JedecFuseImage::JedecFuseImage(BlockTargetImage& image, JedecSink& sink)
    : target(image),
      mcConfigFuses(static_cast<std::size_t>(image.geometry().macrocells) * kMcConfigFuses, '1'),
      out(sink) {}

void WriteHeader(JedecFuseImage& image, const Conversion& run) {
  const TargetGeometry& g = image.target.geometry();
  const std::tm now = run.clock.localTime ? run.clock.localTime() : Clock::System().localTime();
  JedecBuffer& out = image.out;
  out.Put('\x02');
  out.Append(kVersionText);
  out.Append("\nJEDEC file for: ");
  out.Append(g.deviceWord);
  out.Put(' ');
  out.Append(run.pof.packageName);
  out.AppendNumber(run.pof.pinCount);
  out.Append("\nCreated on: ");
  out.Append(FormatCreatedOn(now));
  out.Append("\n\n*\n");
  if (run.sources.securityBit != 0) out.Append("G1*\n");
  out.Append("QF");
  out.AppendNumber(g.fuseCount);
  out.Append("* QP");
  out.AppendNumber(run.pof.pinCount);
  out.Append(" * F0*\n");
  out.Append("NOTE \n0         0         0         0         0         *\n");
}

namespace {

// The text of one product-term field, put together in place: "L" and the
// address, the 16 foldback fuses, the 80 input fuses in two lines of 40, and
// the note naming the term, its macrocell and block.
class ProductTermLines {
 public:
  std::size_t Compose(long address, const char* foldback, const char* inputs, int pt, int mc,
                      char block) {
    char* p = text_;
    *p++ = 'L';
    p = Number(p, address);
    *p++ = '\n';
    p = Copy(p, foldback, kFoldbackFuses);
    *p++ = '\n';
    p = Copy(p, inputs, kInputFuses / 2);
    *p++ = '\n';
    p = Copy(p, inputs + kInputFuses / 2, kInputFuses / 2);
    p = Copy(p, "*  NOTE PT ", 11);
    p = Number(p, pt);
    p = Copy(p, " of MC ", 7);
    p = Number(p, mc);
    p = Copy(p, "(LAB ", 5);
    *p++ = block;
    p = Copy(p, ") *\n", 4);
    return static_cast<std::size_t>(p - text_);
  }
  const char* text() const { return text_; }

 private:
  static char* Copy(char* p, const char* from, int count) {
    std::memcpy(p, from, static_cast<std::size_t>(count));
    return p + count;
  }
  // Decimal, at most 11 characters (addresses, term and macrocell numbers
  // are far shorter).
  static char* Number(char* p, long value) { return std::to_chars(p, p + 11, value).ptr; }

  // At most 1 + 11 + 1 + 16 + 1 + 40 + 1 + 40 + 11 + 11 + 7 + 11 + 5 + 1 + 4.
  char text_[161];
};

}  // namespace

void WriteProductTerms(JedecFuseImage& image) {
  const BlockTargetImage& t = image.target;
  const BlockJedecLayout& l = LayoutOf(image);
  ProductTermLines lines;
  long address = 0;
  for (int b = 0; b < t.geometry().blocks; ++b) {
    const int block = l.slotBlocks[static_cast<std::size_t>(b)];
    for (int pos = 0; pos < kBlockSize; ++pos) {
      const int mc = block * kBlockSize + (l.slotsHighestFirst ? kBlockSize - 1 - pos : pos);
      for (int k = 0; k < kTermsPerMc; ++k, address += kTermFuses) {
        // Even positions within a block hold PT 5 first, odd ones PT 1 first.
        const int pt = pos % 2 == 0 ? kTermsPerMc - 1 - k : k;
        const char* foldback = t.ptFoldbackFuses.row(mc, pt);
        const char* inputs = t.ptInputFuses.row(mc, pt);
        if (!std::memchr(foldback, '1', kFoldbackFuses) && !std::memchr(inputs, '1', kInputFuses)) {
          continue;  // a disabled term is left to the F0 default
        }
        assert(address >= image.nextAddress);
        image.out.Append(lines.text(),
                         lines.Compose(address, foldback, inputs, pt + 1, mc + 1, BlockLetter(block)));
        image.fuseChecksum.PutFuses(foldback, kFoldbackFuses);
        image.fuseChecksum.PutFuses(inputs, kInputFuses);
        image.nextAddress = address + kTermFuses;
      }
    }
  }
}

void BuildMacrocellConfig(JedecFuseImage& image) {
  BlockTargetImage& t = image.target;
  const int n = t.geometry().macrocells;
  for (int m = 0; m < n; ++m) {
    char* s = t.mcBits.row(m);
    if (s[0] == '1' && s[1] == '1' && s[2] == '1' && s[21] == '1') s[0] = s[1] = s[2] = '0';
  }
  image.mcConfigFuses.assign(static_cast<std::size_t>(n) * kMcConfigFuses, '1');
  const BlockJedecLayout& l = LayoutOf(image);
  ForEachConfigGroup(image, [&](int block, int group, long offset) {
    char* pairLines = &image.mcConfigFuses[static_cast<std::size_t>(offset) + 16];
    for (int line = 0; line < 2; ++line) {
      const bool down = (line == 0) == l.firstPairHighestFirst;
      const int* bits = kGroupBits[group][line];
      char* dst = pairLines + 32 * line;
      for (int i = 0; i < kBlockSize; ++i) {
        const int mc = block * kBlockSize + (down ? kBlockSize - 1 - i : i);
        const int odd = i % 2;
        dst[2 * i] = t.mcBits.at(mc, bits[odd]);
        dst[2 * i + 1] = t.mcBits.at(mc, bits[1 - odd]);
      }
    }
  });
}

void WriteMacrocellConfig(JedecFuseImage& image) {
  const BlockJedecLayout& l = LayoutOf(image);
  const long base = SectionAddresses(image.target.geometry(), l).mcConfig;
  image.out.Append("\nNOTE macrocell configurations\n        0         0         0         0 *\n");
  ForEachConfigGroup(image, [&](int block, int group, long offset) {
    const char* fuses = image.mcConfigFuses.data() + offset;
    PutAddress(image, base + offset);
    image.out.Put(' ');
    PutFuses(image, fuses, 16);
    image.out.Append("*\n");
    for (int line = 0; line < 2; ++line) {
      const int* bits = kGroupBits[group][line];
      PutAddress(image, base + offset + 16 + 32 * line);
      image.out.Put(' ');
      PutFuses(image, fuses + 16 + 32 * line, 32);
      image.out.Append("*  NOTE ");
      image.out.Append(PairLabel(l, block, bits[0], bits[1]));
      image.out.Append(" of block ");
      image.out.Put(BlockLetter(block));
      image.out.Append(" * \n");
    }
  });
}

void WriteUimMux(JedecFuseImage& image) {
  const BlockJedecLayout& l = LayoutOf(image);
  const int w = image.target.geometry().uimWidth;
  long address = SectionAddresses(image.target.geometry(), l).uim;
  for (int p = 0; p < l.uimPairs; ++p) {
    const int x = l.uimPair[static_cast<std::size_t>(p)][0];
    const int y = l.uimPair[static_cast<std::size_t>(p)][1];
    image.out.Append("\nNOTE   UIM for block ");
    image.out.Put(BlockLetter(x));
    image.out.Append(" and ");
    image.out.Put(BlockLetter(y));
    image.out.Append("*\nNOTE         0         0         0*\n");
    for (int q = 0; q < kUimPerBlock / 2; ++q) {
      int order[4][2];
      if (l.uimOrder == UimOrder::kFromTop) {
        const int n = kUimPerBlock - 1 - 2 * q;
        const int o[4][2] = {{x, n}, {y, n}, {x, n - 1}, {y, n - 1}};
        std::memcpy(order, o, sizeof order);
      } else {
        const int n = 2 * q;
        const int o[4][2] = {{x, n}, {y, n + 1}, {y, n}, {x, n + 1}};
        std::memcpy(order, o, sizeof order);
      }
      for (const auto& e : order) {
        PutUimLine(image, address, e[0], e[1], l.uimOrder == UimOrder::kFromBottom);
        address += w;
      }
    }
  }
}

void WriteGlobalOe(JedecFuseImage& image) {
  const BlockJedecLayout& l = LayoutOf(image);
  const BlockTargetImage& t = image.target;
  const int width = t.geometry().goeWidth;
  const long base = SectionAddresses(t.geometry(), l).goe;
  image.out.Append("\nNOTE  6 global OE \n0         0         0*\n");
  if (l.goeLayout == GoeLayout::kPatterned) {
    PutAddress(image, base);
    image.out.Put('\n');
    for (int g = 0; g < kGoeCount; ++g) {
      const char* fuses = t.goeMux.row(g);
      int next = width - 1;
      for (const char* c = l.goePatterns[g]; *c; ++c) {
        PutFuse(image, *c == 'b' ? fuses[next--] : '1');
      }
      image.out.Put('\n');
    }
  } else {
    for (int i = 0; i < kGoeCount; ++i) {
      const int g = l.goeLayout == GoeLayout::kDescending ? kGoeCount - 1 - i : i;
      PutAddress(image, base + static_cast<long>(i) * l.goeColumns);
      image.out.Put(' ');
      PutFusesReversed(image, t.goeMux.row(g), width);
      image.out.Append("*  NOTE GOE");
      image.out.AppendNumber(g);
      image.out.Append("*\n");
    }
  }
  image.out.Append("*\n");
}

void WriteConfigBits(JedecFuseImage& image) {
  const long address = SectionAddresses(image.target.geometry(), LayoutOf(image)).config;
  image.out.Append(
      "\nNOTE  device configuration bits*\nNOTE    0         0         0         0*\n");
  PutAddress(image, address);
  image.out.Put(' ');
  PutFusesReversed(image, image.target.configBits.data(), kConfigBits);
  image.out.Append("*\n");
}

void WriteJtagBits(JedecFuseImage& image) {
  const long address = SectionAddresses(image.target.geometry(), LayoutOf(image)).jtag;
  image.out.Append("\nNOTE  Special Purpose Bits (JTAG) *\n");
  PutAddress(image, address);
  image.out.Put(' ');
  PutFuse(image, '1');
  PutFuse(image, image.target.jtagBit);
  PutFuse(image, '1');
  PutFuse(image, '1');
  image.out.Append("*\n");
}

void WriteUesBits(JedecFuseImage& image) {
  const long address = SectionAddresses(image.target.geometry(), LayoutOf(image)).ues;
  image.out.Append("\nNOTE  UES bits*\n");
  PutAddress(image, address);
  image.out.Put(' ');
  PutFuses(image, image.target.uesBits.data(), kUesBits);
  image.out.Append("*\n");
}

void WriteReservedBits(JedecFuseImage& image) {
  const BlockJedecLayout& l = LayoutOf(image);
  const SectionAddresses a(image.target.geometry(), l);
  image.out.Append("\nNOTE  Reserved bits *\n");
  PutAddress(image, a.reserved);
  image.out.Put(' ');
  for (int i = 0; i < l.reservedBits; ++i) PutFuse(image, '0');
  image.out.Append("*\n\n");
  assert(image.nextAddress == a.end && a.end == image.target.geometry().fuseCount);
}

void WriteChecksum(JedecFuseImage& image) {
  if (image.fuseChecksum.pendingBits() > 0) image.fuseChecksum.Flush();
  image.out.Append(image.fuseChecksum.Field());
  image.out.Append("*\n");
}

void WriteTestVectors(JedecFuseImage& image, const std::vector<std::string>& vectors) {
  if (vectors.empty()) return;
  image.out.Append("QV");
  image.out.AppendNumber(static_cast<long>(vectors.size()));
  image.out.Append("* X0*\n");
  long number = 0;
  for (const std::string& v : vectors) {
    image.out.Put('V');
    image.out.AppendNumber(++number, 4);
    image.out.Put(' ');
    image.out.Append(JedecFieldText(v));  // whole, whatever its length; its LFs become CR LF
    image.out.Append("*\n");
  }
}

void WriteTrailer(JedecFuseImage& image) {
  image.out.Put('\x03');
  image.out.Append("0000\n");
}

void WriteJedecText(BlockTargetImage& target, const Conversion& run, JedecSink& sink) {
  JedecFuseImage image(target, sink);
  WriteHeader(image, run);
  WriteProductTerms(image);
  BuildMacrocellConfig(image);
  WriteMacrocellConfig(image);
  WriteUimMux(image);
  WriteGlobalOe(image);
  WriteConfigBits(image);
  WriteJtagBits(image);
  WriteUesBits(image);
  WriteReservedBits(image);
  WriteChecksum(image);
  WriteTestVectors(image, run.sources.testVectors);
  WriteTrailer(image);
  image.out.Flush();
}

std::string JedecText(BlockTargetImage& target, const Conversion& run) {
  std::ostringstream bytes;
  JedecStreamSink sink(bytes);
  WriteJedecText(target, run, sink);
  return bytes.str();
}

int BlockTargetImage::WriteJedec(Conversion& run) {
  const std::string& path = run.options.outputFileName;
  JedecFile file(path);
  if (!file.ok()) {
    run.error << "Cannot write output_file " << path << '\n';
    return kJedecOpenFailed;
  }
  WriteJedecText(*this, run, file);
  if (!file.Close()) {
    run.console << "Jedec write problem: out of space " << '\n';
    return kJedecWriteFailed;
  }
  return kJedecWritten;
}

}  // namespace fusecvt
