#include "support/JedecReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace fusecvt::test {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

class Parser {
 public:
  explicit Parser(const std::string& bytes) : b_(bytes) {}

  JedecReadResult Run() {
    for (std::size_t i = 0, bad = 0; i < b_.size(); ++i) {
      const bool lfAlone = b_[i] == '\n' && (i == 0 || b_[i - 1] != '\r');
      const bool crAlone = b_[i] == '\r' && (i + 1 == b_.size() || b_[i + 1] != '\n');
      if ((lfAlone || crAlone) && bad++ < 5) Error(i, lfAlone ? "line end LF without CR" : "CR without LF");
    }
    const std::size_t etx = b_.find('\x03', 1), designEnd = b_.find('*', 1);
    if (b_.empty() || b_[0] != '\x02') return Error(0, "the file does not begin with STX"), std::move(r_);
    if (etx == std::string::npos) return Error(b_.size(), "no ETX"), std::move(r_);
    if (b_.find('\x02', 1) < etx) Error(b_.find('\x02', 1), "a second STX");
    // The transmission checksum: the byte sum from STX to ETX, or 0000.
    if (b_.size() < etx + 5 || !std::all_of(b_.begin() + etx + 1, b_.begin() + etx + 5, IsHex)) {
      Error(etx, "ETX is not followed by four hexadecimal digits");
    } else {
      if (b_.size() > etx + 5 && b_.substr(etx + 5) != "\r\n") Error(etx, "bytes after the transmission checksum");
      unsigned sum = 0;
      for (std::size_t i = 0; i <= etx; ++i) sum += static_cast<unsigned char>(b_[i]);
      const auto given = std::stoul(b_.substr(etx + 1, 4), nullptr, 16);
      if (given != 0 && given != (sum & 0xFFFFu)) Error(etx, "transmission checksum does not match");
    }
    if (designEnd > etx) return Error(1, "the header text after STX is not ended by '*'"), std::move(r_);
    std::size_t start = designEnd + 1;
    for (std::size_t star; (star = b_.find('*', start)) < etx; start = star + 1) Field(start, star);
    if (!OnlySpace(start, etx)) Error(start, "text before ETX is not ended by '*'");
    Finish();
    return std::move(r_);
  }

 private:
  void Error(std::size_t at, const std::string& what) {
    const auto line = std::count(b_.begin(), b_.begin() + static_cast<long>(std::min(at, b_.size())), '\n') + 1;
    r_.errors.push_back("line " + std::to_string(line) + ": " + what);
  }

  // Reads a decimal number at b_[p..end); false when there is none.
  bool Number(std::size_t& p, std::size_t end, long& value) const {
    const std::size_t first = p;
    for (value = 0; p < end && std::isdigit(static_cast<unsigned char>(b_[p])); ++p) {
      if (value > 100000000L) return false;
      value = value * 10 + (b_[p] - '0');
    }
    return p > first;
  }

  bool OnlySpace(std::size_t p, std::size_t end) const {
    return std::all_of(b_.begin() + static_cast<long>(p), b_.begin() + static_cast<long>(end), IsSpace);
  }

  void Field(std::size_t p, std::size_t end) {
    while (p < end && IsSpace(b_[p])) ++p;
    if (p == end || b_[p] == 'N') return;  // an empty field or a note
    const char id = b_[p++];
    if (id == 'L') return FuseList(p, end);
    if (id == 'V') return Vector(p, end);
    if (id == 'C') {
      std::size_t q = p;
      while (q < end && IsHex(b_[q])) ++q;
      if (r_.hasChecksum) Error(p, "second C field");
      if (q - p != 4 || !OnlySpace(q, end)) return Error(p, "C field is not four hexadecimal digits");
      r_.hasChecksum = true;
      r_.fileChecksum = static_cast<unsigned>(std::stoul(b_.substr(p, 4), nullptr, 16));
      return;
    }
    // A name and a value, nothing else: QF16808, QP44, QV2, and F, G, X of 0 or 1.
    const std::string name = id == 'Q' && p < end ? std::string{id, b_[p++]} : std::string(1, id);
    const char* const names[] = {"QF", "QP", "QV", "F", "G", "X"};
    long* const targets[] = {&r_.fuseCount, &r_.pinCount, &r_.vectorCount, &r_.defaultFuse, &security_, &vectorDefault_};
    const auto i = static_cast<std::size_t>(std::find(names, names + 6, name) - names);
    if (i == 6) return Error(p - 1, "unsupported field '" + name + "'");
    long v = 0;
    if (!Number(p, end, v) || !OnlySpace(p, end)) return Error(p, "malformed " + name + " field");
    if (i >= 3 && v > 1) return Error(p, name + " field is neither 0 nor 1");
    if (*targets[i] >= 0) Error(p, "second " + name + " field");
    *targets[i] = v;
    if (i == 0) r_.fuses.assign(static_cast<std::size_t>(v), '\0'), r_.written.assign(static_cast<std::size_t>(v), false);
  }

  void FuseList(std::size_t p, std::size_t end) {
    JedecFuseList list;
    if (!Number(p, end, list.address)) return Error(p, "L field without an address");
    if (p == end || !IsSpace(b_[p])) return Error(p, "L field address not followed by white space");
    if (r_.fuseCount < 0) return Error(p, "L field before QF");
    const std::string name = "L" + std::to_string(list.address);
    if (!r_.fuseLists.empty() && list.address < r_.fuseLists.back().address + r_.fuseLists.back().count) {
      Error(p, name + " does not lie above the previous L field");
    }
    long address = list.address;
    bool reported = false;  // one error a field
    auto report = [&](const std::string& what) { if (!reported) Error(p, what); reported = true; };
    for (; p < end; ++p) {
      const char c = b_[p];
      if (IsSpace(c)) continue;
      if (c != '0' && c != '1') {
        report(std::string("fuse character '") + c + "' in " + name);
        continue;
      }
      if (address >= r_.fuseCount) {
        report(name + " runs past QF");
      } else {
        const auto i = static_cast<std::size_t>(address);
        if (r_.written[i]) report("fuse " + std::to_string(address) + " written twice");
        r_.written[i] = true;
        r_.fuses[i] = c;
      }
      ++address;
    }
    list.count = address - list.address;
    if (list.count == 0) Error(p, name + " holds no fuses");
    r_.fuseLists.push_back(list);
  }

  void Vector(std::size_t p, std::size_t end) {
    JedecVector v;
    if (!Number(p, end, v.number)) return Error(p, "V field without a number");
    if (p == end || !IsSpace(b_[p])) return Error(p, "V field number not followed by white space");
    v.text = b_.substr(p + 1, end - p - 1);
    const std::string name = "V" + std::to_string(v.number);
    if (r_.vectorCount < 0) Error(p, "V field before QV");
    if (!r_.vectors.empty() && v.number <= r_.vectors.back().number) Error(p, name + " does not follow the previous vector");
    if (r_.vectorCount >= 0 && v.number > r_.vectorCount) Error(p, name + " beyond QV");
    r_.vectors.push_back(std::move(v));
  }

  void Finish() {
    if (r_.fuseCount < 0) return Error(b_.size(), "no QF field");
    const auto unwritten = std::count(r_.written.begin(), r_.written.end(), false);
    for (std::size_t i = 0; i < r_.fuses.size(); ++i) {
      if (!r_.written[i]) r_.fuses[i] = r_.defaultFuse == 1 ? '1' : '0';
    }
    if (unwritten && r_.defaultFuse < 0) Error(b_.size(), "fuses left unwritten without an F field");
    r_.computedChecksum = JedecChecksumOf(r_.fuses);
    if (r_.hasChecksum && r_.fileChecksum != r_.computedChecksum) {
      char buf[80];
      std::snprintf(buf, sizeof buf, "C%04X in the file, the fuses sum to %04X", r_.fileChecksum, r_.computedChecksum);
      Error(b_.size(), buf);
    }
    if (r_.vectorCount >= 0 && static_cast<long>(r_.vectors.size()) != r_.vectorCount) {
      Error(b_.size(), "QV" + std::to_string(r_.vectorCount) + " but " + std::to_string(r_.vectors.size()) + " V fields");
    }
  }

  const std::string& b_;
  JedecReadResult r_;
  long security_ = -1, vectorDefault_ = -1;
};


}  // namespace

JedecReadResult ReadJedec(const std::string& bytes) { return Parser(bytes).Run(); }

JedecReadResult ReadJedecFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  JedecReadResult r = bytes.empty() ? JedecReadResult{} : ReadJedec(bytes);
  if (bytes.empty()) r.errors.push_back(path + ": cannot be read or is empty");
  return r;
}

std::uint16_t JedecChecksumOf(const std::string& fuses) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < fuses.size(); ++i) sum += fuses[i] == '1' ? 1u << (i % 8) : 0u;
  return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

}  // namespace fusecvt::test
