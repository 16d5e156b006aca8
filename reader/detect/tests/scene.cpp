#include "reader/detect/tests/scene.h"

#include <qrencode.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "reader/detect/geometry.h"

namespace qr::testing {

using detect::Homography;

ModuleGrid Encode(const std::string& text, int version, Level level) {
  static constexpr QRecLevel kLevels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
  QRcode* code = QRcode_encodeString8bit(text.c_str(), version, kLevels[static_cast<int>(level)]);
  if (!code) throw std::runtime_error("libqrencode refused: " + text);
  ModuleGrid grid(code->width);
  for (int y = 0; y < code->width; ++y)
    for (int x = 0; x < code->width; ++x) grid.set(x, y, code->data[y * code->width + x] & 1);
  QRcode_free(code);
  return grid;
}

Scene::Scene(int width, int height, uint8_t background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

std::array<Point, 4> Scene::Draw(const ModuleGrid& symbol, const Placement& placement) {
  const ModuleGrid drawn = placement.mirrored ? symbol.Transposed() : symbol;
  const int size = drawn.size();
  const double quiet = 4;
  // The square of the symbol and its quiet zone, turned, then narrowed on
  // its right side for the tilt.
  const double half = (size / 2.0 + quiet) * placement.module;
  const double angle = placement.degrees * std::numbers::pi / 180;
  const double c = std::cos(angle), s = std::sin(angle);
  const double right = 1 - placement.tilt;
  const std::array<Point, 4> square{Point{-half, -half}, {half, -half * right}, {half, half * right}, {-half, half}};
  std::array<Point, 4> image;
  for (int i = 0; i < 4; ++i)
    image[i] = {placement.centre.x + c * square[i].x - s * square[i].y,
                placement.centre.y + s * square[i].x + c * square[i].y};
  const std::array<Point, 4> modules{Point{-quiet, -quiet}, {size + quiet, -quiet}, {size + quiet, size + quiet},
                                     {-quiet, size + quiet}};
  const auto to_image = Homography::Fit(modules, image);
  const auto to_modules = Homography::Fit(image, modules);
  if (!to_image || !to_modules) throw std::runtime_error("degenerate placement");

  double x0 = width_, y0 = height_, x1 = 0, y1 = 0;
  for (const Point& p : image) {
    x0 = std::min(x0, p.x); y0 = std::min(y0, p.y);
    x1 = std::max(x1, p.x); y1 = std::max(y1, p.y);
  }
  const uint8_t dark = placement.inverted ? 255 : 0, light = placement.inverted ? 0 : 255;
  // Four samples per pixel soften the edges as a lens would.
  for (int y = std::max(0, static_cast<int>(y0)); y < std::min(height_, static_cast<int>(y1) + 1); ++y)
    for (int x = std::max(0, static_cast<int>(x0)); x < std::min(width_, static_cast<int>(x1) + 1); ++x) {
      int covered = 0, dark_samples = 0;
      for (double dy : {0.25, 0.75})
        for (double dx : {0.25, 0.75}) {
          const Point m = to_modules->Map(x + dx, y + dy);
          if (m.x < -quiet || m.y < -quiet || m.x >= size + quiet || m.y >= size + quiet) continue;
          ++covered;
          const int mx = static_cast<int>(std::floor(m.x)), my = static_cast<int>(std::floor(m.y));
          if (mx >= 0 && my >= 0 && mx < size && my < size && drawn.dark(mx, my)) ++dark_samples;
        }
      if (covered == 0) continue;
      uint8_t& px = pixels_[static_cast<size_t>(y) * width_ + x];
      const int painted = (dark_samples * dark + (covered - dark_samples) * light) / covered;
      px = static_cast<uint8_t>((painted * covered + px * (4 - covered)) / 4);
    }

  const double n = size;
  if (placement.mirrored)
    return {to_image->Map(0, 0), to_image->Map(0, n), to_image->Map(n, n), to_image->Map(n, 0)};
  return {to_image->Map(0, 0), to_image->Map(n, 0), to_image->Map(n, n), to_image->Map(0, n)};
}

void Scene::Blur(int radius) {
  std::vector<uint8_t> tmp(pixels_.size());
  auto pass = [&](const std::vector<uint8_t>& src, std::vector<uint8_t>& dst, int dx, int dy) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        int sum = 0, count = 0;
        for (int k = -radius; k <= radius; ++k) {
          const int sx = std::clamp(x + k * dx, 0, width_ - 1), sy = std::clamp(y + k * dy, 0, height_ - 1);
          sum += src[static_cast<size_t>(sy) * width_ + sx];
          ++count;
        }
        dst[static_cast<size_t>(y) * width_ + x] = static_cast<uint8_t>(sum / count);
      }
  };
  for (int round = 0; round < 2; ++round) {
    pass(pixels_, tmp, 1, 0);
    pass(tmp, pixels_, 0, 1);
  }
}

void Scene::AddNoise(int amplitude, uint32_t seed) {
  uint32_t state = seed;
  for (uint8_t& px : pixels_) {
    state = state * 1664525u + 1013904223u;
    const int delta = static_cast<int>((state >> 16) % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
    px = static_cast<uint8_t>(std::clamp(px + delta, 0, 255));
  }
}

void Scene::Lighting(double left, double right) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const double gain = left + (right - left) * x / std::max(1, width_ - 1);
      uint8_t& px = pixels_[static_cast<size_t>(y) * width_ + x];
      px = static_cast<uint8_t>(std::clamp(px * gain, 0.0, 255.0));
    }
}

void Scene::Contrast(int low, int high) {
  for (uint8_t& px : pixels_) px = static_cast<uint8_t>(low + (high - low) * px / 255);
}

}  // namespace qr::testing
