// Arbitrary bytes as a grey image: the first two give the width (little
// endian, 1 to 1024), the rest are the pixels, as many whole rows as there are.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "reader/qr_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int width = 1 + ((data[0] | data[1] << 8) % 1024);
  const size_t rows = (size - 2) / static_cast<size_t>(width);
  if (rows == 0) return 0;
  const int height = static_cast<int>(rows < 1024 ? rows : 1024);
  const qr::GreyImage image{width, height, width, data + 2};
  for (const qr::FoundSymbol& symbol : qr::ReadSymbols(image)) {
    if (symbol.content.version < 1 || symbol.content.version > 40) std::abort();
    for (const qr::Point& corner : symbol.corners)
      if (!std::isfinite(corner.x) || !std::isfinite(corner.y)) std::abort();
  }
  return 0;
}
