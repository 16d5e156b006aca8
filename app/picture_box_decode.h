// Turns image file bytes into frames the picture box draws: GIF, JPEG and BMP
// through the platform imaging library (GDI+), icons and cursors through
// user32, PCX through our own reader.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "app/picture_box_pixels.h"

namespace app {

// The later frames of an animated GIF, rendered one at a time on demand.
class GifFrames {
 public:
  virtual ~GifFrames() = default;
  // Frame `index` as the GIF composes it over the earlier ones, laid on the
  // background; none when the imaging library fails on it.
  virtual std::optional<Pixels> Render(int index) = 0;
};

struct DecodedPicture {
  Pixels first_frame;  // laid on the background
  std::vector<int> delays_ms;  // one per frame; a still picture has one frame
  std::optional<uint32_t> loop_count;  // none: the GIF carries none
  std::unique_ptr<GifFrames> frames;  // only for more than one frame
};

// Transparent parts of the picture take `background` (0x00RRGGBB). None when
// the bytes are not a picture the box reads.
std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> bytes, uint32_t background);

}  // namespace app
