#include "reader/detect/finder_outline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qr::detect {

namespace {

constexpr uint8_t kFilled = 2;

// Fills the 8-connected region of `colour` around (x, y), recording its spans,
// and gives up once it exceeds `max_area` pixels. Restores the image either way.
bool FillRegion(BitImage& image, int x, int y, uint8_t colour, double max_area, FillScratch& scratch) {
  scratch.spans.clear();
  scratch.seeds.clear();
  scratch.seeds.push_back({x, y});
  double area = 0;
  bool within = true;
  while (!scratch.seeds.empty() && within) {
    const auto [sx, sy] = scratch.seeds.back();
    scratch.seeds.pop_back();
    if (image.at(sx, sy) != colour) continue;
    int x0 = sx, x1 = sx;
    while (x0 > 0 && image.at(x0 - 1, sy) == colour) --x0;
    while (x1 + 1 < image.width && image.at(x1 + 1, sy) == colour) ++x1;
    for (int i = x0; i <= x1; ++i) image.at(i, sy) = kFilled;
    scratch.spans.push_back({sy, x0, x1});
    area += x1 - x0 + 1;
    if (area > max_area) within = false;
    for (int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= image.height) continue;
      bool in_run = false;
      for (int i = std::max(0, x0 - 1); i <= std::min(image.width - 1, x1 + 1); ++i) {
        const bool match = image.at(i, ny) == colour;
        if (match && !in_run) scratch.seeds.push_back({i, ny});
        in_run = match;
      }
    }
  }
  for (const auto& span : scratch.spans)
    for (int i = span.x0; i <= span.x1; ++i) image.at(i, span.y) = colour;
  return within;
}

}  // namespace

std::optional<std::array<Point, 4>> FinderOutline(BitImage& image, const FinderCandidate& finder, Point u, Point v,
                                                  double module, FillScratch& scratch) {
  const uint8_t dark = finder.inverted ? 0 : 1;
  // Walk from the centre along u: through the stone, the light ring, onto the dark ring.
  Point p = finder.centre;
  int phase = 0;
  const int limit = static_cast<int>(6 * module) + 2;
  int start_x = -1, start_y = -1;
  for (int step = 0; step < limit && start_x < 0; ++step, p = p + u) {
    const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
    if (!image.inside(x, y)) return std::nullopt;
    const bool is_dark = image.at(x, y) == dark;
    if (phase == 0 && !is_dark) phase = 1;
    else if (phase == 1 && is_dark) {
      start_x = x;
      start_y = y;
    }
  }
  if (start_x < 0) return std::nullopt;

  // The ring covers 24 square modules, 33 with the stone should blur join them.
  const double unit_area = module * module;
  if (!FillRegion(image, start_x, start_y, dark, 60 * unit_area + 16, scratch)) return std::nullopt;
  double area = 0;
  for (const auto& span : scratch.spans) area += span.x1 - span.x0 + 1;

  // Each corner is the outline's furthest point along its diagonal.
  const std::array<Point, 4> diagonals{-1.0 * u - v, u - v, u + v, v - u};
  std::array<Point, 4> corners{};
  std::array<double, 4> best;
  best.fill(-std::numeric_limits<double>::infinity());
  for (const auto& span : scratch.spans) {
    const double left = span.x0, right = span.x1 + 1.0, top = span.y, bottom = span.y + 1.0;
    for (const Point q : {Point{left, top}, Point{left, bottom}, Point{right, top}, Point{right, bottom}})
      for (int i = 0; i < 4; ++i) {
        const double reach = Dot(q, diagonals[i]);
        if (reach > best[i]) {
          best[i] = reach;
          corners[i] = q;
        }
      }
  }
  // The outline must look like a square seen in perspective, with the ring
  // (and maybe the stone) covering the right share of it.
  double shortest = std::numeric_limits<double>::infinity(), longest = 0, twice_area = 0;
  for (int i = 0; i < 4; ++i) {
    const Point a = corners[i], b = corners[(i + 1) % 4];
    shortest = std::min(shortest, Distance(a, b));
    longest = std::max(longest, Distance(a, b));
    twice_area += Cross(a, b);
  }
  const double quad_area = std::abs(twice_area) / 2;
  if (longest > 3 * shortest || quad_area < 49 * unit_area / 9) return std::nullopt;
  if (area < 0.3 * quad_area || area > 0.85 * quad_area) return std::nullopt;
  return corners;
}

}  // namespace qr::detect
