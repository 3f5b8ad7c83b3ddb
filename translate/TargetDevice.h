#pragma once
// What the driver needs of a target device image: the translation stages and
// the JEDEC writer. Stages read what a StageContext holds and write the
// target image and the run's outcome.

#include <ctime>

#include "driver/ConversionOptions.h"
#include "pof/DeviceCatalogue.h"
#include "pof/Messages.h"
#include "pof/SourceImage.h"
#include "translate/Outcome.h"

namespace fusecvt {

// The inputs and sinks of the translation stages.
struct StageContext {
  const SourceImage& source;
  const DeviceRecord& device;
  const ConversionOptions& options;
  Outcome& outcome;
  Messages& messages;
};

// The inputs of a JEDEC writer.
struct JedecJob {
  const ConversionOptions& options;  // output path, program name, device word, PD1, pin keeper
  const DeviceRecord& device;        // package and pin count
  const SourceImageSet& sources;     // creator, comment, security word, test vectors
  bool securitySet;                  // the security fuse set at the user's request
  std::tm createdOn;                 // the header date
  const char* versionText;           // the program's version, written after STX
  Messages& messages;
};

// Results of WriteJedec.
enum JedecWriteResult : int {
  kJedecWritten = 0,     // the file was written
  kJedecOpenFailed = 1,  // the output could not be opened (message printed)
  kJedecWriteFailed = 2, // the final stream check failed: message printed, file
                         // removed; the run must end with status 1 at once
};

class TargetDevice {
 public:
  virtual ~TargetDevice() = default;

  virtual void ReadProductTerms(const StageContext& run) = 0;
  virtual void TranslateMacrocells(const StageContext& run) = 0;
  virtual void RouteGlobalOe(const StageContext& run) = 0;
  virtual void ApplyDeviceOptions(const StageContext& run) = 0;
  virtual void RouteUim(const StageContext& run) = 0;
  virtual void ClearUnusedProductTerms(const StageContext& run) = 0;
  // The QPL6000's combinational-latch pass; nothing on the other targets.
  virtual void CoverRaces(const StageContext&) {}
  virtual int WriteJedec(const JedecJob& job) = 0;
};

}  // namespace fusecvt
