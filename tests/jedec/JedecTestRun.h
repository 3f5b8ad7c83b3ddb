#pragma once
// A conversion run for writer tests: captured console and error streams and
// a clock fixed at Sat Dec 05 16:42:08 2026; and ways to make and fill images.

#include <cstring>
#include <ctime>
#include <memory>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "jedec/BlockTarget.h"

namespace fusecvt::test {

inline std::tm Tm(int year, int mon, int mday, int hour, int min, int sec, int wday) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = mon;
  t.tm_mday = mday;
  t.tm_hour = hour;
  t.tm_min = min;
  t.tm_sec = sec;
  t.tm_wday = wday;
  return t;
}
inline std::tm FixedDate() { return Tm(2026, 11, 5, 16, 42, 8, 6); }

struct TestRun {
  TestRun(const std::string& package, int pins, const std::tm& date = FixedDate())
      : run(console, error, Clock::Fixed(date)) {
    run.pof.packageName = package;
    run.pof.pinCount = pins;
  }
  std::ostringstream console;
  std::ostringstream error;
  Conversion run;
};

inline std::unique_ptr<BlockTargetImage> MakeImage(BlockTargetKind kind) {
  switch (kind) {
    case BlockTargetKind::Qpl6032: return std::make_unique<Qpl6032>();
    case BlockTargetKind::Qpl6064: return std::make_unique<Qpl6064>();
    case BlockTargetKind::Qpl6128: return std::make_unique<Qpl6128>();
  }
  return nullptr;
}

// Fills every field with a repeatable mix of '0' and '1', then sets cases the
// writer must tell apart: left-out (all '0') terms, terms with one '1' (an
// input fuse, the first foldback fuse, the last fuse), a macrocell whose
// S0..S2 are cleared and one whose S21 = '0' keeps them.
inline void FillPattern(BlockTargetImage& img, unsigned seed) {
  unsigned state = seed * 2654435761u + 1u;
  auto next = [&] { return ((state = state * 1103515245u + 12345u) >> 16) & 1u ? '1' : '0'; };
  for (FuseArray* a : {&img.ptInputFuses, &img.ptFoldbackFuses, &img.mcBits, &img.uimMux,
                       &img.goeMux, &img.configBits, &img.uesBits}) {
    for (std::size_t i = 0; i < a->size(); ++i) a->data()[i] = next();
  }
  img.jtagBit = '1';
  // Fuse i of a term in file order: 16 foldback, then 80 inputs.
  auto term = [&](int mc, int pt, int lone) {
    for (int i = 0; i < 96; ++i) {
      (i < 16 ? img.ptFoldbackFuses.at(mc, pt, i) : img.ptInputFuses.at(mc, pt, i - 16)) = i == lone ? '1' : '0';
    }
  };
  for (int mc : {0, 17, img.geometry().macrocells - 1}) term(mc, mc % 5, -1);
  term(5, 3, 40);
  term(6, 1, 0);
  term(7, 2, 95);
  std::memcpy(img.mcBits.row(1), "111101010101010101010110", 24);  // S21 = '1': cleared
  std::memcpy(img.mcBits.row(2), "111101010101010101010010", 24);  // S21 = '0': kept
}

}  // namespace fusecvt::test
