// Draws a QR symbol as a palette image: dark modules in the foreground colour
// blending diagonally into the gradient colour, the three finder patterns in
// their own ring and dot colours, the rest in the background colour.
#pragma once

#include <cstdint>
#include <vector>

#include "service/query.h"
#include "service/symbol.h"

namespace service {

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;     // 1 to 256 distinct colours; entry 0 is the background
  std::vector<uint8_t> pixels;  // width * height palette indices, row-major

  Rgb At(int x, int y) const { return palette[pixels[static_cast<size_t>(y) * width + x]]; }
};

// Whole pixels per module, as many as `width` allows with `margin` modules of
// quiet zone on each side; what is left over widens the quiet zone, so the
// image is exactly `width` square. A width too small for one pixel per module
// gives the smallest image that still holds the symbol.
IndexedImage RenderSymbol(const QrSymbol& symbol, const Colours& colours, int width, int margin);

}  // namespace service
