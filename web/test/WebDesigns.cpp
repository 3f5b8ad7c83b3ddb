// Writes the POFs that the web tests need beyond the examples, built from
// design fields by the tests' POF builder:
//   web_designs <folder>
// known.pof  a plain 7032 whose MC 3 PT 1 reads row 0 while that row keeps
//            its "none" pick: on the QPL6000 targets the term then reads a
//            feedback column, a difference the logic check lists as known
//            (exit status 3).
#include <exception>
#include <iostream>
#include <string>

#include "support/PofBuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: web_designs <folder>\n";
    return 2;
  }
  const std::string folder = argv[1];
  try {
    fusecvt::test::PofBuilder known("EPM7032LC44-10");
    known.image().logicArray.at(2, 0, 0) = '0';  // MC 3 PT 1 reads row 0 (pick "none")
    known.image().mcConfig.at(2, 10) = '0';      // MC 3 registered
    known.WriteTo(folder + "/known.pof");
  } catch (const std::exception& e) {
    std::cerr << "web_designs: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
