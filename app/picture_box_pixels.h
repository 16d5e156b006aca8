// One decoded picture frame, the form every reader of the picture box hands
// over and the box draws from.
#pragma once

#include <cstdint>
#include <vector>

namespace app {

// Pictures with more pixels are refused: 4096 x 4096 is far beyond any
// picture the box shows, and little enough for a 32-bit process to hold.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 24;

// Rows top-down, each pixel 0x00RRGGBB: in memory the blue, green, red,
// unused order of a 32-bit device-independent bitmap, so it draws as it is.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
};

// A pixel with straight (not premultiplied) alpha, 0xAARRGGBB, laid over an
// opaque background 0x00RRGGBB.
constexpr uint32_t BlendOver(uint32_t argb, uint32_t background) {
  const uint32_t alpha = argb >> 24;
  uint32_t blended = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t front = (argb >> shift) & 0xFF, back = (background >> shift) & 0xFF;
    blended |= ((front * alpha + back * (255 - alpha) + 127) / 255) << shift;
  }
  return blended;
}

}  // namespace app
