// The example POFs of the README and the fuzzer's seed corpus, made with the
// POF builder. Run with FUSECVT_REGENERATE=1 to rewrite them in the source
// tree; otherwise the committed files must match what is built here.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PofKit.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

struct Generated {
  std::string path;  // below the source tree
  std::string bytes;
};

// A four-stage Johnson counter with a count enable and an all-zero decode in
// block A. PIA rows of block A: row 0 picks the enable pin (the pin of
// macrocell 11, pick 2); rows 2, 1, 3 and 5 pick the feedback of macrocells
// 1, 2, 3 and 4 (pick 1). In a product term, column 2r reads row r true and
// column 2r + 1 reads it complemented.
PofBuilder JohnsonCounter(const std::string& device) {
  PofBuilder b(device);
  SourceImage& img = b.image();
  const int rowOf[4] = {2, 1, 3, 5};  // PIA row carrying Q0..Q3
  img.pia.at(0, 0, 2) = '0';
  for (int q = 0; q < 4; ++q) img.pia.at(0, rowOf[q], 1) = '0';
  // Stage i loads the previous stage (stage 0 the complement of stage 3) when
  // enabled (column 0), and holds its value otherwise (column 1: not enabled).
  for (int i = 0; i < 4; ++i) {
    img.logicArray.at(i, 0, 0) = '0';
    img.logicArray.at(i, 0, i == 0 ? 2 * rowOf[3] + 1 : 2 * rowOf[i - 1]) = '0';
    img.logicArray.at(i, 1, 1) = '0';
    img.logicArray.at(i, 1, 2 * rowOf[i]) = '0';
    img.logicArray.at(4, 0, 2 * rowOf[i] + 1) = '0';  // all stages zero
  }
  // Product terms 1 (and 2) to the OR gate; stages registered on the global
  // clock, with registered outputs.
  for (int mc = 0; mc < 5; ++mc) {
    img.mcConfig.at(mc, 0) = '0';
    if (mc < 4) {
      for (int s : {1, 3, 5, 10}) img.mcConfig.at(mc, s) = '0';
    }
  }
  // Unused pins and the enable input are not driven (output enable GND).
  for (int pin = 5; pin < img.ioConfig.dim0(); ++pin) img.ioConfig.at(pin, 0) = img.ioConfig.at(pin, 1) = '0';
  if (!img.globalClocks.empty()) img.globalClocks.at(0) = '0';  // "011"
  for (int bit = 0; bit < 16 && !img.ues.empty(); ++bit) img.ues.at(bit) = (0xA5C3u >> (15 - bit)) & 1u ? '1' : '0';
  b.Creator("fusecvt example generator").Comment("johnson counter with enable");
  return b;
}

std::vector<Generated> All() {
  std::vector<Generated> out = {
      {"examples/demo7032s.pof", JohnsonCounter("EPM7032SLC44-10").Build()},
      {"examples/demo7064s.pof", JohnsonCounter("EPM7064SLC44-10").Build()},
      {"examples/demo7128s.pof", JohnsonCounter("EPM7128SLC84-15").Build()},
  };
  auto add = [&](const std::string& name, const std::string& bytes) {
    out.push_back({"fuzz/corpus/pof/" + name + ".pof", bytes});
  };
  // A sparse design of every kind, complete fuse streams.
  unsigned seed = 1;
  for (const char* d : {"EPM7032LC44-15", "EPM7032SLC44-10", "EPM7032AETC44-10", "EPM3032ALC44-10",
                        "EPM7064LC84-10", "EPM7064SLC44-10", "EPM7064AETC44-10", "EPM3064ATC100-10",
                        "EPM7128QC100-15", "EPM7128ELC84-10", "EPM7128SLC84-15", "EPM7128AETC100-10",
                        "EPM3128ATC100-10"}) {
    PofBuilder b(d);
    Scramble(b.image(), seed++, 64);
    add(std::string("kind-") + d, b.Build());
  }
  // Encodings, cut to a few hundred fuses.
  for (int variant = 0; variant < 4; ++variant) {
    PofBuilder b("EPM7032SLC44-10");
    Scramble(b.image(), 40u + static_cast<unsigned>(variant), 5);
    b.BigEndian(variant & 1).Packed(variant & 2).Inverted(true).FuseCount(300).Vectors({"C0101", "1X0"});
    add("encoding-" + std::to_string(variant), b.Build());
  }
  for (const char* name : {"", "EPM3032LC44", "EPM7256AETC144", "EPM9999", "EPM7128E-7128SLC84"}) {
    add(std::string("name-") + (*name ? name : "empty"), PofBuilder(name).Program(3).FuseCount(64).Build());
  }
  PofBuilder v("EPM7032SLC44-10");
  v.Program(0).FuseCount(16).Append(P(10, v.U32(3) + "ABCDEFGHIJ")).Append(P(10, v.U32(0)));
  add("packets-vectors-and-bad-tag", v.Append(P(3, "no nul")).Append(P(20, "")).Build());
  PofBuilder o("EPM7064SLC44-10");
  o.Omit(17).FuseCount(32).Program(1).Prepend(P(17, o.FuseData(1, ""))).Append(P(17, o.FuseData(1, "\xFE\x7F")));
  o.Append(P(1, "")).Append(P(2, "EPM7128SLC84")).Append(P(9, std::string("\x01\0" "1\0clk\0", 8)));
  add("packets-order-and-truncation", o.Append(P(3, "cut", 4000)).Build());
  PofBuilder n("EPM7128EQC160");
  n.Program(59582 + 3 * 96 - 1).Program(59582 + 3 * 96).FuseCount(59600).Append(P(5, "\x01"));
  add("packets-pins-and-negative-length", n.Append(P(3, "x", -2)).Build());
  add("blank", PofBuilder("EPM7032SLC44-10").FuseCount(64).Build());
  add("header-only", std::string("POF\0\0\0\1\0\0\0\0\0", 12));
  return out;
}

TEST(GeneratedFiles, ExamplesAndSeedsAreCurrent) {
  const char* env = std::getenv("FUSECVT_REGENERATE");
  const bool write = env && std::string(env) == "1";
  for (const auto& g : All()) {
    const std::string path = SourceDir() + "/" + g.path;
    if (write) {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      WriteFile(path, g.bytes);
    }
    EXPECT_TRUE(ReadFile(path) == g.bytes)
        << g.path << " is out of date; rebuild it with FUSECVT_REGENERATE=1";
  }
}

}  // namespace
}  // namespace fusecvt::test
