#include "reader/detect/geometry.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace qr::detect {

double Distance(Point a, Point b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)); }
double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
double Cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }

namespace {

// Moves points to their centroid and scales them to a mean distance of
// sqrt(2) from it, so that the normal equations stay well conditioned.
struct Normaliser {
  double cx = 0, cy = 0, scale = 1;

  explicit Normaliser(std::span<const Point> points) {
    for (const Point& p : points) { cx += p.x; cy += p.y; }
    cx /= static_cast<double>(points.size());
    cy /= static_cast<double>(points.size());
    double mean = 0;
    for (const Point& p : points) mean += std::sqrt((p.x - cx) * (p.x - cx) + (p.y - cy) * (p.y - cy));
    mean /= static_cast<double>(points.size());
    scale = mean > 1e-12 ? std::sqrt(2.0) / mean : 1.0;
  }
  Point Apply(Point p) const { return {(p.x - cx) * scale, (p.y - cy) * scale}; }
};

using Matrix8 = std::array<std::array<double, 9>, 8>;  // augmented

// Gaussian elimination with partial pivoting; false when singular.
bool Solve(Matrix8& a, std::array<double, 8>& x) {
  for (int col = 0; col < 8; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 8; ++row)
      if (std::abs(a[row][col]) > std::abs(a[pivot][col])) pivot = row;
    if (std::abs(a[pivot][col]) < 1e-10) return false;
    std::swap(a[pivot], a[col]);
    for (int row = col + 1; row < 8; ++row) {
      const double f = a[row][col] / a[col][col];
      for (int k = col; k < 9; ++k) a[row][k] -= f * a[col][k];
    }
  }
  for (int row = 7; row >= 0; --row) {
    double sum = a[row][8];
    for (int k = row + 1; k < 8; ++k) sum -= a[row][k] * x[k];
    x[row] = sum / a[row][row];
  }
  return true;
}

}  // namespace

std::optional<Homography> Homography::Fit(std::span<const Point> from, std::span<const Point> to) {
  if (from.size() < 4 || from.size() != to.size()) return std::nullopt;
  const Normaliser nf(from), nt(to);
  Matrix8 normal{};
  auto accumulate = [&normal](const std::array<double, 8>& row, double rhs) {
    for (int i = 0; i < 8; ++i) {
      for (int j = 0; j < 8; ++j) normal[i][j] += row[i] * row[j];
      normal[i][8] += row[i] * rhs;
    }
  };
  for (size_t i = 0; i < from.size(); ++i) {
    const Point p = nf.Apply(from[i]), q = nt.Apply(to[i]);
    accumulate({p.x, p.y, 1, 0, 0, 0, -p.x * q.x, -p.y * q.x}, q.x);
    accumulate({0, 0, 0, p.x, p.y, 1, -p.x * q.y, -p.y * q.y}, q.y);
  }
  std::array<double, 8> h{};
  if (!Solve(normal, h)) return std::nullopt;

  // Undo the normalisations: H = T_to^-1 * Hn * T_from.
  const double s = nf.scale, tx = -nf.cx * s, ty = -nf.cy * s;
  const double r[9] = {h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], 1};
  double a[9];  // Hn * T_from, T_from = [s 0 tx; 0 s ty; 0 0 1]
  for (int row = 0; row < 3; ++row) {
    a[row * 3 + 0] = r[row * 3 + 0] * s;
    a[row * 3 + 1] = r[row * 3 + 1] * s;
    a[row * 3 + 2] = r[row * 3 + 0] * tx + r[row * 3 + 1] * ty + r[row * 3 + 2];
  }
  const double inv = 1.0 / nt.scale;  // T_to^-1 = [1/s 0 cx; 0 1/s cy; 0 0 1]
  double full[9];
  for (int col = 0; col < 3; ++col) {
    full[0 + col] = a[0 + col] * inv + nt.cx * a[6 + col];
    full[3 + col] = a[3 + col] * inv + nt.cy * a[6 + col];
    full[6 + col] = a[6 + col];
  }
  if (std::abs(full[8]) < 1e-12) return std::nullopt;
  Homography result;
  for (int i = 0; i < 8; ++i) result.m_[i] = full[i] / full[8];
  if (!std::isfinite(result.m_[0] + result.m_[1] + result.m_[2] + result.m_[3] + result.m_[4] +
                     result.m_[5] + result.m_[6] + result.m_[7]))
    return std::nullopt;
  return result;
}

}  // namespace qr::detect
