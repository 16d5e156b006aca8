#include "app/picture_box_pcx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/tests/picture_box_fixtures.h"

namespace app {
namespace {

using Bytes = std::vector<uint8_t>;

struct PcxSpec {
  uint8_t encoding = 1;
  uint8_t bits = 8;
  uint8_t planes = 1;
  uint16_t x_min = 0, y_min = 0, x_max = 0, y_max = 0;
  uint16_t bytes_per_line = 2;
  Bytes header_palette = {};  // up to 16 colours
  Bytes data = {};            // the coded scan lines
  std::optional<Bytes> vga_palette = {};  // 256 colours, after the marker byte
};

Bytes MakePcx(const PcxSpec& s) {
  constexpr size_t kHeader = 128, kVgaPalette = 1 + 768;
  Bytes file(kHeader + s.data.size() + (s.vga_palette ? kVgaPalette : 0), 0);
  file[0] = 0x0A;
  file[1] = 5;
  file[2] = s.encoding;
  file[3] = s.bits;
  const auto put16 = [&](size_t at, uint16_t v) {
    file[at] = static_cast<uint8_t>(v);
    file[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(4, s.x_min);
  put16(6, s.y_min);
  put16(8, s.x_max);
  put16(10, s.y_max);
  std::copy(s.header_palette.begin(), s.header_palette.end(), file.begin() + 16);
  file[65] = s.planes;
  put16(66, s.bytes_per_line);
  std::copy(s.data.begin(), s.data.end(), file.begin() + kHeader);
  if (s.vga_palette) {
    const auto palette = file.end() - 768;
    palette[-1] = 0x0C;
    std::copy_n(s.vga_palette->begin(), std::min<size_t>(768, s.vga_palette->size()), palette);
  }
  return file;
}

// Palette entry k is (k, 0x10 + k, 0x20 + k), so a pixel shows its index.
Bytes CountingPalette(int colours) {
  Bytes palette;
  for (int k = 0; k < colours; ++k) palette.insert(palette.end(), {uint8_t(k), uint8_t(0x10 + k), uint8_t(0x20 + k)});
  return palette;
}
constexpr uint32_t Counted(uint32_t k) { return k << 16 | (0x10 + k) << 8 | (0x20 + k); }

TEST(DecodePcx, ReadsTheFixturesOfOtherWriters) {
  using namespace test;
  const uint32_t black = 0x000000, white = 0xFFFFFF;
  const struct {
    const char* file;
    uint32_t quadrants[4];
  } cases[] = {
      {"quadrants24.pcx", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}},  // ImageMagick, 3 planes
      {"quadrants8.pcx", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}},   // ImageMagick, 256 colours
      {"quadrants1.pcx", {black, white, black, white}},                       // Pillow, black and white
  };
  for (const auto& c : cases) {
    const PcxPicture picture = DecodePcx(FixtureBytes(c.file));
    ASSERT_EQ(picture.error, PcxError::kNone) << c.file;
    ASSERT_EQ(picture.pixels.width, 32) << c.file;
    ASSERT_EQ(picture.pixels.height, 32) << c.file;
    ASSERT_EQ(picture.pixels.rgb.size(), 32u * 32u) << c.file;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const uint32_t expected = c.quadrants[(y / 16) * 2 + x / 16];
        ASSERT_EQ(picture.pixels.rgb[static_cast<size_t>(y * 32 + x)], expected) << c.file << " at " << x << "," << y;
      }
    }
  }
}

TEST(DecodePcx, ReadsEachLayoutAndCoding) {
  const Bytes vga = [] {
    Bytes p(768, 0);
    p[7 * 3] = 1, p[7 * 3 + 1] = 2, p[7 * 3 + 2] = 3;
    p[0xC5 * 3] = 0xAA, p[0xC6 * 3] = 0xBB;
    p[9 * 3 + 2] = 0x99;
    return p;
  }();
  const struct {
    const char* name;
    PcxSpec layout;
    std::vector<uint32_t> expected;  // row by row
  } cases[] = {
      {"16 colours in four bit planes, plane p giving bit p",
       {.bits = 1, .planes = 4, .x_max = 7, .bytes_per_line = 2, .header_palette = CountingPalette(16),
        .data = {0x55, 0, 0x33, 0, 0x0F, 0, 0, 0}},
       {Counted(0), Counted(1), Counted(2), Counted(3), Counted(4), Counted(5), Counted(6), Counted(7)}},
      {"16 colours packed, high nibble first",
       {.bits = 4, .x_max = 2, .header_palette = CountingPalette(16), .data = {0x12, 0x30}},
       {Counted(1), Counted(2), Counted(3)}},
      {"4 colours packed; literal bytes of C0 and up come as runs of one",
       {.bits = 2, .x_max = 4, .header_palette = CountingPalette(4), .data = {0xC1, 0xE4, 0xC1, 0xC0}},
       {Counted(3), Counted(2), Counted(1), Counted(0), Counted(3)}},
      {"black and white ignores the header palette",
       {.bits = 1, .x_max = 7, .header_palette = CountingPalette(2), .data = {0xA5, 0}},
       {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF, 0, 0xFFFFFF}},
      {"256 colours, one run across the line end",
       {.x_max = 1, .y_max = 1, .data = {0xC4, 7}, .vga_palette = vga},
       {0x010203, 0x010203, 0x010203, 0x010203}},
      {"uncoded: every byte stands for itself",
       {.encoding = 0, .x_max = 1, .data = {0xC5, 0xC6}, .vga_palette = vga},
       {0xAA0000, 0xBB0000}},
      {"line padding is skipped",
       {.x_max = 2, .y_max = 1, .bytes_per_line = 4, .data = {7, 7, 7, 9, 9, 9, 9, 7}, .vga_palette = vga},
       {0x010203, 0x010203, 0x010203, 0x000099, 0x000099, 0x000099}},
      {"24-bit planes, the window not at the origin",
       {.planes = 3, .x_min = 10, .y_min = 5, .x_max = 11, .y_max = 5, .data = {0x11, 0x12, 0x21, 0x22, 0x31, 0x32}},
       {0x112131, 0x122232}},
      {"a fourth plane is ignored",
       {.planes = 4, .x_max = 1, .data = {0x11, 0x12, 0x21, 0x22, 0x31, 0x32, 0xC2, 0xFF}},
       {0x112131, 0x122232}},
  };
  for (const auto& c : cases) {
    const PcxPicture picture = DecodePcx(MakePcx(c.layout));
    ASSERT_EQ(picture.error, PcxError::kNone) << c.name;
    EXPECT_EQ(picture.pixels.width, c.layout.x_max - c.layout.x_min + 1) << c.name;
    EXPECT_EQ(picture.pixels.height, c.layout.y_max - c.layout.y_min + 1) << c.name;
    EXPECT_EQ(picture.pixels.rgb, c.expected) << c.name;
  }
}

TEST(DecodePcx, RefusesWhatItCannotRead) {
  const Bytes vga(768, 0);
  Bytes not_zsoft = MakePcx({.data = {0, 0}, .vga_palette = vga});
  not_zsoft[0] = 0x0B;
  Bytes unknown_coding = MakePcx({.data = {0, 0}, .vga_palette = vga});
  unknown_coding[2] = 2;
  const struct {
    const char* name;
    Bytes file;
    PcxError expected;
  } cases[] = {
      {"shorter than a header", Bytes(100, 0x0A), PcxError::kBadHeader},
      {"not ZSoft's maker byte", not_zsoft, PcxError::kBadHeader},
      {"unknown coding", unknown_coding, PcxError::kBadHeader},
      {"window ends before it starts", MakePcx({.x_min = 5, .x_max = 4, .data = {0}}), PcxError::kBadHeader},
      {"lines shorter than the width", MakePcx({.x_max = 16, .bytes_per_line = 16, .data = {0}}),
       PcxError::kBadHeader},
      {"two planes of 8 bits", MakePcx({.planes = 2, .data = {0, 0, 0, 0}}), PcxError::kUnsupportedLayout},
      {"four planes of 4 bits", MakePcx({.bits = 4, .planes = 4, .data = {0}}), PcxError::kUnsupportedLayout},
      {"3 bits per plane", MakePcx({.bits = 3, .data = {0}}), PcxError::kUnsupportedLayout},
      {"65535 pixels square", MakePcx({.x_max = 65534, .y_max = 65534, .bytes_per_line = 65535, .data = {0}}),
       PcxError::kTooLarge},
      // (With 256 colours the palette would follow and be read as scan lines.)
      {"data ends inside a line", MakePcx({.planes = 3, .x_max = 3, .bytes_per_line = 4, .data = {1, 2}}),
       PcxError::kTruncated},
      {"run count without its byte", MakePcx({.x_max = 1, .data = {0xC2}}), PcxError::kTruncated},
      // Far more lines than the data could ever expand to: refused before any is expanded.
      {"4096 lines from four bytes", MakePcx({.x_max = 4095, .y_max = 4095, .bytes_per_line = 4096,
                                             .data = {0xFF, 1, 0xFF, 1}}),
       PcxError::kTruncated},
      {"256 colours without the palette", MakePcx({.x_max = 1, .data = {0, 0}}), PcxError::kMissingPalette},
  };
  for (const auto& c : cases) {
    const PcxPicture picture = DecodePcx(c.file);
    EXPECT_EQ(picture.error, c.expected) << c.name;
    EXPECT_TRUE(picture.pixels.rgb.empty()) << c.name;
  }
}

}  // namespace
}  // namespace app
