#include "service/render.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace service {
namespace {

constexpr int kFinderSize = 7;
constexpr size_t kMaxPaletteSize = 256;

enum class FinderPart { None, Ring, Gap, Dot };

// The finder patterns sit in three corners: top-left, top-right, bottom-left.
FinderPart FinderPartAt(int size, int x, int y) {
  int fx = x < kFinderSize ? x : x - (size - kFinderSize);
  int fy = y < kFinderSize ? y : y - (size - kFinderSize);
  bool in_corner = fx >= 0 && fx < kFinderSize && fy >= 0 && fy < kFinderSize;
  bool bottom_right = x >= kFinderSize && y >= kFinderSize;
  if (!in_corner || bottom_right) return FinderPart::None;
  if (fx == 0 || fy == 0 || fx == kFinderSize - 1 || fy == kFinderSize - 1) return FinderPart::Ring;
  if (fx >= 2 && fx <= 4 && fy >= 2 && fy <= 4) return FinderPart::Dot;
  return FinderPart::Gap;
}

uint8_t Blend(uint8_t from, uint8_t to, int step, int last_step) {
  if (last_step == 0) return from;
  int value = from + ((to - from) * step * 2 + (to > from ? last_step : -last_step)) / (2 * last_step);
  return static_cast<uint8_t>(value);
}

class Palette {
 public:
  explicit Palette(Rgb background) : colours_{background} {}

  uint8_t IndexOf(Rgb colour) { return IndexAmongFirst(colour, colours_.size()); }

  // Searches only the first `searched` entries: the gradient's shades differ
  // from one another, so each is looked for among the colours before them.
  uint8_t IndexAmongFirst(Rgb colour, size_t searched) {
    auto end = colours_.begin() + static_cast<std::ptrdiff_t>(searched);
    auto found = std::find(colours_.begin(), end, colour);
    if (found != end) return static_cast<uint8_t>(found - colours_.begin());
    colours_.push_back(colour);
    return static_cast<uint8_t>(colours_.size() - 1);
  }
  size_t size() const { return colours_.size(); }
  std::vector<Rgb> Take() { return std::move(colours_); }

 private:
  std::vector<Rgb> colours_;
};

int LargestChannelDifference(Rgb a, Rgb b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// The gradient runs along the diagonals x + y of the symbol. It has no more
// steps than the palette has room for, nor than the two colours have shades
// between them, so that no two steps share a colour.
struct Gradient {
  int steps = 1;
  std::vector<uint8_t> index_of_step;

  uint8_t IndexAt(int size, int x, int y) const {
    int diagonal = x + y;
    int last_diagonal = 2 * (size - 1);
    int step = (diagonal * (steps - 1) * 2 + last_diagonal) / (2 * last_diagonal);
    return index_of_step[static_cast<size_t>(step)];
  }
};

Gradient MakeGradient(const Colours& colours, int size, Palette& palette) {
  Gradient gradient;
  size_t room = kMaxPaletteSize - palette.size();
  gradient.steps = static_cast<int>(std::min<size_t>(
      {room, static_cast<size_t>(2 * size - 1),
       static_cast<size_t>(LargestChannelDifference(colours.foreground, colours.gradient)) + 1}));
  size_t before = palette.size();
  int last = gradient.steps - 1;
  for (int step = 0; step < gradient.steps; ++step) {
    Rgb shade{Blend(colours.foreground.r, colours.gradient.r, step, last),
              Blend(colours.foreground.g, colours.gradient.g, step, last),
              Blend(colours.foreground.b, colours.gradient.b, step, last)};
    gradient.index_of_step.push_back(palette.IndexAmongFirst(shade, before));
  }
  return gradient;
}

}  // namespace

IndexedImage RenderSymbol(const QrSymbol& symbol, const Colours& colours, int width, int margin) {
  const int size = symbol.size;
  const int modules_across = size + 2 * margin;
  const int scale = std::max(1, width / modules_across);
  const int side = std::max(width, modules_across);
  const int offset = (side - size * scale) / 2;

  Palette palette(colours.background);
  const uint8_t background = 0;
  const uint8_t ring = palette.IndexOf(colours.finder_ring);
  const uint8_t dot = palette.IndexOf(colours.finder_dot);
  const Gradient gradient = MakeGradient(colours, size, palette);

  IndexedImage image;
  image.width = side;
  image.height = side;
  image.pixels.assign(static_cast<size_t>(side) * side, background);
  for (int y = 0; y < size; ++y) {
    uint8_t* first_row = &image.pixels[static_cast<size_t>(offset + y * scale) * side];
    for (int x = 0; x < size; ++x) {
      uint8_t index = background;
      switch (FinderPartAt(size, x, y)) {
        case FinderPart::Ring: index = ring; break;
        case FinderPart::Dot: index = dot; break;
        case FinderPart::Gap: break;
        case FinderPart::None:
          if (symbol.IsDark(x, y)) index = gradient.IndexAt(size, x, y);
          break;
      }
      std::memset(first_row + offset + x * scale, index, static_cast<size_t>(scale));
    }
    for (int repeat = 1; repeat < scale; ++repeat) {
      std::memcpy(first_row + static_cast<size_t>(repeat) * side, first_row, static_cast<size_t>(side));
    }
  }
  image.palette = palette.Take();
  return image;
}

}  // namespace service
