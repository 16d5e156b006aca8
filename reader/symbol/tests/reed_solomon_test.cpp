#include "reader/symbol/reed_solomon.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace qr {
namespace {

// The 1-M block of "01234567": 16 data codewords, 10 error correction codewords.
const std::vector<uint8_t> kExampleBlock = {
    0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC,
    0x11, 0xEC, 0x11, 0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};

// Adds error_count errors (nonzero values) at distinct random positions.
std::vector<uint8_t> WithErrors(std::vector<uint8_t> block, int error_count, std::mt19937& random) {
  std::set<size_t> positions;
  while (static_cast<int>(positions.size()) < error_count) positions.insert(random() % block.size());
  for (size_t p : positions) block[p] ^= static_cast<uint8_t>(1 + random() % 255);
  return block;
}

TEST(ReedSolomon, LeavesAValidBlockAlone) {
  std::vector<uint8_t> block = kExampleBlock;
  EXPECT_TRUE(CorrectBlock(block, 10));
  EXPECT_EQ(block, kExampleBlock);
}

TEST(ReedSolomon, CorrectsUpToHalfTheEcCodewordsAnywhereInTheBlock) {
  std::mt19937 random(5);
  for (int errors = 1; errors <= 5; ++errors) {
    for (int trial = 0; trial < 200; ++trial) {
      std::vector<uint8_t> block = WithErrors(kExampleBlock, errors, random);
      ASSERT_TRUE(CorrectBlock(block, 10)) << errors << " errors, trial " << trial;
      ASSERT_EQ(block, kExampleBlock) << errors << " errors, trial " << trial;
    }
  }
}

// The all-zero block is a codeword of every length, so it checks every
// block shape QR uses, up to 30 error correction codewords in 153.
TEST(ReedSolomon, CorrectsBlocksOfEveryShape) {
  struct Shape {
    int length;
    int ec;
  };
  const Shape shapes[] = {{26, 7}, {26, 17}, {44, 28}, {100, 26}, {153, 30}, {255, 30}};
  std::mt19937 random(7);
  for (const Shape& shape : shapes) {
    const std::vector<uint8_t> zero(shape.length, 0);
    for (int trial = 0; trial < 50; ++trial) {
      std::vector<uint8_t> block = WithErrors(zero, shape.ec / 2, random);
      ASSERT_TRUE(CorrectBlock(block, shape.ec)) << shape.length << "/" << shape.ec;
      ASSERT_EQ(block, zero) << shape.length << "/" << shape.ec;
    }
  }
}

// Beyond half the EC codewords a decoder may only land on another codeword
// by rare chance (about 1e-7 for this block); it must refuse the rest.
TEST(ReedSolomon, RefusesBlocksWithTooManyErrors) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    std::vector<uint8_t> block = WithErrors(kExampleBlock, 6 + trial % 10, random);
    EXPECT_FALSE(CorrectBlock(block, 10)) << "trial " << trial;
  }
}

TEST(ReedSolomon, RejectsImpossibleShapes) {
  std::vector<uint8_t> block(10, 0);
  EXPECT_FALSE(CorrectBlock(block, 0));
  EXPECT_FALSE(CorrectBlock(block, 10));
  EXPECT_FALSE(CorrectBlock(block, 31));
  std::vector<uint8_t> too_long(256, 0);
  EXPECT_FALSE(CorrectBlock(too_long, 10));
}

}  // namespace
}  // namespace qr
