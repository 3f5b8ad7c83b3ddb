#pragma once
// Field-by-field views of source images for the decoding tests.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pof/SourceImage.h"
#include "support/PofBuilder.h"

namespace fusecvt::test {

using Field = PofBuilder::Field;

struct NamedField {
  Field field;
  const char* name;
  std::string chars;
};

inline std::vector<NamedField> FieldsOf(const SourceImage& img) {
  auto s = [](const FuseArray& a) { return std::string(a.data(), a.size()); };
  return {
      {Field::LogicArray, "logicArray", s(img.logicArray)},
      {Field::McConfig, "mcConfig", s(img.mcConfig)},
      {Field::Pia, "pia", s(img.pia)},
      {Field::OePia, "oePia", s(img.oePia)},
      {Field::IoConfig, "ioConfig", s(img.ioConfig)},
      {Field::OutputEnable, "outputEnable", s(img.outputEnable)},
      {Field::GlobalClocks, "globalClocks", s(img.globalClocks)},
      {Field::UnknownBits, "unknownBits", s(img.unknownBits)},
      {Field::JtagBit, "jtagBit", std::string(1, img.jtagBit)},
      {Field::Ues, "ues", s(img.ues)},
      {Field::Tail, "remainingBits", s(img.remainingBits)},
  };
}

// Every '0' of an image as (field, flat position).
inline std::vector<std::pair<Field, std::size_t>> ProgrammedPositions(const SourceImage& img) {
  std::vector<std::pair<Field, std::size_t>> out;
  for (const auto& f : FieldsOf(img)) {
    for (std::size_t i = 0; i < f.chars.size(); ++i) {
      if (f.chars[i] == '0') out.emplace_back(f.field, i);
    }
  }
  return out;
}

inline ::testing::AssertionResult SameImage(const SourceImage& got, const SourceImage& want) {
  const auto g = FieldsOf(got), w = FieldsOf(want);
  for (std::size_t k = 0; k < g.size(); ++k) {
    if (g[k].chars.size() != w[k].chars.size()) {
      return ::testing::AssertionFailure() << g[k].name << " sizes differ";
    }
    for (std::size_t i = 0; i < g[k].chars.size(); ++i) {
      if (g[k].chars[i] != w[k].chars[i]) {
        return ::testing::AssertionFailure() << g[k].name << "[" << i << "] is '" << g[k].chars[i]
                                             << "', expected '" << w[k].chars[i] << "'";
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Fills every field character of an image with a fixed pseudo-random pattern
// of '0' and '1' (about one '0' in `oneIn`).
inline void Scramble(SourceImage& img, unsigned seed, unsigned oneIn = 2) {
  unsigned x = seed * 2654435761u + 1;
  auto next = [&] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  for (FuseArray* a : {&img.logicArray, &img.mcConfig, &img.pia, &img.oePia, &img.ioConfig,
                       &img.outputEnable, &img.globalClocks, &img.unknownBits, &img.ues,
                       &img.remainingBits}) {
    for (std::size_t i = 0; i < a->size(); ++i) a->data()[i] = next() % oneIn == 0 ? '0' : '1';
  }
  if (img.layout().hasJtagBit) img.jtagBit = next() % 2 == 0 ? '0' : '1';
}

}  // namespace fusecvt::test
