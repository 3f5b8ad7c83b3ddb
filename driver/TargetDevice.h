#pragma once
// What the driver needs of a target device image: the six translation stages,
// the security step and the JEDEC writer. Each stage reads the run's one source
// image and runs the variant written for its kind; a stage whose target does
// not take that kind does nothing.

namespace fusecvt {

struct Conversion;

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

  virtual void ReadProductTerms(Conversion& run) = 0;
  virtual void TranslateMacrocells(Conversion& run) = 0;
  virtual void RouteGlobalOe(Conversion& run) = 0;
  virtual void ApplyDeviceOptions(Conversion& run) = 0;
  virtual void RouteUim(Conversion& run) = 0;
  virtual void ClearUnusedProductTerms(Conversion& run) = 0;
  // Asks the JEDEC writer for the security fuse.
  void ApplySecurity(Conversion& run);
  virtual int WriteJedec(Conversion& run) = 0;
};

}  // namespace fusecvt
