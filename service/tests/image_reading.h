// Reading the service's images back, for the tests: PNG and GIF files to RGB
// pixels, and RGB pixels to QR content through ZXing-C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/query.h"

namespace service::testing {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes a pixel, row-major

  Rgb At(int x, int y) const {
    size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return Rgb{rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

std::optional<RgbImage> ReadPng(std::string_view file);
std::optional<RgbImage> ReadGif(std::string_view file);

struct QrReading {
  std::string content;  // the bytes the symbol holds
  std::string level;    // "L", "M", "Q" or "H"
};

// Empty when ZXing finds no QR symbol.
std::optional<QrReading> ReadQr(const RgbImage& image);

}  // namespace service::testing
