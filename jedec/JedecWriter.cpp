#include "jedec/JedecWriter.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>

#include "jedec/ProductTermLines.h"

namespace fusecvt {

namespace {

constexpr int kBlockSize = 16;    // macrocells per block
constexpr int kTermsPerMc = 5;
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

// Some of the 96 fuses of a product term is '1'.
bool AnyErased(const PackedFuseArray::ConstRow& foldback, const PackedFuseArray::ConstRow& inputs) {
  return !foldback.AllProgrammed() || !inputs.AllProgrammed();
}

// The same as PutFuse for each fuse, the text appended in one piece.
void PutFuses(JedecFuseImage& image, const char* fuses, int count) {
  const auto n = static_cast<std::size_t>(count);
  image.out.AppendFileBytes(fuses, n);
  image.fuseChecksum.PutFuses(fuses, n);
  image.nextAddress += count;
}

void PutFusesReversed(JedecFuseImage& image, const char* fuses, int count) {
  const ReversedFuses reversed(fuses, count);
  PutFuses(image, reversed.fuses, count);
}

// A line listing `count` fuses of one field: "L", the address, a blank and
// the fuses, fed to the checksum; the caller adds the rest of the line.
template <std::size_t Capacity>
void StartFuseLine(JedecFuseImage& image, LineText<Capacity>& line, long address, const char* fuses, int count) {
  assert(address >= image.nextAddress);
  line.Clear();
  line.Char('L').Number(address).Char(' ').Fuses(fuses, count);
  image.fuseChecksum.PutFuses(fuses, static_cast<std::size_t>(count));
  image.nextAddress = address + count;
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

// "S" and the bit number, padded with blanks to three characters.
template <std::size_t Capacity>
void AppendBitName(LineText<Capacity>& line, int bit) {
  line.Char('S').Number(bit);
  if (bit < 10) line.Char(' ');
}

// The label of a pair line: the layout's spelling, or the two padded bit
// names.
template <std::size_t Capacity>
void AppendPairLabel(LineText<Capacity>& line, const BlockJedecLayout& l, int block, int first, int second) {
  for (int i = 0; i < l.spellingCount; ++i) {
    const LabelSpelling& s = l.spellings[i];
    if (((s.blockMask >> block) & 1u) && s.first == first && s.second == second) {
      line.Fuses(s.text, static_cast<int>(std::strlen(s.text)));
      return;
    }
  }
  AppendBitName(line, first);
  line.Char(',');
  AppendBitName(line, second);
}

void PutUimLine(JedecFuseImage& image, long address, int block, int mux, bool reversed) {
  const int w = image.target.geometry().uimWidth;
  const PackedFuseArray::ConstRow row = image.target.uimMux.row(block, mux);
  char fuses[ReversedFuses::kMax];
  if (reversed) {
    row.FormatReversed(fuses);
  } else {
    row.Format(fuses);
  }
  LineText<96> line;
  StartFuseLine(image, line, address, fuses, w);
  line.Text("*  NOTE Mux-").Number(mux).Text(" of block ").Char(BlockLetter(block)).Char('*').LineEnd();
  image.out.AppendFileBytes(line.data(), line.size());
}

}  // namespace

JedecFuseImage::JedecFuseImage(BlockTargetImage& image, JedecSink& sink)
    : target(image),
      mcConfigFuses(static_cast<std::size_t>(image.geometry().macrocells) * kMcConfigFuses, '1'),
      out(sink) {}

void WriteHeader(JedecFuseImage& image, const JedecJob& run) {
  const TargetGeometry& g = image.target.geometry();
  const std::tm now = run.createdOn;
  JedecBuffer& out = image.out;
  out.Put('\x02');
  out.Append(run.versionText);
  out.Append("\nJEDEC file for: ");
  out.Append(g.deviceWord);
  out.Put(' ');
  out.Append(run.device.packageName);
  out.AppendNumber(run.device.pinCount);
  out.Append("\nCreated on: ");
  out.Append(FormatCreatedOn(now));
  out.Append("\n\n*\n");
  if (run.sources.securityBit != 0 || run.securitySet) out.Append("G1*\n");
  out.Append("QF");
  out.AppendNumber(g.fuseCount);
  out.Append("* QP");
  out.AppendNumber(run.device.pinCount);
  out.Append(" * F0*\n");
  out.Append("NOTE \n0         0         0         0         0         *\n");
}

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
        const PackedFuseArray::ConstRow foldback = t.ptFoldbackFuses.row(mc, pt);
        const PackedFuseArray::ConstRow inputs = t.ptInputFuses.row(mc, pt);
        if (!AnyErased(foldback, inputs)) continue;  // a disabled term is left to the F0 default
        assert(address >= image.nextAddress);
        const auto& text = lines.Compose(address, foldback, inputs, {pt + 1, mc + 1, BlockLetter(block)});
        image.out.AppendFileBytes(text.data(), text.size());
        image.fuseChecksum.PutFuses(foldback);
        image.fuseChecksum.PutFuses(inputs);
        image.nextAddress = address + kTermFuses;
      }
    }
  }
}

void BuildMacrocellConfig(JedecFuseImage& image) {
  BlockTargetImage& t = image.target;
  const int n = t.geometry().macrocells;
  image.mcConfigFuses.assign(static_cast<std::size_t>(n) * kMcConfigFuses, '1');
  const BlockJedecLayout& l = LayoutOf(image);
  ForEachConfigGroup(image, [&](int block, int group, long offset) {
    char* pairLines = &image.mcConfigFuses[static_cast<std::size_t>(offset) + 16];
    for (int line = 0; line < 2; ++line) {
      const bool down = (line == 0) == l.firstPairHighestFirst;
      const int* bits = kGroupBits[group][line];
      char* dst = pairLines + 32 * line;
      for (int i = 0; i < kBlockSize; ++i) {
        const char* s = t.mcBits.row(block * kBlockSize + (down ? kBlockSize - 1 - i : i));
        const int odd = i % 2;
        dst[2 * i] = s[bits[odd]];
        dst[2 * i + 1] = s[bits[1 - odd]];
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
    LineText<96> line;
    StartFuseLine(image, line, base + offset, fuses, 16);
    line.Char('*').LineEnd();
    image.out.AppendFileBytes(line.data(), line.size());
    for (int pair = 0; pair < 2; ++pair) {
      const int* bits = kGroupBits[group][pair];
      StartFuseLine(image, line, base + offset + 16 + 32 * pair, fuses + 16 + 32 * pair, 32);
      line.Text("*  NOTE ");
      AppendPairLabel(line, l, block, bits[0], bits[1]);
      line.Text(" of block ").Char(BlockLetter(block)).Text(" * ").LineEnd();
      image.out.AppendFileBytes(line.data(), line.size());
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

// A section's notes, then its fuse line's address and the blank after it.
void StartSection(JedecFuseImage& image, const char* notes, long address) {
  image.out.Append(notes);
  PutAddress(image, address);
  image.out.Put(' ');
}

void WriteConfigBits(JedecFuseImage& image) {
  StartSection(image, "\nNOTE  device configuration bits*\nNOTE    0         0         0         0*\n",
               SectionAddresses(image.target.geometry(), LayoutOf(image)).config);
  PutFusesReversed(image, image.target.configBits.data(), kConfigBits);
  image.out.Append("*\n");
}

void WriteJtagBits(JedecFuseImage& image) {
  StartSection(image, "\nNOTE  Special Purpose Bits (JTAG) *\n",
               SectionAddresses(image.target.geometry(), LayoutOf(image)).jtag);
  PutFuse(image, '1');
  PutFuse(image, image.target.jtagBit);
  PutFuse(image, '1');
  PutFuse(image, '1');
  image.out.Append("*\n");
}

void WriteUesBits(JedecFuseImage& image) {
  StartSection(image, "\nNOTE  UES bits*\n", SectionAddresses(image.target.geometry(), LayoutOf(image)).ues);
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

void WriteJedecText(BlockTargetImage& target, const JedecJob& run, JedecSink& sink) {
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

std::string JedecText(BlockTargetImage& target, const JedecJob& run) {
  std::string bytes;
  JedecStringSink sink(bytes);
  WriteJedecText(target, run, sink);
  return bytes;
}

int BlockTargetImage::WriteJedec(const JedecJob& run) {
  const std::string& path = run.options.outputFileName;
  JedecFile file(path);
  if (!file.ok()) {
    run.messages.error << "Cannot write output_file " << path << '\n';
    return kJedecOpenFailed;
  }
  WriteJedecText(*this, run, file);
  if (!file.Close()) {
    run.messages.console << "Jedec write problem: out of space " << '\n';
    return kJedecWriteFailed;
  }
  return kJedecWritten;
}

}  // namespace fusecvt
