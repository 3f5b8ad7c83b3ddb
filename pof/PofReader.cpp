#include "pof/PofReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <istream>
#include <memory>
#include <string_view>
#include <utility>

#include "pof/ByteOrder.h"
#include "pof/FuseMap.h"
#include "pof/Messages.h"
#include "pof/PathName.h"
#include "pof/SourceData.h"

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

// A read that stopped early and ends the run with this status.
LoadStatus EndsTheRun(int exitStatus) {
  LoadStatus s;
  s.result = 1;
  s.exitStatus = exitStatus;
  return s;
}

const unsigned char* Bytes(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// A file, read in large blocks straight into one buffer (no stream buffer
// between); packets are handed out from the buffer without a copy. A POF of
// the largest devices fits the first block, which is as large as the file
// when its size can be found (one byte more, so that the first read sees
// the end), and kFirstBlock otherwise.
class FileInput final : public PofInput {
 public:
  explicit FileInput(std::FILE* file) : file_(file) {
    std::setvbuf(file_, nullptr, _IONBF, 0);
    firstBlock_ = FirstBlockOf(file_);
  }
  ~FileInput() override { std::fclose(file_); }
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;

  // Opens the file; null when it cannot be opened or its first byte cannot be
  // read (a folder, say). An empty file opens.
  static std::unique_ptr<FileInput> Open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    auto input = std::make_unique<FileInput>(file);
    if (input->Fill(1) == 0 && std::ferror(file)) return nullptr;
    return input;
  }
  std::size_t Read(char* to, std::size_t size) override {
    const std::size_t n = std::min(size, Fill(size));
    std::memcpy(to, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  void Skip(std::size_t size) override {
    while (size > 0) {
      const std::size_t n = std::min(size, Fill(std::min(size, kReadBlock)));
      if (n == 0) return;
      at_ += n;
      size -= n;
    }
  }
  std::optional<std::string_view> Take(std::size_t size) override {
    const std::size_t left = Fill(size);
    const std::string_view data(bytes_.data() + at_, std::min(size, left));
    at_ += data.size();
    if (size > left) return std::nullopt;
    return data;
  }

 private:
  static constexpr std::size_t kFirstBlock = 16 * 1024;

  // The file's size plus one, at most kReadBlock; kFirstBlock when the file
  // cannot seek (a pipe, say). The read position is back at the start.
  static std::size_t FirstBlockOf(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return kFirstBlock;
    const long end = std::ftell(file);
    std::rewind(file);
    if (end < 0) return kFirstBlock;
    return static_cast<unsigned long>(end) < kReadBlock ? static_cast<std::size_t>(end) + 1 : kReadBlock;
  }

  // Reads until `size` bytes past the read position are in the buffer or the
  // file ends (a read error ends it too); the bytes there. Bytes already
  // consumed are dropped first, so the buffer grows with one packet's bytes
  // actually read, never with `size` alone.
  std::size_t Fill(std::size_t size) {
    while (bytes_.size() - at_ < size && !ended_) {
      bytes_.erase(0, at_);
      at_ = 0;
      const std::size_t block = std::clamp(size - bytes_.size(), firstBlock_, kReadBlock);
      const std::size_t end = bytes_.size();
      bytes_.resize(end + block);
      const std::size_t got = std::fread(&bytes_[end], 1, block, file_);
      bytes_.resize(end + got);
      ended_ = got < block;
    }
    return bytes_.size() - at_;
  }

  std::FILE* file_;
  std::size_t firstBlock_ = kFirstBlock;  // the least a read asks for
  std::string bytes_;
  std::size_t at_ = 0;  // the read position in bytes_
  bool ended_ = false;
};

// A stream.
class StreamInput final : public PofInput {
 public:
  explicit StreamInput(std::istream& in) : in_(in) {}
  std::size_t Read(char* to, std::size_t size) override {
    in_.read(to, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in_.gcount());
  }
  void Skip(std::size_t size) override { in_.ignore(static_cast<std::streamsize>(size)); }

 private:
  std::istream& in_;
};

}  // namespace

std::string PofPathOf(const std::string& name) {
  return name.find('.', FileNameStart(name)) == std::string::npos ? name + ".pof" : name;
}

PofReader::PofReader(SourceData& into, Messages& messages, std::string programName)
    : run_(into), messages_(messages), programName_(std::move(programName)) {}

LoadStatus PofReader::Load(const std::string& path) {
  const std::unique_ptr<FileInput> in = FileInput::Open(path);
  if (!in) {
    messages_.console << "Cannot open " << path << " for read\n";
    return EndsTheRun(1);
  }
  return LoadFrom(*in, path);
}

LoadStatus PofReader::LoadFrom(std::istream& in, const std::string& fileName) {
  StreamInput input(in);
  return LoadFrom(input, fileName);
}

LoadStatus PofReader::LoadFrom(PofInput& in, const std::string& fileName) {
  in_ = &in;
  continue_ = true;
  pendingCreator_.reset();
  refused_ = false;
  if (LowerCased(programName_).find("fusedmp") != std::string::npos) {
    messages_.console << "JEDEC is defined in pof, the calling process should not be fusedmp\n";
  }

  unsigned char head[12];
  // A file shorter than the header, or one without the "POF" mark, is refused.
  const bool whole = in.Read(reinterpret_cast<char*>(head), sizeof head) == sizeof head;
  if (!whole || std::string_view(reinterpret_cast<const char*>(head), 3) != "POF") {
    messages_.error << "Error! " << fileName << " is not a POF file\n";
    messages_.error.flush();
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
    if (in.Read(reinterpret_cast<char*>(packet), sizeof packet) < sizeof packet) break;
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

  if (refused_) {
    status.exitStatus = 1;
  } else if (run_.pof.lastProgrammedAddress == -1) {
    messages_.console << "ERROR# This pof file appears to have been read from a blank or secured part!\n";
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

std::optional<std::string_view> PofInput::Take(std::size_t size) {
  taken_.clear();
  while (taken_.size() < size) {
    const std::size_t block = std::min(size - taken_.size(), kReadBlock);
    const std::size_t at = taken_.size();
    taken_.resize(at + block);
    if (Read(&taken_[at], block) < block) return std::nullopt;
  }
  return std::string_view(taken_);
}

std::optional<std::string_view> PofReader::ReadPacketData(std::int32_t length) {
  if (length <= 0) return std::nullopt;
  return in_->Take(static_cast<std::size_t>(length));
}

void PofReader::SkipPacketData(std::int32_t length) {
  if (length > 0) in_->Skip(static_cast<std::size_t>(length));
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
  DeviceRecord device = ParseDeviceName(UpperCased(TextOf(*data)));
  const std::string& name = device.name;
  if (name.empty()) {
    messages_.error << "No Device type read in POF \a\n";
    continue_ = false;
  } else if (!device.variant) {
    messages_.error << "Error! Device " << name << " is not supported \a\n";
    continue_ = false;
  } else if (device.unsupportedPins) {
    messages_.error << "Error! Device " << name << " has a " << *device.unsupportedPins
               << "-pin package; no target device has one\n";
    continue_ = false;
    refused_ = true;
  } else {
    run_.sources.CreateImage(device.kind());
    if (pendingCreator_) run_.sources.SetCreatorId(*pendingCreator_);
    ChooseFuseDataHandler();
  }
  run_.pof.device = std::move(device);
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
  if (bytes % count != 0) messages_.console << "Warning ! Vector length reading error\n";
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
