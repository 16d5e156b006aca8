#include "psyqrdcd/picture_size.h"

#include <algorithm>
#include <cstring>

namespace psyqrdcd {
namespace {

// Bounds-checked reads of the untrusted bytes.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
  bool StartsWith(const char* magic, size_t count, size_t offset = 0) const {
    return Has(offset, count) && std::memcmp(data_ + offset, magic, count) == 0;
  }
  uint32_t At(size_t offset) const { return data_[offset]; }
  uint32_t Le16(size_t o) const { return At(o) | At(o + 1) << 8; }
  uint32_t Be16(size_t o) const { return At(o) << 8 | At(o + 1); }
  uint32_t Le32(size_t o) const { return Le16(o) | Le16(o + 2) << 16; }
  uint32_t Be32(size_t o) const { return Be16(o) << 16 | Be16(o + 2); }
  Bytes From(size_t offset, size_t count) const { return {data_ + offset, count}; }

 private:
  const uint8_t* data_;
  size_t size_;
};

std::optional<PictureSize> Png(const Bytes& b) {
  if (!b.StartsWith("\x89PNG\r\n\x1a\n", 8) || !b.StartsWith("IHDR", 4, 12) || !b.Has(16, 8)) return std::nullopt;
  return PictureSize{b.Be32(16), b.Be32(20)};
}

std::optional<PictureSize> Gif(const Bytes& b) {
  if (!(b.StartsWith("GIF87a", 6) || b.StartsWith("GIF89a", 6)) || !b.Has(6, 4)) return std::nullopt;
  return PictureSize{b.Le16(6), b.Le16(8)};
}

std::optional<PictureSize> Bmp(const Bytes& b) {
  if (!b.StartsWith("BM", 2) || !b.Has(14, 4)) return std::nullopt;
  if (b.Le32(14) == 12 && b.Has(18, 4)) return PictureSize{b.Le16(18), b.Le16(20)};
  if (!b.Has(18, 8)) return std::nullopt;
  // A negative height marks rows stored top-down.
  auto magnitude = [](uint32_t v) { return v & 0x80000000u ? 0u - v : v; };
  return PictureSize{magnitude(b.Le32(18)), magnitude(b.Le32(22))};
}

std::optional<PictureSize> Jpeg(const Bytes& b) {
  if (!b.StartsWith("\xff\xd8", 2)) return std::nullopt;
  size_t pos = 2;
  while (b.Has(pos, 4)) {
    if (b.At(pos) != 0xFF) return std::nullopt;
    uint32_t marker = b.At(pos + 1);
    if (marker == 0xFF) {  // fill byte
      ++pos;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length follows
      pos += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // image data before any frame header
    uint32_t length = b.Be16(pos + 2);
    bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (!b.Has(pos + 5, 4)) return std::nullopt;
      return PictureSize{b.Be16(pos + 7), b.Be16(pos + 5)};
    }
    if (length < 2) return std::nullopt;
    pos += 2 + length;
  }
  return std::nullopt;
}

std::optional<PictureSize> Tiff(const Bytes& b) {
  bool little = b.StartsWith("II*\0", 4);
  if (!little && !b.StartsWith("MM\0*", 4)) return std::nullopt;
  auto u16 = [&](size_t o) { return little ? b.Le16(o) : b.Be16(o); };
  auto u32 = [&](size_t o) { return little ? b.Le32(o) : b.Be32(o); };
  if (!b.Has(4, 4)) return std::nullopt;
  size_t ifd = u32(4);
  if (!b.Has(ifd, 2)) return std::nullopt;
  uint32_t entries = u16(ifd);
  PictureSize size;
  for (uint32_t i = 0; i < entries; ++i) {
    size_t entry = ifd + 2 + 12 * static_cast<size_t>(i);
    if (!b.Has(entry, 12)) return std::nullopt;
    uint32_t tag = u16(entry);
    uint32_t type = u16(entry + 2);
    // Short values sit in the first two bytes of the value field.
    uint32_t value = type == 3 ? u16(entry + 8) : type == 4 ? u32(entry + 8) : 0;
    if (tag == 256) size.width = value;
    if (tag == 257) size.height = value;
  }
  if (size.width == 0 || size.height == 0) return std::nullopt;
  return size;
}

std::optional<PictureSize> Icon(const Bytes& b) {
  if (!b.StartsWith("\0\0\1\0", 4) || !b.Has(4, 2)) return std::nullopt;
  uint32_t count = b.Le16(4);
  std::optional<PictureSize> largest;
  for (uint32_t i = 0; i < count; ++i) {
    size_t entry = 6 + 16 * static_cast<size_t>(i);
    if (!b.Has(entry, 16)) return std::nullopt;
    // A stored 0 means 256; an image inside may be a whole PNG file, which says more.
    PictureSize size{b.At(entry) ? b.At(entry) : 256, b.At(entry + 1) ? b.At(entry + 1) : 256};
    uint32_t length = b.Le32(entry + 8);
    uint32_t offset = b.Le32(entry + 12);
    if (b.Has(offset, length)) {
      if (auto png = Png(b.From(offset, length))) size = *png;
    }
    if (!largest || uint64_t(size.width) * size.height > uint64_t(largest->width) * largest->height) largest = size;
  }
  return largest;
}

}  // namespace

std::optional<PictureSize> ClaimedSize(const uint8_t* data, size_t size) {
  Bytes b(data, size);
  for (auto sniff : {Png, Gif, Bmp, Jpeg, Tiff, Icon}) {
    if (auto found = sniff(b)) return found;
  }
  return std::nullopt;
}

}  // namespace psyqrdcd
