// A 24-bit uncompressed Windows bitmap file: the 14-byte file header, the
// 40-byte info header and the pixel rows, bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace save {

using Bytes = std::vector<uint8_t>;

// Bytes in one pixel row: 3 per pixel, padded to a multiple of 4.
size_t BmpRowSize(int32_t width);

// The file around `pixels`: BmpRowSize(width) * height bytes, blue-green-red,
// bottom row first. Empty when a size is not positive or the pixels do not
// fill the picture exactly.
Bytes BmpFile(int32_t width, int32_t height, std::span<const uint8_t> pixels);

}  // namespace save
