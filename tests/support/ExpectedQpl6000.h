#pragma once
// What the JEDEC file of a QPL6000 / QPL6000E must hold, put together from the
// device's fuse map: 32 slots of 760 fuses (MC 32 first; PT 2, 3, 4, 5, 1),
// 16 configuration rows of 32 fuses (bit i at 24800 - 32 i), the 160-fuse
// user row at 24832, the sleep bit at 24992 and, on the QPL6000E, the pin
// keeper bit at 24993.

#include <string>

#include "qpl6000/Qpl6000.h"

namespace fusecvt::test {

// The fuse part of the file, from the QF line to the C line, with "\n" line
// ends (CrLf turns them into the file's); unwritten fuses are 0 (F0).
std::string Qpl6000FuseSection(const Qpl6000& q, bool extended, int pd1, int pinKeep);
// Every "\n" as "\r\n".
std::string CrLf(const std::string& text);

}  // namespace fusecvt::test
