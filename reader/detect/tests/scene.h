// A tiny rasteriser for tests: draws module matrices into a grey image
// through any projective placement, and spoils the image as cameras do.
#pragma once

#include <cstddef>  // before reader/module_grid.h, which uses size_t
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "reader/module_grid.h"
#include "reader/qr_reader.h"

namespace qr::testing {

// A symbol from libqrencode: 8-bit mode, the given version (0: smallest) and level.
ModuleGrid Encode(const std::string& text, int version, Level level);

// How a symbol lies in the image.
struct Placement {
  Point centre{200, 200};
  double module = 4;        // pixels per module
  double degrees = 0;       // turned clockwise on screen
  double tilt = 0;          // 0: square on; 0.3: the right side 30% shorter
  bool mirrored = false;    // drawn as seen in a mirror
  bool inverted = false;    // light modules on a dark field
};

class Scene {
 public:
  Scene(int width, int height, uint8_t background = 255);

  // Draws the symbol with a 4-module quiet zone and returns where its
  // corners went (top-left, top-right, bottom-right, bottom-left of the
  // symbol itself).
  std::array<Point, 4> Draw(const ModuleGrid& symbol, const Placement& placement);

  void Blur(int radius);                        // box blur, twice
  void AddNoise(int amplitude, uint32_t seed);  // uniform, +-amplitude
  void Lighting(double left, double right);     // multiplies by a left-to-right ramp
  void Contrast(int low, int high);             // maps 0..255 onto low..high

  GreyImage view() const { return {width_, height_, width_, pixels_.data()}; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::vector<uint8_t>& pixels() { return pixels_; }

 private:
  int width_, height_;
  std::vector<uint8_t> pixels_;
};

}  // namespace qr::testing
