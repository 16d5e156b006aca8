// The size a picture file claims in its header, read before any decoder is
// given the file, so that a small file cannot make it allocate a huge frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace psyqrdcd {

struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

// PNG, GIF, BMP, JPEG, TIFF and ICO headers; nothing for other or damaged
// files, which the decoder then judges on its own. For an icon, the largest
// of its images.
std::optional<PictureSize> ClaimedSize(const uint8_t* data, size_t size);

}  // namespace psyqrdcd
