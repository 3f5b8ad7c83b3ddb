#include "support/RandomDesign.h"

#include <random>

namespace fusecvt::test {
namespace {

using Words = std::vector<const char*>;
struct Kind {
  const char* name;  // device name up to the package code
  Words packages, words;  // words: -device words the kind takes ("" = none)
  int target;        // 0: QPL6000 / QPL6032 by word, else block target index + 1
};
const Words k32{"", "6032es", "6032esl"}, k64{"", "6064es", "6064esl"}, k128{"", "6128es", "6128esl"};
const Kind kKinds[] = {
    {"EPM7032", {"LC44", "TC44", "QC44"}, {"", "6000", "6000e", "6032es", "6032esl"}, 0},
    {"EPM7032AE", {"LC44", "TC44"}, k32, 1},
    {"EPM7032S", {"LC44", "TC44", "QC44"}, {"", "6032es", "6032esl", "6000", "6000e"}, 1},
    {"EPM7128", {"LC68", "LC84", "QC100", "GC160"}, k128, 3}, {"EPM7128E", {"LC84", "QC100", "QC160"}, k128, 3},
    {"EPM7128S", {"LC84", "QC100", "TC100"}, k128, 3},        {"EPM7128AE", {"LC84", "TC100"}, k128, 3},
    {"EPM7064", {"LC44", "LC68", "LC84", "QC100"}, k64, 2},   {"EPM7064S", {"LC44", "LC84", "TC100"}, k64, 2},
    {"EPM7064AE", {"LC44", "TC44", "TC100"}, k64, 2},         {"EPM3032A", {"LC44", "TC44"}, k32, 1},
    {"EPM3064A", {"LC44", "TC44", "TC100"}, k64, 2},          {"EPM3128A", {"LC84", "TC100"}, k128, 3},
};

}  // namespace

RandomDesign MakeRandomDesign(unsigned seed, long n) {
  std::mt19937 rng(seed * 1000003u + static_cast<unsigned>(n));
  auto pick = [&rng](const Words& v) { return std::string(v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]); };
  auto coin = [&rng] { return std::uniform_int_distribution<int>(0, 2)(rng) == 0; };
  const Kind& k = kKinds[std::uniform_int_distribution<int>(0, 12)(rng)];
  RandomDesign d;
  d.device = std::string(k.name) + pick(k.packages) + "-10";
  d.word = pick(k.words);
  PofBuilder b(d.device);
  // A random share of every image field programmed (0: a blank part).
  d.density = std::uniform_int_distribution<int>(0, 40)(rng);
  std::uniform_int_distribution<int> pct(0, 99);
  SourceImage& image = b.image();
  for (std::size_t i = 0; i < image.logicArray.size(); ++i) {
    image.logicArray.at(static_cast<int>(i)) = pct(rng) < d.density ? '0' : '1';
  }
  for (FuseArray* f : {&image.mcConfig, &image.pia, &image.oePia, &image.ioConfig, &image.outputEnable,
                       &image.globalClocks, &image.unknownBits, &image.ues}) {
    for (std::size_t i = 0; i < f->size(); ++i) f->data()[i] = pct(rng) < d.density ? '0' : '1';
  }
  const bool jtagOff = pct(rng) < 50;
  image.jtagBit = d.density > 0 && jtagOff ? '0' : '1';
  b.Security(rng() % 4 == 0 ? 1 : 0).BigEndian(rng() % 2).Packed(rng() % 3 != 0).Inverted(rng() % 4 == 0);
  d.pof = b.Build();
  std::vector<std::string>& args = d.options;
  if (!d.word.empty()) args.insert(args.end(), {"-device", d.word});
  for (const char* flag : {"-pinclk", "-secure", "-race_cover_off", "-pin_keep", "-power_reset", "-verbose",
                           "-gclk1_itd", "-gclk2_itd", "-gclk3_itd", "-powerdown", "-tdi_pullup", "-tms_pullup",
                           "-pd1", "-pd2"}) {
    if (coin()) args.push_back(flag);
  }
  const Words aoo{"auto", "on", "off"};
  if (coin()) args.insert(args.end(), {"-slew", pick({"auto", "slow", "fast"})});
  if (coin()) args.insert(args.end(), {"-open_out", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-jtag", pick(aoo)});
  if (coin()) args.insert(args.end(), {"-mc_power", pick({"on", "off"})});
  d.refused = k.name == std::string("EPM7032S") && d.word.find("6000") != std::string::npos;
  d.target = k.target ? k.target : d.word.find("6032") != std::string::npos ? 1 : 0;
  return d;
}

}  // namespace fusecvt::test
