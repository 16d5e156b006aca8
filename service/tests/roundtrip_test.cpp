// Images drawn by the service, read back by ZXing-C++: the content must come
// back byte for byte, at the level asked for.
#include <gtest/gtest.h>

#include <string>

#include "service/api.h"
#include "service/image_file.h"
#include "service/render.h"
#include "service/symbol.h"
#include "service/tests/image_reading.h"
#include "service/tests/test_server.h"

namespace service {
namespace {

using testing::EncodeLikeZenqar;

// Zenqar leaves its labels unescaped in the URL and the Windows request
// object sends their non-ASCII bytes as percent escapes.
std::string LabelAsSent(std::string_view label) {
  std::string sent;
  for (unsigned char c : label) {
    if (c < 0x80) {
      sent += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      sent += {'%', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return sent;
}

struct Kind {
  const char* name;
  bool text_order;
  std::string query_text;  // what follows "text=" in the URL
  std::string content;     // what the symbol must hold
};

std::vector<Kind> ContentKinds() {
  auto L = LabelAsSent;
  auto E = EncodeLikeZenqar;
  return {
      {"text", true, E("Hello, 世界!\r\n100% sure & more ~_*/"), "Hello, 世界!\r\n100% sure & more ~_*/"},
      {"web address", false, L("网址:") + E("http://example.com/路径?q=1&r=2"), "网址:http://example.com/路径?q=1&r=2"},
      {"short message", false, L("短信内容:") + E("明天 9:30 开会") + L("手机号码:") + E("13800138000"),
       "短信内容:明天 9:30 开会手机号码:13800138000"},
      {"wifi open", false, L("网络账号:") + E("home") + L("加密类型:") + "nopass%3B" + E("secret"),
       "网络账号:home加密类型:nopass;secret"},
      {"wifi wpa", false, L("网络账号:") + E("家里 5G") + L("加密类型:") + "WPA:" + E("p@ss;w&rd"),
       "网络账号:家里 5G加密类型:WPA:p@ss;w&rd"},
      {"mecard", false,
       "MECARD:" + E("张三") + ";ORG:" + E("Zenqar 公司") + ";TIL:" + E("工程师") + ";TEL:" + E("+86 10 1234 5678") +
           ";URL:" + E("http://example.com") + ";EMAIL:" + E("zhang@example.com") + ";ADR:" + E("北京市海淀区") +
           ";NOTE:" + E("12345678"),
       "MECARD:张三;ORG:Zenqar 公司;TIL:工程师;TEL:+86 10 1234 5678;URL:http://example.com;"
       "EMAIL:zhang@example.com;ADR:北京市海淀区;NOTE:12345678"},
      {"labelled card", false,
       L("姓名:") + E("张三") + L(";单位:") + L(";职位:") + L(";电话:") + E("123") + L(";网址:") + L(";邮箱:") +
           L(";地址:") + L(";QQ:") + E("10001"),
       "姓名:张三;单位:;职位:;电话:123;网址:;邮箱:;地址:;QQ:10001"},
  };
}

std::string Target(const Kind& kind, char level) {
  std::string el = std::string("&el=") + level + "&text=";
  if (kind.text_order) return "/api.php?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000" + el + kind.query_text;
  return "/api.php?fg=000000&gc=000000&pt=000000&inpt=000000&bg=ffffff" + el + kind.query_text;
}

std::optional<testing::QrReading> FetchAndRead(const std::string& target) {
  HttpAnswer answer = AnswerImageRequest(target, ImageFormat::Png);
  EXPECT_EQ(answer.status, 200) << answer.body;
  std::optional<testing::RgbImage> image;
  if (answer.content_type == "image/png") image = testing::ReadPng(answer.body);
  else if (answer.content_type == "image/gif") image = testing::ReadGif(answer.body);
  if (!image) {
    ADD_FAILURE() << "no readable image for " << target;
    return std::nullopt;
  }
  return testing::ReadQr(*image);
}

TEST(RoundTrip, EveryKindAtEveryLevel) {
  for (const Kind& kind : ContentKinds()) {
    for (char level : {'L', 'M', 'Q', 'H'}) {
      SCOPED_TRACE(std::string(kind.name) + " at " + level);
      auto reading = FetchAndRead(Target(kind, level));
      ASSERT_TRUE(reading.has_value());
      EXPECT_EQ(reading->content, kind.content);
      EXPECT_EQ(reading->level, std::string(1, level));
    }
  }
}

TEST(RoundTrip, ColoursFormatsSizesAndOddBytes) {
  const struct {
    const char* keys;  // before text
    std::string query_text;
    std::string content;
  } cases[] = {
      {"fg=8b0000&gc=00008b&pt=006400&inpt=8b008b&bg=fffff0&el=M", "gradient", "gradient"},
      {"fg=000000&bg=ffffff&el=Q&format=gif", "as%20a%20GIF", "as a GIF"},
      {"el=L&w=145&m=2", EncodeLikeZenqar("small as the picture box"), "small as the picture box"},
      {"el=H", "zero%00byte%FF", std::string("zero\0byte\xFF", 10)},
      {"el=L&w=900", EncodeLikeZenqar(std::string(2900, 'z')), std::string(2900, 'z')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    auto reading = FetchAndRead(std::string("/api.php?") + c.keys + "&text=" + c.query_text);
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->content, c.content);
  }
}

TEST(RoundTrip, ImageFilesKeepEveryPixelAtEachPaletteDepth) {
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  const struct {
    Colours colours;
    int png_bit_depth;
  } cases[] = {
      {{black, white, black, black, black}, 1},
      {{black, white, black, {0, 99, 0}, {99, 0, 0}}, 2},
      {{black, white, {10, 0, 0}, {0, 99, 0}, {99, 0, 0}}, 4},  // 11 shades
      {{{10, 20, 30}, {255, 250, 245}, {200, 100, 0}, {0, 99, 0}, {99, 0, 0}}, 8},
  };
  for (const auto& c : cases) {
    // An odd width, so that packed rows end in a part-filled byte.
    const IndexedImage image = RenderSymbol(EncodeSymbol("pixels", Level::M).value(), c.colours, 123, 3);
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Gif}) {
      SCOPED_TRACE(std::to_string(c.png_bit_depth) + (format == ImageFormat::Png ? " PNG" : " GIF"));
      Outcome<std::string> file = EncodeImage(image, format);
      ASSERT_TRUE(file.ok());
      if (format == ImageFormat::Png) {
        EXPECT_EQ(file.value()[24], c.png_bit_depth);  // the bit depth in IHDR
      }
      auto read = format == ImageFormat::Png ? testing::ReadPng(file.value()) : testing::ReadGif(file.value());
      ASSERT_TRUE(read.has_value());
      ASSERT_EQ(read->width, image.width);
      ASSERT_EQ(read->height, image.height);
      int differing = 0;
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) differing += read->At(x, y) != image.At(x, y);
      EXPECT_EQ(differing, 0);
    }
  }
}

}  // namespace
}  // namespace service
