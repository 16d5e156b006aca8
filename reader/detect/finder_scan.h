// Finder patterns: the three 7x7 squares (dark ring, light ring, dark 3x3
// stone) at a symbol's corners, found by their 1:1:3:1:1 runs.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "reader/detect/binarizer.h"
#include "reader/detect/geometry.h"

namespace qr::detect {

struct FinderCandidate {
  Point centre;         // in the binarised image, pixel (i, j) covering [i, i+1) x [j, j+1)
  double module = 0;    // module size from the horizontal and vertical runs
  int rows = 0;         // scan rows that crossed it: a measure of confidence
  bool inverted = false;  // light-on-dark: its "dark" modules are light pixels
};

// The five runs through a finder along one line, and where the middle of the
// centre run lies.
struct FinderRuns {
  std::array<double, 5> runs{};
  Point centre;
  // Whether light follows the ring on both sides, as the separator and the
  // quiet zone make it do around a real finder.
  bool separated = false;
  double total() const { return runs[0] + runs[1] + runs[2] + runs[3] + runs[4]; }
};

// Whether five consecutive runs have the ratios 1:1:3:1:1 within tolerance.
bool HasFinderRatios(const std::array<double, 5>& runs);

// Walks from `start` both ways in steps of `step`, through a centre run of
// the colour `dark`, then a run of the other colour, then one of `dark`
// again; runs count steps. Each run may be at most `max_run` steps long. The
// outer runs may end at the image border. Whole-pixel steps (rows, columns,
// diagonals) are the fast case.
std::optional<FinderRuns> RunsThrough(const BitImage& image, Point start, Point step, uint8_t dark,
                                      double max_run);

// Scans every row (every second one in larger images) for both polarities,
// confirms each hit across and diagonally, and merges hits on the same
// finder. Keeps at most `max_candidates` per polarity, the most often seen.
std::vector<FinderCandidate> FindFinderCandidates(const BitImage& image, int max_candidates);

}  // namespace qr::detect
