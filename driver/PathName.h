#pragma once
// The file-name part of a path, under the platform's path conventions.

#include <cstddef>
#include <string>

namespace fusecvt {

#ifdef _WIN32
inline constexpr bool kWindowsPaths = true;
#else
inline constexpr bool kWindowsPaths = false;
#endif

// Where the file's own name starts in a path: after the last '/' and, with
// Windows paths, after the last '\' or the ':' of a drive ("C:name").
inline std::size_t FileNameStart(const std::string& path, bool windowsPaths = kWindowsPaths) {
  const std::size_t cut = path.find_last_of(windowsPaths ? "/\\:" : "/");
  return cut == std::string::npos ? 0 : cut + 1;
}

}  // namespace fusecvt
