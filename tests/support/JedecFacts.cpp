#include "support/JedecFacts.h"

#include <cstdlib>
#include <sstream>

namespace fusecvt::test {
namespace {

std::string Strip(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c != ' ') out += c;
  }
  return out;
}

}  // namespace

JedecFacts::JedecFacts(const std::string& jedec) : text_(jedec) {
  const std::size_t qf = jedec.find("\nQF");  // the fuse count field starts a line
  const long fuses = qf == std::string::npos ? 0 : std::strtol(jedec.c_str() + qf + 3, nullptr, 10);
  macrocells_ = fuses == 16808 ? 32 : fuses == 34192 ? 64 : fuses == 74136 ? 128 : 0;
  bits_.assign(static_cast<std::size_t>(macrocells_), std::string(24, '?'));
  uim_.assign(static_cast<std::size_t>(macrocells_ / 16 * 40), std::string());
  std::istringstream in(jedec);
  bool configNext = false, jtagNext = false;
  int pairLine = 0;  // 0 for the first S-pair line after a group's 16-fuse line, 1 for the second
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t blank = line.find(' '), star = line.find('*');
    const std::string fusesText = line.size() > 1 && line[0] == 'L' && blank != std::string::npos && star > blank
                                      ? line.substr(blank + 1, star - blank - 1)
                                      : std::string();
    if (line.find("device configuration bits") != std::string::npos) configNext = true;
    if (line.find("Special Purpose Bits") != std::string::npos) jtagNext = true;
    if (configNext && fusesText.size() == 32) {
      config_.assign(fusesText.rbegin(), fusesText.rend());
      configNext = false;
    }
    if (jtagNext && fusesText.size() == 4) {
      jtag_ = fusesText[1];
      jtagNext = false;
    }
    // "L<addr> <fuses>*  NOTE Mux-12 of block A*"
    const std::size_t mux = line.find("NOTE Mux-");
    if (mux != std::string::npos && !fusesText.empty()) {
      const int n = std::atoi(line.c_str() + mux + 9);
      const std::size_t blockAt = line.find(" of block ", mux);
      const int block = blockAt == std::string::npos ? -1 : line[blockAt + 10] - 'A';
      const std::size_t at = static_cast<std::size_t>(block * 40 + n);
      if (block >= 0 && n >= 0 && n < 40 && at < uim_.size()) {
        uim_[at] = macrocells_ == 32 ? fusesText : std::string(fusesText.rbegin(), fusesText.rend());
      }
      continue;
    }
    if (fusesText.size() == 16) pairLine = 0;
    // "L<addr> <32 fuses>*  NOTE S16,S12 of block A * "
    const std::size_t note = line.find("NOTE S"), of = line.find(" of block ");
    if (fusesText.size() != 32 || note == std::string::npos || of == std::string::npos) continue;
    const std::string label = Strip(line.substr(note + 5, of - note - 5));
    const int block = line[of + 10] - 'A';
    const std::size_t comma = label.find(',');
    if (comma == std::string::npos || label[0] != 'S' || label[comma + 1] != 'S') continue;
    const int a = std::atoi(label.c_str() + 1), b = std::atoi(label.c_str() + comma + 2);
    // Along the line: 32-macrocell targets run the first pair line of a
    // group from the block's highest MC down, the others from its lowest up;
    // the second line the other way. Each MC gives the bits in the order the
    // note names them at even positions and the other way at odd ones.
    const bool up = (macrocells_ == 32) == (pairLine++ == 1);
    for (int i = 0; i < 16; ++i) {
      const int mc = block * 16 + (up ? i : 15 - i);
      if (mc < 0 || mc >= macrocells_) continue;
      const int x = i % 2 == 0 ? a : b, y = i % 2 == 0 ? b : a;
      bits_[static_cast<std::size_t>(mc)][static_cast<std::size_t>(x)] = fusesText[static_cast<std::size_t>(2 * i)];
      bits_[static_cast<std::size_t>(mc)][static_cast<std::size_t>(y)] = fusesText[static_cast<std::size_t>(2 * i + 1)];
    }
  }
}

std::string JedecFacts::S(int mc) const {
  if (mc < 1 || mc > macrocells_) return std::string(24, '?');
  return bits_[static_cast<std::size_t>(mc - 1)];
}

std::string JedecFacts::Uim(int block, int line) const {
  const std::size_t at = static_cast<std::size_t>(block * 40 + line);
  return block < 0 || line < 0 || line >= 40 || at >= uim_.size() ? std::string() : uim_[at];
}

bool JedecFacts::PtWritten(int mc, int pt) const {
  const std::string note = "NOTE PT " + std::to_string(pt) + " of MC " + std::to_string(mc) + "(LAB " +
                           static_cast<char>('A' + (mc - 1) / 16) + ")";
  return text_.find(note) != std::string::npos;
}

}  // namespace fusecvt::test
