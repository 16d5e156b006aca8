// ReadSymbols end to end: drawn symbols, read back with the real decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "reader/detect/tests/scene.h"
#include "reader/qr_reader.h"

namespace qr {
namespace {

using testing::Encode;
using testing::Placement;
using testing::Scene;

void ExpectCorners(const std::array<Point, 4>& actual, const std::array<Point, 4>& expected, double tolerance) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(actual[i].x, expected[i].x, tolerance) << "corner " << i;
    EXPECT_NEAR(actual[i].y, expected[i].y, tolerance) << "corner " << i;
  }
}

struct ReadCase {
  const char* name;
  int version;
  Level level;
  Placement placement;
  // Damage, applied in this order.
  int blur = 0;
  int noise = 0;
  int contrast_low = 0, contrast_high = 255;
  double light_left = 1, light_right = 1;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

Placement Placed(double module, double degrees, double tilt = 0, bool mirrored = false, bool inverted = false) {
  Placement p;
  p.centre = {250, 250};
  p.module = module;
  p.degrees = degrees;
  p.tilt = tilt;
  p.mirrored = mirrored;
  p.inverted = inverted;
  return p;
}

class ReadOne : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadOne, ReadsTheTextLevelVersionAndCorners) {
  const ReadCase& c = GetParam();
  const std::string text = std::string("Zenqar: ") + c.name;
  const ModuleGrid symbol = Encode(text, c.version, c.level);
  Scene scene(500, 500, c.placement.inverted ? 0 : 255);
  const auto corners = scene.Draw(symbol, c.placement);
  if (c.blur) scene.Blur(c.blur);
  if (c.noise) scene.AddNoise(c.noise, 11);
  scene.Contrast(c.contrast_low, c.contrast_high);
  scene.Lighting(c.light_left, c.light_right);

  const auto found = ReadSymbols(scene.view());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].content.utf8, text);
  EXPECT_EQ(found[0].content.version, (symbol.size() - 17) / 4);
  EXPECT_EQ(found[0].content.level, c.level);
  ExpectCorners(found[0].corners, corners, c.placement.module);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadOne,
    ::testing::Values(
        ReadCase{"upright", 1, Level::kL, Placed(6, 0)}, ReadCase{"quarter", 3, Level::kM, Placed(5, 90)},
        ReadCase{"half", 5, Level::kQ, Placed(4, 180)}, ReadCase{"three_quarters", 2, Level::kH, Placed(5, 270)},
        ReadCase{"turned_17", 8, Level::kM, Placed(3.5, 17)}, ReadCase{"turned_135", 4, Level::kL, Placed(4, 135)},
        ReadCase{"strong_perspective_v1", 1, Level::kM, Placed(7, 25, 0.4)},
        ReadCase{"strong_perspective_v6", 6, Level::kM, Placed(4, -10, 0.4)},
        ReadCase{"perspective_v15", 15, Level::kL, Placed(3.5, 40, 0.25)},
        ReadCase{"inverted", 3, Level::kQ, Placed(5, 10, 0, false, true)},
        ReadCase{"mirrored", 4, Level::kM, Placed(4, 70, 0, true)},
        ReadCase{"mirrored_inverted_tilted", 2, Level::kL, Placed(5, 200, 0.2, true, true)},
        ReadCase{"large_version", 30, Level::kL, Placed(3, 5)},
        ReadCase{"blur_and_noise", 5, Level::kH, Placed(4, 30), 1, 40},
        // Blurred past the point where lone modules cross the threshold.
        ReadCase{"heavy_blur", 3, Level::kM, Placed(4, 0), 2},
        ReadCase{"low_contrast_uneven_light", 4, Level::kM, Placed(4, 45), 0, 0, 90, 160, 0.6, 1.4},
        // Grey on grey: flat light blocks must not drag the threshold below
        // the dark modules.
        ReadCase{"pale", 2, Level::kM, Placed(4, 0), 0, 0, 132, 190}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(ReadSymbols, ReadsEverySymbolOnAPage) {
  Scene scene(900, 700);
  const std::vector<std::string> texts{"one", "two: turned", "three: mirrored", "four: inverted on a dark patch",
                                       "five: small", "six: tilted"};
  struct Spot { double x, y, module, degrees, tilt; bool mirrored, inverted; int version; };
  const Spot spots[] = {{150, 150, 5, 0, 0, false, false, 1},  {450, 150, 4, 33, 0, false, false, 3},
                        {750, 160, 4, 90, 0, true, false, 2},  {150, 500, 4, 0, 0, false, true, 4},
                        {450, 500, 2.5, 12, 0, false, false, 2}, {750, 520, 5, 200, 0.25, false, false, 3}};
  std::vector<std::array<Point, 4>> corners;
  for (size_t i = 0; i < texts.size(); ++i) {
    Placement p;
    p.centre = {spots[i].x, spots[i].y};
    p.module = spots[i].module;
    p.degrees = spots[i].degrees;
    p.tilt = spots[i].tilt;
    p.mirrored = spots[i].mirrored;
    p.inverted = spots[i].inverted;
    corners.push_back(scene.Draw(Encode(texts[i], spots[i].version, Level::kM), p));
  }

  const auto found = ReadSymbols(scene.view());
  ASSERT_EQ(found.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    const auto it = std::find_if(found.begin(), found.end(),
                                 [&](const FoundSymbol& s) { return s.content.utf8 == texts[i]; });
    ASSERT_NE(it, found.end()) << texts[i];
    ExpectCorners(it->corners, corners[i], 5);
  }
}

TEST(ReadSymbols, ReadsASheetOfThirtyLabels) {
  // Ninety finders, and the data of each symbol full of finder-like patterns.
  Scene scene(600, 500);
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 6; ++column) {
      Placement p;
      p.centre = {50 + column * 100.0, 50 + row * 100.0};
      p.module = 3;
      p.degrees = (row * 6 + column) % 4 * 90 + column % 3 * 4;
      scene.Draw(Encode("label " + std::to_string(row * 6 + column), 1, Level::kL), p);
    }
  const auto found = ReadSymbols(scene.view());
  std::vector<std::string> texts;
  for (const auto& symbol : found) texts.push_back(symbol.content.utf8);
  std::sort(texts.begin(), texts.end());
  std::vector<std::string> expected;
  for (int i = 0; i < 30; ++i) expected.push_back("label " + std::to_string(i));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(texts, expected);
}

TEST(ReadSymbols, ReadsTinyImagesWithoutAQuietZone) {
  // One pixel per module, the symbol filling the image edge to edge.
  const ModuleGrid symbol = Encode("tiny", 1, Level::kL);
  std::vector<uint8_t> pixels(21 * 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) pixels[y * 21 + x] = symbol.dark(x, y) ? 0 : 255;
  const auto found = ReadSymbols({21, 21, 21, pixels.data()});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].content.utf8, "tiny");
  ExpectCorners(found[0].corners, {Point{0, 0}, {21, 0}, {21, 21}, {0, 21}}, 1);
}

TEST(ReadSymbols, ShrinksHugeImagesAndReportsCornersInTheirCoordinates) {
  Scene scene(5000, 4000);
  Placement p;
  p.centre = {3100, 1900};
  p.module = 24;
  p.degrees = 20;
  const auto corners = scene.Draw(Encode("huge image", 3, Level::kM), p);
  const auto found = ReadSymbols(scene.view());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].content.utf8, "huge image");
  ExpectCorners(found[0].corners, corners, 24);
}

TEST(ReadSymbols, HonoursTheStride) {
  const ModuleGrid symbol = Encode("stride", 1, Level::kL);
  Scene scene(200, 200);
  Placement p;
  p.centre = {100, 100};
  p.module = 5;
  scene.Draw(symbol, p);
  // The same pixels with 56 bytes of junk after each row.
  const int stride = 256;
  std::vector<uint8_t> padded(static_cast<size_t>(stride) * 200, 0);
  for (int y = 0; y < 200; ++y)
    std::copy_n(&scene.pixels()[static_cast<size_t>(y) * 200], 200, &padded[static_cast<size_t>(y) * stride]);
  const auto found = ReadSymbols({200, 200, stride, padded.data()});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].content.utf8, "stride");
}

TEST(ReadSymbols, FindsNothingWhereThereIsNothing) {
  Scene blank(400, 300);
  EXPECT_TRUE(ReadSymbols(blank.view()).empty());
  Scene noise(400, 300, 128);
  noise.AddNoise(127, 5);
  EXPECT_TRUE(ReadSymbols(noise.view()).empty());
  // Finder patterns alone, without the rest of a symbol.
  Scene finders(300, 300);
  ModuleGrid finder_only(21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      const auto ring = [](int a, int b) {
        const int d = std::max(std::abs(a - 3), std::abs(b - 3));
        return a >= 0 && a < 7 && b >= 0 && b < 7 && d != 2;
      };
      finder_only.set(x, y, ring(x, y) || ring(x - 14, y) || ring(x, y - 14));
    }
  Placement p;
  p.centre = {150, 150};
  p.module = 6;
  finders.Draw(finder_only, p);
  EXPECT_TRUE(ReadSymbols(finders.view()).empty());
}

TEST(ReadSymbols, RefusesMalformedImages) {
  const uint8_t pixel = 0;
  EXPECT_TRUE(ReadSymbols({0, 0, 0, &pixel}).empty());
  EXPECT_TRUE(ReadSymbols({10, 10, 10, nullptr}).empty());
  EXPECT_TRUE(ReadSymbols({10, 10, 5, &pixel}).empty());
  EXPECT_TRUE(ReadSymbols({-3, 10, 10, &pixel}).empty());
  EXPECT_TRUE(ReadSymbols({1, 1, 1, &pixel}).empty());
}

}  // namespace
}  // namespace qr
