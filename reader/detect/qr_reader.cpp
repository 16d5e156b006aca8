#include "reader/qr_reader.h"

#include <cmath>

#include "reader/detect/binarizer.h"
#include "reader/detect/locator.h"

namespace qr {

std::vector<FoundSymbol> ReadSymbols(const GreyImage& image) {
  if (image.width <= 0 || image.height <= 0 || image.stride < image.width || image.pixels == nullptr) return {};
  const detect::Limits limits;
  const long long pixels = static_cast<long long>(image.width) * image.height;
  int factor = 1;
  while (pixels > limits.max_pixels * factor * factor) ++factor;

  detect::OwnedGrey shrunk;
  GreyImage working = image;
  if (factor > 1) {
    shrunk = detect::Downscale(image, factor);
    working = shrunk.view();
  }
  detect::BitImage bits = detect::Binarize(working);
  std::vector<FoundSymbol> found = detect::LocateSymbols(working, bits, DecodeGrid, limits);
  for (FoundSymbol& symbol : found)
    for (Point& corner : symbol.corners) corner = {corner.x * factor, corner.y * factor};
  return found;
}

}  // namespace qr
