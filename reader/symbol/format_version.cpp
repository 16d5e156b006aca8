#include "reader/symbol/format_version.h"

#include <bit>

namespace qr {
namespace {

constexpr uint32_t kFormatMask = 0b101010000010010;

// BCH(15,5) with generator x^10 + x^8 + x^5 + x^4 + x^2 + x + 1.
constexpr uint32_t FormatCodeword(uint32_t data) {
  uint32_t remainder = data;
  for (int i = 0; i < 10; ++i) remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537);
  return (data << 10 | (remainder & 0x3FF)) ^ kFormatMask;
}

// BCH(18,6) with generator x^12 + x^11 + x^10 + x^9 + x^8 + x^5 + x^2 + 1.
constexpr uint32_t VersionCodeword(uint32_t version) {
  uint32_t remainder = version;
  for (int i = 0; i < 12; ++i) remainder = (remainder << 1) ^ ((remainder >> 11) * 0x1F25);
  return version << 12 | (remainder & 0xFFF);
}

// The level field of the format information: 01 L, 00 M, 11 Q, 10 H.
Level LevelOfFormatBits(uint32_t bits) {
  static constexpr Level kLevels[] = {Level::kM, Level::kL, Level::kH, Level::kQ};
  return kLevels[bits & 3];
}

// Collects bits most significant first.
class BitCollector {
 public:
  explicit BitCollector(const ModuleGrid& grid) : grid_(grid) {}
  void Add(int x, int y) { bits_ = bits_ << 1 | (grid_.dark(x, y) ? 1u : 0u); }
  uint32_t bits() const { return bits_; }

 private:
  const ModuleGrid& grid_;
  uint32_t bits_ = 0;
};

}  // namespace

std::optional<FormatInfo> DecodeFormatBits(uint32_t bits) {
  std::optional<FormatInfo> best;
  for (uint32_t data = 0; data < 32; ++data) {
    const int distance = std::popcount((bits & 0x7FFF) ^ FormatCodeword(data));
    if (distance <= kMaxInfoBitErrors && (!best || distance < best->distance))
      best = FormatInfo{LevelOfFormatBits(data >> 3), static_cast<int>(data & 7), distance};
  }
  return best;
}

std::optional<VersionInfo> DecodeVersionBits(uint32_t bits) {
  std::optional<VersionInfo> best;
  for (int version = 7; version <= 40; ++version) {
    const int distance = std::popcount((bits & 0x3FFFF) ^ VersionCodeword(static_cast<uint32_t>(version)));
    if (distance <= kMaxInfoBitErrors && (!best || distance < best->distance)) best = VersionInfo{version, distance};
  }
  return best;
}

uint32_t ReadFormatBitsNearTopLeft(const ModuleGrid& grid) {
  // Bits 14..9 along row 8 (skipping the timing column), bits 8..0 up column 8.
  BitCollector c(grid);
  for (int x = 0; x <= 5; ++x) c.Add(x, 8);
  c.Add(7, 8);
  c.Add(8, 8);
  c.Add(8, 7);
  for (int y = 5; y >= 0; --y) c.Add(8, y);
  return c.bits();
}

uint32_t ReadFormatBitsSplit(const ModuleGrid& grid) {
  // Bits 14..8 down column 8 by the bottom-left finder, bits 7..0 along row 8
  // by the top-right finder.
  const int size = grid.size();
  BitCollector c(grid);
  for (int y = size - 1; y >= size - 7; --y) c.Add(8, y);
  for (int x = size - 8; x <= size - 1; ++x) c.Add(x, 8);
  return c.bits();
}

uint32_t ReadVersionBitsTopRight(const ModuleGrid& grid) {
  // Bit i sits at column size - 11 + i % 3, row i / 3.
  BitCollector c(grid);
  for (int i = 17; i >= 0; --i) c.Add(grid.size() - 11 + i % 3, i / 3);
  return c.bits();
}

uint32_t ReadVersionBitsBottomLeft(const ModuleGrid& grid) {
  BitCollector c(grid);
  for (int i = 17; i >= 0; --i) c.Add(i / 3, grid.size() - 11 + i % 3);
  return c.bits();
}

}  // namespace qr
