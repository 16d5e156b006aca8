#include "reader/detect/finder_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cmath>

namespace qr::detect {

namespace {

// Candidates gathered before ranking; beyond this a noisy image gains nothing.
constexpr size_t kMaxGathered = 1000;

// Counts how many steps from `from` (exclusive) stay on `colour`, at most
// `limit` + 1. Steps along rows, columns and diagonals stay on whole pixels.
int RunLength(const BitImage& image, Point from, Point step, uint8_t colour, int limit, bool* hit_border) {
  const int dx = static_cast<int>(step.x), dy = static_cast<int>(step.y);
  if (dx == step.x && dy == step.y) {
    int x = static_cast<int>(std::floor(from.x)), y = static_cast<int>(std::floor(from.y));
    for (int n = 0; n <= limit; ++n) {
      x += dx;
      y += dy;
      if (!image.inside(x, y)) {
        *hit_border = true;
        return n;
      }
      if (image.at(x, y) != colour) return n;
    }
    return limit + 1;
  }
  Point p = from;
  for (int n = 0; n <= limit; ++n) {
    p = p + step;
    const int x = static_cast<int>(std::floor(p.x)), y = static_cast<int>(std::floor(p.y));
    if (!image.inside(x, y)) {
      *hit_border = true;
      return n;
    }
    if (image.at(x, y) != colour) return n;
  }
  return limit + 1;
}

// RunsThrough in steps of `step`, with light beyond the ring, through
// `start` or, failing that, through points up to `reach` pixels to either side: a speck of noise or a light ring
// that blur narrows to nothing on one line rarely spoils its neighbours.
std::optional<FinderRuns> RunsNear(const BitImage& image, Point start, Point step, uint8_t dark,
                                   double max_run, int reach) {
  const Point across{-step.y, step.x};
  for (int offset = 0; offset <= reach; ++offset)
    for (const int side : {1, -1}) {
      if (offset == 0 && side < 0) continue;
      auto runs = RunsThrough(image, start + static_cast<double>(side * offset) * across, step, dark, max_run);
      if (runs && runs->separated) return runs;
    }
  return std::nullopt;
}

// Confirms a hit found in a row: a vertical pass finds the middle of the
// centre stone, a horizontal pass through that middle re-centres it, and a
// diagonal pass rejects the stripes and checkerboards that fool the first two.
std::optional<FinderCandidate> Confirm(const BitImage& image, Point hit, double row_total, uint8_t dark) {
  const double max_run = row_total;
  const auto vertical = RunsNear(image, hit, {0, 1}, dark, max_run, 1);
  if (!vertical) return std::nullopt;
  const double v_total = vertical->total();
  if (v_total < 0.5 * row_total || v_total > 2.0 * row_total) return std::nullopt;
  const auto horizontal = RunsNear(image, {hit.x, vertical->centre.y}, {1, 0}, dark, max_run, 1);
  if (!horizontal) return std::nullopt;
  const double h_total = horizontal->total();
  if (h_total < 0.5 * v_total || h_total > 2.0 * v_total) return std::nullopt;
  const Point centre{horizontal->centre.x, vertical->centre.y};
  if (!RunsNear(image, centre, {1, 1}, dark, max_run, 2) && !RunsNear(image, centre, {1, -1}, dark, max_run, 2))
    return std::nullopt;
  FinderCandidate c;
  c.centre = centre;
  c.module = (h_total + v_total) / 14;
  c.rows = 1;
  c.inverted = dark == 0;
  return c;
}

// Candidates as the scan confirms them, in the order of the rows that found
// them, so that only the few whose stone can still reach the current row are
// searched.
class Gathered {
 public:
  // The candidate a hit at (x, y) belongs to, if any: a finder already
  // confirmed, which saves confirming it again for every row across its stone.
  FinderCandidate* Near(double x, double y, double module, bool inverted) {
    const double reach = 1.5 * std::max(max_module_, module);
    for (size_t i = found_.size(); i-- > 0;) {
      if (first_rows_[i] + 2 * reach + 2 < y) break;
      FinderCandidate& c = found_[i];
      if (c.inverted != inverted) continue;
      const double own_reach = 1.5 * std::max(c.module, module);
      if (std::abs(c.centre.x - x) <= own_reach && std::abs(c.centre.y - y) <= own_reach &&
          module < 2 * c.module && c.module < 2 * module)
        return &c;
    }
    return nullptr;
  }

  void Add(const FinderCandidate& c, int row) {
    // Two confirmations of one finder land within a module of each other.
    if (FinderCandidate* same = Near(c.centre.x, c.centre.y, c.module, c.inverted)) {
      same->rows += 1;
      return;
    }
    if (found_.size() >= kMaxGathered && row != compacted_row_) {
      DropPassedSingles(row);
      compacted_row_ = row;
    }
    if (found_.size() >= kMaxGathered) return;
    found_.push_back(c);
    first_rows_.push_back(row);
    max_module_ = std::max(max_module_, c.module);
  }

  std::vector<FinderCandidate> Take() { return std::move(found_); }

 private:
  // Makes room in noisy images: candidates seen on one row only, whose stone
  // the scan has left behind, are the least likely finders.
  void DropPassedSingles(int row) {
    const double passed = row - 3 * max_module_ - 2;
    size_t kept = 0;
    for (size_t i = 0; i < found_.size(); ++i) {
      if (found_[i].rows == 1 && first_rows_[i] < passed) continue;
      found_[kept] = found_[i];
      first_rows_[kept] = first_rows_[i];
      ++kept;
    }
    found_.resize(kept);
    first_rows_.resize(kept);
  }

  std::vector<FinderCandidate> found_;
  std::vector<int> first_rows_;
  double max_module_ = 0;
  int compacted_row_ = -1;
};

// The first index from `x` on where the row stops being `colour`, a word of
// eight pixels at a time across long runs.
int RunEnd(const uint8_t* row, int x, int width, uint8_t colour) {
  const uint64_t same = colour * 0x0101010101010101ull;
  while (x + 8 <= width) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    const uint64_t differ = word ^ same;
    if (differ) {
      if constexpr (std::endian::native == std::endian::little) return x + std::countr_zero(differ) / 8;
      return x + std::countl_zero(differ) / 8;
    }
    x += 8;
  }
  while (x < width && row[x] == colour) ++x;
  return x;
}

// HasFinderRatios in whole numbers, for the row scan's every run.
bool HasFinderRatios(const std::array<int, 5>& r) {
  const int total = r[0] + r[1] + r[2] + r[3] + r[4];
  if (total < 7) return false;
  // |7 run - total| < 0.6 total for the 1s, |7 run - 3 total| < 1.5 total for the 3.
  const auto one = [total](int run) { return std::abs(70 * run - 10 * total) < 6 * total; };
  return std::abs(14 * r[2] - 6 * total) < 3 * total && one(r[0]) && one(r[1]) && one(r[3]) && one(r[4]);
}

void ScanRow(const BitImage& image, int y, Gathered& found) {
  const uint8_t* row = &image.bits[static_cast<size_t>(y) * image.width];
  std::array<int, 5> runs{};
  int complete = 0;
  for (int start = 0; start < image.width;) {
    const uint8_t colour = row[start];
    const int end = RunEnd(row, start + 1, image.width, colour);
    runs = {runs[1], runs[2], runs[3], runs[4], end - start};
    ++complete;
    // The run just closed has the colour of the centre stone.
    if (complete >= 5 && HasFinderRatios(runs)) {
      const double total = runs[0] + runs[1] + runs[2] + runs[3] + runs[4];
      const double centre_x = end - runs[4] - runs[3] - runs[2] / 2.0;
      const double centre_y = y + 0.5;
      if (FinderCandidate* known = found.Near(centre_x, centre_y, total / 7, colour == 0)) {
        known->rows += 1;
      } else if (auto c = Confirm(image, {centre_x, centre_y}, total, colour)) {
        found.Add(*c, y);
      }
    }
    start = end;
  }
}

}  // namespace

bool HasFinderRatios(const std::array<double, 5>& runs) {
  const double total = runs[0] + runs[1] + runs[2] + runs[3] + runs[4];
  if (total < 7) return false;
  const double module = total / 7;
  const double slack = module * 0.6;
  return std::abs(runs[0] - module) < slack && std::abs(runs[1] - module) < slack &&
         std::abs(runs[2] - 3 * module) < 2.5 * slack && std::abs(runs[3] - module) < slack &&
         std::abs(runs[4] - module) < slack;
}

std::optional<FinderRuns> RunsThrough(const BitImage& image, Point start, Point step, uint8_t dark,
                                      double max_run) {
  const int sx = static_cast<int>(std::floor(start.x)), sy = static_cast<int>(std::floor(start.y));
  if (!image.inside(sx, sy) || image.at(sx, sy) != dark) return std::nullopt;
  const uint8_t light = dark ? 0 : 1;
  const int limit = static_cast<int>(std::ceil(max_run));
  const Point origin{sx + 0.5, sy + 0.5};
  const Point back = -1.0 * step;
  bool border = false;

  FinderRuns r;
  const int centre_back = RunLength(image, origin, back, dark, limit, &border);
  if (border || centre_back >= limit) return std::nullopt;
  const int centre_fwd = RunLength(image, origin, step, dark, limit, &border);
  if (border || centre_back + centre_fwd + 1 > limit) return std::nullopt;
  // The other runs are a third of the centre run: no need to walk further.
  const int centre = centre_back + centre_fwd + 1;
  const int other_limit = std::min(limit, centre + 2);
  const Point back_edge = origin + static_cast<double>(centre_back) * back;
  const Point fwd_edge = origin + static_cast<double>(centre_fwd) * step;
  const int light_back = RunLength(image, back_edge, back, light, other_limit, &border);
  if (border || light_back == 0 || light_back > other_limit) return std::nullopt;
  const int light_fwd = RunLength(image, fwd_edge, step, light, other_limit, &border);
  if (border || light_fwd == 0 || light_fwd > other_limit) return std::nullopt;
  bool outer_border = false;
  const int ring_back = RunLength(image, back_edge + static_cast<double>(light_back) * back, back, dark,
                                  other_limit, &outer_border);
  if (ring_back == 0 || ring_back > other_limit) return std::nullopt;
  const int ring_fwd = RunLength(image, fwd_edge + static_cast<double>(light_fwd) * step, step, dark,
                                 other_limit, &outer_border);
  if (ring_fwd == 0 || ring_fwd > other_limit) return std::nullopt;
  // Beyond the ring: the separator or the quiet zone, light for at least a
  // module, unless the image ends first.
  const int module = std::max(1, (centre + 1) / 3);
  bool border_back = false, border_fwd = false;
  const int quiet_back = RunLength(image, back_edge + static_cast<double>(light_back + ring_back) * back, back,
                                   light, module, &border_back);
  const int quiet_fwd = RunLength(image, fwd_edge + static_cast<double>(light_fwd + ring_fwd) * step, step, light,
                                  module, &border_fwd);
  r.separated = (border_back || 2 * quiet_back >= module) && (border_fwd || 2 * quiet_fwd >= module);

  r.runs = {static_cast<double>(ring_back), static_cast<double>(light_back), static_cast<double>(centre),
            static_cast<double>(light_fwd),
            static_cast<double>(ring_fwd)};
  if (!HasFinderRatios(r.runs)) return std::nullopt;
  r.centre = origin + ((centre_fwd - centre_back) / 2.0) * step;
  return r;
}

std::vector<FinderCandidate> FindFinderCandidates(const BitImage& image, int max_candidates) {
  Gathered gathered;
  // Every second row still crosses each stone (three modules tall) at least
  // once; small images get every row, for their small modules.
  const int row_step = image.height >= 120 ? 2 : 1;
  for (int y = 0; y < image.height; y += row_step) ScanRow(image, y, gathered);
  std::vector<FinderCandidate> found = gathered.Take();

  std::stable_sort(found.begin(), found.end(),
                   [](const FinderCandidate& a, const FinderCandidate& b) { return a.rows > b.rows; });
  std::vector<FinderCandidate> kept;
  int normal = 0, inverted = 0;
  for (const auto& c : found) {
    int& count = c.inverted ? inverted : normal;
    if (count >= max_candidates) continue;
    ++count;
    kept.push_back(c);
  }
  return kept;
}

}  // namespace qr::detect
