#include "reader/detect/symbol_layout.h"

#include <bit>
#include <cstdint>

namespace qr::detect {

std::vector<int> AlignmentCentres(int version) {
  if (version < 2) return {};
  // Annex E: evenly spaced from the far side, with an even step; the first
  // is always row/column 6.
  const int count = version / 7 + 2;
  const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
  std::vector<int> centres(count);
  centres[0] = 6;
  for (int i = count - 1, pos = SizeOfVersion(version) - 7; i >= 1; --i, pos -= step) centres[i] = pos;
  return centres;
}

namespace {

// 6.10: the version number followed by its (18, 6) BCH remainder.
uint32_t VersionCode(int version) {
  uint32_t rem = static_cast<uint32_t>(version);
  for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ ((rem >> 11) * 0x1F25u);
  return static_cast<uint32_t>(version) << 12 | rem;
}

int NearestVersion(uint32_t read) {
  int best = 0, best_distance = 4;
  for (int version = 7; version <= 40; ++version) {
    const int distance = std::popcount(read ^ VersionCode(version));
    if (distance < best_distance) {
      best = version;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace

int VersionFromGrid(const ModuleGrid& grid) {
  const int size = grid.size();
  if (size < SizeOfVersion(7)) return 0;
  // Bit i sits at (size - 11 + i % 3, i / 3) near the top-right finder and
  // mirrored about the diagonal near the bottom-left one.
  uint32_t top_right = 0, bottom_left = 0;
  for (int i = 0; i < 18; ++i) {
    const int a = size - 11 + i % 3, b = i / 3;
    if (grid.dark(a, b)) top_right |= 1u << i;
    if (grid.dark(b, a)) bottom_left |= 1u << i;
  }
  const int version = NearestVersion(top_right);
  return version ? version : NearestVersion(bottom_left);
}

}  // namespace qr::detect
