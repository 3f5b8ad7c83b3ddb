#include <iostream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "driver/Run.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  fusecvt::Conversion run(std::cout, std::cerr, fusecvt::Clock::System());
  const int status = fusecvt::RunConversion(std::move(args), run);
  std::cout.flush();
  return status;
}
