#include "jedec/JedecReader.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string_view>
#include <vector>

namespace fusecvt {

namespace {

constexpr long kMaxFuses = 1L << 22;  // far more than any target has

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads a decimal number at s[i]; false when there is none or it is too large.
bool ReadNumber(std::string_view s, std::size_t& i, long& value) {
  const std::size_t start = i;
  value = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    value = value * 10 + (s[i] - '0');
    if (value > kMaxFuses) return false;
    ++i;
  }
  return i > start;
}

std::string FieldName(std::string_view field) {
  std::string name(field.substr(0, 12));
  for (char& c : name) {
    if (!std::isprint(static_cast<unsigned char>(c))) c = ' ';
  }
  return name;
}

}  // namespace

namespace {

// A fuse list field: its first address and the fuses, blanks between them
// allowed.
struct FuseList {
  long address;
  std::string_view body;
};

// What the fields of a file say about its fuses.
struct JedecFields {
  long fuseCount = 0;
  int defaultFuse = -1;  // -1: no F field
  bool haveChecksum = false;
  unsigned checksum = 0;
  std::vector<FuseList> lists;
};

// Reads one field (blanks before it removed); an error text when it is
// malformed, else empty.
std::string ReadField(std::string_view field, JedecFields& f) {
  std::size_t j = 1;
  switch (field[0]) {
    case 'Q':
      if (field.size() > 1 && field[1] == 'F') {
        j = 2;
        if (!ReadNumber(field, j, f.fuseCount) || f.fuseCount <= 0) {
          return "bad fuse count field \"" + FieldName(field) + "\"";
        }
      }
      return {};
    case 'F':
      if (field.size() < 2 || (field[1] != '0' && field[1] != '1')) {
        return "bad fuse default field \"" + FieldName(field) + "\"";
      }
      f.defaultFuse = field[1] - '0';
      return {};
    case 'L': {
      FuseList l{0, {}};
      if (!ReadNumber(field, j, l.address)) return "bad fuse list field \"" + FieldName(field) + "\"";
      l.body = field.substr(j);
      f.lists.push_back(l);
      return {};
    }
    case 'C': {
      std::size_t n = 0;
      f.checksum = 0;
      for (; j < field.size() && std::isxdigit(static_cast<unsigned char>(field[j])); ++j, ++n) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(field[j])));
        f.checksum = f.checksum * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'A' + 10);
      }
      if (n != 4) return "bad fuse checksum field \"" + FieldName(field) + "\"";
      f.haveChecksum = true;
      return {};
    }
    default:
      return {};  // notes, vectors, security and the rest say nothing about fuses
  }
}

// Reads the fields from pos on, each ended by '*'; the first error ends the read.
std::string ReadFields(std::string_view text, std::size_t pos, JedecFields& f) {
  while (pos < text.size()) {
    std::size_t stop = text.find('*', pos);
    if (stop == std::string_view::npos) stop = text.size();
    std::size_t i = pos;
    while (i < stop && IsBlank(text[i])) ++i;
    const std::string_view field = text.substr(i, stop - i);
    pos = stop + 1;
    if (field.empty()) continue;
    std::string error = ReadField(field, f);
    if (!error.empty()) return error;
  }
  return {};
}

// Fills fuses (already fuseCount long, at the default) from the fuse lists.
std::string FillFuses(const JedecFields& f, std::string& fuses) {
  // Without a default every fuse must be listed.
  std::vector<char> listed(f.defaultFuse < 0 ? fuses.size() : 0, 0);
  for (const FuseList& l : f.lists) {
    char* const first = fuses.data() + std::min(static_cast<std::size_t>(l.address), fuses.size());
    char* out = first;
    char* const last = fuses.data() + fuses.size();
    for (const char c : l.body) {
      if (c == '0' || c == '1') {
        if (out == last) {
          return "fuse list at L" + std::to_string(l.address) + " runs past the fuse count " +
                 std::to_string(f.fuseCount);
        }
        *out++ = c;
      } else if (!IsBlank(c)) {
        return "bad character in the fuse list at L" + std::to_string(l.address);
      }
    }
    if (!listed.empty()) std::fill(listed.begin() + (first - fuses.data()), listed.begin() + (out - fuses.data()), 1);
  }
  for (std::size_t k = 0; k < listed.size(); ++k) {
    if (!listed[k]) return "fuse " + std::to_string(k) + " is not listed and there is no default (F field)";
  }
  return {};
}

// Empty when the fuses sum to the file's checksum: 8-fuse words in address
// order, the lowest address the least significant bit.
std::string ChecksumError(const std::string& fuses, unsigned fileChecksum) {
  unsigned sum = 0;
  for (std::size_t k = 0; k < fuses.size(); k += 8) {
    unsigned word = 0;
    const std::size_t n = std::min<std::size_t>(8, fuses.size() - k);
    for (std::size_t b = 0; b < n; ++b) word |= static_cast<unsigned>(fuses[k + b] == '1') << b;
    sum += word;
  }
  sum &= 0xFFFFu;
  if (sum == fileChecksum) return {};
  std::ostringstream m;
  m << std::hex << std::uppercase;
  m << "fuse checksum C" << std::setw(4) << std::setfill('0') << fileChecksum << " does not match the fuses (C"
    << std::setw(4) << sum << ")";
  return m.str();
}

}  // namespace

JedecFuses ParseJedec(const std::string& bytes) {
  JedecFuses r;
  std::size_t begin = bytes.find('\x02');
  begin = begin == std::string::npos ? 0 : begin + 1;
  std::size_t end = bytes.find('\x03', begin);
  if (end == std::string::npos) end = bytes.size();
  const std::string_view text = std::string_view(bytes).substr(begin, end - begin);

  // The first field (up to the first '*') is the free design text.
  const std::size_t pos = text.find('*');
  if (pos == std::string_view::npos) {
    r.error = "no JEDEC fields (no '*' found)";
    return r;
  }
  JedecFields f;
  r.error = ReadFields(text, pos + 1, f);
  r.fuseCount = f.fuseCount;
  if (!r.error.empty()) return r;
  if (r.fuseCount <= 0) {
    r.error = "no fuse count (QF field)";
    return r;
  }
  r.fuses.assign(static_cast<std::size_t>(r.fuseCount), f.defaultFuse == 1 ? '1' : '0');
  r.error = FillFuses(f, r.fuses);
  if (r.error.empty() && f.haveChecksum) r.error = ChecksumError(r.fuses, f.checksum);
  return r;
}

JedecFuses ReadJedecFuses(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    JedecFuses r;
    r.error = "cannot open " + path;
    return r;
  }
  std::ostringstream all;
  all << in.rdbuf();
  const std::string bytes = all.str();
  if (bytes.empty()) {
    JedecFuses r;
    r.error = path + " is empty";
    return r;
  }
  return ParseJedec(bytes);
}

}  // namespace fusecvt
