#pragma once
// Word tests used by the command line, the device catalogue, the target
// choice and the report: device and option words are compared as plain ASCII
// text.

#include <cstddef>
#include <string>

namespace fusecvt {

// The text with A-Z turned into a-z; every other byte is kept.
inline std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// The word occurs anywhere in the text (case-sensitive).
inline bool Contains(const std::string& text, const char* word) {
  return text.find(word) != std::string::npos;
}

// The first n characters of the text equal the first n characters of the
// word; a text shorter than n never matches.
inline bool FirstCharsEqual(const std::string& text, const char* word, std::size_t n) {
  return text.size() >= n && text.compare(0, n, word, n) == 0;
}

}  // namespace fusecvt
