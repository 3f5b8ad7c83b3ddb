#pragma once
// The JEDEC writer of the block-structured targets QPL6032, QPL6064 and
// QPL6128. One writer serves all three; where their files differ (slot order
// of the product terms, placement of the macrocell configurations, UIM pairs,
// global OE layout, label spellings) it follows a per-target layout table.
//
// BlockTargetImage::WriteJedec(run) writes the file named by
// run.options.outputFileName; WriteJedecText writes the same bytes to any
// sink, which is what the file writer does too.

#include <string>
#include <vector>

#include "translate/BlockTarget.h"
#include "jedec/JedecFormat.h"

namespace fusecvt {


// Scratch state of one write; lives on the writer's stack.
struct JedecFuseImage {
  JedecFuseImage(BlockTargetImage& image, JedecSink& sink);

  BlockTargetImage& target;       // the image being written (not owned)
  FuseChecksum fuseChecksum;      // fed by PutFuse
  std::string mcConfigFuses;      // the macrocell-configuration area in address order
  JedecBuffer out;                // the file text, CR LF added by the sink
  long nextAddress = 0;           // one past the last fuse written (order check)
};

// Writes one fuse character and feeds the checksum. Every fuse of every
// section goes through here.
inline void PutFuse(JedecFuseImage& image, char fuse) {
  image.out.Put(fuse);
  image.fuseChecksum.Put(fuse);
  ++image.nextAddress;
}

// The sections, in the order WriteJedecText calls them.
void WriteHeader(JedecFuseImage& image, const JedecJob& run);
void WriteProductTerms(JedecFuseImage& image);
// Clears S0..S2 of every macrocell whose S0, S1, S2 and S21 are all '1' (the
// one change the writer makes to the image), then fills mcConfigFuses.
void BuildMacrocellConfig(JedecFuseImage& image);
void WriteMacrocellConfig(JedecFuseImage& image);
void WriteUimMux(JedecFuseImage& image);
void WriteGlobalOe(JedecFuseImage& image);
void WriteConfigBits(JedecFuseImage& image);
void WriteJtagBits(JedecFuseImage& image);
void WriteUesBits(JedecFuseImage& image);
void WriteReservedBits(JedecFuseImage& image);
void WriteChecksum(JedecFuseImage& image);
// Nothing when there are no vectors.
void WriteTestVectors(JedecFuseImage& image, const std::vector<std::string>& vectors);
// ETX and the transmission checksum "0000".
void WriteTrailer(JedecFuseImage& image);

// The whole file, STX to the trailer, into the sink. Inputs from the run: the
// POF's package name and pin count, the security word and test vectors of the
// source set, and the header date from the run's clock.
void WriteJedecText(BlockTargetImage& target, const JedecJob& run, JedecSink& sink);
// The same, as the bytes of the file.
std::string JedecText(BlockTargetImage& target, const JedecJob& run);

}  // namespace fusecvt
