#include "jedec/JedecFormat.h"

#include <cstdio>
#include <sys/stat.h>

namespace fusecvt {

std::string FormatCreatedOn(const std::tm& t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int wday = t.tm_wday >= 0 && t.tm_wday < 7 ? t.tm_wday : 0;
  const int mon = t.tm_mon >= 0 && t.tm_mon < 12 ? t.tm_mon : 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %s %02d %02d:%02d:%02d %04d", kDays[wday], kMonths[mon],
                t.tm_mday % 100, t.tm_hour % 100, t.tm_min % 100, t.tm_sec % 100,
                (t.tm_year + 1900) % 10000);
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
  std::size_t start = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (text[i] == '\n') {
      out_.write(text + start, static_cast<std::streamsize>(i - start));
      out_.write("\r\n", 2);
      start = i + 1;
    }
  }
  out_.write(text + start, static_cast<std::streamsize>(size - start));
}

void JedecFile::Write(const std::string& text) { Write(text.data(), text.size()); }

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

}  // namespace fusecvt
