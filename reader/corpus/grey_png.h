// PNG files as 8-bit grey pixels, for the native tests and the benchmark.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/qr_reader.h"

namespace corpus {

struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // row-major, no padding

  qr::GreyImage View() const { return {width, height, width, pixels.data()}; }
};

struct PngLoad {
  GreyPicture picture;
  std::string error;  // empty on success
};

PngLoad LoadGreyPng(const std::string& path);

}  // namespace corpus
