#include "app/picture_box_formats.h"

#include <algorithm>
#include <array>

namespace app {

namespace {

uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(std::span<const uint8_t> b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }

bool StartsWith(std::span<const uint8_t> bytes, std::initializer_list<uint8_t> prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

constexpr size_t kIconDirectorySize = 6;
constexpr size_t kIconEntrySize = 16;
constexpr size_t kPcxHeaderSize = 128;

// Reserved 0, type 1 (icon) or 2 (cursor), at least one image.
bool IsIconDirectory(std::span<const uint8_t> bytes, uint16_t type) {
  return bytes.size() >= kIconDirectorySize && U16(bytes, 0) == 0 && U16(bytes, 2) == type && U16(bytes, 4) > 0;
}

// ZSoft's maker byte, a known version, no or RLE coding, a known bit depth.
bool IsPcxHeader(std::span<const uint8_t> bytes) {
  constexpr std::array kVersions{0, 2, 3, 4, 5};
  constexpr std::array kBitsPerPlane{1, 2, 4, 8};
  return bytes.size() >= kPcxHeaderSize && bytes[0] == 0x0A &&
         std::find(kVersions.begin(), kVersions.end(), bytes[1]) != kVersions.end() && bytes[2] <= 1 &&
         std::find(kBitsPerPlane.begin(), kBitsPerPlane.end(), bytes[3]) != kBitsPerPlane.end();
}

}  // namespace

PictureFormat SniffPictureFormat(std::span<const uint8_t> bytes) {
  if (StartsWith(bytes, {'B', 'M'})) return PictureFormat::kBmp;
  if (StartsWith(bytes, {0xFF, 0xD8, 0xFF})) return PictureFormat::kJpeg;
  if (StartsWith(bytes, {'G', 'I', 'F', '8', '7', 'a'}) || StartsWith(bytes, {'G', 'I', 'F', '8', '9', 'a'}))
    return PictureFormat::kGif;
  if (IsIconDirectory(bytes, 1)) return PictureFormat::kIcon;
  if (IsIconDirectory(bytes, 2)) return PictureFormat::kCursor;
  if (IsPcxHeader(bytes)) return PictureFormat::kPcx;
  return PictureFormat::kNone;
}

std::optional<IconFileImage> LargestIconImage(std::span<const uint8_t> file) {
  if (file.size() < kIconDirectorySize) return std::nullopt;
  const size_t count = U16(file, 4);
  std::optional<IconFileImage> largest;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kIconDirectorySize + i * kIconEntrySize;
    if (entry + kIconEntrySize > file.size()) break;
    IconFileImage image;
    image.width = file[entry] == 0 ? 256 : file[entry];  // 0 stands for 256
    image.height = file[entry + 1] == 0 ? 256 : file[entry + 1];
    image.hotspot_x = U16(file, entry + 4);  // an icon's planes and bit count sit here
    image.hotspot_y = U16(file, entry + 6);
    image.size = U32(file, entry + 8);
    image.offset = U32(file, entry + 12);
    if (image.size == 0 || image.offset > file.size() || image.size > file.size() - image.offset) continue;
    const auto rank = [](const IconFileImage& e) { return std::pair(e.width * e.height, e.size); };
    if (!largest || rank(image) > rank(*largest)) largest = image;
  }
  return largest;
}

}  // namespace app
