#include "reader/symbol/format_version.h"

#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "reader/symbol/symbol_layout.h"

namespace qr {
namespace {

// Bit patterns that flip 0 to 3 bits, spread over the word.
constexpr uint32_t kCorrectableFlips[] = {0, 1u << 14, 0b100000001000000, 0b000100000010001, 0b110000000000010};

TEST(FormatInfo, DecodesKnownCodewordsThroughUpToThreeBitErrors) {
  struct Case {
    uint32_t bits;
    Level level;
    int mask;
  };
  const Case cases[] = {
      {0b111011111000100, Level::kL, 0},
      {0b101010000010010, Level::kM, 0},
      {0b011010101011111, Level::kQ, 0},
      {0b001011010001001, Level::kH, 0},
      {0b110110001000001, Level::kL, 6},
      {0b001100111010000, Level::kH, 3},
  };
  for (const Case& c : cases) {
    for (uint32_t flips : kCorrectableFlips) {
      const auto format = DecodeFormatBits(c.bits ^ flips);
      ASSERT_TRUE(format) << std::hex << c.bits << " ^ " << flips;
      EXPECT_EQ(format->level, c.level);
      EXPECT_EQ(format->mask, c.mask);
      EXPECT_EQ(format->distance, std::popcount(flips));
    }
  }
}

TEST(FormatInfo, RefusesWordsFarFromEveryCodeword) {
  // The code's minimum distance is 7, so the balls of radius 3 around the
  // codewords are disjoint and every word outside them must be refused.
  int refused = 0;
  for (uint32_t bits = 0; bits < (1u << 15); ++bits) {
    const auto format = DecodeFormatBits(bits);
    if (!format) ++refused;
    else EXPECT_LE(format->distance, kMaxInfoBitErrors);
  }
  // 32 codewords, each with 1 + 15 + 105 + 455 words within distance 3.
  EXPECT_EQ(refused, (1 << 15) - 32 * 576);
}

TEST(VersionInfo, DecodesKnownCodewordsThroughUpToThreeBitErrors) {
  struct Case {
    uint32_t bits;
    int version;
  };
  const Case cases[] = {{0x07C94, 7}, {0x085BC, 8}, {0x0A4D3, 10}, {0x28C69, 40}};
  const uint32_t flips[] = {0, 1u << 17, 0b100000000000000001, 0b000100000010000001};
  for (const Case& c : cases) {
    for (uint32_t flip : flips) {
      const auto version = DecodeVersionBits(c.bits ^ flip);
      ASSERT_TRUE(version) << std::hex << c.bits << " ^ " << flip;
      EXPECT_EQ(version->version, c.version);
    }
  }
  EXPECT_FALSE(DecodeVersionBits(0x07C94 ^ 0b1111));
}

TEST(SymbolLayout, SizesAndCapacities) {
  EXPECT_EQ(VersionOfSize(21), 1);
  EXPECT_EQ(VersionOfSize(177), 40);
  for (int size : {0, 17, 20, 22, 23, 24, 181, -3}) EXPECT_EQ(VersionOfSize(size), 0) << size;

  struct Case {
    int version;
    Level level;
    int data_codewords;
    int blocks;
  };
  const Case cases[] = {
      {1, Level::kL, 19, 1},  {1, Level::kH, 9, 1},     {5, Level::kQ, 62, 4},
      {7, Level::kM, 124, 4}, {40, Level::kL, 2956, 25}, {40, Level::kH, 1276, 81},
  };
  for (const Case& c : cases) {
    const BlockStructure blocks = BlocksOf(c.version, c.level);
    EXPECT_EQ(blocks.data_codewords(), c.data_codewords) << c.version;
    EXPECT_EQ(blocks.block_count, c.blocks) << c.version;
  }
  EXPECT_EQ(TotalCodewords(1), 26);
  EXPECT_EQ(TotalCodewords(7), 196);
  EXPECT_EQ(TotalCodewords(40), 3706);
}

TEST(SymbolLayout, AlignmentPatternCentres) {
  struct Case {
    int version;
    std::vector<int> centres;
  };
  const Case cases[] = {
      {1, {}},
      {2, {6, 18}},
      {7, {6, 22, 38}},
      {15, {6, 26, 48, 70}},
      {32, {6, 34, 60, 86, 112, 138}},
      {36, {6, 24, 50, 76, 102, 128, 154}},
      {40, {6, 30, 58, 86, 114, 142, 170}},
  };
  for (const Case& c : cases) {
    std::array<int, 7> centres;
    const int count = AlignmentPatternCentres(c.version, centres);
    EXPECT_EQ(std::vector<int>(centres.begin(), centres.begin() + count), c.centres) << c.version;
  }
}

}  // namespace
}  // namespace qr
