#include "jedec/JedecFormat.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sys/stat.h>

namespace fusecvt {

namespace {

// v brought into 0..n-1 (also for negative v).
int Wrap(long long v, int n) { return static_cast<int>(((v % n) + n) % n); }

// The CR LF form of text, into scratch (which is reused between pieces):
// the line ends are counted first, then the lines copied into place.
const std::string& WithCrLf(const char* text, std::size_t size, std::string& scratch) {
  const char* const end = text + size;
  std::size_t lineEnds = 0;
  for (const char* p = text; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
       ++p) {
    ++lineEnds;
  }
  scratch.resize(size + lineEnds);
  char* out = &scratch[0];
  for (const char* p = text; p < end;) {
    const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* stop = lf ? lf : end;
    std::memcpy(out, p, static_cast<std::size_t>(stop - p));
    out += stop - p;
    if (!lf) break;
    *out++ = '\r';
    *out++ = '\n';
    p = lf + 1;
  }
  return scratch;
}

}  // namespace

std::string JedecFieldText(std::string text) {
  for (char& ch : text) {
    if (ch == '*' || ch == '\x02' || ch == '\x03' || ch == '\r') ch = ' ';
  }
  return text;
}

std::string FormatCreatedOn(const std::tm& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %02d %02d:%02d:%02d %04d", kDays[Wrap(t.tm_wday, 7)],
                kMonths[Wrap(t.tm_mon, 12)], Wrap(t.tm_mday, 100), Wrap(t.tm_hour, 100),
                Wrap(t.tm_min, 100), Wrap(t.tm_sec, 100),
                Wrap(static_cast<long long>(t.tm_year) + 1900, 10000));
  return buf;
}

std::string FuseChecksum::Field() const {
  char buf[8];
  std::snprintf(buf, sizeof buf, "C%04X", static_cast<unsigned>(value()));
  return buf;
}

JedecFile::JedecFile(const std::string& path) : path_(path) {
  out_.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
  opened_ = out_.is_open() && out_.good();
}

void JedecFile::Write(const char* text, std::size_t size) {
  const std::string& bytes = WithCrLf(text, size, crlf_);
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void JedecFile::Put(char c) {
  if (c == '\n') {
    out_.write("\r\n", 2);
  } else {
    out_.put(c);
  }
}

bool JedecFile::Close() {
  if (!opened_) return false;
  out_.close();
  opened_ = false;
  if (!out_.fail()) return true;
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(path_.c_str());
  return false;
}

void JedecStreamSink::Write(const char* text, std::size_t size) {
  const std::string& bytes = WithCrLf(text, size, crlf_);
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

JedecBuffer::JedecBuffer(JedecSink& sink) : sink_(sink) { text_.reserve(kChunk + 1024); }

void JedecBuffer::Append(const char* text, std::size_t size) {
  text_.append(text, size);
  if (text_.size() >= kChunk) Flush();
}

void JedecBuffer::Append(const char* text) { Append(text, std::strlen(text)); }

void JedecBuffer::AppendNumber(long value, int width) {
  char digits[32];
  const auto res = std::to_chars(digits, digits + sizeof digits, value);
  const char* first = digits;
  if (value < 0) {
    text_.push_back('-');
    ++first;
    --width;
  }
  const int count = static_cast<int>(res.ptr - first);
  if (width > count) text_.append(static_cast<std::size_t>(width - count), '0');
  Append(first, static_cast<std::size_t>(res.ptr - first));
}

void JedecBuffer::Flush() {
  if (text_.empty()) return;
  sink_.Write(text_.data(), text_.size());
  text_.clear();
}

}  // namespace fusecvt
