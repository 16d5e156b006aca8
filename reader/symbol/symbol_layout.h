// Where things sit in a QR symbol of a given version: function patterns,
// the codeword placement, and the block structure of each level.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "reader/module_grid.h"
#include "reader/symbol_decoder.h"

namespace qr {

inline constexpr int kMinVersion = 1;
inline constexpr int kMaxVersion = 40;
inline constexpr int kMaxTotalCodewords = 3706;  // version 40
inline constexpr int kMaxDataCodewords = 2956;   // version 40-L

constexpr int SizeOfVersion(int version) { return 17 + 4 * version; }
// The version whose symbols have this many modules a side; 0 when none.
constexpr int VersionOfSize(int size) {
  return size >= SizeOfVersion(kMinVersion) && size <= SizeOfVersion(kMaxVersion) && (size - 17) % 4 == 0
             ? (size - 17) / 4
             : 0;
}

// Row and column coordinates of the alignment pattern centres (the same list
// for both axes; the three combinations that fall on finders hold none).
// Returns how many of out are used: 0 for version 1, up to 7.
int AlignmentPatternCentres(int version, std::array<int, 7>& out);

// Number of codewords (data and error correction) a symbol of version 1..40 holds.
int TotalCodewords(int version);

struct BlockStructure {
  int block_count;
  int ec_codewords_per_block;
  int total_codewords;
  int data_codewords() const { return total_codewords - block_count * ec_codewords_per_block; }
  // The first short_block_count blocks have one data codeword fewer than the rest.
  int short_block_count() const { return block_count - total_codewords % block_count; }
  int short_block_length() const { return total_codewords / block_count; }
};
// The blocks of a symbol of version 1..40 at the given level.
BlockStructure BlocksOf(int version, Level level);

// The function modules of one version: finders with their separators and
// the format information, timing patterns, alignment patterns and the
// version information.
class FunctionModules {
 public:
  explicit FunctionModules(int version);
  bool Contains(int x, int y) const { return (rows_[y][x / 64] >> (x % 64) & 1) != 0; }

 private:
  void Mark(int left, int top, int width, int height);

  static constexpr int kWordsPerRow = (SizeOfVersion(kMaxVersion) + 63) / 64;
  std::array<std::array<uint64_t, kWordsPerRow>, SizeOfVersion(kMaxVersion)> rows_{};
};

// Calls visit(x, y) for every module outside the function patterns, in the
// order codeword bits are placed: two-column zig-zag from the bottom right,
// stepping over the vertical timing column. The last 0 to 7 modules are
// remainder bits.
template <typename Visit>
void ForEachDataModule(int version, Visit visit) {
  const FunctionModules function_modules(version);
  const int size = SizeOfVersion(version);
  for (int right = size - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    const bool upward = ((right + 1) & 2) == 0;
    for (int step = 0; step < size; ++step) {
      const int y = upward ? size - 1 - step : step;
      if (!function_modules.Contains(right, y)) visit(right, y);
      if (!function_modules.Contains(right - 1, y)) visit(right - 1, y);
    }
  }
}

// Reads the codewords of a symbol in placement order, undoing the data mask.
// out must hold TotalCodewords(version) bytes; grid.size() must match version.
void ReadCodewords(const ModuleGrid& grid, int version, int mask, std::span<uint8_t> out);

}  // namespace qr
