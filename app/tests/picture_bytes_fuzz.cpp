// Arbitrary bytes through everything the picture box reads without the
// platform: the sniffer, the icon directory and the PCX reader.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/picture_box_formats.h"
#include "app/picture_box_pcx.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  app::SniffPictureFormat(bytes);
  if (const auto image = app::LargestIconImage(bytes)) {
    if (image->offset > size || image->size > size - image->offset) std::abort();
  }
  const app::PcxPicture pcx = app::DecodePcx(bytes);
  const size_t pixels = static_cast<size_t>(pcx.pixels.width) * static_cast<size_t>(pcx.pixels.height);
  if (pcx.error == app::PcxError::kNone && (pixels == 0 || pcx.pixels.rgb.size() != pixels)) std::abort();
  return 0;
}
