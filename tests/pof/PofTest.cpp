// The POF reader: fuse address decoding of every source kind, checked
// against the builder's own statement of the address maps (a fuse read into
// the image must come back at the same address when the builder writes that
// image out again); the packet reader on good and bad input, one row per
// input; and the real samples.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/Conversion.h"
#include "pof/PofReader.h"
#include "pof/TextOut.h"
#include "support/ExpectedJedec.h"
#include "support/PofBuilder.h"
#include "support/TestPaths.h"

namespace fusecvt::test {
namespace {

// A load of POF bytes with the reader: what it kept and printed.
struct Loaded {
  std::ostringstream console, error;
  Conversion run{console, error, Clock::Fixed(std::tm{})};
  LoadStatus status;
  const SourceImage* image() const { return run.sources.image(); }
};

// Reads bytes through LoadFrom, or with no bytes the file at `path` through Load.
std::unique_ptr<Loaded> Load(const std::optional<std::string>& bytes, const std::string& program = "fusecvt",
                                    const std::string& path = "") {
  auto out = std::make_unique<Loaded>();
  out->run.options.programName = program;
  out->run.options.inputFileName = PofPathOf(path);
  std::istringstream in(bytes.value_or(""));
  PofReader reader(out->run, out->run, program);
  out->status = bytes ? reader.LoadFrom(in, out->run.options.inputFileName) : reader.Load(out->run.options.inputFileName);
  return out;
}

// A packet; its length field says `length` when given, else the data size.
PofBuilder::Packet P(std::int16_t tag, std::string data, std::optional<std::int32_t> length = {}) {
  return {tag, std::move(data), length};
}

// Every fuse field of an image but the logic array (packed) and the JTAG bit.
template <class Image>
auto FieldsOf(Image& i) {
  return std::array{&i.mcConfig, &i.pia, &i.oePia, &i.ioConfig, &i.outputEnable, &i.globalClocks,
                    &i.unknownBits, &i.ues, &i.remainingBits};
}

// Programmed characters in every field of an image.
int ZerosOf(const SourceImage& img) {
  int n = img.jtagBit == '0';
  for (std::size_t i = 0; i < img.logicArray.size(); ++i) n += img.logicArray.at(static_cast<int>(i)) == '0';
  for (const FuseArray* a : FieldsOf(img)) n += static_cast<int>(std::count(a->data(), a->data() + a->size(), '0'));
  return n;
}

// The fuse stream the builder would write for the image the reader made.
std::string StreamOf(const std::string& device, const SourceImage& img) {
  PofBuilder b(device);
  b.image() = img;
  return b.FuseStream();
}

// Every field character of an image set to a repeatable mix of '0' and '1'
// (about one '0' in `oneIn`).
void Scramble(SourceImage& img, unsigned seed, unsigned oneIn) {
  unsigned x = seed * 2654435761u + 1;
  auto next = [&] { return (x = x * 1103515245u + 12345u) >> 16; };
  for (std::size_t i = 0; i < img.logicArray.size(); ++i) {
    img.logicArray.at(static_cast<int>(i)) = next() % oneIn == 0 ? '0' : '1';
  }
  for (FuseArray* a : FieldsOf(img)) {
    for (std::size_t i = 0; i < a->size(); ++i) a->data()[i] = next() % oneIn == 0 ? '0' : '1';
  }
  if (img.layout().hasJtagBit) img.jtagBit = next() % 2 == 0 ? '0' : '1';
}

using Field = PofBuilder::Field;

// Every kind, and the packages whose I/O pin count moves the ranges.
const char* const kDevices[] = {
    "EPM7032LC44-15", "EPM7032SLC44-10", "EPM7032AETC44-10", "EPM3032ALC44-10", "EPM7064LC44-10", "EPM7064LC68-10",
    "EPM7064QC100-10", "EPM7064XX160", "EPM7064SLC44-10", "EPM7064AETC44-10", "EPM3064ATC44-10", "EPM7128LC84-15",
    "EPM7128LC68-15", "EPM7128QC100-15", "EPM7128GC160-15", "EPM7128ELC84-10", "EPM7128ELC44", "EPM7128EQC160",
    "EPM7128SLC84-15", "EPM7128AETC100-10", "EPM3128ATC100-10",
};

// One programmed fuse at the first and last address of every range, at the
// counted limit and just past the map: it lands where the builder puts it,
// nowhere else, and the last counted address decides the blank check.
TEST(FuseDecoding, SingleFusesAtEveryRangeEnd) {
  for (const char* device : kDevices) {
    const PofBuilder probe(device);
    std::set<std::int64_t> addresses = {probe.CountedLimit() - 1, probe.CountedLimit(), probe.MapLength()};
    for (const auto& s : probe.Segments()) addresses.insert({s.start, s.start + s.count - 1});
    for (const std::int64_t a : addresses) {
      SCOPED_TRACE(std::string(device) + " address " + std::to_string(a));
      PofBuilder b(device);
      const auto got = Load(b.Program(a).Build());
      ASSERT_NE(got->image(), nullptr);
      std::string want(static_cast<std::size_t>(probe.MapLength()), '1');
      bool stored = false;
      for (const auto& s : probe.Segments()) {
        stored |= a >= s.start && a < s.start + s.count && s.field != Field::Gap && s.field != Field::Tail;
      }
      if (stored) want[static_cast<std::size_t>(a)] = '0';
      EXPECT_EQ(FirstDifference(StreamOf(device, *got->image()), want), "");
      EXPECT_EQ(ZerosOf(*got->image()), stored ? 1 : 0);
      EXPECT_EQ(got->run.pof.lastProgrammedAddress, a < probe.CountedLimit() ? a : -1);
    }
  }
}

// Whole scrambled images of every kind, in all eight encodings (byte order,
// packed or one character a fuse, inverted or not).
TEST(FuseDecoding, RoundTripOfEveryKindInEveryEncoding) {
  unsigned seed = 1;
  for (const char* device : kDevices) {
    for (int variant = 0; variant < 8; ++variant) {
      SCOPED_TRACE(std::string(device) + " variant " + std::to_string(variant));
      PofBuilder b(device);
      Scramble(b.image(), seed++, 3);
      b.BigEndian(variant & 1).Packed(variant & 2).Inverted(variant & 4);
      const auto got = Load(b.Build());
      ASSERT_NE(got->image(), nullptr);
      EXPECT_FALSE(got->status.exitStatus.has_value());
      EXPECT_EQ(FirstDifference(StreamOf(device, *got->image()), b.FuseStream()), "");
      EXPECT_EQ(ZerosOf(*got->image()), ZerosOf(*b.CarriedImage()));
    }
  }
}

// Whether an image holds fuse data: each kind looks at one field only, and
// there only at the positions listed (no field: the logic array).
TEST(FuseDecoding, FuseDataProbeOfEveryKind) {
  const struct { const char* device; FuseArray SourceImage::*field; std::vector<std::size_t> seen, unseen; } rows[] = {
      {"EPM7032LC44", &SourceImage::outputEnable, {0, 63}, {}}, {"EPM7064LC44", &SourceImage::outputEnable, {127}, {}},
      {"EPM7128LC84", &SourceImage::outputEnable, {191}, {}},   {"EPM7032SLC44", &SourceImage::ues, {0, 15}, {}},
      {"EPM7032AETC44", &SourceImage::ues, {15}, {16, 31}},     {"EPM3032ALC44", &SourceImage::ues, {15}, {16}},
      {"EPM7064SLC44", &SourceImage::ues, {15}, {}},            {"EPM7064AETC44", &SourceImage::ues, {0}, {16}},
      {"EPM3064ATC44", &SourceImage::ues, {0}, {31}},           {"EPM7128ELC84", &SourceImage::ioConfig, {0, 287}, {}},
      {"EPM7128SLC84", &SourceImage::ioConfig, {5, 575}, {}},   {"EPM7128AETC100", &SourceImage::ioConfig, {670}, {6, 671}},
      {"EPM3128ATC100", &SourceImage::ioConfig, {5}, {6}},      {"EPM7032SLC44", nullptr, {}, {0}},
      {"EPM7128SLC84", &SourceImage::unknownBits, {}, {0}},
  };
  for (const auto& r : rows) {
    for (const bool seen : {true, false}) {
      for (const std::size_t i : seen ? r.seen : r.unseen) {
        SCOPED_TRACE(std::string(r.device) + " " + std::to_string(i));
        SourceImageSet set;
        ASSERT_NE(set.CreateImage(ParseDeviceName(r.device).kind()), nullptr);
        EXPECT_EQ(set.HasFuseData(), 0);
        if (r.field) {
          (set.image()->*r.field).data()[i] = '0';
        } else {
          set.image()->logicArray.at(static_cast<int>(i)) = '0';
        }
        EXPECT_EQ(set.HasFuseData(), seen ? 1 : 0);
      }
    }
  }
}

// The packet reader, one row per input: what it keeps, what it prints and
// the statuses it returns.
const std::string kBlank =
    "ERROR# This pof file appears to have been read from a blank or secured part!\n";
const std::string kWarn = "Warning ! Vector length reading error\n";
const std::string kGood = "r0 x- 7032S 'EPM7032SLC44-10' 44/PLCC last=0 zeros=1";
const std::string kNothing = " none '' 0/ c=- t=- last=-1 zeros=0";

// Status, image kind, device name, pins and package, then the texts, the
// security word and the vectors where they differ from what Design() writes,
// then the last counted programmed address and the '0's of the image.
std::string Summary(const Loaded& l) {
  const auto& s = l.run.sources;
  std::ostringstream o;
  o << "r" << l.status.result << " x" << (l.status.exitStatus ? std::to_string(*l.status.exitStatus) : "-")
    << " " << (l.image() ? SourceKindName(l.image()->kind()) : "none") << " '" << l.run.pof.device.name
    << "' " << (l.image() ? l.run.pof.device.pinCount : 0) << "/" << l.run.pof.device.packageName;
  if (s.creatorId != "PofBuilder") o << " c=" << s.creatorId.value_or("-");
  if (s.commentText != "Untitled") o << " t=" << s.commentText.value_or("-");
  if (s.securityBit) o << " s" << s.securityBit;
  if (!s.testVectors.empty()) o << " v" << s.testVectors.size() << ":";
  for (std::size_t i = 0; i < s.testVectors.size(); ++i) o << (i ? "|" : "") << s.testVectors[i];
  o << " last=" << l.run.pof.lastProgrammedAddress << " zeros=" << (l.image() ? ZerosOf(*l.image()) : 0);
  return o.str();
}

// A 7032S design with one programmed fuse, so that it passes the blank check.
PofBuilder Design(const std::string& device = "EPM7032SLC44-10") {
  PofBuilder b(device);
  b.Program(0);
  return b;
}

// A design followed by Test_Vectors packets: a count, then the slots.
std::string Vectors(std::vector<std::pair<std::uint32_t, std::string>> packets) {
  PofBuilder b = Design();
  for (const auto& [count, slots] : packets) b.Append(P(10, b.U32(count) + slots));
  return b.Build();
}

// A 7032S file whose only fuse-data packet carries these flags and bytes.
std::string Fuses(std::uint16_t flags, std::string bytes, bool bigEndian = false) {
  PofBuilder b("EPM7032SLC44-10");
  b.BigEndian(bigEndian).Omit(17);
  return b.Append(P(17, b.FuseData(flags, bytes))).Build();
}

struct Row {
  const char* what;
  std::string bytes;
  std::string summary, console = "", error = "";
  const char* program = "fusecvt";
};

TEST(PofReader, InputTable) {
  using S = std::string;
  const S d = kGood.substr(0, kGood.size() - 15), one = " last=0 zeros=1", good = kGood.substr(2);
  const S blank = "r0 x2" + d.substr(5) + " last=-1 zeros=0", r1 = "r1" + good, d12 = "r0 x- 7032S 'EPM7032SLC44' 44/PLCC";
  auto bad = [](const char* name, const char* package) {
    return "r1 x2 none '" + S(name) + "' 0/" + package + " c=- t=- last=-1 zeros=0";
  };
  auto refused = [&](const char* what, S bytes, const char* name, const char* package) {
    return Row{what, bytes, bad(name, package), kBlank, "Error! Device " + S(name) + " is not supported \a\n"};
  };
  auto other = [&](S device, S kind, S pins) { return "r0 x- " + kind + " '" + device + "' " + pins + one; };
  auto named = [&](S device, S kind, S pins) { return Row{"", Design(device).Build(), other(device, kind, pins)}; };
  auto cut = [](S bytes, std::size_t n) { return bytes.substr(0, bytes.size() - n); };
  auto marked = [](const S& mark) { return mark + Design().Build().substr(3); };
  auto notPof = [](const char* what, S bytes) { return Row{what, bytes, "r1 x1" + kNothing, "", "Error! in/Design.pof is not a POF file\n"}; };
  const S fusedmp = "JEDEC is defined in pof, the calling process should not be fusedmp\n";
  const Row rows[] = {
      {"good file", Design().Creator("Fitter 9.1").Comment("counter").Security(1).Vectors({"01", "1X0"}).Build(),
       d + " c=Fitter 9.1 t=counter s1 v2:01|1X0" + one},
      {"big-endian file", Design().BigEndian().Security(0x0102).Vectors({"0101", "1X"}).Build(), d + " s258 v2:0101|1X" + one},
      {"big-endian packets, byte order field cleared", [] { S b = Design().BigEndian().Build(); b[4] = '\0'; return b; }(),
       "r1 x2" + kNothing, kBlank},
      {"no programmed fuse", PofBuilder("EPM7032SLC44-10").Build(), blank, kBlank},
      {"only the first three bytes mark a POF", [] { S b = Design().Build(); b[3] = 'x'; return b; }(), kGood},
      {"length beyond the bytes left", Design().Append(P(3, "cut", 100)).Build(), kGood},
      {"length 2^31-1", Design().Append(P(3, "cut", 0x7FFFFFFF)).Build(), kGood},
      {"cut inside the fuse data", cut(Design().Build(), 20), blank, kBlank},
      {"cut device name", cut(Design().Omit(17).Omit(8).Omit(5).Omit(3).Build(), 3), "r0 x2" + kNothing, kBlank},
      {"tag 20 stops", Design().Append(P(20, "xx")).Append(P(3, "no")).Build(), r1},
      {"tag -1 stops", Design().Append(P(-1, "xx")).Append(P(3, "no")).Build(), r1},
      {"negative length stops", Design().Append(P(3, "x", -1)).Append(P(3, "no")).Build(), r1},
      {"stop before any fuse", Design().Prepend(P(19, "", -5)).Build(), "r1 x2" + kNothing, kBlank},
      {"unknown and skipped packets", [] {
         PofBuilder b = Design();
         for (const int t : {0, 4, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 18, 19}) {
           const auto tag = static_cast<std::int16_t>(t);
           b.Append(P(tag, S(static_cast<std::size_t>(t) + 3, '\x03'))).Append(P(tag, ""));
         }
         return b.Append(P(3, "after")).Append(P(5, b.U16(7))).Build();
       }(),
       d + " t=after s7" + one},
      {"empty device name", PofBuilder("").Program(0).Build(), bad("", "unknown"), kBlank, "No Device type read in POF \a\n"},
      refused("unknown device", PofBuilder("EPM9999LC44").Program(0).Append(P(3, "after")).Build(), "EPM9999LC44", "PLCC"),
      refused("family without an image", PofBuilder("epm3064tc44").Program(0).Build(), "EPM3064TC44", "TQFP"),
      refused("256 macrocells", PofBuilder("EPM7256AETC144").Program(0).Build(), "EPM7256AETC144", "TQFP"),
      {"lower-case name", Design("epm7032aetc44-10").Build(), other("EPM7032AETC44-10", "7032AE", "44/TQFP")},
      named("EPM7128ATC100-10", "7128S", "100/TQFP"),   // 7128A reads as 7128S
      named("EPM7128SLC84-44", "7128S", "84/PLCC"),     // the package code's digits, not a later "44"
      named("EPM7064SLI44-10", "7064S", "44/PLCC"),     // industrial grade: LI is a PLCC
      named("EPM7128STI100-10", "7128S", "100/TQFP"),   // TI is a TQFP
      named("EPM7032SQI44", "7032S", "44/PQFP"),        // QI is a PQFP
      named("EPM7064AETC100LC44", "7064AE", "100/TQFP"),  // the first code followed by digits
      {"144-pin package", PofBuilder("EPM7128AETC144-10").Program(0).Append(P(3, "after")).Build(),
       "r1 x1 none 'EPM7128AETC144-10' 0/TQFP c=- t=- last=-1 zeros=0", "",
       "Error! Device EPM7128AETC144-10 has a 144-pin package; no target device has one\n"},
      {"208-pin package", PofBuilder("EPM7064SLI208").Program(0).Build(),
       "r1 x1 none 'EPM7064SLI208' 0/PLCC c=- t=- last=-1 zeros=0", "",
       "Error! Device EPM7064SLI208 has a 208-pin package; no target device has one\n"},
      named("EPM7128EGC160", "7128E", "160/unknown"),   // no package code
      named("EPM7064SQC100", "7064S", "100/PQFP"),
      named("EPM7032SLC44" + S(200, 'X'), "7032S", "44/PLCC"),  // a long name kept whole
      {"texts end at their NUL or the packet end", [] {
         PofBuilder b = Design();
         b.Omit(1).Omit(2).Omit(3).Prepend(P(1, S("made by\0junk", 12))).Prepend(P(3, "early"));
         b.Append(P(2, "EPM7032SLC44")).Append(P(3, "first")).Append(P(3, S("second\0third", 12)));
         return b.Append(P(17, b.FuseData(1, "\xFE"))).Build();
       }(),
       d12 + " c=made by t=second" + one},
      {"creator after the device name", Design().Omit(1).Append(P(1, "late")).Build(), d + " c=-" + one},
      {"empty Creator_ID", Design().Omit(1).Prepend(P(1, "")).Build(), d + " c=Unknown" + one},
      {"a failed device name read drops the creator",
       Design().Omit(1).Omit(2).Prepend(P(1, "tool")).Prepend(P(2, "")).Prepend(P(2, "EPM7032SLC44")).Build(),
       d12 + " c=-" + one},
      {"later device names are skipped", Design().Append(P(2, "EPM7128STC100")).Append(P(2, S(1, '\0'))).Build(), kGood},
      {"vectors: count 0 replaces", Vectors({{1, S("1\0", 2)}, {0, "abc"}}), kGood},
      {"vectors: 10 bytes in 3 slots", Vectors({{3, "ABCDEFGHIJ"}}), d + " v3:ABC|DEF|GHI" + one, kWarn},
      {"vectors: more than bytes", Vectors({{20, "0123456789"}}), kGood, kWarn},
      {"vectors: no slot bytes", Vectors({{5, ""}}), kGood},
      {"vectors: a later packet replaces, a short one not", Vectors({{1, S("A\0", 2)}, {2, S("B\0C\0", 4)}}), d + " v2:B|C" + one},
      {"vectors before the device name", [] { PofBuilder b = Design(); return b.Prepend(P(10, b.U32(2) + "abc")).Build(); }(),
       kGood, kWarn},
      {"security word too short", Design().Security(3).Append(P(5, "\x09")).Build(), d + " s3" + one},
      {"security before the device name", [] { PofBuilder b = Design(); return b.Omit(5).Prepend(P(5, b.U16(9))).Build(); }(), kGood},
      {"fuse data before the device name",
       [] { PofBuilder b = Design(); return b.Omit(17).Prepend(P(17, b.FuseData(1, S(1, '\0')))).Build(); }(), blank, kBlank},
      {"fuse data of 12 bytes", Fuses(1, ""), blank, kBlank},
      {"unpacked fuse data: only '0' programs", Fuses(0, "0x1 0"), d + " last=4 zeros=2"},
      {"inverted unpacked fuse data: only '1' programs", Fuses(4, "1x01", true), d + " last=3 zeros=2"},
      {"a second fuse-data packet starts at address 0 again", [] {
         PofBuilder b("EPM7032SLC44-10");
         b.Omit(17).Append(P(17, b.FuseData(0, S(100, '1') + "0")));
         return b.Append(P(17, b.FuseData(0, "10"))).Build();
       }(),
       d + " last=1 zeros=2"},
      {"two kind words: the created image's map", PofBuilder("EPM7128E-7128SLC84").Program(62703).Build(),
       "r0 x- 7128S 'EPM7128E-7128SLC84' 84/PLCC last=62703 zeros=1"},
      {"called as fusedmp", Design().Build(), kGood, fusedmp, "", "/usr/local/bin/FuseDmp"},
      // Files without a whole header, or whose first three bytes are not
      // "POF", used to end as a "blank or secured part" with status 2. Now
      // they are refused as no POF at all, with status 1, after the
      // process-name notice; the whole header with its mark is read as a POF.
      notPof("empty file", S()), notPof("header cut short", S("POF\0\0", 5)),
      notPof("eleven bytes", Design().Build().substr(0, 11)), notPof("lower-case mark", marked("pof")),
      notPof("other mark", marked("XOF")), notPof("text file", "design notes, not a fuse file\n"),
      {"not a POF, called as fusedmp", "PO", "r1 x1" + kNothing, fusedmp, "Error! in/Design.pof is not a POF file\n", "fusedmp"},
      {"the header alone", Design().Build().substr(0, 12), "r0 x2" + kNothing, kBlank},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what[0] ? row.what : row.summary.c_str());
    const auto got = Load(row.bytes, row.program, "in/Design.pof");
    EXPECT_EQ(Summary(*got), row.summary);
    EXPECT_EQ(got->console.str(), row.console);
    EXPECT_EQ(got->error.str(), row.error);
    EXPECT_EQ(got->run.options.inputFileName, "in/Design.pof");
  }
}

#ifndef _WIN32
// A POF that arrives through a pipe, which cannot seek: the packets the
// reader passes over are read and dropped, and it keeps what it keeps from
// the same bytes in a file.
TEST(PofReader, PipeReadsAsTheFileDoes) {
  PofBuilder b = Design();
  // Packets passed over, before and after the fuse data, longer than the
  // reader's scratch space; then a test vector, read after them.
  b.Prepend(P(9, std::string(5000, 's'))).Append(P(12, std::string(1300, 'c')));
  b.Append(P(10, b.U32(1) + "0101"));
  const std::string bytes = b.Build();
  ScratchDir dir;
  WriteFile(dir.File("design.pof"), bytes);
  const auto fromFile = Load(std::nullopt, "fusecvt", dir.File("design.pof"));
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_LT(bytes.size(), 60000u);  // fits the pipe's buffer: no writer thread needed
  ASSERT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(ends[1]);
  // Read under a name that ends in ".pof", as the reader wants it.
  ASSERT_EQ(symlink(("/dev/fd/" + std::to_string(ends[0])).c_str(), dir.File("pipe.pof").c_str()), 0);
  const auto fromPipe = Load(std::nullopt, "fusecvt", dir.File("pipe.pof"));
  close(ends[0]);
  EXPECT_EQ(Summary(*fromPipe), Summary(*fromFile));
  EXPECT_EQ(Summary(*fromFile), "r0 x- 7032S 'EPM7032SLC44-10' 44/PLCC v1:0101 last=0 zeros=1");
  EXPECT_EQ(fromPipe->console.str() + fromPipe->error.str(), "");
}
#endif

// The text channels write what a stream in the classic locale writes.
TEST(TextChannels, WriteAsAStreamWrites) {
  StringTextOut out;
  std::ostringstream stream;
  const auto both = [&](auto value) {
    out << value << '|';
    stream << value << '|';
  };
  for (int v : {0, 7, -1, 42, INT_MIN, INT_MAX}) both(v);
  for (long v : {LONG_MIN, LONG_MAX, -100000L}) both(v);
  both(LLONG_MIN), both(UINT_MAX), both(ULONG_MAX), both(ULLONG_MAX), both(std::size_t{4096});
  both('a'), both(static_cast<signed char>('b')), both(static_cast<unsigned char>('c'));
  both("text"), both(std::string("string\n")), both(std::string_view("view"));
  EXPECT_EQ(out.str(), stream.str());
}

// Real POF files, when the sample folder is present: each loads cleanly as
// the device its list names.
TEST(PofSamples, EverySampleLoads) {
  const std::vector<Sample> samples = Samples();
  if (samples.empty()) GTEST_SKIP() << "no POF samples";
  int loaded = 0;
  for (const auto& [file, path, device] : samples) {
    SCOPED_TRACE(file);
    const PofBuilder expected(device);  // the kind and pin count the part's name states
    ASSERT_TRUE(expected.hasImage()) << device;
    const auto got = Load(std::nullopt, "fusecvt", path);
    EXPECT_EQ(got->status.result, 0);
    EXPECT_FALSE(got->status.exitStatus.has_value());
    EXPECT_EQ(got->console.str() + got->error.str(), "");
    ASSERT_NE(got->image(), nullptr);
    EXPECT_EQ(got->image()->kind(), expected.kind());
    EXPECT_EQ(got->run.pof.device.pinCount, expected.pinCount());
    EXPECT_GE(got->run.pof.lastProgrammedAddress, 0);
    ++loaded;
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace fusecvt::test
