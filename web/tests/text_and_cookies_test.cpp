#include <gtest/gtest.h>

#include "web/convert_image.h"
#include "web/cookies.h"
#include "web/header_text.h"
#include "web/indexed_pixels.h"

namespace {

// Literals are GBK.
TEST(HeaderText, SplitsAtTheFirstColonAndTrims) {
  const struct { std::string line; std::string name; std::string value; } cases[] = {
      {"Location: http://x/y ", "Location", "http://x/y"},
      {" Host :a:b", "Host", "a:b"},
      {"NoColon", "", ""},
      {"Empty:", "Empty", ""},
      {"\xA1\xA1名:\xA1\xA1值", "名", "值"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(web::SplitHeaderName(c.line), c.name) << c.line;
    EXPECT_EQ(web::SplitHeaderValue(c.line), c.value) << c.line;
  }
}

TEST(HeaderText, TextBetweenMarkers) {
  const struct {
    std::string text, left, right;
    int start;
    bool caseSensitive;
    std::string between;
  } cases[] = {
      {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 1, false, " a=1"},
      {"set-cookie: a=1;", "Set-Cookie:", ";", 1, false, " a=1"},
      {"set-cookie: a=1;", "Set-Cookie:", ";", 1, true, ""},
      {"Set-Cookie: solo", "Set-Cookie:", ";", 1, false, ""},
      {"a=1;", "Set-Cookie:", ";", 1, false, ""},
      {"a;b[c;d", "[", ";", 1, false, "c"},  // the right marker is sought after the left
      {"[a][b]", "[", "]", 3, false, "b"},
      {"[a][b]", "[", "]", 0, false, "a"},
      {"name=\"v\";", "name=#引号", "#引号", 1, false, "v"},
      {"<中文>", "<", ">", 1, false, "中文"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(web::TextBetween(c.text, c.left, c.right, c.start, c.caseSensitive), c.between) << c.text;
  }
}

TEST(Cookies, MergeKeepsNewPairsThenUntouchedOldOnes) {
  const struct { std::string cookies, newCookies, merged; } cases[] = {
      {"a=1; b=2", "b=3", "b=3; a=1"},
      {"a=1", "a=deleted", ""},
      {"a=1", "a=deleted; a=5", "a=5"},
      {"", "x=1;y=2", "x=1; y=2"},
      {"a=1", "", "a=1"},
      {"a=1;a=2", "", "a=1"},
      {"", "c=1; c=1", "c=1"},
      {"", "c=1;c=2", "c=1; c=2"},
      {"k=hello world", "", "k=helloworld"},
      {"a=1;;b=2", "", "a=1; ; b=2"},
      {"note=deleted;deleted", "", "deleted"},
      {"s=\xA1\xA1x", "", "s=x"},  // the ideographic space goes too
  };
  for (const auto& c : cases) {
    std::string cookies = c.cookies;
    std::string newCookies = c.newCookies;
    EXPECT_EQ(web::MergeCookies(cookies, newCookies), c.merged) << c.cookies << " + " << c.newCookies;
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(newCookies.find(' '), std::string::npos);
  }
}

TEST(Cookies, Helpers) {
  EXPECT_EQ(web::CookieName(" a =1=2"), "a");
  EXPECT_EQ(web::CookieName("flag"), "flag");
  EXPECT_TRUE(web::ContainsCookieName({"a=1", "b"}, "b"));
  EXPECT_FALSE(web::ContainsCookieName({"a=1", "b"}, "A"));  // names are case-sensitive
  EXPECT_EQ(web::RemoveDuplicateItems("x,y,x,,", ","), "x,y,");
  EXPECT_EQ(web::RemoveDuplicateItems("", "; "), "");
  EXPECT_EQ(web::FindItem({"a", "b", "a"}, "a"), 1);
  EXPECT_EQ(web::FindItem({"a", "b"}, "c"), -1);
}

TEST(ConvertImageText, TextToUtf16AndEncoderNames) {
  using web::Bytes;
  EXPECT_EQ(web::TextToUtf16("abc"), (Bytes{'a', 0, 'b', 0, 'c', 0, 0, 0}));
  EXPECT_EQ(web::TextToUtf16("abc", true), (Bytes{'a', 0, 'b', 0, 'c', 0}));
  EXPECT_EQ(web::TextToUtf16("中"), (Bytes{0x2D, 0x4E, 0, 0}));
  EXPECT_EQ(web::TextToUtf16("中", true), (Bytes{0x2D, 0x4E}));
  EXPECT_TRUE(web::TextToUtf16("").empty());
  EXPECT_EQ(web::EncoderClassIdText(3), "{557CF402-1A04-11D3-9A73-0000F81EF32E}");
  EXPECT_EQ(web::EncoderClassIdText(0), "");
  EXPECT_EQ(web::EncoderClassIdText(6), "");
}

}  // namespace

namespace {

TEST(IndexPixels, GivesEachColourOneEntryInOrderOfAppearance) {
  const std::vector<uint32_t> pixels = {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFF0000};
  const auto indexed = web::IndexPixels(pixels);
  ASSERT_TRUE(indexed.has_value());
  EXPECT_EQ(indexed->palette, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF, 0xFFFF0000}));
  EXPECT_EQ(indexed->indices, (std::vector<uint8_t>{0, 1, 0, 2}));

  std::vector<uint32_t> many(257);
  for (uint32_t i = 0; i < many.size(); ++i) many[i] = 0xFF000000 | i;
  EXPECT_FALSE(web::IndexPixels(many).has_value());
  many.pop_back();
  EXPECT_EQ(web::IndexPixels(many)->indices.back(), 255);
}

}  // namespace
