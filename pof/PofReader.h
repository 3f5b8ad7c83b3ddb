#pragma once
// Reads a POF: a 12-byte header and tagged, length-prefixed packets. Fills the
// source image set, the POF values and the fuse image of the source device.
// The bytes are read front to back, a packet at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace fusecvt {

class Messages;
struct FuseMap;
struct SourceData;

// The path a POF name is read from: ".pof" appended when its last path
// component holds no '.'.
std::string PofPathOf(const std::string& name);

struct LoadStatus {
  int result = 0;                 // 0: read to its end; 1: stopped early
  std::optional<int> exitStatus;  // set when the run must end now (1: cannot
                                  // open, or not a POF; 2: blank or secured part)
};

// The file header as read (all zero until a whole header with the "POF" mark
// was read).
struct PofHeader {
  char fileType[4] = {};  // the first three characters and a NUL
  std::uint16_t byteOrder = 0;
  std::uint16_t versionNumber = 0;
  std::uint32_t packetCount = 0;
};

// Where the bytes of a POF come from, read front to back.
class PofInput {
 public:
  virtual ~PofInput() = default;
  // Up to size bytes into `to`; the number read, short only at the end.
  virtual std::size_t Read(char* to, std::size_t size) = 0;
  // Passes over up to size bytes.
  virtual void Skip(std::size_t size) = 0;
  // The next `size` bytes (size > 0), valid until the next call on this
  // input; nothing when fewer are left (they are consumed). This one reads
  // them into a buffer of its own that grows with the bytes actually read,
  // never with `size` alone.
  virtual std::optional<std::string_view> Take(std::size_t size);

 private:
  std::string taken_;
};

class PofReader {
 public:
  // Fills `into`; notices go to `messages`. `programName` is the name the
  // program was called by.
  PofReader(SourceData& into, Messages& messages, std::string programName);
  // Reads the file at `path` (see PofPathOf).
  LoadStatus Load(const std::string& path);
  // Reads a POF from an open stream, exactly as Load does after opening the
  // file (the process-name notice, the header and its "POF" mark, the
  // packets, the blank check). `fileName` names the file in messages.
  LoadStatus LoadFrom(std::istream& in, const std::string& fileName);
  // The same from any input.
  LoadStatus LoadFrom(PofInput& in, const std::string& fileName);

  const PofHeader& header() const { return header_; }

  // Packet handlers take the tag and the data length; each consumes exactly
  // `length` bytes, or what is left of the file.
  using Handler = void (PofReader::*)(std::int16_t tag, std::int32_t length);
  static constexpr int kHandlerSlots = 21;

 private:
  void BuildHandlerTable();
  // Installs the fuse-data decoder of the image just created.
  void ChooseFuseDataHandler();

  void packet_1(std::int16_t tag, std::int32_t length);   // Creator_ID
  void packet_2(std::int16_t tag, std::int32_t length);   // Device_Name
  void packet_3(std::int16_t tag, std::int32_t length);   // Comment_Text
  void packet_4(std::int16_t tag, std::int32_t length);   // Reserved
  void packet_5(std::int16_t tag, std::int32_t length);   // Security_Bit
  void packet_6(std::int16_t tag, std::int32_t length);   // Logical_Address_and_Data
  void packet_7(std::int16_t tag, std::int32_t length);   // Electrical_Address_and_Data
  void packet_8(std::int16_t tag, std::int32_t length);   // Terminator
  void packet_9(std::int16_t tag, std::int32_t length);   // Device_Symbol_Table
  void packet_10(std::int16_t tag, std::int32_t length);  // Test_Vectors
  void packet_12(std::int16_t tag, std::int32_t length);  // Electrical_Address_and_Constant_Data
  void packet_14(std::int16_t tag, std::int32_t length);  // Element_Count
  void packet_16(std::int16_t tag, std::int32_t length);  // Programming_Checksum
  void packet_17(std::int16_t tag, std::int32_t length);  // Logical_Address_and_Data_32
  void SkipUnsupportedPacket(std::int16_t tag, std::int32_t length);

  // The packet's data, or nothing when fewer than `length` bytes are left
  // (they are consumed) or `length` is 0. Memory grows with the bytes
  // actually read, never with `length` alone. Valid until the next read.
  std::optional<std::string_view> ReadPacketData(std::int32_t length);
  void SkipPacketData(std::int32_t length);

  SourceData& run_;
  Messages& messages_;
  std::string programName_;
  PofInput* in_ = nullptr;
  PofHeader header_;
  bool bigEndian_ = false;
  bool continue_ = true;
  bool refused_ = false;  // the device name was refused: the run ends with status 1
  std::optional<std::string> pendingCreator_;
  std::array<Handler, kHandlerSlots> handlers_{};
  const FuseMap* fuseMap_ = nullptr;
};

}  // namespace fusecvt
