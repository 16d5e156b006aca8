#include "web/indexed_pixels.h"

#include <unordered_map>

namespace web {

std::optional<IndexedPixels> IndexPixels(std::span<const uint32_t> pixels) {
  IndexedPixels indexed;
  indexed.indices.reserve(pixels.size());
  std::unordered_map<uint32_t, uint8_t> index_of;
  for (const uint32_t colour : pixels) {
    auto found = index_of.find(colour);
    if (found == index_of.end()) {
      if (indexed.palette.size() == 256) return std::nullopt;
      found = index_of.emplace(colour, static_cast<uint8_t>(indexed.palette.size())).first;
      indexed.palette.push_back(colour);
    }
    indexed.indices.push_back(found->second);
  }
  return indexed;
}

}  // namespace web
