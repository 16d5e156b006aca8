// The locator against symbols drawn from libqrencode matrices: the grid it
// samples must be the encoder's, whatever the placement and the damage.
// A stand-in decoder accepts a grid only when it equals an expected matrix,
// so these tests need no bitstream decoder.
#include <gtest/gtest.h>

#include <cmath>

#include "reader/detect/binarizer.h"
#include "reader/detect/locator.h"
#include "reader/detect/tests/scene.h"

namespace qr::detect {
namespace {

using testing::Encode;
using testing::Placement;
using testing::Scene;

// Accepts a grid equal to one of `expected` (tolerating `slack` wrong
// modules); content.utf8 names which one.
GridDecoder MatchingDecoder(const std::vector<ModuleGrid>& expected, int slack = 0) {
  return [&expected, slack](const ModuleGrid& grid) {
    for (size_t i = 0; i < expected.size(); ++i) {
      if (expected[i].size() != grid.size()) continue;
      int wrong = 0;
      for (int y = 0; y < grid.size(); ++y)
        for (int x = 0; x < grid.size(); ++x) wrong += expected[i].dark(x, y) != grid.dark(x, y);
      if (wrong <= slack) {
        DecodeOutcome ok{DecodeStatus::kOk, {}};
        ok.content.utf8 = std::to_string(i);
        return ok;
      }
    }
    return DecodeOutcome{DecodeStatus::kTooManyErrors, {}};
  };
}

std::vector<FoundSymbol> Locate(const Scene& scene, const GridDecoder& decode) {
  BitImage bits = Binarize(scene.view());
  return LocateSymbols(scene.view(), bits, decode, Limits{});
}

void ExpectCorners(const std::array<Point, 4>& actual, const std::array<Point, 4>& expected, double tolerance) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(actual[i].x, expected[i].x, tolerance) << "corner " << i;
    EXPECT_NEAR(actual[i].y, expected[i].y, tolerance) << "corner " << i;
  }
}

struct PlacementCase {
  const char* name;
  int version;
  Placement placement;
  int blur = 0;
  int noise = 0;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class PlacedSymbol : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacedSymbol, SamplesTheEncodersGridAndFindsItsCorners) {
  const PlacementCase& c = GetParam();
  const std::vector<ModuleGrid> expected{Encode("Zenqar reads this symbol", c.version, Level::kM)};
  Scene scene(480, 480, c.placement.inverted ? 0 : 255);
  const auto corners = scene.Draw(expected[0], c.placement);
  if (c.blur) scene.Blur(c.blur);
  if (c.noise) scene.AddNoise(c.noise, 7);

  // A few modules lost to blur or noise are the decoder's to correct.
  const int slack = expected[0].size() * expected[0].size() / 100;
  const auto found = Locate(scene, MatchingDecoder(expected, slack));
  ASSERT_EQ(found.size(), 1u);
  ExpectCorners(found[0].corners, corners, c.placement.module);
}

Placement At(double module, double degrees, double tilt = 0, bool mirrored = false, bool inverted = false) {
  Placement p;
  p.centre = {240, 240};
  p.module = module;
  p.degrees = degrees;
  p.tilt = tilt;
  p.mirrored = mirrored;
  p.inverted = inverted;
  return p;
}

INSTANTIATE_TEST_SUITE_P(
    Placements, PlacedSymbol,
    ::testing::Values(PlacementCase{"upright_v1", 1, At(6, 0)}, PlacementCase{"quarter_turn_v2", 2, At(5, 90)},
                      PlacementCase{"half_turn_v3", 3, At(4, 180)}, PlacementCase{"three_quarters_v4", 4, At(4, 270)},
                      PlacementCase{"turned_33_v5", 5, At(3.5, 33)}, PlacementCase{"turned_45_v1", 1, At(6, 45)},
                      PlacementCase{"turned_300_v7", 7, At(3, 300)}, PlacementCase{"tilted_v2", 2, At(5, 10, 0.3)},
                      PlacementCase{"tilted_v1", 1, At(6, 20, 0.25)}, PlacementCase{"tilted_v10", 10, At(3, 5, 0.2)},
                      PlacementCase{"inverted_v3", 3, At(4, 15, 0, false, true)},
                      PlacementCase{"mirrored_v4", 4, At(4, 60, 0, true)},
                      PlacementCase{"mirrored_inverted_v2", 2, At(5, 200, 0.1, true, true)},
                      PlacementCase{"blurred_v5", 5, At(4, 12), 1},
                      PlacementCase{"noisy_v6", 6, At(4, 75), 0, 60},
                      PlacementCase{"large_v25", 25, At(3.5, 8)},
                      PlacementCase{"large_v40", 40, At(2.5, 0)}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(LocateSymbols, FindsEverySymbolOfAPageAndUsesNoFinderTwice) {
  const std::vector<ModuleGrid> expected{Encode("first", 1, Level::kL), Encode("second symbol", 2, Level::kM),
                                         Encode("third, turned", 3, Level::kQ), Encode("fourth", 1, Level::kH)};
  struct Placed { double x, y, module, degrees; bool mirrored; };
  const Placed placed[] = {{160, 160, 5, 0, false}, {480, 160, 5, 30, false}, {160, 480, 4, 180, false},
                           {480, 480, 5, 90, true}};
  Scene scene(640, 640);
  std::vector<std::array<Point, 4>> corners;
  for (size_t i = 0; i < expected.size(); ++i) {
    Placement p = At(placed[i].module, placed[i].degrees, 0, placed[i].mirrored);
    p.centre = {placed[i].x, placed[i].y};
    corners.push_back(scene.Draw(expected[i], p));
  }

  const auto found = Locate(scene, MatchingDecoder(expected));
  ASSERT_EQ(found.size(), 4u);
  std::vector<bool> seen(4, false);
  for (const auto& symbol : found) {
    const int which = std::stoi(symbol.content.utf8);
    EXPECT_FALSE(seen[which]);
    seen[which] = true;
    ExpectCorners(symbol.corners, corners[which], 5);
  }
}

TEST(LocateSymbols, SurvivesUnevenLightAndLowContrast) {
  const std::vector<ModuleGrid> expected{Encode("in the shade", 4, Level::kQ)};
  Scene scene(480, 480);
  scene.Draw(expected[0], At(5, 20));
  scene.Contrast(90, 150);
  scene.Lighting(0.4, 1.6);
  EXPECT_EQ(Locate(scene, MatchingDecoder(expected)).size(), 1u);
}

TEST(LocateSymbols, FindsNothingInBlankOrNoise) {
  const std::vector<ModuleGrid> none;
  Scene blank(300, 200);
  EXPECT_TRUE(Locate(blank, MatchingDecoder(none)).empty());
  Scene noise(300, 200, 128);
  noise.AddNoise(127, 3);
  EXPECT_TRUE(Locate(noise, MatchingDecoder(none)).empty());
}

}  // namespace
}  // namespace qr::detect
