// Grey pixels from the 32-bit rows GDI+ hands out, averaged over square
// blocks when the picture is larger than the reader should be given.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/qr_reader.h"

namespace psyqrdcd {

// The smallest whole factor that brings width × height (both at least 1)
// within max_pixels once both are divided by it, rounding up.
int ShrinkFactor(int width, int height, int64_t max_pixels);

class GreyShrinker {
 public:
  GreyShrinker(int width, int height, int factor);

  // The next source row, top to bottom: width pixels of 4 bytes each, in
  // memory order blue, green, red, alpha. Transparent parts count as white.
  void AddRow(const uint8_t* bgra);

  int factor() const { return factor_; }
  // The shrunk picture; complete once every source row is added.
  qr::GreyImage View() const { return {width_, height_, width_, pixels_.data()}; }

 private:
  void FinishBlockRow();

  int source_width_;
  int source_height_;
  int factor_;
  int width_;
  int height_;
  int next_row_ = 0;
  std::vector<uint32_t> sums_;  // one row of blocks being summed
  std::vector<uint8_t> pixels_;
};

}  // namespace psyqrdcd
