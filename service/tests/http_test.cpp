// The service over HTTP on loopback, in this process.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "service/api.h"
#include "service/tests/image_reading.h"
#include "service/tests/test_server.h"

namespace service {
namespace {

using testing::EncodeLikeZenqar;
using testing::TestServer;

const std::string kColours = "/api.php?fg=000000&gc=000000&pt=000000&inpt=000000&bg=ffffff";

std::string TextOf(const std::string& target, const httplib::Result& result) {
  if (!result) return "no answer to " + target.substr(0, 80);
  auto image = testing::ReadPng(result->body);
  auto reading = image ? testing::ReadQr(*image) : std::nullopt;
  return reading ? reading->content : "unreadable answer to " + target.substr(0, 80);
}

TEST(Http, AnswersTheRequestAsZenqarSendsIt) {
  TestServer server;
  httplib::Client client = server.Client();
  // The Chinese label once escaped, as the Windows request object sends it,
  // and once as raw UTF-8 bytes, as a less careful client might.
  const std::string texts[] = {"%E7%BD%91%E5%9D%80:" + EncodeLikeZenqar("http://example.com"),
                               "网址:" + EncodeLikeZenqar("http://example.com")};
  for (const std::string& text : texts) {
    const std::string target = kColours + "&el=L&text=" + text;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + target;
    httplib::Headers headers = {
        {"Referer", url},
        {"Accept", "*/*"},
        {"Accept-Language", "zh-cn"},
        {"User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK4NV; .NET CLR 2.0.50727; "
                       ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)"},
        {"Content-Type", "application/x-www-form-urlencoded"},
        {"Content-Length", "0"},
    };
    httplib::Result result = client.Get(target, headers);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200) << result->body;
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(TextOf(target, result), "网址:http://example.com");
  }
}

TEST(Http, KeepsTheConnectionAlive) {
  TestServer server;
  httplib::Client client = server.Client();
  client.set_keep_alive(true);
  for (int i = 0; i < 5; ++i) {
    const std::string target = kColours + "&el=M&text=keep" + std::to_string(i);
    httplib::Result result = client.Get(target);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_NE(result->get_header_value("Connection"), "close");
    EXPECT_EQ(TextOf(target, result), "keep" + std::to_string(i));
  }
}

TEST(Http, BadInputGetsOneLineOfTextAndTheServiceStaysUp) {
  TestServer server;
  httplib::Client client = server.Client();
  const struct {
    std::string target;
    int status;
    const char* body_start;
  } cases[] = {
      {kColours + "&el=L", 400, "missing text"},
      {kColours + "&el=L&text=", 400, "missing text"},
      {kColours + "&el=L&text=abc%zz", 400, "malformed percent escape"},
      {kColours + "&el=L&text=abc%", 400, "malformed percent escape"},
      {kColours + "&el=H&text=" + std::string(1274, 'a'), 400, "text too long for a QR symbol at level H"},
      {kColours + "&el=L&text=" + std::string(9000, 'a'), 414, "request line too long"},
      {"/index.html", 404, "not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target.substr(0, 100));
    httplib::Result result = client.Get(c.target);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, c.status);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(result->body.rfind(c.body_start, 0), 0u) << result->body;
    EXPECT_EQ(result->body.find('\n'), result->body.size() - 1) << "one line: " << result->body;

    httplib::Result after = client.Get(kColours + "&el=L&text=still%20up");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->status, 200);
  }

  // Below the HTTP layer: a line that is no request, and a request line far
  // over the limit.
  EXPECT_EQ(testing::RawExchange(server.port(), "NONSENSE\r\n\r\n").rfind("HTTP/1.1 400", 0), 0u);
  std::string huge = "GET /api.php?text=" + std::string(200 * 1024, 'a') + " HTTP/1.1\r\nConnection: close\r\n\r\n";
  EXPECT_EQ(testing::RawExchange(server.port(), huge).rfind("HTTP/1.1 414", 0), 0u);
  httplib::Result after = client.Get(kColours + "&el=L&text=still%20up");
  ASSERT_TRUE(after);
  EXPECT_EQ(after->status, 200);
}

TEST(Http, ContentThatFitsIsNotCutOffByTheRequestLineLimit) {
  TestServer server;
  // 2,670 bytes, every one escaped: a request line of about 8,100 bytes.
  std::string content;
  for (int i = 0; i < 890; ++i) content += "中";
  const std::string target = kColours + "&el=L&w=800&text=" + EncodeLikeZenqar(content);
  ASSERT_LT(target.size() + 15, kMaxRequestLine);
  httplib::Result result = server.Client().Get(target);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200) << result->body;
  EXPECT_EQ(TextOf(target, result), content);
}

TEST(Http, DefaultFormatIsAnOptionAndTheQueryCanOverrideIt) {
  ServerOptions options;
  options.default_format = ImageFormat::Gif;
  TestServer server(options);
  httplib::Client client = server.Client();
  const struct {
    const char* keys;
    const char* content_type;
    const char* signature;
  } cases[] = {
      {"el=L", "image/gif", "GIF8"},
      {"el=L&format=png", "image/png", "\x89PNG"},
  };
  for (const auto& c : cases) {
    httplib::Result result = client.Get(std::string("/api.php?") + c.keys + "&text=format");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->get_header_value("Content-Type"), c.content_type);
    EXPECT_EQ(result->body.rfind(c.signature, 0), 0u);
  }
}

TEST(Http, WritesOneAccessLogLinePerRequest) {
  TestServer server;
  httplib::Client client = server.Client();
  client.set_keep_alive(true);  // one worker, so the lines come in order
  ASSERT_TRUE(client.Get("/api.php?el=L&text=logged"));
  ASSERT_TRUE(client.Get("/api.php?el=L&text=%zz"));
  ASSERT_TRUE(client.Get("/missing"));
  // The line is written after the answer has gone out.
  std::vector<std::string> log;
  for (int i = 0; i < 200 && (log = server.AccessLog()).size() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_EQ(log.size(), 3u);
  EXPECT_NE(log[0].find(" 127.0.0.1 \"GET /api.php?el=L&text=logged\" 200 "), std::string::npos) << log[0];
  EXPECT_NE(log[1].find("\"GET /api.php?el=L&text=%zz\" 400 "), std::string::npos) << log[1];
  EXPECT_NE(log[2].find("\"GET /missing\" 404 "), std::string::npos) << log[2];
  for (const std::string& line : log) EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST(Http, ASecondServiceCannotTakeTheSamePort) {
  TestServer first;
  httplib::Server second;
  ServerOptions options;
  options.port = first.port();
  ConfigureServer(second, options, nullptr);
  EXPECT_FALSE(BindServer(second, options).ok());
}

// Concurrent keep-alive clients; every answer must be the image of its own
// request. Bounded in count and in time.
TEST(Http, LoadOnLoopbackGetsEveryAnswerRight) {
  constexpr int kClients = 8;
  constexpr int kRequestsEach = 50;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  TestServer server;
  std::atomic<int> right{0};
  std::atomic<int> read_back{0};
  std::vector<std::string> failures(kClients);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client client = server.Client();
      client.set_keep_alive(true);
      for (int i = 0; i < kRequestsEach && std::chrono::steady_clock::now() < deadline; ++i) {
        const std::string target =
            kColours + "&el=" + "LMQH"[i % 4] + "&text=" + EncodeLikeZenqar("负载 " + std::to_string(c) + "/" + std::to_string(i));
        httplib::Result result = client.Get(target);
        HttpAnswer expected = AnswerImageRequest(target, ImageFormat::Png);
        if (!result || result->status != 200 || result->body != expected.body) {
          failures[c] += " " + std::to_string(i);
          continue;
        }
        ++right;
        // The drawing itself is proven by the round trips; a sample is read
        // back here too.
        if (i % 10 == 0 && TextOf(target, result) == "负载 " + std::to_string(c) + "/" + std::to_string(i)) ++read_back;
      }
    });
  }
  for (auto& client : clients) client.join();
  for (int c = 0; c < kClients; ++c) EXPECT_EQ(failures[c], "") << "client " << c << " got wrong answers";
  EXPECT_EQ(right, kClients * kRequestsEach);
  EXPECT_EQ(read_back, kClients * kRequestsEach / 10);
}

}  // namespace
}  // namespace service
