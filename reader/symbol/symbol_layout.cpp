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

namespace {

// The data mask patterns, by their reference in the format information.
template <int kMask>
bool Inverts(int x, int y) {
  if constexpr (kMask == 0) return (x + y) % 2 == 0;
  if constexpr (kMask == 1) return y % 2 == 0;
  if constexpr (kMask == 2) return x % 3 == 0;
  if constexpr (kMask == 3) return (x + y) % 3 == 0;
  if constexpr (kMask == 4) return (x / 3 + y / 2) % 2 == 0;
  if constexpr (kMask == 5) return x * y % 2 + x * y % 3 == 0;
  if constexpr (kMask == 6) return (x * y % 2 + x * y % 3) % 2 == 0;
  if constexpr (kMask == 7) return ((x + y) % 2 + x * y % 3) % 2 == 0;
}

template <int kMask>
void ReadMaskedCodewords(const ModuleGrid& grid, int version, std::span<uint8_t> out) {
  const size_t total_bits = out.size() * 8;
  size_t bit = 0;
  uint32_t current = 0;
  ForEachDataModule(version, [&](int x, int y) {
    if (bit >= total_bits) return;
    current = current << 1 | (grid.dark(x, y) != Inverts<kMask>(x, y) ? 1u : 0u);
    if (++bit % 8 == 0) {
      out[bit / 8 - 1] = static_cast<uint8_t>(current);
      current = 0;
    }
  });
}

}  // namespace

FunctionModules::FunctionModules(int version) {
  const int size = SizeOfVersion(version);
  const int far = size - 8;  // first row/column of the far finders' separators
  // Finders with separators and format information (with the dark module).
  Mark(0, 0, 9, 9);
  Mark(far, 0, 8, 9);
  Mark(0, far, 9, 8);
  // Timing patterns.
  Mark(6, 0, 1, size);
  Mark(0, 6, size, 1);
  if (version >= 7) {  // version information, 6 x 3 beside the far finders
    Mark(size - 11, 0, 3, 6);
    Mark(0, size - 11, 6, 3);
  }
  std::array<int, 7> centres;
  const int count = AlignmentPatternCentres(version, centres);
  for (int i = 0; i < count; ++i) {
    for (int j = 0; j < count; ++j) {
      // None where one would overlap a finder.
      const bool on_finder = (i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0);
      if (!on_finder) Mark(centres[i] - 2, centres[j] - 2, 5, 5);
    }
  }
}

void FunctionModules::Mark(int left, int top, int width, int height) {
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) rows_[y][x / 64] |= uint64_t{1} << (x % 64);
}

void ReadCodewords(const ModuleGrid& grid, int version, int mask, std::span<uint8_t> out) {
  switch (mask) {
    case 0: return ReadMaskedCodewords<0>(grid, version, out);
    case 1: return ReadMaskedCodewords<1>(grid, version, out);
    case 2: return ReadMaskedCodewords<2>(grid, version, out);
    case 3: return ReadMaskedCodewords<3>(grid, version, out);
    case 4: return ReadMaskedCodewords<4>(grid, version, out);
    case 5: return ReadMaskedCodewords<5>(grid, version, out);
    case 6: return ReadMaskedCodewords<6>(grid, version, out);
    default: return ReadMaskedCodewords<7>(grid, version, out);
  }
}

}  // namespace qr
