// A picture's pixels as indices into a palette of its own colours, for
// encoders that only take 8-bit indexed pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace web {

struct IndexedPixels {
  std::vector<uint32_t> palette;  // colours in order of first appearance
  std::vector<uint8_t> indices;   // one per pixel
};

// Nothing when the pixels hold more than 256 colours.
std::optional<IndexedPixels> IndexPixels(std::span<const uint32_t> pixels);

}  // namespace web
