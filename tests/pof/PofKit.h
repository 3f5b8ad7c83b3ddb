#pragma once
// Loads POF bytes with the reader and sums up what it kept, and turns a
// decoded image back into a fuse stream through the builder's own address map.

#include <algorithm>
#include <array>
#include <memory>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "pof/PofReader.h"
#include "support/ExpectedJedec.h"
#include "support/PofBuilder.h"

namespace fusecvt::test {

struct Loaded {
  std::ostringstream console, error;
  Conversion run{console, error, Clock::Fixed(std::tm{})};
  LoadStatus status;
  const SourceImage* image() const { return run.sources.image(); }
};

// Reads bytes through LoadFrom, or with no bytes the file at `path` through Load.
inline std::unique_ptr<Loaded> Load(const std::optional<std::string>& bytes, const std::string& program = "fusecvt",
                                    const std::string& path = "") {
  auto out = std::make_unique<Loaded>();
  out->run.options.programName = program;
  out->run.options.inputFileName = path;
  std::istringstream in(bytes.value_or(""));
  out->status = bytes ? PofReader(out->run).LoadFrom(in) : PofReader(out->run).Load();
  return out;
}

// A packet; its length field says `length` when given, else the data size.
inline PofBuilder::Packet P(std::int16_t tag, std::string data, std::optional<std::int32_t> length = {}) {
  return {tag, std::move(data), length};
}

// Every fuse field of an image but the JTAG bit.
template <class Image>
auto FieldsOf(Image& i) {
  return std::array{&i.logicArray, &i.mcConfig, &i.pia, &i.oePia, &i.ioConfig, &i.outputEnable, &i.globalClocks,
                    &i.unknownBits, &i.ues, &i.remainingBits};
}

// Programmed characters in every field of an image.
inline int ZerosOf(const SourceImage& img) {
  int n = img.jtagBit == '0';
  for (const FuseArray* a : FieldsOf(img)) n += static_cast<int>(std::count(a->data(), a->data() + a->size(), '0'));
  return n;
}

// The fuse stream the builder would write for the image the reader made.
inline std::string StreamOf(const std::string& device, const SourceImage& img) {
  PofBuilder b(device);
  b.image() = img;
  return b.FuseStream();
}

// Every field character of an image set to a repeatable mix of '0' and '1'
// (about one '0' in `oneIn`).
inline void Scramble(SourceImage& img, unsigned seed, unsigned oneIn) {
  unsigned x = seed * 2654435761u + 1;
  auto next = [&] { return (x = x * 1103515245u + 12345u) >> 16; };
  for (FuseArray* a : FieldsOf(img)) {
    for (std::size_t i = 0; i < a->size(); ++i) a->data()[i] = next() % oneIn == 0 ? '0' : '1';
  }
  if (img.layout().hasJtagBit) img.jtagBit = next() % 2 == 0 ? '0' : '1';
}

}  // namespace fusecvt::test
