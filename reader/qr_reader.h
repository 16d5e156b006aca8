// Finds and reads every QR symbol (Model 2, versions 1 to 40) in a grey image.
// Portable C++: nothing here knows of any platform.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "reader/symbol_decoder.h"

namespace qr {

// 8-bit grey, row-major, 0 black to 255 white; row i starts at pixels + i * stride.
struct GreyImage {
  int width = 0;
  int height = 0;
  int stride = 0;
  const uint8_t* pixels = nullptr;
};

struct Point {
  double x = 0;
  double y = 0;
};

struct FoundSymbol {
  SymbolContent content;
  // Image coordinates of the symbol's corners as drawn: top-left, top-right,
  // bottom-right, bottom-left.
  std::array<Point, 4> corners;
};

std::vector<FoundSymbol> ReadSymbols(const GreyImage& image);

}  // namespace qr
