// The binariser on the light conditions that break simple thresholds.
#include <gtest/gtest.h>

#include "reader/detect/binarizer.h"
#include "reader/detect/tests/scene.h"

namespace qr::detect {
namespace {

using testing::Scene;

// Squares of `side` pixels alternating between `dark` and `light`.
Scene Checkerboard(int width, int height, int side, uint8_t dark, uint8_t light) {
  Scene scene(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      scene.pixels()[static_cast<size_t>(y) * width + x] = (x / side + y / side) % 2 ? dark : light;
  return scene;
}

// Pixels whose bit differs from the square they lie in, a pixel in from
// each square's edge (where blur may rightly go either way).
int Misread(const BitImage& bits, int side) {
  int wrong = 0;
  for (int y = 0; y < bits.height; ++y)
    for (int x = 0; x < bits.width; ++x) {
      if (x % side == 0 || x % side == side - 1 || y % side == 0 || y % side == side - 1) continue;
      wrong += bits.at(x, y) != ((x / side + y / side) % 2 ? 1 : 0);
    }
  return wrong;
}

TEST(Binarize, FollowsLightThatFallsAcrossTheImage) {
  Scene scene = Checkerboard(240, 160, 6, 60, 120);
  scene.Lighting(0.5, 2.0);  // the light squares on the left are darker than the dark ones on the right
  EXPECT_EQ(Misread(Binarize(scene.view()), 6), 0);
}

TEST(Binarize, KeepsPaleLowContrastPatterns) {
  const Scene scene = Checkerboard(240, 160, 4, 140, 172);
  EXPECT_EQ(Misread(Binarize(scene.view()), 4), 0);
}

TEST(Binarize, LeavesAGrainyPlainBackgroundWithoutSpeckle) {
  // A white label on a grey, grainy desk: the desk is one colour throughout,
  // whatever threshold it borrows from the label's edge.
  Scene scene(320, 240, 170);
  for (int y = 80; y < 160; ++y)
    for (int x = 120; x < 200; ++x) scene.pixels()[static_cast<size_t>(y) * 320 + x] = 250;
  scene.AddNoise(14, 21);
  const BitImage bits = Binarize(scene.view());
  int dark = 0, desk = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) {
      if (x >= 100 && x < 220 && y >= 60 && y < 180) continue;  // the label and its surroundings
      dark += bits.at(x, y);
      ++desk;
    }
  EXPECT_TRUE(dark == 0 || dark == desk) << dark << " of " << desk << " desk pixels dark";
}

}  // namespace
}  // namespace qr::detect
