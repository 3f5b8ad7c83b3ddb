// JEDEC file of the QPL6000 and QPL6000E: flat product-term slots, one row per
// macrocell configuration bit, the user row, the sleep bit and (QPL6000E) the
// pin keeper bit.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "driver/Version.h"
#include "jedec/JedecFormat.h"
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

int Qpl6000::WriteJedec(const JedecJob& run) {
  const ConversionOptions& options = run.options;
  JedecFile file(options.outputFileName);
  if (!file.ok()) {
    run.messages.error << "Cannot write output_file " << options.outputFileName << '\n';
    return kJedecOpenFailed;
  }
  const bool extended = options.targetDeviceName.find("6000e") != std::string::npos;
  const bool tqfp = run.device.quadFlatPack;

  std::ostringstream header;
  header << '\x02' << JedecFieldText(options.programName) << ' ' << kVersionText << '\n'
         << "Device " << (extended ? "QPL6000E" : "QPL6000") << (tqfp ? " (TQFP)\n" : " (PLCC)\n")
         << "Created on: " << FormatCreatedOn(run.createdOn) << "\n\n"
         << JedecFieldText(run.sources.creatorId.value_or("")) << '\n';
  if (run.sources.commentText) header << JedecFieldText(*run.sources.commentText) << '\n';
  header << raceNotes << "*\n";
  if (run.sources.securityBit != 0 || run.securitySet) header << "G1*\n";
  header << (extended ? "QF24994" : "QF24993") << "* QP44* F0*\n";
  std::string ruler(kTermFuses, ' ');
  for (int i = 0; i < kTermFuses; i += 10) ruler[static_cast<std::size_t>(i)] = '0';
  header << "NOTE\n" << ruler << "*\n";
  file.Write(header.str());

  FuseChecksum checksum;
  auto putFuses = [&](const char* fuses, int n) {
    file.Write(fuses, static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) checksum.Put(fuses[i]);
  };

  for (int m = kMacrocells - 1; m >= 0; --m) {
    char note[64];
    std::snprintf(note, sizeof note, "NOTE  Macrocell %d (IO pin %d) *\n", m + 1,
                  qpl6000::kIoPin[m]);
    bool noted = false;
    const int slot = (kMacrocells - 1 - m) * kSlotFuses;
    for (int k = 0; k < kTermsPerMacrocell; ++k) {
      const char* term = ptFuses.row(m, kSlotTerm[k]);
      // A term with every fuse programmed is disabled and left to F0.
      if (!std::memchr(term, '1', kTermFuses)) continue;
      if (!noted) file.Write(note);
      noted = true;
      file.Write(Address(slot + k * kTermFuses) + "\n");
      putFuses(term, kTermFuses);
      file.Write("*\n");
    }
  }

  file.Write("\nNOTE   12345678901234567890123456789012*\n");
  for (int bit = kConfigBits - 1; bit >= 0; --bit) {
    file.Write(Address(kConfigStart + (kConfigBits - 1 - bit) * kConfigRowFuses) + " ");
    char row[kMacrocells];
    for (int m = 0; m < kMacrocells; ++m) row[m] = mcBits.at(m, bit);
    putFuses(row, kMacrocells);
    file.Write("*\n");
  }

  file.Write("\nNOTE   User Row*\n" + Address(kUserRowStart) + "\n");
  const std::string userRow(kUserRowFuses, '1');
  putFuses(userRow.data(), kUserRowFuses);
  file.Write("*\n");

  const char sleep = options.pd1 == 1 ? '0' : '1';
  file.Write("\nNOTE   Sleep Bit*\n" + Address(kSleepBit) + " ");
  putFuses(&sleep, 1);
  file.Write("*\n");
  if (extended) {
    const char keeper = options.pinKeep == 0 ? '0' : '1';
    file.Write("\nNOTE   Pin Keeper Bit*\n" + Address(kPinKeeperBit) + " ");
    putFuses(&keeper, 1);
    file.Write("*\n");
  }
  checksum.Flush();  // the sleep (and pin keeper) bit: a word of its own
  file.Write(checksum.Field() + "*\n");

  const std::vector<std::string>& vectors = run.sources.testVectors;
  file.Write("QV" + std::to_string(vectors.size()) + "* X0*\n");
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    char number[32];
    std::snprintf(number, sizeof number, "V%03zu ", i + 1);
    file.Write(number + JedecFieldText(vectors[i]) + "*\n");
  }
  file.Write("\x03" "0000\n");

  if (!file.Close()) {
    run.messages.console << "Jedec write problem: out of space \n";
    run.messages.console.flush();
    return kJedecWriteFailed;
  }
  return kJedecWritten;
}

}  // namespace fusecvt
