// The web client on the platform's own request object and imaging library,
// against a loopback server: what reaches the wire, and the PNG path.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "web/convert_image.h"
#include "web/fetch_image.h"
#include "web/tests/loopback_server.h"
#include "web/web_request.h"
#include "web/winhttp_platform.h"

namespace {

using web::Bytes;
using web_test::LoopbackServer;

// A 16 x 16 checkerboard.
const Bytes kPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x10, 0x00, 0x00, 0x00, 0x10, 0x08, 0x02, 0x00, 0x00, 0x00, 0x90, 0x91, 0x68, 0x36, 0x00, 0x00, 0x00, 0x2A, 0x49,
    0x44, 0x41, 0x54, 0x78, 0xDA, 0x63, 0xFC, 0xFF, 0xFF, 0x3F, 0x03, 0x0C, 0x30, 0x32, 0x32, 0xC2, 0xD9, 0xB8, 0xC4,
    0x99, 0x18, 0x48, 0x04, 0xB4, 0xD7, 0xC0, 0x88, 0xCC, 0x21, 0xC6, 0x3F, 0x83, 0xD1, 0x0F, 0xA3, 0xF1, 0x30, 0x28,
    0xFC, 0x00, 0x00, 0x38, 0xE8, 0x18, 0x17, 0x9A, 0xBC, 0x26, 0x5F, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44,
    0xAE, 0x42, 0x60, 0x82};

// 21 x 21 in two colours, a 1-bit palette picture as the QR image service
// writes them.
const Bytes kPalettePng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x15, 0x00, 0x00, 0x00, 0x15, 0x01, 0x03, 0x00, 0x00, 0x00, 0x93, 0xD9, 0x37, 0xD5, 0x00, 0x00, 0x00, 0x06, 0x50,
    0x4C, 0x54, 0x45, 0xFF, 0xFF, 0xFF, 0xC8, 0x00, 0x00, 0xCA, 0x7E, 0x14, 0x86, 0x00, 0x00, 0x00, 0x20, 0x49, 0x44,
    0x41, 0x54, 0x78, 0xDA, 0x63, 0x98, 0xB2, 0x54, 0x83, 0xC1, 0x2B, 0x68, 0x02, 0xC3, 0x52, 0x4D, 0x0F, 0x86, 0xA0,
    0x29, 0x0B, 0x18, 0x34, 0xBD, 0x02, 0x18, 0x28, 0x14, 0x03, 0x00, 0x24, 0x56, 0x19, 0x12, 0x6D, 0x98, 0x61, 0x13,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
bool StartsWith(const Bytes& bytes, const std::string& prefix) { return Text(bytes).rfind(prefix, 0) == 0; }

uint32_t Le(const Bytes& b, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | b.at(at + static_cast<size_t>(i));
  return value;
}

// The pixels of a bottom-up BMP of 1, 4, 8 or 24 bits as 0xRRGGBB, top row first.
std::vector<uint32_t> BmpPixels(const Bytes& bmp) {
  const uint32_t offset = Le(bmp, 10, 4), header = Le(bmp, 14, 4);
  const uint32_t width = Le(bmp, 18, 4), height = Le(bmp, 22, 4), bits = Le(bmp, 28, 2);
  const size_t stride = (width * bits + 31) / 32 * 4;
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < height; ++y) {
    const size_t row = offset + (height - 1 - y) * stride;
    for (uint32_t x = 0; x < width; ++x) {
      if (bits == 24) {
        pixels.push_back(Le(bmp, row + x * 3, 3));
        continue;
      }
      const uint32_t bit = x * bits;
      const uint32_t index = (bmp.at(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      pixels.push_back(Le(bmp, 14 + header + index * 4, 3));
    }
  }
  return pixels;
}

// The request's header lines, in the order they arrived.
std::vector<std::string> HeaderLines(const std::string& request) {
  std::vector<std::string> lines;
  const size_t head_end = request.find("\r\n\r\n");
  size_t from = request.find("\r\n") + 2;
  while (from < head_end) {
    const size_t end = request.find("\r\n", from);
    lines.push_back(request.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

std::vector<std::string> NamesIn(const std::vector<std::string>& lines) {
  std::vector<std::string> names;
  for (const auto& line : lines) names.push_back(line.substr(0, line.find(':')));
  return names;
}

TEST(WireRequest, IsAGetWithTheFixedHeadersInOrderAndUtf8Labels) {
  LoopbackServer server;
  server.Script({LoopbackServer::Ok("GIF89a-image")});
  // The label stands unencoded (GBK) in the URL, as the generate commands
  // build it; 网址 is E7 BD 91 E5 9D 80 in UTF-8.
  const std::string url = server.BaseUrl() + "/api.php?fg=000000&el=L&text=网址:http%3A%2F%2F";
  EXPECT_EQ(Text(web::FetchServiceImage(url)), "GIF89a-image");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string& request = requests[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            "GET /api.php?fg=000000&el=L&text=%E7%BD%91%E5%9D%80:http%3A%2F%2F HTTP/1.1");
  const auto lines = HeaderLines(request);
  std::vector<std::string> ours;
  for (const auto& line : lines) {
    const std::string name = line.substr(0, line.find(':'));
    if (name == "Referer" || name == "Accept" || name == "Accept-Language" || name == "User-Agent" ||
        name == "Content-Type" || name == "Cookie") {
      ours.push_back(line);
    }
  }
  ASSERT_EQ(NamesIn(ours), (std::vector<std::string>{"Referer", "Accept", "Accept-Language", "User-Agent", "Content-Type"}))
      << request;
  EXPECT_EQ(ours[1], "Accept: */*");
  EXPECT_EQ(ours[2], "Accept-Language: zh-cn");
  EXPECT_EQ(ours[3],
            "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK4NV; .NET CLR 2.0.50727; .NET CLR "
            "3.0.04506.648; .NET CLR 3.5.21022)");
  EXPECT_EQ(ours[4], "Content-Type: application/x-www-form-urlencoded");
  EXPECT_EQ(request.substr(request.find("\r\n\r\n") + 4), "");  // no body
}

TEST(WireRequest, FollowsRedirectsUnlessTold) {
  LoopbackServer server;
  server.Script({LoopbackServer::Redirect("/final"), LoopbackServer::Ok("GIF89a-final")});
  EXPECT_EQ(Text(web::FetchServiceImage(server.BaseUrl() + "/api.php?text=a")), "GIF89a-final");
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].rfind("GET /final ", 0), 0u);

  // Told not to, the client hands back the redirect itself and its target.
  server.Script({LoopbackServer::Redirect("/final")});
  web::WinHttpPlatform platform;
  web::WebRequestParams params;
  params.url = server.BaseUrl() + "/api.php";
  params.noRedirect = true;
  EXPECT_EQ(Text(web::WebRequest(platform, params)), "moved");
  EXPECT_EQ(params.location, "/final");
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(WireRequest, CookiesGoFirstAndComeBackMerged) {
  LoopbackServer server;
  server.Script({{"HTTP/1.1 200 OK\r\nSet-Cookie: b=3; Path=/\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"}});
  web::WinHttpPlatform platform;
  web::WebRequestParams params;
  params.url = server.BaseUrl() + "/";
  params.cookies = "a=1; b=2";
  web::WebRequest(platform, params);
  const auto lines = HeaderLines(server.Requests().at(0));
  const auto names = NamesIn(lines);
  const auto cookie = std::find(names.begin(), names.end(), "Cookie");
  const auto referer = std::find(names.begin(), names.end(), "Referer");
  ASSERT_NE(cookie, names.end());
  EXPECT_LT(cookie, referer);
  EXPECT_EQ(lines[static_cast<size_t>(cookie - names.begin())], "Cookie: a=1; b=2");
  EXPECT_EQ(params.newCookies, "b=3");
  EXPECT_EQ(params.cookies, "b=3; a=1");
}

// The answer stalls halfway through its body: the receive time-out ends the
// wait. (Under Wine an answer that never begins is not timed out at all: the
// platform object has no setting for the wait for the first response byte.)
TEST(WireRequest, GivesUpAfterItsTimeout) {
  LoopbackServer server;
  server.Script({{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nGIF89a", true}});
  web::WinHttpPlatform platform;
  web::WebRequestParams params;
  params.url = server.BaseUrl() + "/slow";
  params.timeoutSeconds = 1;
  // <chrono> cannot be compiled with GBK literals; the tick count serves.
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(web::WebRequest(platform, params).empty());
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 8000u);
  EXPECT_EQ(params.responseHeaders, "");
}

TEST(WireRequest, NoServiceGivesNoBytes) {
  const std::string url = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/api.php?text=a";
  EXPECT_TRUE(web::FetchServiceImage(url).empty());
}

TEST(WirePng, APngAnswerIsFetchedAgainAndShownAsGif) {
  LoopbackServer server;
  const std::string png(kPng.begin(), kPng.end());
  server.Script({LoopbackServer::Ok(png, "image/png"), LoopbackServer::Ok(png, "image/png")});
  const Bytes image = web::FetchServiceImage(server.BaseUrl() + "/api.php?text=a");
  EXPECT_TRUE(StartsWith(image, "GIF8"));
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[0], server.Requests()[1]);

  server.Script({LoopbackServer::Ok(png, "image/png"), LoopbackServer::Ok("")});
  EXPECT_EQ(web::FetchServiceImage(server.BaseUrl() + "/api.php?text=a"), kPng);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(ConvertImage, EncodesEachFormatFromPng) {
  const struct { int format; std::string magic; } cases[] = {
      {1, "BM"}, {2, "\xFF\xD8"}, {3, "GIF8"}, {4, "II*"}, {5, "\x89PNG"},
  };
  for (const Bytes& png : {kPng, kPalettePng}) {
    for (const auto& c : cases) {
      Bytes output;
      EXPECT_TRUE(web::ConvertImage(png, c.format, "", output)) << c.format;
      EXPECT_TRUE(StartsWith(output, c.magic)) << c.format;
    }
  }
}

// The GIF holds the very pixels of the PNG: both give the same bitmap.
TEST(ConvertImage, PngToGifKeepsEveryPixel) {
  for (const Bytes& png : {kPng, kPalettePng}) {
    Bytes gif, from_gif, from_png;
    ASSERT_TRUE(web::ConvertImage(png, 3, "", gif));
    EXPECT_EQ(gif.back(), 0x3B);  // the GIF trailer: nothing beyond the image
    ASSERT_TRUE(web::ConvertImage(gif, 1, "", from_gif));
    ASSERT_TRUE(web::ConvertImage(png, 1, "", from_png));
    EXPECT_EQ(BmpPixels(from_gif), BmpPixels(from_png));
    Bytes again;
    EXPECT_TRUE(web::ConvertImage(gif, 3, "", again));
    EXPECT_TRUE(StartsWith(again, "GIF8"));
  }
}

TEST(ConvertImage, FailuresLeaveTheOutputAndWriteNoFile) {
  const struct { Bytes source; int format; } cases[] = {
      {kPng, 0}, {kPng, 6}, {{}, 3}, {{'n', 'o', 't'}, 3},
  };
  for (const auto& c : cases) {
    Bytes output = {'o', 'l', 'd'};
    EXPECT_FALSE(web::ConvertImage(c.source, c.format, "failed.gif", output)) << c.format;
    EXPECT_EQ(output, (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(std::filesystem::exists("failed.gif"));
  }
}

TEST(ConvertImage, WritesTheFileOnlyWhenNamed) {
  std::filesystem::remove("converted.bmp");
  Bytes output;
  ASSERT_TRUE(web::ConvertImage(kPng, 1, "converted.bmp", output));
  std::ifstream file("converted.bmp", std::ios::binary);
  const Bytes written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, output);
  file.close();
  std::filesystem::remove("converted.bmp");

  const auto entries = [] {
    return std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator());
  };
  const auto before = entries();
  EXPECT_TRUE(web::ConvertImage(kPng, 3, "   ", output));
  EXPECT_EQ(entries(), before);
}

}  // namespace
