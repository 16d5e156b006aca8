// Which picture a byte sequence holds, told by its leading bytes, and the
// directory of icon and cursor files. Plain C++, so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace app {

// The formats the picture box reads. PNG is deliberately not among them:
// callers convert PNG answers first and rely on PNG bytes showing nothing.
enum class PictureFormat { kNone, kBmp, kJpeg, kGif, kIcon, kCursor, kPcx };

PictureFormat SniffPictureFormat(std::span<const uint8_t> bytes);

// One image stored in an icon or cursor file.
struct IconFileImage {
  size_t offset = 0;  // of its bytes in the file
  size_t size = 0;
  int width = 0;
  int height = 0;
  uint16_t hotspot_x = 0;  // cursors only
  uint16_t hotspot_y = 0;
};

// The largest image of an icon or cursor file (by area, then by size in bytes,
// which follows the colour depth); none when no entry lies within the file.
std::optional<IconFileImage> LargestIconImage(std::span<const uint8_t> file);

}  // namespace app
