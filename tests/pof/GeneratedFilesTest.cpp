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

void Connect(SourceImage& img, int mc, int term, int column) {
  img.logicArray.at(mc, term, column) = '0';
}

// A four-stage Johnson counter with a count enable and an all-zero decode in
// block A. PIA rows of block A: row 0 picks the enable pin (the pin of
// macrocell 11, pick 2); rows 2, 1, 3 and 5 pick the feedback of macrocells
// 1, 2, 3 and 4 (pick 1). In a product term, column 2r reads row r true and
// column 2r + 1 reads it complemented.
PofBuilder JohnsonCounter(const std::string& device) {
  PofBuilder b(device);
  SourceImage& img = b.image();
  const int rowOf[4] = {2, 1, 3, 5};  // PIA row carrying Q0..Q3
  auto pick = [&](int row, int signal) { img.pia.at(0, row, signal) = '0'; };
  pick(0, 2);
  for (int q = 0; q < 4; ++q) pick(rowOf[q], 1);

  const int enable = 0, notEnable = 1;
  auto q = [&](int i) { return 2 * rowOf[i]; };
  auto notQ = [&](int i) { return 2 * rowOf[i] + 1; };
  // Stage i loads the previous stage (stage 0 the complement of stage 3) when
  // enabled, and holds its value otherwise.
  for (int i = 0; i < 4; ++i) {
    Connect(img, i, 0, enable);
    Connect(img, i, 0, i == 0 ? notQ(3) : q(i - 1));
    Connect(img, i, 1, notEnable);
    Connect(img, i, 1, q(i));
  }
  for (int i = 0; i < 4; ++i) Connect(img, 4, 0, notQ(i));  // all stages zero

  for (int mc = 0; mc < 5; ++mc) {
    img.mcConfig.at(mc, 0) = '0';  // product term 1 to the OR gate
    if (mc < 4) {
      img.mcConfig.at(mc, 1) = '0';   // product term 2 to the OR gate
      img.mcConfig.at(mc, 3) = '0';   // register clocked by the global clock
      img.mcConfig.at(mc, 5) = '0';
      img.mcConfig.at(mc, 10) = '0';  // registered output
    }
  }
  // Unused pins and the enable input are not driven (output enable GND);
  // the five outputs are always driven.
  if (!img.ioConfig.empty()) {
    for (int pin = 5; pin < img.ioConfig.dim0(); ++pin) {
      img.ioConfig.at(pin, 0) = '0';
      img.ioConfig.at(pin, 1) = '0';
    }
  }
  if (!img.globalClocks.empty()) img.globalClocks.at(0) = '0';  // "011"
  if (!img.ues.empty()) {
    const unsigned signature = 0xA5C3;
    for (int bit = 0; bit < 16; ++bit) {
      img.ues.at(bit) = (signature >> (15 - bit)) & 1u ? '1' : '0';
    }
  }
  b.Creator("fusecvt example generator").Comment("johnson counter with enable");
  return b;
}

std::vector<Generated> Examples() {
  return {
      {"examples/demo7032s.pof", JohnsonCounter("EPM7032SLC44-10").Build()},
      {"examples/demo7064s.pof", JohnsonCounter("EPM7064SLC44-10").Build()},
      {"examples/demo7128s.pof", JohnsonCounter("EPM7128SLC84-15").Build()},
  };
}

std::vector<Generated> Seeds() {
  std::vector<Generated> out;
  auto add = [&](const std::string& name, const std::string& bytes) {
    out.push_back({"fuzz/corpus/pof/" + name + ".pof", bytes});
  };
  // A sparse design of every kind, complete fuse streams.
  const char* devices[] = {"EPM7032LC44-15",   "EPM7032SLC44-10",  "EPM7032AETC44-10",
                           "EPM3032ALC44-10",  "EPM7064LC84-10",   "EPM7064SLC44-10",
                           "EPM7064AETC44-10", "EPM3064ATC100-10", "EPM7128QC100-15",
                           "EPM7128ELC84-10",  "EPM7128SLC84-15",  "EPM7128AETC100-10",
                           "EPM3128ATC100-10"};
  unsigned seed = 1;
  for (const char* d : devices) {
    PofBuilder b(d);
    Scramble(b.image(), seed++, 64);
    add(std::string("kind-") + d, b.Build());
  }
  // Encodings, cut to a few hundred fuses.
  for (int variant = 0; variant < 4; ++variant) {
    PofBuilder b("EPM7032SLC44-10");
    Scramble(b.image(), 40u + static_cast<unsigned>(variant), 5);
    b.BigEndian(variant & 1).Packed(variant & 2).Inverted(true).FuseCount(300);
    b.Vectors({"C0101", "1X0"});
    add("encoding-" + std::to_string(variant), b.Build());
  }
  // Names.
  for (const char* name : {"", "EPM3032LC44", "EPM7256AETC144", "EPM9999", "EPM7128E-7128SLC84"}) {
    PofBuilder b(name);
    b.Program(3).FuseCount(64);
    add(std::string("name-") + (*name ? name : "empty"), b.Build());
  }
  // Packet-level oddities.
  {
    PofBuilder b("EPM7032SLC44-10");
    b.Program(0).FuseCount(16);
    b.Append({10, b.U32(3) + "ABCDEFGHIJ", std::nullopt});
    b.Append({10, b.U32(0), std::nullopt});
    b.Append({3, "no nul", std::nullopt});
    b.Append({20, "", std::nullopt});
    add("packets-vectors-and-bad-tag", b.Build());
  }
  {
    PofBuilder b("EPM7064SLC44-10");
    b.Omit(17).FuseCount(32).Program(1);
    b.Prepend({17, b.FuseData(1, "\x00\x00"), std::nullopt});
    b.Append({17, b.FuseData(1, "\xFE\x7F"), std::nullopt});
    b.Append({1, "", std::nullopt});
    b.Append({2, "EPM7128SLC84\0", std::nullopt});
    b.Append({9, std::string("\x01\0" "1\0clk\0", 8), std::nullopt});
    b.Append({3, "cut", 4000});
    add("packets-order-and-truncation", b.Build());
  }
  {
    PofBuilder b("EPM7128EQC160");
    b.Program(59582 + 3 * 96 - 1).Program(59582 + 3 * 96).FuseCount(59600);
    b.Append({5, "\x01", std::nullopt});
    b.Append({3, "x\0", -2});
    add("packets-pins-and-negative-length", b.Build());
  }
  add("blank", PofBuilder("EPM7032SLC44-10").FuseCount(64).Build());
  add("header-only", std::string("POF\0\0\0\1\0\0\0\0\0", 12));
  return out;
}

TEST(GeneratedFiles, ExamplesAndSeedsAreCurrent) {
  const char* env = std::getenv("FUSECVT_REGENERATE");
  const bool write = env && std::string(env) == "1";
  std::vector<Generated> all = Examples();
  for (auto& s : Seeds()) all.push_back(std::move(s));
  for (const auto& g : all) {
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
