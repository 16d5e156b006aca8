// From a binarised image to decoded symbols: finder triples, orientation,
// size, a sampling grid that follows perspective, and the decode attempts.
#pragma once

#include <cstddef>  // before reader/module_grid.h, which uses size_t
#include <functional>
#include <vector>

#include "reader/detect/binarizer.h"
#include "reader/qr_reader.h"

namespace qr::detect {

// Caps on the work one image can cause, whatever its content.
struct Limits {
  // Larger images are shrunk by a whole factor until they fit.
  long long max_pixels = 4'000'000;
  // Finder candidates kept per polarity, the most often seen first.
  int max_finders = 256;
  // Finder triples ranked by geometry and kept for decoding, per stage.
  int max_triples = 400;
  // Triples that may be sampled and decoded per image.
  int max_attempts = 300;
};

// Reads a grid in the symbol's own orientation; ReadSymbols passes
// DecodeGrid, tests pass stand-ins.
using GridDecoder = std::function<DecodeOutcome(const ModuleGrid&)>;

// Symbols with corners in the image's coordinates. `bits` is `grey`
// binarised; the grey levels serve symbols too blurred for the bits alone.
std::vector<FoundSymbol> LocateSymbols(const GreyImage& grey, BitImage& bits, const GridDecoder& decode,
                                       const Limits& limits);

}  // namespace qr::detect
