#include "pof/PofReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>

#include "driver/Conversion.h"
#include "driver/PathName.h"
#include "pof/ByteOrder.h"
#include "pof/FuseMap.h"

namespace fusecvt {

namespace {

// Packet data is read in blocks of at most this size, so that a length field
// that promises more than the file holds never reserves memory for it.
constexpr std::size_t kReadBlock = 64 * 1024;

// A packet text ends at its NUL or at the end of the packet data.
std::string TextOf(std::string_view data) {
  return std::string(data.substr(0, std::min(data.find('\0'), data.size())));
}

std::string UpperCased(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string LowerCased(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Contains(const std::string& s, const char* word) { return s.find(word) != std::string::npos; }

bool HasFamilyNumber(const std::string& name) {
  for (const char* w : {"7032", "7128", "7256", "7064", "3032", "3064", "3128"}) {
    if (Contains(name, w)) return true;
  }
  return false;
}

int PinCountOf(const std::string& name) {
  static const struct { const char* code; int pins; } kPins[] = {
      {"44", 44}, {"68", 68}, {"84", 84}, {"100", 100}, {"160", 160}};
  for (const auto& p : kPins) {
    if (Contains(name, p.code)) return p.pins;
  }
  return 44;
}

const char* PackageOf(const std::string& name) {
  if (Contains(name, "TC")) return "TQFP";
  if (Contains(name, "LC")) return "PLCC";
  if (Contains(name, "QC")) return "PQFP";
  return "unknown";
}

// A read that stopped early and ends the run with this status.
LoadStatus EndsTheRun(int exitStatus) {
  LoadStatus s;
  s.result = 1;
  s.exitStatus = exitStatus;
  return s;
}

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

}  // namespace

PofReader::PofReader(Conversion& run) : run_(run) {}

LoadStatus PofReader::Load() {
  std::string& path = run_.options.inputFileName;
  if (path.find('.', FileNameStart(path)) == std::string::npos) path += ".pof";

  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  // A path that opens but cannot be read (a directory, say) fails here.
  if (in.is_open()) in.peek();
  if (!in.is_open() || in.bad()) {
    run_.console << "Cannot open " << path << " for read\n";
    return EndsTheRun(1);
  }
  return LoadFrom(in);
}

LoadStatus PofReader::LoadFrom(std::istream& in) {
  in_ = &in;
  continue_ = true;
  pendingCreator_.reset();
  if (Contains(LowerCased(run_.options.programName), "fusedmp")) {
    run_.console << "JEDEC is defined in pof, the calling process should not be fusedmp\n";
  }

  unsigned char head[12];
  in.read(reinterpret_cast<char*>(head), sizeof head);
  // A file shorter than the header, or one without the "POF" mark, is refused.
  const bool whole = in.gcount() == static_cast<std::streamsize>(sizeof head);
  if (!whole || std::string_view(reinterpret_cast<const char*>(head), 3) != "POF") {
    run_.error << "Error! " << run_.options.inputFileName << " is not a POF file\n";
    run_.error.flush();
    in_ = nullptr;
    return EndsTheRun(1);
  }
  std::copy(head, head + 3, header_.fileType);
  header_.fileType[3] = '\0';
  header_.byteOrder = GetUInt16(head + 4, false);
  bigEndian_ = header_.byteOrder != 0;
  header_.versionNumber = GetUInt16(head + 6, bigEndian_);
  header_.packetCount = GetUInt32(head + 8, bigEndian_);

  BuildHandlerTable();
  LoadStatus status;
  for (;;) {
    unsigned char packet[6];
    in.read(reinterpret_cast<char*>(packet), sizeof packet);
    if (in.gcount() < static_cast<std::streamsize>(sizeof packet)) break;
    const std::int16_t tag = GetInt16(packet, bigEndian_);
    const auto length = static_cast<std::int32_t>(GetUInt32(packet + 2, bigEndian_));
    if (tag < 0 || tag >= 20 || length < 0) {
      status.result = 1;
      break;
    }
    (this->*handlers_[static_cast<std::size_t>(tag)])(tag, length);
    if (!continue_) {
      status.result = 1;
      break;
    }
  }
  in_ = nullptr;

  if (run_.pof.lastProgrammedAddress == -1) {
    run_.console << "ERROR# This pof file appears to have been read from a blank or secured part!\n";
    status.exitStatus = 2;
  }
  return status;
}

void PofReader::BuildHandlerTable() {
  handlers_.fill(&PofReader::SkipUnsupportedPacket);
  handlers_[1] = &PofReader::packet_1;
  handlers_[2] = &PofReader::packet_2;
  handlers_[3] = &PofReader::packet_3;
  handlers_[4] = &PofReader::packet_4;
  handlers_[5] = &PofReader::packet_5;
  handlers_[6] = &PofReader::packet_6;
  handlers_[7] = &PofReader::packet_7;
  handlers_[8] = &PofReader::packet_8;
  handlers_[9] = &PofReader::packet_9;
  handlers_[10] = &PofReader::packet_10;
  handlers_[12] = &PofReader::packet_12;
  handlers_[14] = &PofReader::packet_14;
  handlers_[16] = &PofReader::packet_16;
  fuseMap_ = nullptr;
}

void PofReader::ChooseFuseDataHandler() {
  // The decoder always follows the image that was created, so that a name
  // holding two kind words still gets its fuses into the image.
  if (const SourceImage* image = run_.sources.image()) {
    fuseMap_ = &FuseMapOf(image->kind());
    handlers_[17] = &PofReader::packet_17;
  }
}

std::optional<std::string> PofReader::ReadPacketData(std::int32_t length) {
  if (length <= 0) return std::nullopt;
  const auto want = static_cast<std::size_t>(length);
  std::string data;
  while (data.size() < want) {
    const std::size_t block = std::min(want - data.size(), kReadBlock);
    const std::size_t at = data.size();
    data.resize(at + block);
    in_->read(&data[at], static_cast<std::streamsize>(block));
    if (static_cast<std::size_t>(in_->gcount()) < block) return std::nullopt;
  }
  return data;
}

void PofReader::SkipPacketData(std::int32_t length) {
  if (length > 0) in_->ignore(length);
}

void PofReader::packet_1(std::int16_t, std::int32_t length) {
  const auto data = ReadPacketData(length);
  pendingCreator_ = data ? TextOf(*data) : std::string("Unknown");
}

void PofReader::packet_2(std::int16_t, std::int32_t length) {
  const auto data = ReadPacketData(length);
  if (run_.sources.image()) return;  // the device is known already
  if (!data) {
    pendingCreator_.reset();
    return;
  }
  std::string name = UpperCased(TextOf(*data));
  run_.pof.sourceDeviceName = name;

  if (name.empty()) {
    run_.error << "No Device type read in POF \a\n";
    continue_ = false;
  } else if (!HasFamilyNumber(name) || run_.sources.CreateImage(name) == nullptr) {
    run_.error << "Error! Device " << name << " is not supported \a\n";
    continue_ = false;
  } else {
    if (pendingCreator_) run_.sources.SetCreatorId(*pendingCreator_);
    ChooseFuseDataHandler();
    run_.pof.pinCount = PinCountOf(name);
  }
  run_.pof.packageName = PackageOf(name);
  pendingCreator_.reset();
}

void PofReader::packet_3(std::int16_t, std::int32_t length) {
  if (const auto data = ReadPacketData(length)) run_.sources.SetCommentText(TextOf(*data));
}

void PofReader::packet_5(std::int16_t, std::int32_t length) {
  const auto data = ReadPacketData(length);
  if (!data || data->size() < 2) return;
  run_.sources.SetSecurityBit(GetUInt16(Bytes(*data), bigEndian_));
}

void PofReader::packet_10(std::int16_t, std::int32_t length) {
  const auto data = ReadPacketData(length);
  if (!data || data->size() < 4) return;
  const std::size_t count = GetUInt32(Bytes(*data), bigEndian_);
  const std::size_t bytes = data->size() - 4;
  if (count == 0) {
    run_.sources.BeginTestVectors(0);
    return;
  }
  if (bytes % count != 0) run_.console << "Warning ! Vector length reading error\n";
  const std::size_t slot = bytes / count;
  if (slot == 0) {
    run_.sources.BeginTestVectors(0);
    return;
  }
  run_.sources.BeginTestVectors(count);
  const std::string_view all(*data);
  for (std::size_t i = 0; i < count; ++i) {
    run_.sources.SetTestVector(i, TextOf(all.substr(4 + i * slot, slot)));
  }
}

void PofReader::packet_17(std::int16_t, std::int32_t length) {
  const auto data = ReadPacketData(length);
  if (data && fuseMap_) DecodeFuseData(*fuseMap_, *data, bigEndian_, run_);
}

void PofReader::packet_4(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_6(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_7(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_8(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_9(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_12(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_14(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::packet_16(std::int16_t, std::int32_t length) { SkipPacketData(length); }
void PofReader::SkipUnsupportedPacket(std::int16_t, std::int32_t length) { SkipPacketData(length); }

}  // namespace fusecvt
