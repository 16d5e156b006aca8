#include "psyqrdcd/grey_shrinker.h"

#include <algorithm>

namespace psyqrdcd {
namespace {

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

// Luma (ITU-R BT.601 weights) of the pixel laid over white.
uint32_t Grey(const uint8_t* bgra) {
  uint32_t luma = (114u * bgra[0] + 587u * bgra[1] + 299u * bgra[2] + 500u) / 1000u;
  uint32_t alpha = bgra[3];
  return (luma * alpha + 255u * (255u - alpha) + 127u) / 255u;
}

}  // namespace

int ShrinkFactor(int width, int height, int64_t max_pixels) {
  int factor = 1;
  while (static_cast<int64_t>(CeilDiv(width, factor)) * CeilDiv(height, factor) > max_pixels) ++factor;
  return factor;
}

GreyShrinker::GreyShrinker(int width, int height, int factor)
    : source_width_(width),
      source_height_(height),
      factor_(factor),
      width_(CeilDiv(width, factor)),
      height_(CeilDiv(height, factor)),
      sums_(static_cast<size_t>(width_), 0),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 255) {}

void GreyShrinker::AddRow(const uint8_t* bgra) {
  if (next_row_ >= source_height_) return;
  for (int x = 0; x < source_width_; ++x) sums_[static_cast<size_t>(x / factor_)] += Grey(bgra + 4 * x);
  ++next_row_;
  if (next_row_ % factor_ == 0 || next_row_ == source_height_) FinishBlockRow();
}

void GreyShrinker::FinishBlockRow() {
  int block_row = (next_row_ - 1) / factor_;
  int rows = next_row_ - block_row * factor_;
  uint8_t* out = pixels_.data() + static_cast<size_t>(block_row) * static_cast<size_t>(width_);
  for (int bx = 0; bx < width_; ++bx) {
    // Blocks at the right and bottom edges may be narrower.
    int columns = std::min(factor_, source_width_ - bx * factor_);
    uint32_t count = static_cast<uint32_t>(columns * rows);
    out[bx] = static_cast<uint8_t>((sums_[static_cast<size_t>(bx)] + count / 2) / count);
  }
  std::fill(sums_.begin(), sums_.end(), 0u);
}

}  // namespace psyqrdcd
