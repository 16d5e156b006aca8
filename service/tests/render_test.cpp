#include "service/render.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <tuple>
#include <algorithm>
#include <string>

#include "service/symbol.h"

namespace service {
namespace {

QrSymbol Symbol(const std::string& content, Level level = Level::L) {
  Outcome<QrSymbol> symbol = EncodeSymbol(content, level);
  EXPECT_TRUE(symbol.ok()) << symbol.failure().message;
  return symbol.ok() ? symbol.value() : QrSymbol{};
}

TEST(Symbol, SmallestVersionThatFitsAndNoFurther) {
  const struct {
    size_t bytes;
    Level level;
    int size;  // 0: does not fit
  } cases[] = {
      {3, Level::L, 21},      {17, Level::L, 21},     {18, Level::L, 25},  {7, Level::H, 21},  {8, Level::H, 25},
      {2953, Level::L, 177},  {2954, Level::L, 0},    {2331, Level::M, 177}, {2332, Level::M, 0},
      {1663, Level::Q, 177},  {1664, Level::Q, 0},    {1273, Level::H, 177}, {1274, Level::H, 0},
  };
  for (const auto& c : cases) {
    Outcome<QrSymbol> symbol = EncodeSymbol(std::string(c.bytes, 'a'), c.level);
    if (c.size == 0) {
      ASSERT_FALSE(symbol.ok()) << c.bytes;
      EXPECT_EQ(symbol.failure().status, 400);
      EXPECT_EQ(symbol.failure().message.rfind("text too long for a QR symbol at level", 0), 0u);
    } else {
      ASSERT_TRUE(symbol.ok()) << c.bytes << ": " << symbol.failure().message;
      EXPECT_EQ(symbol.value().size, c.size) << c.bytes;
    }
  }
}

int Distance(Rgb a, Rgb b) { return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}); }

Rgb Lerp(Rgb from, Rgb to, double t) {
  auto channel = [t](int a, int b) { return static_cast<uint8_t>(a + (b - a) * t + 0.5); };
  return Rgb{channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

TEST(Render, EachPartHasItsColour) {
  const Colours colours{.foreground = {200, 0, 0},
                        .background = {250, 250, 240},
                        .gradient = {0, 0, 200},
                        .finder_ring = {0, 128, 0},
                        .finder_dot = {200, 200, 0}};
  const QrSymbol symbol = Symbol("colours");
  const int n = symbol.size;  // 21
  const IndexedImage image = RenderSymbol(symbol, colours, 300, 4);
  ASSERT_EQ(image.width, 300);
  const int scale = 300 / (n + 8);
  const int offset = (300 - n * scale) / 2;
  auto module = [&](int x, int y) { return image.At(offset + x * scale + scale / 2, offset + y * scale + scale / 2); };

  // Top-left, top-right and bottom-left finders, by their corner module.
  const int finders[][2] = {{0, 0}, {n - 7, 0}, {0, n - 7}};
  for (const auto& f : finders) {
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(module(f[0] + i, f[1]), colours.finder_ring);
      EXPECT_EQ(module(f[0] + i, f[1] + 6), colours.finder_ring);
      EXPECT_EQ(module(f[0], f[1] + i), colours.finder_ring);
      EXPECT_EQ(module(f[0] + 6, f[1] + i), colours.finder_ring);
    }
    EXPECT_EQ(module(f[0] + 1, f[1] + 1), colours.background);
    EXPECT_EQ(module(f[0] + 5, f[1] + 3), colours.background);
    for (int y = 2; y <= 4; ++y)
      for (int x = 2; x <= 4; ++x) EXPECT_EQ(module(f[0] + x, f[1] + y), colours.finder_dot);
  }

  // Every other module: light ones in the background, dark ones on the
  // diagonal blend from the foreground (top-left) to the gradient colour.
  auto in_finder = [n](int x, int y) { return (x < 8 && y < 8) || (x >= n - 8 && y < 8) || (x < 8 && y >= n - 8); };
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      if (in_finder(x, y)) continue;
      if (!symbol.IsDark(x, y)) {
        EXPECT_EQ(module(x, y), colours.background) << x << "," << y;
        continue;
      }
      Rgb expected = Lerp(colours.foreground, colours.gradient, (x + y) / (2.0 * (n - 1)));
      EXPECT_LE(Distance(module(x, y), expected), 3) << x << "," << y;
    }
  }

  // The quiet zone, with the room left over, is background throughout.
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      bool outside = x < offset || y < offset || x >= offset + n * scale || y >= offset + n * scale;
      if (outside && image.At(x, y) != colours.background) FAIL() << "quiet zone pixel " << x << "," << y;
    }
  }
}

TEST(Render, ImageIsTheAskedSizeWithWholePixelModules) {
  const struct {
    size_t bytes;
    int width, margin;
    int side, scale;
  } cases[] = {
      {3, 300, 4, 300, 10},     // 21 + 8 modules across
      {3, 145, 4, 145, 5},
      {3, 145, 0, 145, 6},
      {3, 10, 4, 29, 1},        // too small: one pixel a module
      {3, 1000, 20, 1000, 16},
      {2900, 300, 4, 300, 1},   // version 40
  };
  for (const auto& c : cases) {
    const QrSymbol symbol = Symbol(std::string(c.bytes, 'q'));
    const IndexedImage image = RenderSymbol(symbol, Colours{}, c.width, c.margin);
    EXPECT_EQ(image.width, c.side) << c.bytes << " " << c.width;
    EXPECT_EQ(image.height, c.side);
    ASSERT_EQ(image.pixels.size(), static_cast<size_t>(c.side) * c.side);
    // The top-left finder's ring is exactly `scale` pixels thick.
    const int offset = (c.side - symbol.size * c.scale) / 2;
    EXPECT_GE(offset, c.margin * c.scale);
    const int column = offset + c.scale + c.scale / 2;
    EXPECT_EQ(image.At(column, offset + c.scale - 1), (Rgb{0, 0, 0})) << c.bytes << " " << c.width;
    EXPECT_EQ(image.At(column, offset + c.scale), (Rgb{255, 255, 255})) << c.bytes << " " << c.width;
    EXPECT_EQ(image.At(offset - 1, offset), (Rgb{255, 255, 255}));
  }
}

TEST(Render, PaletteHoldsOnlyTheColoursInUse) {
  const QrSymbol small = Symbol("plain");
  EXPECT_EQ(RenderSymbol(small, Colours{}, 300, 4).palette.size(), 2u);  // a one-bit image

  // A long, wide gradient is quantised into what a palette can hold, with
  // no colour twice.
  const QrSymbol large = Symbol(std::string(2900, 'q'));
  Colours wide;
  wide.foreground = {0, 0, 0};
  wide.gradient = {255, 255, 255};
  wide.background = {255, 255, 0};
  const IndexedImage image = RenderSymbol(large, wide, 400, 4);
  EXPECT_LE(image.palette.size(), 256u);
  std::set<std::tuple<int, int, int>> distinct;
  for (Rgb colour : image.palette) distinct.insert({colour.r, colour.g, colour.b});
  EXPECT_EQ(distinct.size(), image.palette.size());
  EXPECT_GT(image.palette.size(), 200u);
}

}  // namespace
}  // namespace service
