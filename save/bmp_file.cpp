#include "save/bmp_file.h"

#include <limits>

namespace save {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void PutLittleEndian(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

size_t BmpRowSize(int32_t width) { return (3 * static_cast<size_t>(width) + 3) / 4 * 4; }

Bytes BmpFile(int32_t width, int32_t height, std::span<const uint8_t> pixels) {
  if (width <= 0 || height <= 0) return {};
  const uint64_t image_size = uint64_t{BmpRowSize(width)} * static_cast<uint64_t>(height);
  const uint64_t file_size = kFileHeaderSize + kInfoHeaderSize + image_size;
  if (pixels.size() != image_size || file_size > std::numeric_limits<uint32_t>::max()) return {};

  Bytes file;
  file.reserve(static_cast<size_t>(file_size));
  file.push_back('B');
  file.push_back('M');
  PutLittleEndian(file, static_cast<uint32_t>(file_size), 4);
  PutLittleEndian(file, 0, 2);  // reserved
  PutLittleEndian(file, 0, 2);  // reserved
  PutLittleEndian(file, kFileHeaderSize + kInfoHeaderSize, 4);

  PutLittleEndian(file, kInfoHeaderSize, 4);
  PutLittleEndian(file, static_cast<uint32_t>(width), 4);
  PutLittleEndian(file, static_cast<uint32_t>(height), 4);  // positive: bottom row first
  PutLittleEndian(file, 1, 2);                              // planes
  PutLittleEndian(file, 24, 2);                             // bits per pixel
  PutLittleEndian(file, 0, 4);                              // BI_RGB
  PutLittleEndian(file, static_cast<uint32_t>(image_size), 4);
  PutLittleEndian(file, 0, 4);  // horizontal resolution
  PutLittleEndian(file, 0, 4);  // vertical resolution
  PutLittleEndian(file, 0, 4);  // colours used: no colour table
  PutLittleEndian(file, 0, 4);  // important colours

  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

}  // namespace save
