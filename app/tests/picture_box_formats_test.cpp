#include "app/picture_box_formats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tests/picture_box_fixtures.h"

namespace app {
namespace {

using Bytes = std::vector<uint8_t>;
using test::FixtureBytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes WithSize(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

TEST(SniffPictureFormat, TellsTheReadFormatsByTheirLeadingBytes) {
  const struct {
    const char* name;
    Bytes bytes;
    PictureFormat expected;
  } cases[] = {
      {"BMP", FixtureBytes("quadrants.bmp"), PictureFormat::kBmp},
      {"JPEG", FixtureBytes("quadrants.jpg"), PictureFormat::kJpeg},
      {"GIF87a", FixtureBytes("quadrants87.gif"), PictureFormat::kGif},
      {"GIF89a", FixtureBytes("quadrants89.gif"), PictureFormat::kGif},
      {"icon", FixtureBytes("quadrants.ico"), PictureFormat::kIcon},
      {"cursor", FixtureBytes("quadrants.cur"), PictureFormat::kCursor},
      {"PCX 1-bit", FixtureBytes("quadrants1.pcx"), PictureFormat::kPcx},
      {"PCX 8-bit", FixtureBytes("quadrants8.pcx"), PictureFormat::kPcx},
      {"PCX 24-bit", FixtureBytes("quadrants24.pcx"), PictureFormat::kPcx},
      // Not read on purpose, or not pictures at all.
      {"PNG", FixtureBytes("quadrants.png"), PictureFormat::kNone},
      {"empty", {}, PictureFormat::kNone},
      {"text", Text("hello, world"), PictureFormat::kNone},
      {"unknown GIF version", Text("GIF88a"), PictureFormat::kNone},
      {"cut-off JPEG marker", {0xFF, 0xD8}, PictureFormat::kNone},
      {"icon directory without images", {0, 0, 1, 0, 0, 0}, PictureFormat::kNone},
      {"icon directory of an unknown type", {0, 0, 3, 0, 1, 0}, PictureFormat::kNone},
      {"PCX header cut short", WithSize({0x0A, 5, 1, 8}, 127), PictureFormat::kNone},
      {"PCX with an unknown coding", WithSize({0x0A, 5, 2, 8}, 128), PictureFormat::kNone},
      {"PCX with 3 bits per plane", WithSize({0x0A, 5, 1, 3}, 128), PictureFormat::kNone},
      {"PCX of an unknown version", WithSize({0x0A, 1, 1, 8}, 128), PictureFormat::kNone},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.bytes.empty() && std::string(c.name) != "empty") << "missing fixture for " << c.name;
    EXPECT_EQ(SniffPictureFormat(c.bytes), c.expected) << c.name;
  }
}

// An icon directory with the given entries: width, height, hot spot or
// planes/bits, size and offset, as the file stores them.
struct Entry {
  uint8_t width, height;
  uint16_t word1, word2;
  uint32_t size, offset;
};

Bytes IconDirectory(uint16_t type, const std::vector<Entry>& entries, size_t file_size) {
  Bytes file{0, 0, static_cast<uint8_t>(type), 0, static_cast<uint8_t>(entries.size()), 0};
  const auto put16 = [&](uint16_t v) { file.insert(file.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); };
  for (const Entry& e : entries) {
    file.insert(file.end(), {e.width, e.height, 0, 0});
    put16(e.word1);
    put16(e.word2);
    put16(static_cast<uint16_t>(e.size));
    put16(static_cast<uint16_t>(e.size >> 16));
    put16(static_cast<uint16_t>(e.offset));
    put16(static_cast<uint16_t>(e.offset >> 16));
  }
  file.resize(file_size);
  return file;
}

TEST(LargestIconImage, PicksTheLargestImageOfTheFixtures) {
  const Bytes icon = FixtureBytes("quadrants.ico");
  const auto image = LargestIconImage(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 32);
  EXPECT_EQ(image->height, 32);
  EXPECT_EQ(icon.at(image->offset), 40) << "the image starts with its BITMAPINFOHEADER";
  EXPECT_EQ(image->offset + image->size, icon.size()) << "the second, last image";

  const auto cursor = LargestIconImage(FixtureBytes("quadrants.cur"));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->width, 32);
  EXPECT_EQ(cursor->hotspot_x, 3);
  EXPECT_EQ(cursor->hotspot_y, 4);
}

TEST(LargestIconImage, WeighsAreaThenBytesAndSkipsEntriesOutsideTheFile) {
  const struct {
    const char* name;
    Bytes file;
    std::optional<std::pair<int, size_t>> expected;  // width and offset of the pick
  } cases[] = {
      {"a width of 0 means 256", IconDirectory(1, {{48, 48, 1, 32, 10, 100}, {0, 0, 1, 32, 10, 110}}, 200),
       std::pair{256, size_t{110}}},
      {"equal area: more bytes, deeper colour", IconDirectory(1, {{32, 32, 1, 8, 10, 100}, {32, 32, 1, 32, 40, 110}}, 200),
       std::pair{32, size_t{110}}},
      {"largest entry runs past the end", IconDirectory(1, {{16, 16, 1, 32, 10, 100}, {64, 64, 1, 32, 91, 110}}, 200),
       std::pair{16, size_t{100}}},
      {"offset past the end", IconDirectory(1, {{16, 16, 1, 32, 10, 300}}, 200), std::nullopt},
      {"empty image", IconDirectory(1, {{16, 16, 1, 32, 0, 100}}, 200), std::nullopt},
      {"size overflows with the offset", IconDirectory(1, {{16, 16, 1, 32, 0xFFFFFFFF, 100}}, 200), std::nullopt},
      {"directory cut inside its entries", IconDirectory(1, {{16, 16, 1, 32, 8, 22}, {32, 32, 1, 32, 8, 22}}, 30),
       std::pair{16, size_t{22}}},
      {"no directory", Bytes{0, 0, 1}, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto image = LargestIconImage(c.file);
    ASSERT_EQ(image.has_value(), c.expected.has_value()) << c.name;
    if (image) {
      EXPECT_EQ(image->width, c.expected->first) << c.name;
      EXPECT_EQ(image->offset, c.expected->second) << c.name;
    }
  }
}

}  // namespace
}  // namespace app
