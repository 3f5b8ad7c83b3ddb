#pragma once
// Operations over fuse characters ('1' erased, '0' programmed).

namespace fusecvt {

// '0' for '1', '1' for anything else.
inline char BitNot(char a) { return a == '1' ? '0' : '1'; }
// '1' if both characters are equal.
inline char BitEqual(char a, char b) { return a == b ? '1' : '0'; }
// The character is a fuse value.
inline bool IsBinary(char c) { return c == '0' || c == '1'; }

}  // namespace fusecvt
