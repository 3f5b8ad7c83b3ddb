#include "support/JedecReader.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/TestPaths.h"

namespace fusecvt::test {

namespace {

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

class Parser {
 public:
  explicit Parser(const std::string& bytes) : b_(bytes) {}

  JedecReadResult Run() {
    CheckLineEnds();
    if (b_.empty() || b_[0] != kStx) {
      Error(0, "the file does not begin with STX");
      return std::move(r_);
    }
    const std::size_t etx = b_.find(kEtx, 1);
    if (etx == std::string::npos) {
      Error(b_.size(), "no ETX");
      return std::move(r_);
    }
    if (b_.find(kStx, 1) < etx) Error(b_.find(kStx, 1), "a second STX");
    ParseTrailer(etx);
    const std::size_t designEnd = b_.find('*', 1);
    if (designEnd == std::string::npos || designEnd > etx) {
      Error(1, "the header text after STX is not ended by '*'");
      return std::move(r_);
    }
    r_.designSpec = b_.substr(1, designEnd - 1);
    std::size_t start = designEnd + 1;
    for (;;) {
      const std::size_t star = b_.find('*', start);
      if (star == std::string::npos || star > etx) break;
      Field(start, star);
      start = star + 1;
    }
    for (std::size_t i = start; i < etx; ++i) {
      if (!IsSpace(b_[i])) {
        Error(i, "text before ETX is not ended by '*'");
        break;
      }
    }
    Finish();
    return std::move(r_);
  }

 private:
  int LineOf(std::size_t offset) const {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < b_.size(); ++i) line += b_[i] == '\n';
    return line;
  }

  void Error(std::size_t offset, const std::string& what) {
    std::ostringstream s;
    s << "line " << LineOf(offset) << ": " << what;
    r_.errors.push_back(s.str());
  }

  void CheckLineEnds() {
    int bad = 0;
    for (std::size_t i = 0; i < b_.size(); ++i) {
      const bool lfAlone = b_[i] == '\n' && (i == 0 || b_[i - 1] != '\r');
      const bool crAlone = b_[i] == '\r' && (i + 1 == b_.size() || b_[i + 1] != '\n');
      if ((lfAlone || crAlone) && bad++ < 5) {
        Error(i, lfAlone ? "line end LF without CR" : "CR without LF");
      }
    }
  }

  void ParseTrailer(std::size_t etx) {
    r_.transmissionChecksum = b_.substr(etx + 1, 4);
    const std::string& t = r_.transmissionChecksum;
    if (t.size() != 4 || !IsHex(t[0]) || !IsHex(t[1]) || !IsHex(t[2]) || !IsHex(t[3])) {
      Error(etx, "ETX is not followed by four hexadecimal digits");
      return;
    }
    const std::string rest = b_.substr(etx + 5);
    if (!rest.empty() && rest != "\r\n") Error(etx, "bytes after the transmission checksum");
    const unsigned given = static_cast<unsigned>(std::stoul(t, nullptr, 16));
    if (given != 0) {
      unsigned sum = 0;
      for (std::size_t i = 0; i <= etx; ++i) sum += static_cast<unsigned char>(b_[i]);
      if ((sum & 0xFFFFu) != given) Error(etx, "transmission checksum does not match");
    }
  }

  // Reads a decimal number at b_[p..end); returns false when there is none.
  bool Number(std::size_t& p, std::size_t end, long& value, std::string* text = nullptr) {
    const std::size_t first = p;
    value = 0;
    while (p < end && IsDigit(b_[p])) {
      if (value > 100000000L) return false;
      value = value * 10 + (b_[p] - '0');
      ++p;
    }
    if (text) *text = b_.substr(first, p - first);
    return p > first;
  }

  bool OnlySpace(std::size_t p, std::size_t end) const {
    for (; p < end; ++p) {
      if (!IsSpace(b_[p])) return false;
    }
    return true;
  }

  // A field of one letter, a value and nothing else: F0, G1, X0, QF16808 ...
  bool SimpleNumber(std::size_t p, std::size_t end, long& value, const char* name) {
    if (!Number(p, end, value) || !OnlySpace(p, end)) {
      Error(p, std::string("malformed ") + name + " field");
      return false;
    }
    return true;
  }

  void Field(std::size_t start, std::size_t end) {
    std::size_t p = start;
    while (p < end && IsSpace(b_[p])) ++p;
    if (p == end) {
      ++r_.emptyFields;
      return;
    }
    const char id = b_[p++];
    long v = 0;
    switch (id) {
      case 'N':
        r_.notes.push_back(b_.substr(p - 1, end - p + 1));
        return;
      case 'Q': {
        const char q = p < end ? b_[p++] : '\0';
        long* target = q == 'F' ? &r_.fuseCount : q == 'P' ? &r_.pinCount : q == 'V' ? &r_.vectorCount
                                                                                       : nullptr;
        if (!target) {
          Error(p, "unknown Q field");
          return;
        }
        if (*target >= 0) Error(p, std::string("second Q") + q + " field");
        if (SimpleNumber(p, end, v, "Q")) *target = v;
        if (q == 'F' && *target >= 0) {
          r_.fuses.assign(static_cast<std::size_t>(*target), '\0');
          r_.written.assign(static_cast<std::size_t>(*target), false);
        }
        return;
      }
      case 'F':
        if (r_.defaultFuse >= 0) Error(p, "second F field");
        if (SimpleNumber(p, end, v, "F") && v <= 1) r_.defaultFuse = static_cast<int>(v);
        else if (v > 1) Error(p, "F default is neither 0 nor 1");
        return;
      case 'G':
        r_.hasSecurityField = true;
        if (SimpleNumber(p, end, v, "G") && v <= 1) r_.securityFuse = v == 1;
        else if (v > 1) Error(p, "G field is neither 0 nor 1");
        return;
      case 'X':
        if (SimpleNumber(p, end, v, "X") && v <= 1) r_.vectorDefault = static_cast<int>(v);
        else if (v > 1) Error(p, "X field is neither 0 nor 1");
        return;
      case 'C':
        Checksum(p, end);
        return;
      case 'L':
        FuseList(p, end);
        return;
      case 'V':
        Vector(p, end);
        return;
      default:
        Error(p - 1, std::string("unsupported field '") + id + "'");
        return;
    }
  }

  void Checksum(std::size_t p, std::size_t end) {
    if (r_.hasChecksum) Error(p, "second C field");
    std::size_t q = p;
    while (q < end && IsHex(b_[q])) ++q;
    if (q - p != 4 || !OnlySpace(q, end)) {
      Error(p, "C field is not four hexadecimal digits");
      return;
    }
    r_.hasChecksum = true;
    r_.fileChecksum = static_cast<unsigned>(std::stoul(b_.substr(p, 4), nullptr, 16));
  }

  void FuseList(std::size_t p, std::size_t end) {
    JedecFuseList list;
    if (!Number(p, end, list.address, &list.addressText)) {
      Error(p, "L field without an address");
      return;
    }
    if (p == end || !IsSpace(b_[p])) {
      Error(p, "L field address not followed by white space");
      return;
    }
    if (r_.fuseCount < 0) {
      Error(p, "L field before QF");
      return;
    }
    const long previousEnd =
        r_.fuseLists.empty() ? 0 : r_.fuseLists.back().address + r_.fuseLists.back().count;
    if (!r_.fuseLists.empty() && list.address < previousEnd) {
      Error(p, "L" + list.addressText + " does not lie above the previous L field");
    }
    long address = list.address;
    bool reported = false;
    for (; p < end; ++p) {
      const char c = b_[p];
      if (IsSpace(c)) continue;
      if (c != '0' && c != '1') {
        if (!reported) Error(p, std::string("fuse character '") + c + "' in L" + list.addressText);
        reported = true;
        continue;
      }
      if (address >= r_.fuseCount) {
        if (!reported) Error(p, "L" + list.addressText + " runs past QF");
        reported = true;
      } else {
        const auto i = static_cast<std::size_t>(address);
        if (r_.written[i] && !reported) {
          Error(p, "fuse " + std::to_string(address) + " written twice");
          reported = true;
        }
        r_.written[i] = true;
        r_.fuses[i] = c;
      }
      ++address;
    }
    list.count = address - list.address;
    if (list.count == 0) Error(p, "L" + list.addressText + " holds no fuses");
    r_.fuseLists.push_back(list);
  }

  void Vector(std::size_t p, std::size_t end) {
    JedecVector v;
    if (!Number(p, end, v.number, &v.numberText)) {
      Error(p, "V field without a number");
      return;
    }
    if (p == end || !IsSpace(b_[p])) {
      Error(p, "V field number not followed by white space");
      return;
    }
    v.text = b_.substr(p + 1, end - p - 1);
    if (r_.vectorCount < 0) Error(p, "V field before QV");
    if (!r_.vectors.empty() && v.number <= r_.vectors.back().number) {
      Error(p, "V" + v.numberText + " does not follow the previous vector number");
    }
    if (r_.vectorCount >= 0 && v.number > r_.vectorCount) {
      Error(p, "V" + v.numberText + " beyond QV");
    }
    r_.vectors.push_back(std::move(v));
  }

  void Finish() {
    if (r_.fuseCount < 0) {
      Error(b_.size(), "no QF field");
      return;
    }
    bool unwritten = false;
    const char fill = r_.defaultFuse == 1 ? '1' : '0';
    for (std::size_t i = 0; i < r_.fuses.size(); ++i) {
      if (!r_.written[i]) {
        r_.fuses[i] = fill;
        unwritten = true;
      }
    }
    if (unwritten && r_.defaultFuse < 0) Error(b_.size(), "fuses left unwritten without an F field");
    r_.computedChecksum = JedecChecksumOf(r_.fuses);
    if (r_.hasChecksum && r_.fileChecksum != r_.computedChecksum) {
      char buf[80];
      std::snprintf(buf, sizeof buf, "C%04X in the file, the fuses sum to %04X", r_.fileChecksum,
                    r_.computedChecksum);
      Error(b_.size(), buf);
    }
    if (r_.vectorCount >= 0 && static_cast<long>(r_.vectors.size()) != r_.vectorCount) {
      Error(b_.size(), "QV" + std::to_string(r_.vectorCount) + " but " +
                           std::to_string(r_.vectors.size()) + " V fields");
    }
  }

  const std::string& b_;
  JedecReadResult r_;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

}  // namespace

std::string JedecReadResult::ErrorText() const {
  std::string text;
  for (const std::string& e : errors) text += e + "\n";
  return text;
}

JedecReadResult ReadJedec(const std::string& bytes) { return Parser(bytes).Run(); }

JedecReadResult ReadJedecFile(const std::string& path) {
  const std::string bytes = ReadFile(path);
  if (bytes.empty()) {
    JedecReadResult r;
    r.errors.push_back(path + ": cannot be read or is empty");
    return r;
  }
  return ReadJedec(bytes);
}

std::uint16_t JedecChecksumOf(const std::string& fuses) {
  unsigned long sum = 0;
  for (std::size_t word = 0; word < fuses.size(); word += 8) {
    unsigned value = 0;
    for (std::size_t bit = 0; bit < 8 && word + bit < fuses.size(); ++bit) {
      if (fuses[word + bit] == '1') value |= 1u << bit;
    }
    sum += value;
  }
  return static_cast<std::uint16_t>(sum % 65536);
}

bool JedutilAvailable() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string file = (dir.empty() ? "." : dir) + "/jedutil";
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(file.c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

bool JedutilRequired() {
  const char* v = std::getenv("FUSECVT_REQUIRE_JEDUTIL");
  return v && *v;
}

JedutilResult RunJedutil(const std::string& jedPath) {
  JedutilResult r;
  if (!JedutilAvailable()) return r;
  ScratchDir dir;
  const std::string bin = dir.File("out.bin");
  const std::string command = "jedutil -convert " + Quote(jedPath) + " " + Quote(bin) + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return r;
  r.ran = true;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.output.append(buf, n);
  const int status = ::pclose(pipe);
  r.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // The binary: the fuse count in four bytes, most significant first, then
  // the fuses eight to a byte, the lowest-numbered fuse in the lowest bit.
  const std::string data = ReadFile(bin);
  if (data.size() >= 4) {
    unsigned long count = 0;
    for (int i = 0; i < 4; ++i) count = count << 8 | static_cast<unsigned char>(data[i]);
    if (data.size() == 4 + (count + 7) / 8) {
      r.fuseCount = static_cast<long>(count);
      r.fuses.resize(count);
      for (unsigned long f = 0; f < count; ++f) {
        const unsigned char byte = static_cast<unsigned char>(data[4 + f / 8]);
        r.fuses[f] = ((byte >> (f % 8)) & 1u) ? '1' : '0';
      }
    }
  }
  return r;
}

::testing::AssertionResult JedutilAccepts(const std::string& jedPath) {
  const JedecReadResult own = ReadJedecFile(jedPath);
  if (own.fuseCount > kJedutilMaxFuses) {
    return ::testing::AssertionFailure()
           << jedPath << " has " << own.fuseCount << " fuses, more than jedutil handles";
  }
  if (!JedutilAvailable()) return ::testing::AssertionFailure() << "jedutil is not on PATH";
  const JedutilResult r = RunJedutil(jedPath);
  if (!r.accepted()) {
    return ::testing::AssertionFailure() << "jedutil refused " << jedPath << " (exit status "
                                         << r.exitStatus << "):\n" << r.output;
  }
  if (own.ok() && r.fuses != own.fuses) {
    std::size_t i = 0;
    while (i < r.fuses.size() && i < own.fuses.size() && r.fuses[i] == own.fuses[i]) ++i;
    return ::testing::AssertionFailure()
           << "jedutil and the test reader disagree on " << jedPath << " from fuse " << i
           << " (jedutil read " << r.fuseCount << " fuses, the reader " << own.fuseCount << ")";
  }
  return ::testing::AssertionSuccess() << "jedutil accepted " << jedPath;
}

}  // namespace fusecvt::test
