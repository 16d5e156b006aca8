#include "reader/detect/locator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "reader/detect/finder_outline.h"
#include "reader/detect/finder_scan.h"
#include "reader/detect/geometry.h"
#include "reader/symbol/format_version.h"
#include "reader/symbol/symbol_layout.h"

namespace qr::detect {

namespace {

// The image seen in one polarity, binarised (Dark) and grey (Level): dark is
// the symbol's dark, which is light pixels for a light-on-dark symbol.
class Sampler {
 public:
  Sampler(const GreyImage& grey, const BitImage& image, bool inverted)
      : grey_(grey), image_(image), dark_(inverted ? 0 : 1) {}

  const BitImage& image() const { return image_; }
  uint8_t dark_value() const { return dark_; }

  // Outside the image counts as light (the quiet zone).
  bool Dark(Point p) const {
    if (!(p.x >= 0 && p.y >= 0 && p.x < image_.width && p.y < image_.height)) return false;
    return image_.at(static_cast<int>(p.x), static_cast<int>(p.y)) == dark_;
  }

  // The grey level at p, interpolated between pixel centres, turned over for
  // light-on-dark symbols so that low is always the symbol's dark; outside
  // the image, light.
  double Level(Point p) const {
    const double x = p.x - 0.5, y = p.y - 0.5;
    if (!(x >= -0.5 && y >= -0.5 && x < grey_.width - 0.5 && y < grey_.height - 0.5)) return 255;
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, grey_.width - 1);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, grey_.height - 1);
    const int x1 = std::min(x0 + 1, grey_.width - 1), y1 = std::min(y0 + 1, grey_.height - 1);
    const double fx = std::clamp(x - x0, 0.0, 1.0), fy = std::clamp(y - y0, 0.0, 1.0);
    const auto at = [this](int px, int py) { return grey_.pixels[static_cast<ptrdiff_t>(py) * grey_.stride + px]; };
    const double top = at(x0, y0) + fx * (at(x1, y0) - at(x0, y0));
    const double bottom = at(x0, y1) + fx * (at(x1, y1) - at(x0, y1));
    const double level = top + fy * (bottom - top);
    return dark_ ? level : 255 - level;
  }

 private:
  const GreyImage& grey_;
  const BitImage& image_;
  uint8_t dark_;
};

Point Unit(Point v) {
  const double length = std::sqrt(Dot(v, v));
  return length > 0 ? (1 / length) * v : Point{1, 0};
}

// --- Triples of finders -------------------------------------------------------

struct Triple {
  int top_left, top_right, bottom_left;
  double badness;
};

// The triple with `top_left` at the corner, if its shape fits a symbol.
std::optional<Triple> CornerTriple(const std::vector<FinderCandidate>& finders, int top_left, int one, int other,
                                   double l1, double l2, double module_ratio) {
  const Point tl = finders[top_left].centre;
  const Point leg1 = finders[one].centre - tl, leg2 = finders[other].centre - tl;
  const double leg_ratio = std::max(l1, l2) / std::min(l1, l2);
  if (!(leg_ratio < 2.0)) return std::nullopt;
  const double cosine = Dot(leg1, leg2) / (l1 * l2);
  if (std::abs(cosine) > 0.5) return std::nullopt;
  // Centres are 14 to 170 modules apart; module sizes from rows and
  // columns read up to sqrt(2) large on turned symbols.
  const double m_mean = (finders[top_left].module + finders[one].module + finders[other].module) / 3;
  const double modules = (l1 + l2) / 2 / m_mean;
  if (modules < 9 || modules > 250) return std::nullopt;
  // Seen from the front, top-right follows top-left clockwise.
  const bool clockwise = Cross(leg1, leg2) > 0;
  const double badness = std::abs(cosine) + std::log(leg_ratio) + std::log(module_ratio);
  return Triple{top_left, clockwise ? one : other, clockwise ? other : one, badness};
}

// Distances between the first `count` finders, and which pairs could
// belong to one symbol: unused, of one polarity, with similar modules, 14 to
// 170 modules apart (the diagonal up to 240), allowing for perspective and
// for module sizes read up to sqrt(2) large on turned symbols.
class FinderPairs {
 public:
  FinderPairs(const std::vector<FinderCandidate>& finders, const std::vector<bool>& used, int count)
      : n_(count), distance_(static_cast<size_t>(count) * count), pairs_(distance_.size()) {
    for (int i = 0; i < n_; ++i)
      for (int j = 0; j < n_; ++j) {
        const FinderCandidate &a = finders[i], &b = finders[j];
        const double d = Distance(a.centre, b.centre);
        const double modules = d / ((a.module + b.module) / 2);
        distance_[Index(i, j)] = d;
        pairs_[Index(i, j)] = i != j && !used[i] && !used[j] && a.inverted == b.inverted &&
                              std::max(a.module, b.module) <= 2.5 * std::min(a.module, b.module) &&
                              modules >= 8 && modules <= 350;
      }
  }
  double apart(int i, int j) const { return distance_[Index(i, j)]; }
  bool may_pair(int i, int j) const { return pairs_[Index(i, j)]; }

 private:
  size_t Index(int i, int j) const { return static_cast<size_t>(i) * n_ + j; }
  int n_;
  std::vector<double> distance_;
  std::vector<bool> pairs_;
};

// Adds the triple with `top_left` at the corner if it fits. The top-left
// finder faces the longest side; under strong perspective another side may
// come close, so such corners are tried too, at a small penalty.
void AddCorner(const std::vector<FinderCandidate>& finders, const FinderPairs& pairs, int top_left, int one,
               int other, std::vector<Triple>& triples) {
  const double m1 = finders[top_left].module, m2 = finders[one].module, m3 = finders[other].module;
  const double m_max = std::max({m1, m2, m3}), m_min = std::min({m1, m2, m3});
  if (m_max > 2.5 * m_min) return;
  const double leg1 = pairs.apart(top_left, one), leg2 = pairs.apart(top_left, other);
  const double opposite = pairs.apart(one, other), longest = std::max({opposite, leg1, leg2});
  if (opposite < 0.85 * longest) return;
  if (auto t = CornerTriple(finders, top_left, one, other, leg1, leg2, m_max / m_min)) {
    t->badness += 1 - opposite / longest;
    triples.push_back(*t);
  }
}

// Ranks the triples of finders among the first `count` that could be one
// symbol (a corner near a right angle, legs of similar length, similar module
// sizes; perspective is allowed for by the tolerances), leaving out those
// among the first `first_new`, already tried. Up to kEveryTriple finders,
// every triple is weighed; beyond, a corner finder pairs only with its
// nearest partners, which keeps pages of many symbols linear in work.
std::vector<Triple> RankTriples(const std::vector<FinderCandidate>& finders, const std::vector<bool>& used,
                                int first_new, int count, int max_triples) {
  constexpr int kEveryTriple = 24, kNearest = 8;
  const FinderPairs pairs(finders, used, count);
  std::vector<Triple> triples;
  if (count <= kEveryTriple) {
    for (int k = first_new; k < count; ++k)
      for (int i = 0; i < k; ++i) {
        if (!pairs.may_pair(i, k)) continue;
        for (int j = i + 1; j < k; ++j) {
          if (!pairs.may_pair(i, j) || !pairs.may_pair(j, k)) continue;
          AddCorner(finders, pairs, i, j, k, triples);
          AddCorner(finders, pairs, j, k, i, triples);
          AddCorner(finders, pairs, k, i, j, triples);
        }
      }
  } else {
    std::vector<int> near;
    for (int corner = 0; corner < count; ++corner) {
      near.clear();
      for (int j = 0; j < count; ++j)
        if (pairs.may_pair(corner, j)) near.push_back(j);
      const size_t keep = std::min(near.size(), static_cast<size_t>(kNearest));
      std::partial_sort(near.begin(), near.begin() + static_cast<ptrdiff_t>(keep), near.end(),
                        [&](int a, int b) { return pairs.apart(corner, a) < pairs.apart(corner, b); });
      near.resize(keep);
      for (size_t a = 0; a < near.size(); ++a)
        for (size_t b = a + 1; b < near.size(); ++b) {
          if (std::max({corner, near[a], near[b]}) < first_new || !pairs.may_pair(near[a], near[b])) continue;
          AddCorner(finders, pairs, corner, near[a], near[b], triples);
        }
    }
  }
  const size_t keep = std::min(triples.size(), static_cast<size_t>(max_triples));
  std::partial_sort(triples.begin(), triples.begin() + static_cast<ptrdiff_t>(keep), triples.end(),
                    [](const Triple& x, const Triple& y) { return x.badness < y.badness; });
  triples.resize(keep);
  return triples;
}

// --- Geometry of one symbol ----------------------------------------------------

// What the three finders tell about one symbol, in the orientation seen:
// top-left, top-right and bottom-left finder.
struct Frame {
  std::array<Point, 3> centres;
  std::optional<std::array<std::array<Point, 4>, 3>> outlines;
  double size_estimate = 0;
};

// The module size along `axis` through a finder, from its five runs; the
// candidate's own estimate when the runs are not clean.
double ModuleAlong(const Sampler& s, const FinderCandidate& f, Point axis) {
  const auto runs = RunsThrough(s.image(), f.centre, axis, s.dark_value(), 5 * f.module);
  return runs ? runs->total() / 7 : f.module;
}

// How well the 9x9 modules of finders and their separators match what a
// finder looks like, summed over the finders added.
struct FinderMatch {
  int separator_hits = 0, separator_total = 0, ring_hits = 0, ring_total = 0;

  // `to_image` maps a point of the finder's own 7x7 square to the image.
  template <typename ToImage>
  void Add(const Sampler& s, ToImage to_image) {
    for (int dy = -1; dy <= 7; ++dy)
      for (int dx = -1; dx <= 7; ++dx) {
        const bool dark = s.Dark(to_image(dx + 0.5, dy + 0.5));
        const int ring = std::max(std::abs(2 * dx - 6), std::abs(2 * dy - 6)) / 2;  // 0 centre .. 4 separator
        if (ring == 4) {
          separator_hits += !dark;
          ++separator_total;
        } else {
          ring_hits += dark == (ring != 2);
          ++ring_total;
        }
      }
  }
  bool Passes(int separator_tenths, int ring_tenths) const {
    return separator_hits * 10 >= separator_total * separator_tenths && ring_hits * 10 >= ring_total * ring_tenths;
  }
};

// The finders' geometry, or nothing when, seen along the triple's axes with
// their own module sizes, they do not look like finders with separators: a
// cheap test that spares most wrong triples the flood fills and fits.
std::optional<Frame> MeasureFrame(BitImage& image, const Sampler& s, const std::array<FinderCandidate, 3>& f,
                                  FillScratch& scratch) {
  Frame frame;
  frame.centres = {f[0].centre, f[1].centre, f[2].centre};
  const Point u = Unit(f[1].centre - f[0].centre), v = Unit(f[2].centre - f[0].centre);
  std::array<double, 3> along_u{}, along_v{};
  FinderMatch local;
  for (int i = 0; i < 3; ++i) {
    along_u[i] = ModuleAlong(s, f[i], u);
    along_v[i] = ModuleAlong(s, f[i], v);
    const Point eu = along_u[i] * u, ev = along_v[i] * v, centre = f[i].centre;
    local.Add(s, [&](double x, double y) { return centre + (x - 3.5) * eu + (y - 3.5) * ev; });
  }
  if (!local.Passes(6, 7)) return std::nullopt;
  std::array<std::array<Point, 4>, 3> outlines;
  bool outlined = true;
  for (int i = 0; i < 3 && outlined; ++i) {
    const auto outline = FinderOutline(image, f[i], u, v, std::max(along_u[i], along_v[i]), scratch);
    if (outline) outlines[i] = *outline;
    outlined = outline.has_value();
  }
  if (outlined) {
    frame.outlines = outlines;
    // Module sizes from the outlines' sides, which perspective shortens as it
    // does the modules between them.
    for (int i = 0; i < 3; ++i) {
      const auto& o = outlines[i];
      along_u[i] = (Distance(o[0], o[1]) + Distance(o[3], o[2])) / 14;
      along_v[i] = (Distance(o[0], o[3]) + Distance(o[1], o[2])) / 14;
    }
  }
  const double across = Distance(f[0].centre, f[1].centre) / ((along_u[0] + along_u[1]) / 2);
  const double down = Distance(f[0].centre, f[2].centre) / ((along_v[0] + along_v[2]) / 2);
  frame.size_estimate = (across + down) / 2 + 7;
  return frame;
}

// Sizes to try, nearest the estimate first: the estimate may be a version or
// two off, more so on large symbols.
std::vector<int> CandidateSizes(double estimate) {
  std::vector<int> sizes;
  for (int size = SizeOfVersion(kMinVersion); size <= SizeOfVersion(kMaxVersion); size += 4)
    if (std::abs(size - estimate) <= 9) sizes.push_back(size);
  std::sort(sizes.begin(), sizes.end(),
            [estimate](int a, int b) { return std::abs(a - estimate) < std::abs(b - estimate); });
  if (sizes.size() > 3) sizes.resize(3);
  return sizes;
}

// The alignment pattern: dark centre module, light ring, dark ring (5x5).
// How many of its 25 modules match; -1 as soon as more than `max_misses` do not.
int AlignmentScore(const Sampler& s, Point centre, Point ex, Point ey, int max_misses = 25) {
  int misses = 0;
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const bool dark = std::max(std::abs(dx), std::abs(dy)) != 1;
      misses += s.Dark(centre + static_cast<double>(dx) * ex + static_cast<double>(dy) * ey) != dark;
      if (misses > max_misses) return -1;
    }
  return 25 - misses;
}

// Finds the alignment pattern within `radius` modules of `predicted` by
// template matching: the best match on a half-module lattice, searched in
// growing squares and stopped at the first perfect match, then the middle of
// the best matches a quarter module around it.
std::optional<Point> FindAlignment(const Sampler& s, Point predicted, Point ex, Point ey, double radius) {
  constexpr int kMinScore = 22, kPerfect = 25;
  int best_score = -1;
  Point best = predicted;
  const int steps = static_cast<int>(radius * 2);
  for (int ring = 0; ring <= steps && best_score < kPerfect; ++ring)
    for (int j = -ring; j <= ring; ++j)
      for (int i = -ring; i <= ring; ++i) {
        if (std::max(std::abs(i), std::abs(j)) != ring) continue;
        const Point p = predicted + (i / 2.0) * ex + (j / 2.0) * ey;
        const int score = AlignmentScore(s, p, ex, ey, kPerfect - std::max(best_score + 1, kMinScore));
        if (score > best_score) {
          best_score = score;
          best = p;
        }
      }
  if (best_score < kMinScore) return std::nullopt;
  int top = -1, count = 0;
  Point sum{0, 0};
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) {
      const Point p = best + (i / 4.0) * ex + (j / 4.0) * ey;
      const int score = AlignmentScore(s, p, ex, ey);
      if (score > top) {
        top = score;
        sum = p;
        count = 1;
      } else if (score == top) {
        sum = sum + p;
        ++count;
      }
    }
  return (1.0 / count) * sum;
}

// Points whose places are known both in module space and in the image.
struct Anchors {
  std::vector<Point> modules;
  std::vector<Point> image;

  void Add(Point module, Point at, int weight = 1) {
    for (int i = 0; i < weight; ++i) {
      modules.push_back(module);
      image.push_back(at);
    }
  }
  std::optional<Homography> Fit() const { return Homography::Fit(modules, image); }
};

Anchors FinderAnchors(const Frame& frame, int size, bool with_outlines) {
  Anchors anchors;
  const double far = size - 7;
  const std::array<Point, 3> origins{Point{0, 0}, Point{far, 0}, Point{0, far}};
  const std::array<Point, 4> square{Point{0, 0}, Point{7, 0}, Point{7, 7}, Point{0, 7}};
  for (int i = 0; i < 3; ++i) {
    anchors.Add(origins[i] + Point{3.5, 3.5}, frame.centres[i]);
    if (with_outlines)
      for (int k = 0; k < 4; ++k) anchors.Add(origins[i] + square[k], (*frame.outlines)[i][k]);
  }
  return anchors;
}

// The local module steps of `h` at module point m.
void ModuleSteps(const Homography& h, Point m, Point* ex, Point* ey) {
  const Point p = h.Map(m);
  *ex = h.Map(m.x + 1, m.y) - p;
  *ey = h.Map(m.x, m.y + 1) - p;
}

// A transform from module space to the image, from the finders and, from
// version 2 on, the bottom-right alignment pattern near where they put it.
// Finder outlines give the perspective by themselves; from centres alone,
// the missing corner completes a parallelogram.
std::optional<Homography> SymbolTransform(const Sampler& s, const Frame& frame, int size, bool with_outlines,
                                          Anchors* used) {
  Anchors anchors = FinderAnchors(frame, size, with_outlines);
  if (!with_outlines) {
    const auto& c = frame.centres;
    anchors.Add({size - 3.5, size - 3.5}, c[1] + c[2] - c[0]);
  }
  const auto first = anchors.Fit();
  if (!first) return std::nullopt;
  if (VersionOfSize(size) < 2) {
    *used = anchors;
    return first;
  }
  const Point at{size - 6.5, size - 6.5};
  Point ex, ey;
  ModuleSteps(*first, at, &ex, &ey);
  // Outlines carry the perspective and put the pattern within a module or
  // two; a parallelogram may miss it by several.
  const std::optional<Point> alignment = FindAlignment(s, first->Map(at), ex, ey, with_outlines ? 3.0 : 8.0);
  if (!alignment) {
    *used = anchors;
    return first;
  }
  if (!with_outlines) anchors = FinderAnchors(frame, size, false);
  // Far from the finders, the alignment pattern is the best witness of where
  // the bottom-right part of the symbol lies.
  anchors.Add(at, *alignment, with_outlines ? 4 : 1);
  *used = anchors;
  return anchors.Fit();
}

// Refits the transform to every alignment pattern found near where `h` puts
// it, for large symbols whose middle strays from a fit to the corners.
std::optional<Homography> RefinedTransform(const Sampler& s, const Homography& h, Anchors anchors, int size) {
  std::array<int, 7> centres{};
  const int last = AlignmentPatternCentres(VersionOfSize(size), centres) - 1;
  const size_t before = anchors.modules.size();
  for (int j = 0; j <= last; ++j)
    for (int i = 0; i <= last; ++i) {
      if ((i == 0 && j == 0) || (i == last && j == 0) || (i == 0 && j == last)) continue;  // finders
      const Point m{centres[i] + 0.5, centres[j] + 0.5};
      Point ex, ey;
      ModuleSteps(h, m, &ex, &ey);
      if (auto found = FindAlignment(s, h.Map(m), ex, ey, 2.0)) anchors.Add(m, *found);
    }
  if (anchors.modules.size() <= before + 1) return std::nullopt;
  return anchors.Fit();
}

ModuleGrid Sample(const Sampler& s, const Homography& h, int size) {
  ModuleGrid grid(size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) grid.set(x, y, s.Dark(h.Map(x + 0.5, y + 0.5)));
  return grid;
}

// The grid from grey levels rather than from the binarised image, for
// symbols blurred so far that a lone module no longer crosses the threshold:
// each module's level is sharpened against its four neighbours (undoing the
// part of the blur that spilt over from them) and compared with the mean
// level of the 7x7 modules around it.
ModuleGrid SampleLevels(const Sampler& s, const Homography& h, int size) {
  constexpr double kSharpen = 1.0;
  constexpr int kReach = 3;
  const size_t n = static_cast<size_t>(size);
  std::vector<double> level(n * n), sharp(n * n), sums((n + 1) * (n + 1), 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) level[y * n + x] = s.Level(h.Map(x + 0.5, y + 0.5));
  const auto at = [&](int x, int y) {  // the quiet zone is light
    return x < 0 || y < 0 || x >= size || y >= size ? 255.0 : level[y * n + x];
  };
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double around = (at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1)) / 4;
      sharp[y * n + x] = at(x, y) + kSharpen * (at(x, y) - around);
      sums[(y + 1) * (n + 1) + x + 1] =
          level[y * n + x] + sums[y * (n + 1) + x + 1] + sums[(y + 1) * (n + 1) + x] - sums[y * (n + 1) + x];
    }
  ModuleGrid grid(size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const size_t x0 = std::max(0, x - kReach), y0 = std::max(0, y - kReach);
      const size_t x1 = std::min(size, x + kReach + 1), y1 = std::min(size, y + kReach + 1);
      const double mean = (sums[y1 * (n + 1) + x1] - sums[y0 * (n + 1) + x1] - sums[y1 * (n + 1) + x0] +
                           sums[y0 * (n + 1) + x0]) / static_cast<double>((x1 - x0) * (y1 - y0));
      grid.set(x, y, sharp[y * n + x] < mean);
    }
  return grid;
}

// Only the modules of the two version information blocks; the rest light.
ModuleGrid SampleVersionBlocks(const Sampler& s, const Homography& h, int size) {
  ModuleGrid grid(size);
  for (int a = size - 11; a < size - 8; ++a)
    for (int b = 0; b < 6; ++b) {
      grid.set(a, b, s.Dark(h.Map(a + 0.5, b + 0.5)));
      grid.set(b, a, s.Dark(h.Map(b + 0.5, a + 0.5)));
    }
  return grid;
}

// --- Decoding ---------------------------------------------------------------------

struct Decoded {
  SymbolContent content;
  bool mirrored = false;
};

// Reads the grid as sampled, then as seen in a mirror. When the decoder
// finds version information naming another size, `stated_size` gets it.
std::optional<Decoded> DecodeEitherWay(const ModuleGrid& grid, const GridDecoder& decode, int* stated_size) {
  for (const bool mirrored : {false, true}) {
    DecodeOutcome outcome = decode(mirrored ? grid.Transposed() : grid);
    if (outcome.status == DecodeStatus::kOk) return Decoded{std::move(outcome.content), mirrored};
    if (outcome.status == DecodeStatus::kVersionUnreadable && outcome.content.version >= kMinVersion &&
        outcome.content.version <= kMaxVersion && *stated_size == 0)
      *stated_size = SizeOfVersion(outcome.content.version);
  }
  return std::nullopt;
}

FoundSymbol Report(Decoded decoded, const Homography& h, int size) {
  FoundSymbol found;
  found.content = std::move(decoded.content);
  const double n = size;
  // A mirrored symbol's own top-right corner is where the sampled grid has
  // its bottom-left one.
  if (decoded.mirrored)
    found.corners = {h.Map(0, 0), h.Map(0, n), h.Map(n, n), h.Map(n, 0)};
  else
    found.corners = {h.Map(0, 0), h.Map(n, 0), h.Map(n, n), h.Map(0, n)};
  return found;
}

// The size a large grid states through its version information, read
// either way round; 0 when it states none credibly. Data modules read as
// version information within three bit errors about one time in eight, so
// a lone copy counts only when it is nearly exact.
int StatedSize(const ModuleGrid& grid) {
  for (const ModuleGrid& g : {grid, grid.Transposed()}) {
    const auto top_right = DecodeVersionBits(ReadVersionBitsTopRight(g));
    const auto bottom_left = DecodeVersionBits(ReadVersionBitsBottomLeft(g));
    if (top_right && bottom_left && top_right->version == bottom_left->version)
      return SizeOfVersion(top_right->version);
    for (const auto& info : {top_right, bottom_left})
      if (info && info->distance <= 1) return SizeOfVersion(info->version);
  }
  return 0;
}

std::optional<FoundSymbol> TrySize(const Sampler& s, const Frame& frame, int size, bool with_outlines,
                                   const GridDecoder& decode, int* stated_size) {
  Anchors anchors;
  const auto h = SymbolTransform(s, frame, size, with_outlines, &anchors);
  if (!h) return std::nullopt;
  if (auto decoded = DecodeEitherWay(Sample(s, *h, size), decode, stated_size))
    return Report(std::move(*decoded), *h, size);
  if (auto decoded = DecodeEitherWay(SampleLevels(s, *h, size), decode, stated_size))
    return Report(std::move(*decoded), *h, size);
  if (VersionOfSize(size) >= 7) {
    if (const auto refined = RefinedTransform(s, *h, anchors, size))
      if (auto decoded = DecodeEitherWay(Sample(s, *refined, size), decode, stated_size))
        return Report(std::move(*decoded), *refined, size);
  }
  return std::nullopt;
}

// Whether the three finders, with the light separators around them, show in
// the sampled grid. Finders found in noise or in text rarely have clean
// separators on all sides, and this costs a fraction of a decode.
bool FindersStandOut(const Sampler& s, const Homography& h, int size) {
  FinderMatch match;
  for (const Point origin : {Point{0, 0}, Point{size - 7.0, 0}, Point{0, size - 7.0}})
    match.Add(s, [&](double x, double y) { return h.Map(origin.x + x, origin.y + y); });
  return match.Passes(7, 8);
}

// Sizes to try, best first; none when the finders do not look like a
// symbol's. Large symbols state their version near the top-right and
// bottom-left finders, where even a size a version or two off samples well:
// that size goes first.
std::vector<int> SizesToTry(const Sampler& s, const Frame& frame) {
  std::vector<int> sizes = CandidateSizes(frame.size_estimate);
  if (sizes.empty()) return sizes;
  Anchors anchors = FinderAnchors(frame, sizes[0], frame.outlines.has_value());
  if (!frame.outlines) {
    const auto& c = frame.centres;
    anchors.Add({sizes[0] - 3.5, sizes[0] - 3.5}, c[1] + c[2] - c[0]);
  }
  const auto h = anchors.Fit();
  if (!h || !FindersStandOut(s, *h, sizes[0])) return {};
  if (sizes[0] < SizeOfVersion(7) - 4) return sizes;
  const int stated = StatedSize(SampleVersionBlocks(s, *h, sizes[0]));
  if (stated) {
    sizes.erase(std::remove(sizes.begin(), sizes.end(), stated), sizes.end());
    sizes.insert(sizes.begin(), stated);
  }
  return sizes;
}

std::optional<FoundSymbol> TrySymbol(const Sampler& s, const Frame& frame, const GridDecoder& decode) {
  std::vector<int> sizes = SizesToTry(s, frame);
  for (size_t i = 0; i < sizes.size(); ++i) {
    int stated = 0;
    for (bool with_outlines : {true, false}) {
      if (with_outlines && !frame.outlines) continue;
      if (auto found = TrySize(s, frame, sizes[i], with_outlines, decode, &stated)) return found;
    }
    // The decoder read a version that the size estimate missed: that size next.
    if (stated && sizes.size() < 5 && std::find(sizes.begin(), sizes.end(), stated) == sizes.end())
      sizes.insert(sizes.begin() + static_cast<ptrdiff_t>(i) + 1, stated);
  }
  return std::nullopt;
}

bool Inside(const std::array<Point, 4>& quad, Point p) {
  int sign = 0;
  for (int i = 0; i < 4; ++i) {
    const double side = Cross(quad[(i + 1) % 4] - quad[i], p - quad[i]);
    const int this_sign = side > 0 ? 1 : (side < 0 ? -1 : 0);
    if (this_sign == 0) continue;
    if (sign == 0) sign = this_sign;
    else if (sign != this_sign) return false;
  }
  return true;
}

}  // namespace

std::vector<FoundSymbol> LocateSymbols(const GreyImage& grey, BitImage& image, const GridDecoder& decode,
                                       const Limits& limits) {
  const std::vector<FinderCandidate> finders = FindFinderCandidates(image, limits.max_finders);
  const int n = static_cast<int>(finders.size());
  std::vector<bool> used(finders.size(), false);
  std::vector<FoundSymbol> found;
  const Sampler normal(grey, image, false), inverted(grey, image, true);
  int attempts = 0;
  FillScratch scratch;
  // Finders are taken in stages, the most often seen first: a symbol read
  // early takes the finder-like patterns of its own data out of the later,
  // larger stages, which keeps their triples few.
  int tried = 0;
  for (const int stage : {12, 24, 48, 96, n}) {
    const int count = std::min(stage, n);
    if (count <= tried) continue;
    for (const Triple& t : RankTriples(finders, used, tried, count, limits.max_triples)) {
      if (attempts >= limits.max_attempts) return found;
      const std::array<int, 3> ids{t.top_left, t.top_right, t.bottom_left};
      if (used[ids[0]] || used[ids[1]] || used[ids[2]]) continue;
      ++attempts;
      const std::array<FinderCandidate, 3> three{finders[ids[0]], finders[ids[1]], finders[ids[2]]};
      const Sampler& sampler = three[0].inverted ? inverted : normal;
      const auto frame = MeasureFrame(image, sampler, three, scratch);
      if (!frame) continue;
      auto symbol = TrySymbol(sampler, *frame, decode);
      if (!symbol) continue;
      for (int id : ids) used[id] = true;
      for (int i = 0; i < n; ++i)
        if (Inside(symbol->corners, finders[i].centre)) used[i] = true;
      found.push_back(std::move(*symbol));
    }
    tried = count;
  }
  return found;
}

}  // namespace qr::detect
