// Plane projective transforms between a symbol's module space and the image.
#pragma once

#include <cstddef>  // before reader/module_grid.h, which uses size_t
#include <optional>
#include <span>

#include "reader/qr_reader.h"

namespace qr::detect {

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(double s, Point p) { return {s * p.x, s * p.y}; }
double Distance(Point a, Point b);
double Dot(Point a, Point b);
double Cross(Point a, Point b);

// Maps (u, v) to ((a u + b v + c) / (g u + h v + 1), (d u + e v + f) / (g u + h v + 1)).
class Homography {
 public:
  // The least-squares transform taking each `from` point to its `to` point;
  // exact for four points in general position. Empty when the points are
  // degenerate (fewer than four, or too close to a line).
  static std::optional<Homography> Fit(std::span<const Point> from, std::span<const Point> to);

  Point Map(Point p) const { return Map(p.x, p.y); }
  Point Map(double u, double v) const {
    const double w = 1 / (m_[6] * u + m_[7] * v + 1);
    return {(m_[0] * u + m_[1] * v + m_[2]) * w, (m_[3] * u + m_[4] * v + m_[5]) * w};
  }

 private:
  double m_[8] = {1, 0, 0, 0, 1, 0, 0, 0};
};

}  // namespace qr::detect
