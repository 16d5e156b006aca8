#include "reader/symbol/symbol_layout.h"

namespace qr {
namespace {

// Error correction codewords per block and number of blocks, by level (L, M,
// Q, H) and version (index 0 unused).
constexpr int8_t kEcCodewordsPerBlock[4][41] = {
    {-1, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {-1, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr int8_t kBlockCount[4][41] = {
    {-1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {-1, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {-1, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {-1, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

}  // namespace

int AlignmentPatternCentres(int version, std::array<int, 7>& out) {
  if (version < 2 || version > kMaxVersion) return 0;
  // The first centre is at 6 and the last 7 modules in from the far edge;
  // the rest are evenly spaced from the last, by an even step (26 for 32).
  const int count = version / 7 + 2;
  const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
  out[0] = 6;
  for (int i = count - 1, position = SizeOfVersion(version) - 7; i >= 1; --i, position -= step) out[i] = position;
  return count;
}

int TotalCodewords(int version) {
  // Modules left after the function patterns, whole codewords only.
  int modules = (16 * version + 128) * version + 64;
  if (version >= 2) {
    const int alignment_count = version / 7 + 2;
    modules -= (25 * alignment_count - 10) * alignment_count - 55;
    if (version >= 7) modules -= 36;
  }
  return modules / 8;
}

BlockStructure BlocksOf(int version, Level level) {
  const int row = static_cast<int>(level);
  return {kBlockCount[row][version], kEcCodewordsPerBlock[row][version], TotalCodewords(version)};
}

bool MaskInverts(int mask, int x, int y) {
  switch (mask) {
    case 0: return (x + y) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (x + y) % 3 == 0;
    case 4: return (x / 3 + y / 2) % 2 == 0;
    case 5: return x * y % 2 + x * y % 3 == 0;
    case 6: return (x * y % 2 + x * y % 3) % 2 == 0;
    default: return ((x + y) % 2 + x * y % 3) % 2 == 0;
  }
}

FunctionModules::FunctionModules(int version)
    : size_(SizeOfVersion(version)), has_version_info_(version >= 7) {
  std::array<int, 7> centres;
  const int count = AlignmentPatternCentres(version, centres);
  last_centre_ = count > 0 ? centres[count - 1] : -1;
  nearest_centre_.fill(-1);
  for (int i = 0; i < count; ++i)
    for (int d = -2; d <= 2; ++d) nearest_centre_[centres[i] + d] = static_cast<int16_t>(centres[i]);
}

bool FunctionModules::Contains(int x, int y) const {
  const int far = size_ - 8;  // first row/column of the far finders' separators
  if ((x <= 8 && y <= 8) || (x >= far && y <= 8) || (x <= 8 && y >= far)) return true;
  if (x == 6 || y == 6) return true;
  if (has_version_info_ && ((x >= size_ - 11 && x < far && y < 6) || (y >= size_ - 11 && y < far && x < 6)))
    return true;
  const int cx = nearest_centre_[x];
  const int cy = nearest_centre_[y];
  if (cx < 0 || cy < 0) return false;
  // No alignment pattern where one would overlap a finder.
  const bool on_finder = (cx == 6 && cy == 6) || (cx == 6 && cy == last_centre_) || (cx == last_centre_ && cy == 6);
  return !on_finder;
}

void ReadCodewords(const ModuleGrid& grid, int version, int mask, std::span<uint8_t> out) {
  const size_t total_bits = out.size() * 8;
  size_t bit = 0;
  uint32_t current = 0;
  ForEachDataModule(version, [&](int x, int y) {
    if (bit >= total_bits) return;
    current = current << 1 | (grid.dark(x, y) != MaskInverts(mask, x, y) ? 1u : 0u);
    if (++bit % 8 == 0) {
      out[bit / 8 - 1] = static_cast<uint8_t>(current);
      current = 0;
    }
  });
}

}  // namespace qr
