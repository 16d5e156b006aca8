#include "service/query.h"

#include <gtest/gtest.h>

namespace service {
namespace {

ImageRequest Parsed(std::string_view target) {
  Outcome<ImageRequest> request = ParseImageQuery(target);
  EXPECT_TRUE(request.ok()) << target << ": " << request.failure().message;
  return request.ok() ? request.value() : ImageRequest{};
}

TEST(Query, ReadsBothOrdersThatZenqarSends) {
  const char* targets[] = {
      "/api.php?bg=fffff0&fg=112233&gc=445566&pt=778899&inpt=AABBCC&el=Q&text=abc",
      "/api.php?fg=112233&gc=445566&pt=778899&inpt=aabbcc&bg=FFFFF0&el=Q&text=abc",
  };
  for (const char* target : targets) {
    ImageRequest request = Parsed(target);
    EXPECT_EQ(request.content, "abc");
    EXPECT_EQ(request.level, Level::Q);
    EXPECT_EQ(request.colours.foreground, (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(request.colours.gradient, (Rgb{0x44, 0x55, 0x66}));
    EXPECT_EQ(request.colours.finder_ring, (Rgb{0x77, 0x88, 0x99}));
    EXPECT_EQ(request.colours.finder_dot, (Rgb{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(request.colours.background, (Rgb{0xFF, 0xFF, 0xF0}));
    EXPECT_EQ(request.width, kDefaultWidth);
    EXPECT_EQ(request.margin, kDefaultMargin);
    EXPECT_FALSE(request.format.has_value());
  }
}

TEST(Query, TextRunsToTheEndAndIsDecodedToBytes) {
  const struct {
    const char* text;  // what follows "text=" in the target
    std::string content;
  } cases[] = {
      {"abc", "abc"},
      {"a&el=H&fg=ff0000", "a&el=H&fg=ff0000"},  // keys after text are content
      {"%E4%B8%AD%e6%96%87", "\xE4\xB8\xAD\xE6\x96\x87"},  // 中文, escapes in either case
      {"\xE7\xBD\x91\xE5\x9D\x80:http%3A%2F%2F", "\xE7\xBD\x91\xE5\x9D\x80:http://"},  // label left raw: 网址:
      {"%E5%8A%A0%E5%AF%86%E7%B1%BB%E5%9E%8B:nopass%3Bsecret",
       "\xE5\x8A\xA0\xE5\xAF\x86\xE7\xB1\xBB\xE5\x9E\x8B:nopass;secret"},  // 加密类型:nopass;
      {"a+b%2Bc", "a+b+c"},  // '+' is not a space here
      {"%20%20%20", "   "},
      {"x%00y", std::string("x\0y", 3)},
      {"100%25", "100%"},
      {"text=again", "text=again"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Parsed(std::string("/api.php?fg=000000&el=M&text=") + c.text).content, c.content) << c.text;
  }
}

TEST(Query, RefusesMissingTextAndMalformedEscapes) {
  const struct {
    const char* target;
    const char* message_start;
  } cases[] = {
      {"/api.php", "missing text"},
      {"/api.php?", "missing text"},
      {"/api.php?fg=000000&el=L", "missing text"},
      {"/api.php?fg=000000&el=L&text=", "missing text"},
      {"/api.php?fg=000000&el=L&text", "missing text"},
      {"/api.php?fg=000000&context=abc", "missing text"},
      {"/api.php?text=%", "malformed percent escape at offset 0"},
      {"/api.php?text=abc%4", "malformed percent escape at offset 3"},
      {"/api.php?text=%G1", "malformed percent escape"},
      {"/api.php?text=%4G", "malformed percent escape"},
      {"/api.php?text=%%41", "malformed percent escape"},
      {"/api.php?text=ok%20then%2", "malformed percent escape at offset 9"},
  };
  for (const auto& c : cases) {
    Outcome<ImageRequest> request = ParseImageQuery(c.target);
    ASSERT_FALSE(request.ok()) << c.target;
    EXPECT_EQ(request.failure().status, 400) << c.target;
    EXPECT_EQ(request.failure().message.rfind(c.message_start, 0), 0u) << c.target << ": " << request.failure().message;
    EXPECT_EQ(request.failure().message.find('\n'), std::string::npos);
  }
}

TEST(Query, BadColoursFallBackToTheirKeysDefaults) {
  const Rgb black{0, 0, 0}, white{255, 255, 255}, red{255, 0, 0};
  const struct {
    const char* keys;
    Colours expected;
  } cases[] = {
      {"", {black, white, black, black, black}},
      {"fg=ff0000", {red, white, red, red, red}},  // gc, pt and inpt follow fg
      {"fg=FF0000&gc=zz0000&pt=12345&inpt=1234567", {red, white, red, red, red}},
      {"fg=#f0000&bg=00000g", {black, white, black, black, black}},
      {"fg=ff0000&bg=&gc=000000", {red, white, black, red, red}},
      {"bg=ff0000&fg=%2000000", {black, red, black, black, black}},
  };
  for (const auto& c : cases) {
    Colours colours = Parsed(std::string("/api.php?") + c.keys + "&text=a").colours;
    EXPECT_EQ(colours.foreground, c.expected.foreground) << c.keys;
    EXPECT_EQ(colours.background, c.expected.background) << c.keys;
    EXPECT_EQ(colours.gradient, c.expected.gradient) << c.keys;
    EXPECT_EQ(colours.finder_ring, c.expected.finder_ring) << c.keys;
    EXPECT_EQ(colours.finder_dot, c.expected.finder_dot) << c.keys;
  }
}

TEST(Query, LevelSizeAndFormatKeys) {
  const struct {
    const char* keys;
    Level level;
    int width;
    int margin;
    std::optional<ImageFormat> format;
  } cases[] = {
      {"el=L", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=M", Level::M, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=q", Level::Q, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=H", Level::H, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=X", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=HH", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"el=H&el=M", Level::M, kDefaultWidth, kDefaultMargin, std::nullopt},  // the later one wins
      {"w=145&m=1", Level::L, 145, 1, std::nullopt},
      {"w=0&m=0", Level::L, 1, 0, std::nullopt},
      {"w=99999999999999999999&m=500", Level::L, kMaxWidth, kMaxMargin, std::nullopt},
      {"w=-5&m=2x", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"w=1e3&m=", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
      {"format=gif", Level::L, kDefaultWidth, kDefaultMargin, ImageFormat::Gif},
      {"format=PNG", Level::L, kDefaultWidth, kDefaultMargin, ImageFormat::Png},
      {"format=jpeg", Level::L, kDefaultWidth, kDefaultMargin, std::nullopt},
  };
  for (const auto& c : cases) {
    ImageRequest request = Parsed(std::string("/api.php?") + c.keys + "&text=a");
    EXPECT_EQ(request.level, c.level) << c.keys;
    EXPECT_EQ(request.width, c.width) << c.keys;
    EXPECT_EQ(request.margin, c.margin) << c.keys;
    EXPECT_EQ(request.format, c.format) << c.keys;
  }
}

}  // namespace
}  // namespace service
