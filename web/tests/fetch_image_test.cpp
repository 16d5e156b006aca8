#include "web/fetch_image.h"

#include <gtest/gtest.h>

#include "web/tests/scripted_web.h"

namespace {

using web::Bytes;
using web_test::Answer;
using web_test::Script;
using web_test::ScriptedPlatform;
using web_test::ToBytes;

const Bytes kPng = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 'p'};
const Bytes kPng2 = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, '2'};

struct Conversion {
  Bytes source;
  int format;
  std::string fileName;
};

// Stands in for the imaging library: a PNG becomes "GIF8" and its last byte;
// anything else fails.
struct FakeConverter {
  std::vector<Conversion> calls;

  web::ConvertImageFn Fn() {
    return [this](const Bytes& source, int format, const std::string& fileName, Bytes& output) {
      calls.push_back({source, format, fileName});
      if (!web::PassesPngSignature(source)) return false;
      output = ToBytes("GIF8");
      output.push_back(source.back());
      return true;
    };
  }
};

TEST(FetchImage, FetchesPngAnswersTwiceAndConvertsTheSecond) {
  const struct {
    const char* name;
    std::vector<Bytes> answers;
    int requests;
    Bytes result;
  } cases[] = {
      {"GIF", {ToBytes("GIF89a")}, 1, ToBytes("GIF89a")},
      {"nothing", {{}}, 1, {}},
      {"two bytes", {{0x89, 0x50}}, 1, {0x89, 0x50}},
      {"89 50 47", {{0x89, 0x50, 0x47, 0x00}}, 1, {0x89, 0x50, 0x47, 0x00}},
      {"PNG, PNG", {kPng, kPng2}, 2, ToBytes("GIF82")},
      {"PNG, nothing", {kPng, {}}, 2, kPng},
      {"PNG, error page", {kPng, ToBytes("<html>")}, 2, kPng},
  };
  for (const auto& c : cases) {
    Script script;
    for (const auto& body : c.answers) script.answers.push_back({body, ""});
    ScriptedPlatform platform(script);
    FakeConverter converter;
    web::FetchImageParams params;
    params.url = "http://h/api.php";
    EXPECT_EQ(web::FetchImage(platform, converter.Fn(), params), c.result) << c.name;
    EXPECT_EQ(script.created, c.requests) << c.name;
    if (c.requests == 2) {
      ASSERT_EQ(converter.calls.size(), 1u);
      EXPECT_EQ(converter.calls[0].source, c.answers[1]) << c.name;
      EXPECT_EQ(converter.calls[0].format, 3);
      EXPECT_EQ(converter.calls[0].fileName, "");
    } else {
      EXPECT_TRUE(converter.calls.empty()) << c.name;
    }
  }
}

TEST(FetchImage, BothRequestsAreTheSameGetWithTenSecondTimeouts) {
  Script script;
  script.answers = {{kPng, ""}, {kPng2, ""}};
  ScriptedPlatform platform(script);
  FakeConverter converter;
  web::FetchImageParams params;
  params.url = "http://h/api.php?text=a";
  params.format = 1;
  web::FetchImage(platform, converter.Fn(), params);
  std::vector<std::string> requests;
  for (const auto& entry : script.log) {
    if (entry.rfind("SetTimeouts", 0) == 0 || entry.rfind("Open", 0) == 0 || entry.rfind("Header Referer", 0) == 0) {
      requests.push_back(entry);
    }
  }
  const std::vector<std::string> one = {"SetTimeouts 10000 10000 10000 10000", "Open GET http://h/api.php?text=a sync",
                                        "Header Referer|http://h/api.php?text=a"};
  std::vector<std::string> two = one;
  two.insert(two.end(), one.begin(), one.end());
  EXPECT_EQ(requests, two);
  EXPECT_EQ(converter.calls.at(0).format, 1);
}

}  // namespace
