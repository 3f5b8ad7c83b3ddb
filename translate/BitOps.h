#pragma once
// Operations over fuse characters ('1' erased, '0' programmed).

namespace fusecvt {

// '0' for '1', '1' for anything else.
inline char BitNot(char a) { return a == '1' ? '0' : '1'; }
// '1' only if every operand is '1'.
inline char BitAnd(char a, char b) { return a == '1' && b == '1' ? '1' : '0'; }
inline char BitAnd3(char a, char b, char c) { return a == '1' && b == '1' && c == '1' ? '1' : '0'; }
// '0' only if every operand is '0'.
inline char BitOr(char a, char b) { return a == '0' && b == '0' ? '0' : '1'; }
inline char BitOr3(char a, char b, char c) { return a == '0' && b == '0' && c == '0' ? '0' : '1'; }
// '1' if both characters are equal.
inline char BitEqual(char a, char b) { return a == b ? '1' : '0'; }

}  // namespace fusecvt
