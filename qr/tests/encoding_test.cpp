#include <gtest/gtest.h>

#include "qr/colour_text.h"
#include "qr/percent_encode.h"

namespace {

// Literals are GBK: 中 is D6 D0, its UTF-8 form E4 B8 AD.
TEST(PercentEncode, KeepsOnlyLettersDigitsDashAndDotAndEncodesUtf8) {
  const struct { std::string text; bool keep; bool utf8; std::string encoded; } cases[] = {
      {"", true, true, ""},
      {"AZaz09-.", true, true, "AZaz09-."},
      {"   ", true, true, "%20%20%20"},
      {"/_~:?", true, true, "%2F%5F%7E%3A%3F"},
      {",*+", true, true, "%2C%2A%2B"},  // neighbours of the kept range
      {"a\r\nb", true, true, "a%0D%0Ab"},
      {"中", true, true, "%E4%B8%AD"},
      {"中", true, false, "%D6%D0"},
      {"a-", false, true, "%61%2D"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qr::PercentEncode(c.text, c.keep, c.utf8), c.encoded) << c.text;
  }
}

TEST(ColourText, IsRedGreenBlueFromAPickerColour) {
  const struct { uint32_t colour; std::string hex; std::string text; } cases[] = {
      {0x000000, "000000", "000000"},
      {0xFFFFFF, "FFFFFF", "ffffff"},
      {0x0000FF, "FF0000", "ff0000"},     // red is the low byte
      {0x030201, "010203", "010203"},     // leading zeros kept
      {0xEFCDAB, "ABCDEF", "abcdef"},     // red 171, green 205, blue 239
      {0xFF000000, "000000", "000000"},   // the top byte is not used
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qr::ColourToHex(c.colour), c.hex);
    EXPECT_EQ(qr::ColourText(c.colour), c.text);
  }
}

}  // namespace
