// The modules of one symbol as sampled from an image, before any decoding.
#pragma once

#include <cstdint>
#include <vector>

namespace qr {

class ModuleGrid {
 public:
  explicit ModuleGrid(int size) : size_(size), cells_(static_cast<size_t>(size) * size, 0) {}

  int size() const { return size_; }
  // x runs right, y down, in the symbol's own orientation; true is dark.
  bool dark(int x, int y) const { return cells_[Index(x, y)] != 0; }
  void set(int x, int y, bool is_dark) { cells_[Index(x, y)] = is_dark ? 1 : 0; }

  // The same symbol seen in a mirror (its main diagonal swapped).
  ModuleGrid Transposed() const {
    ModuleGrid t(size_);
    for (int y = 0; y < size_; ++y)
      for (int x = 0; x < size_; ++x) t.set(y, x, dark(x, y));
    return t;
  }

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * size_ + x; }

  int size_;
  std::vector<uint8_t> cells_;
};

}  // namespace qr
