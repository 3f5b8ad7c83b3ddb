// The packet reader: header, packets, texts, test vectors, messages and
// exit statuses.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ImageCompare.h"
#include "LoadHelper.h"
#include "pof/ByteOrder.h"
#include "support/PofBuilder.h"

namespace fusecvt::test {
namespace {

constexpr const char* kBlank =
    "ERROR# This pof file appears to have been read from a blank or secured part!\n";

// A 7032S design with one programmed fuse (so it passes the blank check).
PofBuilder Design(const std::string& device = "EPM7032SLC44-10") {
  PofBuilder b(device);
  b.Program(0);
  return b;
}

TEST(PofReader, ByteOrderHelpers) {
  const unsigned char b[4] = {0xFE, 0xFF, 0x01, 0x80};
  EXPECT_EQ(GetUInt16(b, false), 0xFFFE);
  EXPECT_EQ(GetUInt16(b, true), 0xFEFF);
  EXPECT_EQ(GetInt16(b, false), -2);
  EXPECT_EQ(GetInt16(b + 2, true), 0x0180);
  EXPECT_EQ(GetUInt32(b, false), 0x8001FFFEu);
  EXPECT_EQ(GetUInt32(b, true), 0xFEFF0180u);
  EXPECT_LT(static_cast<std::int32_t>(GetUInt32(b, false)), 0);
}

TEST(PofReader, ReadsAGoodFileToItsEnd) {
  PofBuilder b = Design();
  b.Creator("Fitter 9.1").Comment("counter").Security(1);
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_FALSE(got->status.exitStatus.has_value());
  EXPECT_EQ(got->console.str(), "");
  EXPECT_EQ(got->error.str(), "");
  EXPECT_EQ(got->run.pof.sourceDeviceName, "EPM7032SLC44-10");
  EXPECT_EQ(*got->run.sources.DeviceText(), "EPM7032SLC44-10");
  EXPECT_EQ(got->run.sources.creatorId, "Fitter 9.1");
  EXPECT_EQ(got->run.sources.commentText, "counter");
  EXPECT_EQ(got->run.sources.securityBit, 1);
  EXPECT_EQ(got->run.pof.lastProgrammedAddress, 0);
}

TEST(PofReader, PinCountAndPackageFromTheName) {
  struct { const char* name; int pins; const char* package; SourceKind kind; } cases[] = {
      {"EPM7128SLC84-15", 84, "PLCC", SourceKind::Max7128S},
      {"EPM7032SLC44-10", 44, "PLCC", SourceKind::Max7032S},
      {"EPM7128STC100-7", 100, "TQFP", SourceKind::Max7128S},
      {"EPM7064SQC100", 100, "PQFP", SourceKind::Max7064S},
      {"EPM7128EGC160", 160, "unknown", SourceKind::Max7128E},
      {"EPM7064LC68", 68, "PLCC", SourceKind::Max7064},
      {"EPM7032S", 44, "unknown", SourceKind::Max7032S},
      {"EPM7128SLC84-44", 44, "PLCC", SourceKind::Max7128S},  // "44" is tested first
      {"epm7032aetc44-10", 44, "TQFP", SourceKind::Max7032AE},
      {"EPM7128ATC100-10", 100, "TQFP", SourceKind::Max7128S},
  };
  for (const auto& c : cases) {
    auto got = LoadBytes(Design(c.name).Build());
    ASSERT_NE(got->image(), nullptr) << c.name;
    EXPECT_EQ(got->image()->kind(), c.kind) << c.name;
    EXPECT_EQ(got->run.pof.pinCount, c.pins) << c.name;
    EXPECT_EQ(got->run.pof.packageName, c.package) << c.name;
  }
  auto lower = LoadBytes(Design("epm7032aetc44-10").Build());
  EXPECT_EQ(lower->run.pof.sourceDeviceName, "EPM7032AETC44-10");
}

TEST(PofReader, MissingAndUnsupportedDevices) {
  struct { std::string name; std::string error; } cases[] = {
      {"", "No Device type read in POF \a\n"},
      {"EPM9999LC44", "Error! Device EPM9999LC44 is not supported \a\n"},
      // Family numbers without an image kind.
      {"EPM3032LC44", "Error! Device EPM3032LC44 is not supported \a\n"},
      {"epm3064tc44", "Error! Device EPM3064TC44 is not supported \a\n"},
      {"EPM3128TC100", "Error! Device EPM3128TC100 is not supported \a\n"},
      {"EPM7256AETC144", "Error! Device EPM7256AETC144 is not supported \a\n"},
      {"EPM7256SRC208", "Error! Device EPM7256SRC208 is not supported \a\n"},
  };
  for (const auto& c : cases) {
    PofBuilder b(c.name);
    b.Program(0).Program(100);
    b.Append({3, "after\0", std::nullopt});
    auto got = LoadBytes(b.Build());
    EXPECT_EQ(got->error.str(), c.error) << c.name;
    EXPECT_EQ(got->console.str(), kBlank) << c.name;
    EXPECT_EQ(got->status.result, 1) << c.name;
    EXPECT_EQ(got->status.exitStatus, 2) << c.name;
    EXPECT_EQ(got->image(), nullptr) << c.name;
    EXPECT_EQ(got->run.pof.pinCount, 0) << c.name;
    EXPECT_FALSE(got->run.sources.commentText.has_value()) << c.name;
  }
  auto tqfp = LoadBytes(PofBuilder("XYZTC").Build());
  EXPECT_EQ(tqfp->run.pof.packageName, "TQFP");
  EXPECT_EQ(tqfp->run.pof.sourceDeviceName, "XYZTC");
}

TEST(PofReader, TextsEndAtTheirNulOrAtThePacketEnd) {
  PofBuilder b = Design();
  b.Omit(1).Omit(2).Omit(3);
  b.Prepend({1, "made by\0junk", std::nullopt});
  b.Prepend({3, "early comment\0", std::nullopt});  // no image yet: dropped
  b.Append({2, "EPM7032SLC44", std::nullopt});      // no NUL
  b.Append({3, "first", std::nullopt});
  b.Append({3, std::string("second\0third", 12), std::nullopt});
  // The fuse data must follow the device name.
  b.Append({17, b.FuseData(1, "\xFE"), std::nullopt});
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->run.pof.sourceDeviceName, "EPM7032SLC44");
  EXPECT_EQ(got->run.sources.creatorId, "made by");
  EXPECT_EQ(got->run.sources.commentText, "second");
}

TEST(PofReader, CreatorText) {
  // A creator that comes after the device name is never attached.
  PofBuilder late = Design();
  late.Omit(1).Append({1, "late\0", std::nullopt});
  EXPECT_FALSE(LoadBytes(late.Build())->run.sources.creatorId.has_value());

  // A creator whose read fails (here: empty) becomes "Unknown".
  PofBuilder empty = Design();
  empty.Omit(1).Prepend({1, "", std::nullopt});
  EXPECT_EQ(LoadBytes(empty.Build())->run.sources.creatorId, "Unknown");

  // A truncated device name releases the pending creator: a second,
  // good device name gets none.
  PofBuilder cut = Design();
  cut.Omit(2).Omit(1);
  cut.Prepend({2, "EPM7032SLC44\0", std::nullopt});
  cut.Prepend({2, "", std::nullopt});  // zero length: a failed read, reading goes on
  cut.Prepend({1, "tool\0", std::nullopt});
  auto got = LoadBytes(cut.Build());
  ASSERT_NE(got->image(), nullptr);
  EXPECT_FALSE(got->run.sources.creatorId.has_value());
  EXPECT_EQ(got->status.result, 0);
}

TEST(PofReader, LaterDeviceNamesAreSkipped) {
  PofBuilder b = Design("EPM7032SLC44-10");
  b.Append({2, "EPM7128STC100\0", std::nullopt});
  b.Append({2, "\0", std::nullopt});
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->error.str(), "");
  EXPECT_EQ(got->image()->kind(), SourceKind::Max7032S);
  EXPECT_EQ(got->run.pof.sourceDeviceName, "EPM7032SLC44-10");
  EXPECT_EQ(got->run.pof.pinCount, 44);
  EXPECT_EQ(got->run.pof.packageName, "PLCC");
}

// A name holding two kind words: the fuses go through the map of the image
// that was created (7128S), not of the 7128E.
TEST(PofReader, DecoderFollowsTheCreatedImage) {
  PofBuilder b("EPM7128E-7128SLC84");
  ASSERT_EQ(b.kind(), SourceKind::Max7128S);
  b.image().pia.at(7, 35, 13) = '0';
  b.image().ioConfig.at(95, 5) = '0';
  b.image().unknownBits.at(27) = '0';
  auto got = LoadBytes(b.Build());
  ASSERT_NE(got->image(), nullptr);
  EXPECT_EQ(got->image()->kind(), SourceKind::Max7128S);
  EXPECT_TRUE(SameImage(*got->image(), *b.CarriedImage()));
  EXPECT_EQ(got->run.pof.lastProgrammedAddress, 62703);
}

TEST(PofReader, FuseDataBeforeTheDeviceNameIsSkipped) {
  PofBuilder b = Design();
  b.Omit(17);
  b.Prepend({17, b.FuseData(1, "\x00"), std::nullopt});
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->status.exitStatus, 2);
  EXPECT_EQ(got->console.str(), kBlank);
  ASSERT_NE(got->image(), nullptr);
  EXPECT_TRUE(ProgrammedPositions(*got->image()).empty());
}

TEST(PofReader, BlankFiles) {
  for (const std::string& bytes : {std::string(), std::string("POF\0\0", 5),
                                  PofBuilder("EPM7032SLC44-10").Build()}) {
    auto got = LoadBytes(bytes);
    EXPECT_EQ(got->status.result, 0);
    EXPECT_EQ(got->status.exitStatus, 2);
    EXPECT_EQ(got->console.str(), kBlank);
    EXPECT_EQ(got->error.str(), "");
  }
}

TEST(PofReader, BadPacketHeadersStopTheLoop) {
  for (const std::int16_t tag : {std::int16_t{20}, std::int16_t{-1}, std::int16_t{0x7FFF}}) {
    PofBuilder b = Design();
    b.Append({tag, "xx", std::nullopt});
    b.Append({3, "not read\0", std::nullopt});
    auto got = LoadBytes(b.Build());
    EXPECT_EQ(got->status.result, 1) << tag;
    EXPECT_FALSE(got->status.exitStatus.has_value()) << tag;
    EXPECT_EQ(got->run.sources.commentText, "Untitled") << tag;
    EXPECT_EQ(got->console.str() + got->error.str(), "") << tag;
  }
  PofBuilder negative = Design();
  negative.Append({3, "x\0", -1});
  negative.Append({3, "not read\0", std::nullopt});
  auto got = LoadBytes(negative.Build());
  EXPECT_EQ(got->status.result, 1);
  EXPECT_EQ(got->run.sources.commentText, "Untitled");

  // Stopping before any fuse: the blank check still ends the run.
  PofBuilder early("EPM7032SLC44-10");
  early.Omit(17).Append({17, early.FuseData(1, "\x00"), std::nullopt});
  auto packets = early.Packets();
  packets.insert(packets.begin() + 1, {19, "", -5});
  auto blank = LoadBytes(early.Assemble(packets));
  EXPECT_EQ(blank->status.result, 1);
  EXPECT_EQ(blank->status.exitStatus, 2);
}

TEST(PofReader, UnsupportedAndSkippedPacketsAreSteppedOver) {
  PofBuilder b = Design();
  for (const int t : {0, 4, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 18, 19}) {
    const auto tag = static_cast<std::int16_t>(t);
    b.Append({tag, std::string(static_cast<std::size_t>(tag) + 3, '\x03'), std::nullopt});
    b.Append({tag, "", std::nullopt});
  }
  b.Append({3, "after the terminator\0", std::nullopt});
  b.Append({5, b.U16(7), std::nullopt});
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->run.sources.commentText, "after the terminator");
  EXPECT_EQ(got->run.sources.securityBit, 7);
}

TEST(PofReader, TruncatedPackets) {
  // The last packet promises more than the file holds: it keeps nothing and
  // the file ends normally. Large lengths are refused without a large buffer.
  for (const std::int32_t length : {100, 65537, 0x7FFFFFFF}) {
    PofBuilder b = Design();
    b.Append({3, "cut\0", length});
    auto got = LoadBytes(b.Build());
    EXPECT_EQ(got->status.result, 0) << length;
    EXPECT_EQ(got->run.sources.commentText, "Untitled") << length;
  }
  // A cut fuse-data packet decodes nothing.
  const std::string whole = Design().Build();
  const std::string cut = whole.substr(0, whole.size() - 20);  // inside the fuse data
  auto got = LoadBytes(cut);
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->status.exitStatus, 2);
  // A cut device name sets no device.
  PofBuilder d("EPM7032SLC44-10");
  d.Omit(17).Omit(8).Omit(5).Omit(3);
  const std::string name = d.Build();
  auto noName = LoadBytes(name.substr(0, name.size() - 3));
  EXPECT_EQ(noName->image(), nullptr);
  EXPECT_EQ(noName->run.pof.sourceDeviceName, "");
  EXPECT_EQ(noName->status.result, 0);
  EXPECT_EQ(noName->error.str(), "");
}

TEST(PofReader, SecurityWord) {
  PofBuilder big = Design();
  big.BigEndian().Security(0x0102);
  EXPECT_EQ(LoadBytes(big.Build())->run.sources.securityBit, 0x0102);
  PofBuilder little = Design();
  little.Security(0x0102);
  EXPECT_EQ(LoadBytes(little.Build())->run.sources.securityBit, 0x0102);
  // Too short, or before the device name: kept nowhere.
  PofBuilder shortOne = Design();
  shortOne.Security(3).Append({5, "\x09", std::nullopt});
  EXPECT_EQ(LoadBytes(shortOne.Build())->run.sources.securityBit, 3);
  PofBuilder early = Design();
  early.Omit(5).Prepend({5, early.U16(9), std::nullopt});
  EXPECT_EQ(LoadBytes(early.Build())->run.sources.securityBit, 0);
}

TEST(PofReader, BigEndianFiles) {
  PofBuilder b("EPM7064SLC44-10");
  b.BigEndian().Creator("be").Comment("big").Vectors({"0101", "1X"});
  Scramble(b.image(), 3, 5);
  auto got = LoadBytes(b.Build());
  EXPECT_EQ(got->status.result, 0);
  EXPECT_EQ(got->run.sources.creatorId, "be");
  EXPECT_EQ(got->run.sources.commentText, "big");
  EXPECT_EQ(got->run.sources.testVectors, (std::vector<std::string>{"0101", "1X"}));
  EXPECT_TRUE(SameImage(*got->image(), *b.CarriedImage()));
  // The same bytes read as little-endian lengths are nonsense.
  std::string asLittle = b.Build();
  asLittle[4] = asLittle[5] = '\0';
  EXPECT_NE(LoadBytes(asLittle)->status.result, 0);
}

// Test_Vectors packet: count, then equal slots.
std::string VectorData(const PofBuilder& b, std::uint32_t count, const std::string& slots) {
  return b.U32(count) + slots;
}

std::unique_ptr<Loaded> LoadVectors(const std::vector<std::string>& datas) {
  PofBuilder b = Design();
  for (const auto& d : datas) b.Append({10, d, std::nullopt});
  return LoadBytes(b.Build());
}

TEST(PofReader, TestVectors) {
  PofBuilder le = Design();
  using V = std::vector<std::string>;
  {
    auto got = LoadVectors({VectorData(le, 2, std::string("01\0\0" "1X0\0", 8))});
    EXPECT_EQ(got->run.sources.testVectors, (V{"01", "1X0"}));
    EXPECT_EQ(got->console.str(), "");
  }
  {  // 10 bytes in 3 slots: slots of 3, with the warning; the text ends at the slot end
    auto got = LoadVectors({VectorData(le, 3, "ABCDEFGHIJ")});
    EXPECT_EQ(got->run.sources.testVectors, (V{"ABC", "DEF", "GHI"}));
    EXPECT_EQ(got->console.str(), "Warning ! Vector length reading error\n");
  }
  {  // count 0: no vectors, no warning
    auto got = LoadVectors({VectorData(le, 1, std::string("1\0", 2)), VectorData(le, 0, "abc")});
    EXPECT_TRUE(got->run.sources.testVectors.empty());
    EXPECT_EQ(got->console.str(), "");
  }
  {  // more vectors than bytes: no room for any, with the warning
    auto got = LoadVectors({VectorData(le, 20, "0123456789")});
    EXPECT_TRUE(got->run.sources.testVectors.empty());
    EXPECT_EQ(got->console.str(), "Warning ! Vector length reading error\n");
  }
  {  // no slot bytes at all: a multiple of any count, so no warning
    auto got = LoadVectors({VectorData(le, 5, "")});
    EXPECT_TRUE(got->run.sources.testVectors.empty());
    EXPECT_EQ(got->console.str(), "");
  }
  {  // a later packet replaces the vectors; one under 4 bytes keeps nothing
    auto got = LoadVectors({VectorData(le, 1, std::string("A\0", 2)),
                            VectorData(le, 2, std::string("B\0C\0", 4)), "\x01\0\0"});
    EXPECT_EQ(got->run.sources.testVectors, (V{"B", "C"}));
  }
  {  // more than 65535 vectors are all kept
    auto got = LoadVectors({VectorData(le, 70000, std::string(70000, '1'))});
    ASSERT_EQ(got->run.sources.testVectors.size(), 70000u);
    EXPECT_EQ(got->run.sources.testVectors.back(), "1");
  }
  {  // before the device name: no image, nothing kept (the warning still shows)
    PofBuilder b = Design();
    b.Prepend({10, VectorData(b, 2, "abc"), std::nullopt});
    auto got = LoadBytes(b.Build());
    EXPECT_TRUE(got->run.sources.testVectors.empty());
    EXPECT_EQ(got->console.str(), "Warning ! Vector length reading error\n");
  }
  {  // the builder's own packet
    PofBuilder b = Design();
    b.Vectors({"C0101X", "", "11"});
    EXPECT_EQ(LoadBytes(b.Build())->run.sources.testVectors, (V{"C0101X", "", "11"}));
  }
}

TEST(PofReader, InputPaths) {
  ScratchDir dir;
  std::filesystem::create_directories(dir.File("proj.v2"));
  WriteFile(dir.File("proj.v2/design.pof"), Design().Build());
  auto appended = LoadPath(dir.File("proj.v2/design"));
  EXPECT_EQ(appended->status.result, 0);
  EXPECT_FALSE(appended->status.exitStatus.has_value());
  EXPECT_EQ(appended->run.options.inputFileName, dir.File("proj.v2/design.pof"));

  WriteFile(dir.File("design.rev"), Design().Build());
  auto kept = LoadPath(dir.File("design.rev"));
  EXPECT_EQ(kept->run.options.inputFileName, dir.File("design.rev"));
  EXPECT_EQ(kept->status.result, 0);

  for (const std::string& path : {dir.File("missing.pof"), dir.File("proj.v2"),
                                  dir.File("nothing")}) {
    auto got = LoadPath(path);
    const std::string opened = path == dir.File("nothing") ? path + ".pof" : path;
    EXPECT_EQ(got->console.str(), "Cannot open " + opened + " for read\n");
    EXPECT_EQ(got->error.str(), "");
    EXPECT_EQ(got->status.exitStatus, 1);
  }
}

TEST(PofReader, ProcessNameNotice) {
  auto got = LoadBytes(Design().Build(), "/usr/local/bin/FuseDmp");
  EXPECT_EQ(got->console.str(),
            "JEDEC is defined in pof, the calling process should not be fusedmp\n");
  EXPECT_EQ(got->status.result, 0);
  EXPECT_NE(got->image(), nullptr);
  auto blank = LoadBytes("", "fusedmp");
  EXPECT_EQ(blank->console.str(),
            std::string("JEDEC is defined in pof, the calling process should not be fusedmp\n") +
                kBlank);
}

TEST(PofReader, LongDeviceNamesAreKeptInFull) {
  const std::string name = "EPM7032SLC44" + std::string(200, 'X');
  auto got = LoadBytes(Design(name).Build());
  EXPECT_EQ(got->run.pof.sourceDeviceName, name);
  ASSERT_NE(got->image(), nullptr);
  EXPECT_EQ(*got->run.sources.DeviceText(), name);
}

TEST(PofReader, LoadFromAStreamMatchesLoad) {
  PofBuilder b = Design("EPM7128AETC100-10");
  Scramble(b.image(), 11);
  b.Comment("stream");
  std::istringstream in(b.Build());
  std::ostringstream console, error;
  Conversion run(console, error, Clock::Fixed(std::tm{}));
  PofReader reader(run);
  const LoadStatus s = reader.LoadFrom(in);
  EXPECT_EQ(std::string(reader.header().fileType), "POF");
  EXPECT_EQ(reader.header().versionNumber, 1);
  EXPECT_EQ(reader.header().packetCount, b.Packets().size());
  auto viaFile = LoadBytes(b.Build());
  EXPECT_EQ(s.result, viaFile->status.result);
  EXPECT_EQ(run.sources.commentText, "stream");
  EXPECT_TRUE(SameImage(*run.sources.image(), *viaFile->image()));
}

}  // namespace
}  // namespace fusecvt::test
