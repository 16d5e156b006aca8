#include "reader/detect/binarizer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>

namespace qr::detect {

namespace {

constexpr int kBlock = 8;
// A block whose range is at most this is taken as flat: its black point
// comes from its neighbours rather than from its own noise.
constexpr int kFlatRange = 24;

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
  std::vector<int> contrast(black.size(), 0);
  auto black_at = [&](int bx, int by) -> int& { return black[static_cast<size_t>(by) * blocks_x + bx]; };

  for (int by = 0; by < blocks_y; ++by) {
    const int y0 = by * kBlock, y1 = std::min(image.height, y0 + kBlock);
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int x0 = bx * kBlock, x1 = std::min(image.width, x0 + kBlock);
      int sum = 0, lo = 255, hi = 0;
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = Row(image, y);
        for (int x = x0; x < x1; ++x) {
          sum += row[x];
          lo = std::min<int>(lo, row[x]);
          hi = std::max<int>(hi, row[x]);
        }
      }
      if (hi - lo > kFlatRange) {
        black_at(bx, by) = sum / ((y1 - y0) * (x1 - x0));
        contrast[static_cast<size_t>(by) * blocks_x + bx] = hi - lo;
      }
    }
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

  for (int by = 0; by < blocks_y; ++by) {
    const int cy = std::clamp(by, 2, std::max(2, blocks_y - 3));
    const int y0 = by * kBlock, y1 = std::min(image.height, y0 + kBlock);
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int cx = std::clamp(bx, 2, std::max(2, blocks_x - 3));
      // Blocks weigh by their contrast: an edge between modules says more
      // about the threshold than a block that blur barely darkens.
      int weighted = 0, weights = 0, plain = 0, count = 0;
      for (int ny = std::max(0, cy - 2); ny <= std::min(blocks_y - 1, cy + 2); ++ny)
        for (int nx = std::max(0, cx - 2); nx <= std::min(blocks_x - 1, cx + 2); ++nx) {
          const int point = black_at(nx, ny);
          if (point == kUnset) continue;
          const int weight = contrast[static_cast<size_t>(ny) * blocks_x + nx];
          weighted += weight * point;
          weights += weight;
          plain += point;
          ++count;
        }
      // With no contrast anywhere the image is blank: all light.
      const int threshold = weights ? weighted / weights : (count ? plain / count : -1);
      const int x0 = bx * kBlock, x1 = std::min(image.width, x0 + kBlock);
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = Row(image, y);
        uint8_t* bits = &out.at(0, y);
        for (int x = x0; x < x1; ++x) bits[x] = row[x] <= threshold ? 1 : 0;
      }
    }
  }
  return out;
}

}  // namespace qr::detect
