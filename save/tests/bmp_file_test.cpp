#include "save/bmp_file.h"

#include <gtest/gtest.h>

namespace save {
namespace {

uint32_t Field(const Bytes& file, size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | file.at(offset + static_cast<size_t>(i));
  return value;
}

TEST(BmpFile, PictureBoxSizeGivesTheWholeHeader) {
  const Bytes pixels(444 * 135, 0x7F);
  const Bytes file = BmpFile(147, 135, pixels);
  ASSERT_EQ(file.size(), 59994u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  const struct { size_t offset; int size; uint32_t value; } fields[] = {
      {2, 4, 59994}, {6, 2, 0}, {8, 2, 0}, {10, 4, 54},      // file header
      {14, 4, 40},   {18, 4, 147}, {22, 4, 135}, {26, 2, 1},  // size, width, height, planes
      {28, 2, 24},   {30, 4, 0},   {34, 4, 59940},            // bits, BI_RGB, image size
      {38, 4, 0},    {42, 4, 0},   {46, 4, 0},   {50, 4, 0},  // resolutions, colours
  };
  for (const auto& f : fields) EXPECT_EQ(Field(file, f.offset, f.size), f.value) << "offset " << f.offset;
  EXPECT_EQ(Bytes(file.begin() + 54, file.end()), pixels);
}

TEST(BmpFile, RowsArePaddedToFourBytes) {
  const struct { int32_t width; size_t row; } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {147, 444}};
  for (const auto& c : cases) {
    EXPECT_EQ(BmpRowSize(c.width), c.row) << c.width;
    EXPECT_EQ(BmpFile(c.width, 2, Bytes(c.row * 2)).size(), 54 + c.row * 2) << c.width;
  }
}

TEST(BmpFile, RefusesSizesThatDoNotMatch) {
  EXPECT_TRUE(BmpFile(0, 5, {}).empty());
  EXPECT_TRUE(BmpFile(5, -1, {}).empty());
  EXPECT_TRUE(BmpFile(2, 2, Bytes(15)).empty());
  EXPECT_TRUE(BmpFile(2, 2, Bytes(17)).empty());
}

}  // namespace
}  // namespace save
