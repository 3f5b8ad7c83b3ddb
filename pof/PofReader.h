#pragma once
// Reads a POF: a 12-byte header and tagged, length-prefixed packets. Fills the
// source image set, the POF values and the fuse image of the source device.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace fusecvt {

struct Conversion;
struct FuseMap;

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

class PofReader {
 public:
  explicit PofReader(Conversion& run);
  // Reads the file named by run.options.inputFileName (appending ".pof" when
  // its last path component holds no '.').
  LoadStatus Load();
  // Reads a POF from an open stream, exactly as Load does after opening the
  // file (the process-name notice, the header and its "POF" mark, the
  // packets, the blank check).
  LoadStatus LoadFrom(std::istream& in);

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
  // actually read, never with `length` alone.
  std::optional<std::string> ReadPacketData(std::int32_t length);
  void SkipPacketData(std::int32_t length);

  Conversion& run_;
  std::istream* in_ = nullptr;
  PofHeader header_;
  bool bigEndian_ = false;
  bool continue_ = true;
  std::optional<std::string> pendingCreator_;
  std::array<Handler, kHandlerSlots> handlers_{};
  const FuseMap* fuseMap_ = nullptr;
};

}  // namespace fusecvt
