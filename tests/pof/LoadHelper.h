#pragma once
// Runs the POF reader on bytes written to a scratch file and keeps what it
// printed.

#include <memory>
#include <sstream>
#include <string>

#include "driver/Conversion.h"
#include "pof/PofReader.h"
#include "support/TestPaths.h"

namespace fusecvt::test {

struct Loaded {
  std::ostringstream console;
  std::ostringstream error;
  Conversion run{console, error, Clock::Fixed(std::tm{})};
  LoadStatus status;

  const SourceImage* image() const { return run.sources.image(); }
};

inline std::unique_ptr<Loaded> LoadPath(const std::string& path,
                                        const std::string& programName = "fusecvt") {
  auto out = std::make_unique<Loaded>();
  out->run.options.inputFileName = path;
  out->run.options.programName = programName;
  out->status = PofReader(out->run).Load();
  return out;
}

inline std::unique_ptr<Loaded> LoadBytes(const std::string& bytes,
                                         const std::string& programName = "fusecvt") {
  ScratchDir dir;
  const std::string path = dir.File("input.pof");
  WriteFile(path, bytes);
  return LoadPath(path, programName);
}

}  // namespace fusecvt::test
