#include "text/codepage.h"

#include <gtest/gtest.h>

namespace {

// Literals of this test are GBK, as in the program.
TEST(Codepage, RoundTripsChineseAndAscii) {
  const struct { std::string gbk; std::u16string utf16; std::string utf8; } cases[] = {
      {"", u"", ""},
      {"abc", u"abc", "abc"},
      {"中", u"\u4E2D", "\xE4\xB8\xAD"},
      {"二维码 QR", u"\u4E8C\u7EF4\u7801 QR", "\xE4\xBA\x8C\xE7\xBB\xB4\xE7\xA0\x81 QR"},
      {"\xA1\xA1", u"\u3000", "\xE3\x80\x80"},  // the ideographic space
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text::GbkToUtf16(c.gbk), c.utf16);
    EXPECT_EQ(text::Utf16ToGbk(c.utf16), c.gbk);
    EXPECT_EQ(text::GbkToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(text::Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(text::Utf16ToUtf8(c.utf16), c.utf8);
  }
}

TEST(Codepage, CharacterOutsideGbkBecomesDefaultCharacter) {
  EXPECT_EQ(text::Utf16ToGbk(u"a\U0001F600b"), "a??b");
}

}  // namespace
