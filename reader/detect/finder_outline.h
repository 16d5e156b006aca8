// The outline of a finder pattern: its four outer corners, which carry the
// perspective of the symbol around it.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "reader/detect/binarizer.h"
#include "reader/detect/finder_scan.h"

namespace qr::detect {

// Scratch space for flood fills, kept across calls to spare allocations.
struct FillScratch {
  struct Span {
    int y, x0, x1;  // inclusive
  };
  std::vector<Span> spans;
  std::vector<std::array<int, 2>> seeds;
};

// The outer corners of the finder's dark ring, in the order top-left,
// top-right, bottom-right, bottom-left of the axes `u` (towards the symbol's
// right) and `v` (towards its bottom). Empty when the ring cannot be told
// apart from what surrounds it, e.g. when blur joins it to the data.
// `module` is the finder's module size along the axes. The image is
// restored before returning.
std::optional<std::array<Point, 4>> FinderOutline(BitImage& image, const FinderCandidate& finder, Point u, Point v,
                                                  double module, FillScratch& scratch);

}  // namespace qr::detect
