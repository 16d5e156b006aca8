#include "reader/detect/binarizer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cmath>
#include <initializer_list>

namespace qr::detect {

namespace {

constexpr int kBlock = 8;
// A block whose range is at most this, or whose pixels deviate less than
// kFlatDeviation from their mean, is taken as flat: its black point comes
// from its neighbours rather than from its own noise. Module edges deviate
// far more, even on pale symbols; sensor grain on a plain background less.
constexpr int kFlatRange = 24;
constexpr int kFlatDeviation = 12;
constexpr int kMaxFlatDeviation = 20;

const uint8_t* Row(const GreyImage& image, int y) {
  return image.pixels + static_cast<ptrdiff_t>(y) * image.stride;
}

}  // namespace

OwnedGrey Downscale(const GreyImage& image, int factor) {
  OwnedGrey out;
  out.width = (image.width + factor - 1) / factor;
  out.height = (image.height + factor - 1) / factor;
  out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
  std::vector<uint32_t> sums(out.width);
  for (int oy = 0; oy < out.height; ++oy) {
    std::fill(sums.begin(), sums.end(), 0u);
    const int y0 = oy * factor, y1 = std::min(image.height, y0 + factor);
    for (int y = y0; y < y1; ++y) {
      const uint8_t* row = Row(image, y);
      for (int x = 0; x < image.width; ++x) sums[x / factor] += row[x];
    }
    for (int ox = 0; ox < out.width; ++ox) {
      const int x0 = ox * factor, x1 = std::min(image.width, x0 + factor);
      const uint32_t count = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
      out.pixels[static_cast<size_t>(oy) * out.width + ox] = static_cast<uint8_t>(sums[ox] / count);
    }
  }
  return out;
}

BitImage Binarize(const GreyImage& image) {
  BitImage out;
  out.width = image.width;
  out.height = image.height;
  out.bits.assign(static_cast<size_t>(image.width) * image.height, 0);
  if (image.width <= 0 || image.height <= 0) return out;

  const int blocks_x = (image.width + kBlock - 1) / kBlock;
  const int blocks_y = (image.height + kBlock - 1) / kBlock;
  // Each block's black point; kUnset for flat blocks until their neighbours
  // lend them one.
  constexpr int kUnset = -1;
  std::vector<int> black(static_cast<size_t>(blocks_x) * blocks_y, kUnset);
  std::vector<int> contrast(black.size(), 0), mean(black.size()), range(black.size());
  std::vector<float> variance(black.size()), grain_of(black.size());
  auto black_at = [&](int bx, int by) -> int& { return black[static_cast<size_t>(by) * blocks_x + bx]; };

  // Column statistics over each band of kBlock rows, then summed per block:
  // loops over whole rows, which compilers vectorise.
  const size_t width = static_cast<size_t>(image.width);
  std::vector<uint16_t> column_sum(width);
  std::vector<uint32_t> column_squares(width);
  std::vector<uint8_t> column_lo(width), column_hi(width);
  std::vector<uint16_t> column_steps(width);  // sums of |right neighbour - pixel|
  for (int by = 0; by < blocks_y; ++by) {
    const int y0 = by * kBlock, y1 = std::min(image.height, y0 + kBlock);
    std::fill(column_sum.begin(), column_sum.end(), 0);
    std::fill(column_squares.begin(), column_squares.end(), 0u);
    std::fill(column_lo.begin(), column_lo.end(), 255);
    std::fill(column_hi.begin(), column_hi.end(), 0);
    std::fill(column_steps.begin(), column_steps.end(), 0);
    for (int y = y0; y < y1; ++y) {
      const uint8_t* row = Row(image, y);
      for (size_t x = 0; x < width; ++x) {
        const uint32_t v = row[x];
        column_sum[x] = static_cast<uint16_t>(column_sum[x] + v);
        column_squares[x] += v * v;
        column_lo[x] = std::min(column_lo[x], row[x]);
        column_hi[x] = std::max(column_hi[x], row[x]);
      }
      for (size_t x = 0; x + 1 < width; ++x)
        column_steps[x] = static_cast<uint16_t>(column_steps[x] + std::abs(row[x + 1] - row[x]));
    }
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int x0 = bx * kBlock, x1 = std::min(image.width, x0 + kBlock);
      int sum = 0, lo = 255, hi = 0, steps = 0;
      long long squares = 0;
      for (int x = x0; x < x1; ++x) {
        if (x + 1 < x1) steps += column_steps[x];
        sum += column_sum[x];
        squares += column_squares[x];
        lo = std::min<int>(lo, column_lo[x]);
        hi = std::max<int>(hi, column_hi[x]);
      }
      const int n = (y1 - y0) * (x1 - x0);
      const size_t block = static_cast<size_t>(by) * blocks_x + bx;
      mean[block] = sum / n;
      range[block] = hi - lo;
      variance[block] = static_cast<float>(static_cast<double>(n * squares - static_cast<long long>(sum) * sum) / n / n);
      // Grain alone makes neighbours differ by 2/sqrt(pi) times its
      // deviation on average; module edges, being few, hardly do.
      const int pairs = (y1 - y0) * (x1 - x0 - 1);
      grain_of[block] = pairs > 0 ? static_cast<float>(steps) / static_cast<float>(pairs) * 0.886f : 0.0f;
    }
  }
  // The grain of the smoothest tenth of the image tells how much a flat block
  // varies in this picture; blocks within twice that (but never less than
  // kFlatDeviation, nor more than kMaxFlatDeviation, which pale symbols
  // exceed) are flat.
  std::vector<float> smoothest = grain_of;
  std::nth_element(smoothest.begin(), smoothest.begin() + static_cast<ptrdiff_t>(smoothest.size() / 10),
                   smoothest.end());
  const double grain = smoothest[smoothest.size() / 10];
  const double flat_deviation = std::clamp(2 * grain, double{kFlatDeviation}, double{kMaxFlatDeviation});
  const float flat_variance = static_cast<float>(flat_deviation * flat_deviation);
  constexpr double kLeastGrain = 2;
  const float grain_variance = grain < kLeastGrain ? -1.0f : static_cast<float>(4 * grain * grain);
  for (size_t block = 0; block < black.size(); ++block)
    if (range[block] > kFlatRange && variance[block] >= flat_variance) {
      black[block] = mean[block];
      contrast[block] = range[block];
    }
  // A flat block lies inside a module, a quiet zone or the background: it
  // takes the black point of the blocks with contrast nearest to it, first
  // from above and the left, then from below and the right. Giving flat
  // blocks a point of their own (such as half their level) would drag the
  // averages below down and lose the dark modules of pale, low-contrast
  // symbols.
  auto lend = [&](int bx, int by, std::initializer_list<std::array<int, 2>> from) {
    int sum = 0, count = 0;
    for (const auto& [dx, dy] : from) {
      const int nx = bx + dx, ny = by + dy;
      if (nx < 0 || ny < 0 || nx >= blocks_x || ny >= blocks_y || black_at(nx, ny) == kUnset) continue;
      sum += black_at(nx, ny);
      ++count;
    }
    if (count) black_at(bx, by) = sum / count;
  };
  std::vector<bool> flat(black.size());
  for (size_t i = 0; i < black.size(); ++i) flat[i] = black[i] == kUnset;
  for (int by = 0; by < blocks_y; ++by)
    for (int bx = 0; bx < blocks_x; ++bx)
      if (flat[static_cast<size_t>(by) * blocks_x + bx]) lend(bx, by, {{-1, 0}, {0, -1}, {-1, -1}, {1, -1}});
  for (int by = blocks_y - 1; by >= 0; --by)
    for (int bx = blocks_x - 1; bx >= 0; --bx)
      if (black_at(bx, by) == kUnset) lend(bx, by, {{1, 0}, {0, 1}, {1, 1}, {-1, 1}});

  // Sums over rectangles of blocks, for the 5x5 windows: weighted black
  // points, weights, plain black points and the count of blocks that have one.
  struct Sums {
    long long weighted = 0, weights = 0, plain = 0, count = 0;
  };
  const size_t stride = static_cast<size_t>(blocks_x) + 1;
  std::vector<Sums> table(stride * (blocks_y + 1));
  for (int by = 0; by < blocks_y; ++by)
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int point = black_at(bx, by);
      Sums here;
      if (point != kUnset) {
        const int weight = contrast[static_cast<size_t>(by) * blocks_x + bx];
        here = {static_cast<long long>(weight) * point, weight, point, 1};
      }
      const Sums& up = table[by * stride + bx + 1];
      const Sums& left = table[(by + 1) * stride + bx];
      const Sums& diagonal = table[by * stride + bx];
      table[(by + 1) * stride + bx + 1] = {here.weighted + up.weighted + left.weighted - diagonal.weighted,
                                           here.weights + up.weights + left.weights - diagonal.weights,
                                           here.plain + up.plain + left.plain - diagonal.plain,
                                           here.count + up.count + left.count - diagonal.count};
    }
  auto window = [&](int x0, int y0, int x1, int y1) {  // blocks [x0, x1) x [y0, y1)
    const Sums &a = table[y1 * stride + x1], &b = table[y0 * stride + x1], &c = table[y1 * stride + x0],
               &d = table[y0 * stride + x0];
    return Sums{a.weighted - b.weighted - c.weighted + d.weighted, a.weights - b.weights - c.weights + d.weights,
                a.plain - b.plain - c.plain + d.plain, a.count - b.count - c.count + d.count};
  };

  std::vector<int16_t> thresholds(width);  // per column, for the current band
  for (int by = 0; by < blocks_y; ++by) {
    const int cy = std::clamp(by, 2, std::max(2, blocks_y - 3));
    const int y0 = by * kBlock, y1 = std::min(image.height, y0 + kBlock);
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int cx = std::clamp(bx, 2, std::max(2, blocks_x - 3));
      // Blocks weigh by their contrast: an edge between modules says more
      // about the threshold than a block that blur barely darkens.
      const Sums w = window(std::max(0, cx - 2), std::max(0, cy - 2), std::min(blocks_x, cx + 3),
                            std::min(blocks_y, cy + 3));
      // With no contrast anywhere the image is blank: all light.
      int threshold = static_cast<int>(w.weights ? w.weighted / w.weights : (w.count ? w.plain / w.count : -1));
      // In a grainy picture, a flat block that varies no more than the grain
      // comes out all dark or all light, by its mean: its grain must not
      // turn into speckle where the threshold it borrowed (say from the edge
      // of a white label on a grey desk) falls within its range. In a clean
      // picture flat blocks keep their pixels: faint edges of pale symbols.
      const size_t block = static_cast<size_t>(by) * blocks_x + bx;
      if (flat[block] && variance[block] <= grain_variance) threshold = mean[block] <= threshold ? 255 : -1;
      const int x0 = bx * kBlock, x1 = std::min(image.width, x0 + kBlock);
      std::fill(thresholds.begin() + x0, thresholds.begin() + x1, static_cast<int16_t>(threshold));
    }
    for (int y = y0; y < y1; ++y) {
      const uint8_t* row = Row(image, y);
      uint8_t* bits = &out.at(0, y);
      for (size_t x = 0; x < width; ++x) bits[x] = row[x] <= thresholds[x] ? 1 : 0;
    }
  }
  return out;
}

}  // namespace qr::detect
