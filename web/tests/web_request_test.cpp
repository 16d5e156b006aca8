#include "web/web_request.h"

#include <gtest/gtest.h>

#include "web/tests/scripted_web.h"

namespace {

using web_test::Answer;
using web_test::Script;
using web_test::ScriptedPlatform;
using web_test::ToBytes;
using Log = std::vector<std::string>;

const std::string kUrl = "http://127.0.0.1:8731/api.php?text=a";
const std::string kUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; ZK4NV; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; .NET CLR "
    "3.5.21022)";

// The entries of `log` that start with `prefix`.
Log Entries(const Log& log, const std::string& prefix) {
  Log picked;
  for (const auto& entry : log) {
    if (entry.rfind(prefix, 0) == 0) picked.push_back(entry);
  }
  return picked;
}

struct Outcome {
  Script script;
  web::Bytes body;
};

Outcome Request(web::WebRequestParams& params, Answer answer = {}) {
  Outcome run;
  run.script.answers.push_back(std::move(answer));
  ScriptedPlatform platform(run.script);
  run.body = web::WebRequest(platform, params);
  return run;
}

TEST(WebRequest, SendsTheProgramsRequestInOrder) {
  web::WebRequestParams params;
  params.url = kUrl;
  params.timeoutSeconds = 10;
  const Outcome run = Request(params, {ToBytes("GIF89a"), "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\n\r\n"});
  EXPECT_EQ(run.script.log, (Log{
                                "CoInitialize",
                                "Create",
                                "SetTimeouts 10000 10000 10000 10000",
                                "Open GET " + kUrl + " sync",
                                "Option 4 13056",
                                "Header Referer|" + kUrl,
                                "Header Accept|*/*",
                                "Header Accept-Language|zh-cn",
                                "Header User-Agent|" + kUserAgent,
                                "Header Content-Type|application/x-www-form-urlencoded",
                                "SendText ",
                                "ResponseBody",
                                "GetallResponseHeaders",
                                "Release",
                                "CoUninitialize",
                            }));
  EXPECT_EQ(run.body, ToBytes("GIF89a"));
  EXPECT_EQ(params.headers, web::DefaultHeaderBlock(kUrl));
  EXPECT_EQ(params.headers.substr(params.headers.size() - 33), "application/x-www-form-urlencoded");
}

TEST(WebRequest, TimeoutsAndMethod) {
  const struct { int seconds; int method; Log expected; } cases[] = {
      {-1, 0, {"Open GET " + kUrl + " sync"}},
      {0, 1, {"SetTimeouts 15000 15000 15000 15000", "Open POST " + kUrl + " sync"}},
      {-7, 2, {"SetTimeouts 15000 15000 15000 15000", "Open GET " + kUrl + " sync"}},
      {1, 0, {"SetTimeouts 1000 1000 1000 1000", "Open GET " + kUrl + " sync"}},
  };
  for (const auto& c : cases) {
    web::WebRequestParams params;
    params.url = kUrl;
    params.timeoutSeconds = c.seconds;
    params.method = c.method;
    const Outcome run = Request(params);
    Log picked = Entries(run.script.log, "SetTimeouts");
    for (const auto& open : Entries(run.script.log, "Open")) picked.push_back(open);
    EXPECT_EQ(picked, c.expected) << c.seconds;
  }
}

TEST(WebRequest, SetsTheCallersHeaderBlockLineByLine) {
  const struct { std::string block; std::string cookies; Log headers; } cases[] = {
      {"X-A: 1", "", {"Header X-A|1"}},
      {"A: 1\r\n\r\nB: 2", "", {"Header A|1", "Header B|2"}},
      {"A: 1\r\n", "", {"Header A|1"}},
      {"NoColon", "", {"Header |"}},
      {"A: b: c", "", {"Header A|b: c"}},
      {"A: 1", "s=1; t=2", {"Header Cookie|s=1; t=2", "Header A|1"}},
  };
  for (const auto& c : cases) {
    web::WebRequestParams params;
    params.url = kUrl;
    params.headers = c.block;
    params.cookies = c.cookies;
    const Outcome run = Request(params);
    EXPECT_EQ(Entries(run.script.log, "Header"), c.headers) << c.block;
    EXPECT_EQ(params.headers, c.block);
  }
}

TEST(WebRequest, ProxyRedirectsAndBody) {
  web::WebRequestParams params;
  params.url = kUrl;
  params.proxy = "proxy:8080";
  params.proxyUser = "u";
  params.proxyPassword = "p";
  params.proxyCredentialFlags = 0;
  params.noRedirect = true;
  params.bodyText = "ignored";
  params.bodyBytes = {1, 2, 3};
  Outcome run = Request(params);
  EXPECT_EQ(Entries(run.script.log, "SetProxy"), (Log{"SetProxy 2 proxy:8080", "SetProxyCredentials u p 0"}));
  EXPECT_EQ(Entries(run.script.log, "Option"), (Log{"Option 6 0", "Option 4 13056"}));
  EXPECT_EQ(Entries(run.script.log, "Send"), (Log{"SendBytes 3"}));

  web::WebRequestParams no_proxy;  // credentials count only with a proxy
  no_proxy.url = kUrl;
  no_proxy.proxyUser = "u";
  no_proxy.bodyText = "a=1";
  run = Request(no_proxy);
  EXPECT_EQ(Entries(run.script.log, "SetProxy"), Log{});
  EXPECT_EQ(Entries(run.script.log, "Send"), (Log{"SendText a=1"}));
}

TEST(WebRequest, ReadsLocationAndCookiesFromTheAnswer) {
  const struct {
    std::string responseHeaders, location, cookies;
    std::string locationAfter, newCookiesAfter, cookiesAfter;
  } cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: http://x/y \r\n\r\n", "", "", "http://x/y", "", ""},
      {"HTTP/1.1 200 OK\r\nContent-Location: /c\r\n", "", "", "/c", "", ""},
      {"Location: /a\r\nLocation: /b", "", "", "/b", "", ""},
      {"HTTP/1.1 200 OK\r\nServer: s\r\n", "", "", "HTTP/1.1 200 OK\r\nServer: s\r\n", "", ""},
      {"HTTP/1.1 200 OK\r\n", "kept", "", "kept", "", ""},
      {"", "kept", "a=1;b=2", "kept", "", "a=1; b=2"},  // a failed request
      {"Set-Cookie: b=3; path=/\r\nSet-Cookie: c=4; HttpOnly\r\n", "x", "a=1; b=2", "x", "b=3;c=4", "b=3; c=4; a=1"},
      {"Set-Cookie: solo\r\n", "x", "a=1", "x", "", "a=1"},
      {"set-cookie: d=1;\r\n", "x", "", "x", "", ""},
      {"Set-Cookie: a=deleted; Max-Age=0\r\n", "x", "a=1; b=2", "x", "a=deleted", "b=2"},
  };
  for (const auto& c : cases) {
    web::WebRequestParams params;
    params.url = kUrl;
    params.location = c.location;
    params.cookies = c.cookies;
    const Outcome run = Request(params, {{}, c.responseHeaders});
    EXPECT_TRUE(run.body.empty());
    EXPECT_EQ(params.responseHeaders, c.responseHeaders);
    EXPECT_EQ(params.location, c.locationAfter) << c.responseHeaders;
    EXPECT_EQ(params.newCookies, c.newCookiesAfter) << c.responseHeaders;
    EXPECT_EQ(params.cookies, c.cookiesAfter) << c.responseHeaders;
  }
}

TEST(WebRequest, AnObjectThatCannotBeCreatedTouchesNothing) {
  web::WebRequestParams params;
  params.url = kUrl;
  params.cookies = "a=1 ";
  params.location = "";
  Outcome run;
  run.script.creationFails = true;
  ScriptedPlatform platform(run.script);
  EXPECT_TRUE(web::WebRequest(platform, params).empty());
  EXPECT_EQ(run.script.log, (Log{"CoInitialize", "Create", "CoUninitialize"}));
  EXPECT_EQ(params.cookies, "a=1 ");
  EXPECT_EQ(params.headers, "");
  EXPECT_EQ(params.location, "");
}

TEST(WebRequest, UsesTheCallersObjectAndLeavesItAlive) {
  Script script;
  ScriptedPlatform platform(script);
  auto object = std::make_shared<web_test::ScriptedRequest>(script, Answer{ToBytes("body"), ""});
  web::WebRequestParams params;
  params.url = kUrl;
  params.requestObject = object;
  EXPECT_EQ(web::WebRequest(platform, params), ToBytes("body"));
  EXPECT_TRUE(Entries(script.log, "Create").empty());
  EXPECT_TRUE(Entries(script.log, "Release").empty());
  params.requestObject.reset();
  EXPECT_EQ(object.use_count(), 1);
}

// COM that could not be initialised (the thread runs another model) is not
// uninitialised; the request is still made.
TEST(WebRequest, UninitialisesOnlyWhatItInitialised) {
  Script script;
  script.comFails = true;
  ScriptedPlatform platform(script);
  web::WebRequestParams params;
  params.url = kUrl;
  web::WebRequest(platform, params);
  EXPECT_EQ(Entries(script.log, "Open").size(), 1u);
  EXPECT_TRUE(Entries(script.log, "CoUninitialize").empty());
}

}  // namespace
