// From grey pixels to dark/light, with a threshold that follows the local
// light level so that shadows and gradients across a symbol do no harm.
#pragma once

#include <cstddef>  // before reader/module_grid.h, which uses size_t
#include <cstdint>
#include <vector>

#include "reader/qr_reader.h"

namespace qr::detect {

// One byte per pixel: 1 dark, 0 light. Other values are scratch marks that
// the flood fill leaves only while it runs.
struct BitImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;

  uint8_t at(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
  uint8_t& at(int x, int y) { return bits[static_cast<size_t>(y) * width + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Grey pixels owned by the reader, for images it had to shrink.
struct OwnedGrey {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;

  GreyImage view() const { return {width, height, width, pixels.data()}; }
};

// Averages factor x factor boxes. The last partial row/column of boxes is
// averaged over the pixels it has.
OwnedGrey Downscale(const GreyImage& image, int factor);

// Each 8x8 block with contrast gets its mean as black point; flat blocks
// borrow from the nearest blocks with contrast. Each pixel is compared with
// the contrast-weighted mean black point of the 5x5 blocks around its own.
BitImage Binarize(const GreyImage& image);

}  // namespace qr::detect
