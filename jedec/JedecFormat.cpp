#include "jedec/JedecFormat.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace fusecvt {

namespace {

// v brought into 0..n-1 (also for negative v).
int Wrap(long long v, int n) { return static_cast<int>(((v % n) + n) % n); }

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
  file_ = std::fopen(path.c_str(), "wb");
  // The JedecBuffer in front hands over large pieces: no second buffer.
  if (file_) std::setvbuf(file_, nullptr, _IONBF, 0);
}

JedecFile::~JedecFile() {
  if (file_) std::fclose(file_);
}

void JedecFile::Write(const char* bytes, std::size_t size) {
  if (file_ && !failed_ && std::fwrite(bytes, 1, size, file_) != size) failed_ = true;
}

bool JedecFile::Close() {
  if (!file_) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (closed && !failed_) return true;
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) std::remove(path_.c_str());
  return false;
}

JedecBuffer::JedecBuffer(JedecSink& sink) : sink_(sink), text_(new char[kSize]) {}

void JedecBuffer::Append(const char* text, std::size_t size) {
  while (size > 0) {
    // Room for every character of the piece even if each were an LF.
    std::size_t piece = (kSize - used_) / kJedecLineEndSize;
    if (piece == 0) {
      Flush();
      continue;
    }
    if (piece > size) piece = size;
    char* out = text_.get() + used_;
    for (const char* const end = text + piece; text != end; ++text) {
      if (*text == '\n') {
        out = PutJedecLineEnd(out);
      } else {
        *out++ = *text;
      }
    }
    used_ = static_cast<std::size_t>(out - text_.get());
    size -= piece;
  }
}

void JedecBuffer::AppendNumber(long value, int width) {
  char digits[24];
  const auto res = std::to_chars(digits, digits + sizeof digits, value);
  const char* first = digits;
  if (value < 0) {
    Put('-');
    ++first;
    --width;
  }
  const int count = static_cast<int>(res.ptr - first);
  for (int i = count; i < width; ++i) Put('0');
  AppendFileBytes(first, static_cast<std::size_t>(count));
}

void JedecBuffer::Flush() {
  if (used_ == 0) return;
  sink_.Write(text_.get(), used_);
  used_ = 0;
}

}  // namespace fusecvt
