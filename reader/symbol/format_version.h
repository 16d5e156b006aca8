// Format information (level and mask, BCH(15,5)) and version information
// (BCH(18,6)): decoding the bits, and reading both copies from a grid.
#pragma once

#include <cstdint>
#include <optional>

#include "reader/module_grid.h"
#include "reader/symbol_decoder.h"

namespace qr {

// Codewords further than this from every valid one are beyond correction.
inline constexpr int kMaxInfoBitErrors = 3;

struct FormatInfo {
  Level level;
  int mask;       // 0..7
  int distance;   // bit errors corrected
};

// The 15 format bits as read (mask 101010000010010 still applied), bit 14
// first: the nearest valid format within kMaxInfoBitErrors bits.
std::optional<FormatInfo> DecodeFormatBits(uint32_t bits);

struct VersionInfo {
  int version;   // 7..40
  int distance;  // bit errors corrected
};

// The 18 version bits, bit 17 first: the nearest valid version information
// within kMaxInfoBitErrors bits.
std::optional<VersionInfo> DecodeVersionBits(uint32_t bits);

// The two copies in a grid: beside the top-left finder, and split between
// the top-right and bottom-left finders. grid.size() must be at least 21.
uint32_t ReadFormatBitsNearTopLeft(const ModuleGrid& grid);
uint32_t ReadFormatBitsSplit(const ModuleGrid& grid);

// The two copies of version information (versions 7 and up): left of the
// top-right finder, and above the bottom-left finder.
uint32_t ReadVersionBitsTopRight(const ModuleGrid& grid);
uint32_t ReadVersionBitsBottomLeft(const ModuleGrid& grid);

}  // namespace qr
