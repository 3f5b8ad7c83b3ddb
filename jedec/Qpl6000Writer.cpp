// JEDEC file of the QPL6000 and QPL6000E: flat product-term slots, one row per
// macrocell configuration bit, the user row, the sleep bit and (QPL6000E) the
// pin keeper bit.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "jedec/JedecFormat.h"
#include "pof/Text.h"
#include "pof/TextOut.h"
#include "qpl6000/Qpl6000.h"
#include "qpl6000/Qpl6000Tables.h"

namespace fusecvt {

namespace {

constexpr int kTermFuses = Qpl6000::kColumns;
constexpr int kSlotFuses = Qpl6000::kTermsPerMacrocell * kTermFuses;  // one macrocell
constexpr int kConfigStart = Qpl6000::kMacrocells * kSlotFuses;
constexpr int kConfigRowFuses = Qpl6000::kMacrocells;
constexpr int kUserRowStart = kConfigStart + Qpl6000::kConfigBits * kConfigRowFuses;
constexpr int kUserRowFuses = 160;
constexpr int kSleepBit = kUserRowStart + kUserRowFuses;
constexpr int kPinKeeperBit = kSleepBit + 1;

// Every row starts on a checksum word, so terms left out do not shift the
// grouping of the fuses after them.
static_assert(kTermFuses % 8 == 0 && kConfigRowFuses % 8 == 0 && kUserRowFuses % 8 == 0,
              "rows start on 8-fuse words");
static_assert(kConfigStart == 24320 && kUserRowStart == 24832 && kSleepBit == 24992,
              "QPL6000 fuse map");

// Order of the product terms inside a macrocell slot: PT 2, 3, 4, 5, 1.
constexpr int kSlotTerm[Qpl6000::kTermsPerMacrocell] = {1, 2, 3, 4, 0};

// "L" and the address zero-filled to five columns.
std::string Address(int address) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "L%05d", address);
  return buf;
}

}  // namespace

namespace {

// The file's fuses go through here, so that each feeds the checksum.
struct FuseWriter {
  JedecBuffer& file;
  FuseChecksum checksum;
  void Put(const char* fuses, int n) {
    file.AppendFileBytes(fuses, static_cast<std::size_t>(n));
    checksum.PutFuses(fuses, static_cast<std::size_t>(n));
  }
};

std::string HeaderText(const Qpl6000& q, const JedecJob& run, bool extended) {
  StringTextOut header;
  header << '\x02' << JedecFieldText(run.options.programName) << ' ' << run.versionText << '\n'
         << "Device " << (extended ? "QPL6000E" : "QPL6000") << (run.device.quadFlatPack ? " (TQFP)\n" : " (PLCC)\n")
         << "Created on: " << FormatCreatedOn(run.createdOn) << "\n\n"
         << JedecFieldText(run.sources.creatorId.value_or("")) << '\n';
  if (run.sources.commentText) header << JedecFieldText(*run.sources.commentText) << '\n';
  header << q.raceNotes << "*\n";
  if (run.sources.securityBit != 0 || run.securitySet) header << "G1*\n";
  header << (extended ? "QF24994" : "QF24993") << "* QP44* F0*\n";
  std::string ruler(kTermFuses, ' ');
  for (int i = 0; i < kTermFuses; i += 10) ruler[static_cast<std::size_t>(i)] = '0';
  header << "NOTE\n" << ruler << "*\n";
  return header.str();
}

// Product terms, last macrocell first; a term with every fuse programmed is
// disabled and left to F0.
void WriteTerms(const Qpl6000& q, FuseWriter& w) {
  for (int m = Qpl6000::kMacrocells - 1; m >= 0; --m) {
    char note[64];
    std::snprintf(note, sizeof note, "NOTE  Macrocell %d (IO pin %d) *\n", m + 1, qpl6000::kIoPin[m]);
    bool noted = false;
    const int slot = (Qpl6000::kMacrocells - 1 - m) * kSlotFuses;
    for (int k = 0; k < Qpl6000::kTermsPerMacrocell; ++k) {
      const char* term = q.ptFuses.row(m, kSlotTerm[k]);
      if (!std::memchr(term, '1', kTermFuses)) continue;
      if (!noted) w.file.Append(note);
      noted = true;
      w.file.Append(Address(slot + k * kTermFuses) + "\n");
      w.Put(term, kTermFuses);
      w.file.Append("*\n");
    }
  }
}

// One row per configuration bit, the user row, the sleep bit and (QPL6000E)
// the pin keeper bit, then the checksum.
void WriteRows(const Qpl6000& q, FuseWriter& w, const ConversionOptions& options, bool extended) {
  w.file.Append("\nNOTE   12345678901234567890123456789012*\n");
  for (int bit = Qpl6000::kConfigBits - 1; bit >= 0; --bit) {
    w.file.Append(Address(kConfigStart + (Qpl6000::kConfigBits - 1 - bit) * kConfigRowFuses) + " ");
    char row[Qpl6000::kMacrocells];
    for (int m = 0; m < Qpl6000::kMacrocells; ++m) row[m] = q.mcBits.at(m, bit);
    w.Put(row, Qpl6000::kMacrocells);
    w.file.Append("*\n");
  }
  w.file.Append("\nNOTE   User Row*\n" + Address(kUserRowStart) + "\n");
  const std::string userRow(kUserRowFuses, '1');
  w.Put(userRow.data(), kUserRowFuses);
  w.file.Append("*\n");
  const char sleep = options.pd1 == 1 ? '0' : '1';
  w.file.Append("\nNOTE   Sleep Bit*\n" + Address(kSleepBit) + " ");
  w.Put(&sleep, 1);
  w.file.Append("*\n");
  if (extended) {
    const char keeper = options.pinKeep == 0 ? '0' : '1';
    w.file.Append("\nNOTE   Pin Keeper Bit*\n" + Address(kPinKeeperBit) + " ");
    w.Put(&keeper, 1);
    w.file.Append("*\n");
  }
  w.checksum.Flush();  // the sleep (and pin keeper) bit: a word of its own
  w.file.Append(w.checksum.Field() + "*\n");
}

void WriteVectors(JedecBuffer& file, const std::vector<std::string>& vectors) {
  file.Append("QV" + std::to_string(vectors.size()) + "* X0*\n");
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    char number[32];
    std::snprintf(number, sizeof number, "V%03zu ", i + 1);
    file.Append(number + JedecFieldText(vectors[i]) + "*\n");
  }
  file.Append("\x03" "0000\n");
}

}  // namespace

int Qpl6000::WriteJedec(const JedecJob& run) {
  const ConversionOptions& options = run.options;
  JedecFile file(options.outputFileName);
  if (!file.ok()) {
    run.messages.error << "Cannot write output_file " << options.outputFileName << '\n';
    return kJedecOpenFailed;
  }
  run.messages.console << raceConsole;
  const bool extended = Contains(options.targetDeviceName, "6000e");
  JedecBuffer out(file);
  out.Append(HeaderText(*this, run, extended));
  FuseWriter writer{out, FuseChecksum()};
  WriteTerms(*this, writer);
  WriteRows(*this, writer, options, extended);
  WriteVectors(out, run.sources.testVectors);
  out.Flush();
  if (!file.Close()) {
    run.messages.console << "Jedec write problem: out of space \n";
    run.messages.console.flush();
    return kJedecWriteFailed;
  }
  return kJedecWritten;
}

}  // namespace fusecvt
