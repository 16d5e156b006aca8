#include "web/web_request.h"

#include "text/text_rules.h"
#include "web/cookies.h"
#include "web/header_text.h"

namespace web {

namespace {

constexpr int kFollowRedirectsOption = 6;
constexpr int kIgnoredCertificateErrorsOption = 4;
// Unknown authority, wrong usage, name mismatch, expired.
constexpr int kIgnoredCertificateErrors = 0x0100 | 0x0200 | 0x1000 | 0x2000;
constexpr int kProxyServerSetting = 2;

int TimeoutMilliseconds(int seconds) { return seconds >= 1 ? seconds * 1000 : 15000; }

void SetHeaders(RequestObject& request, const std::string& block) {
  if (!text::Contains(block, "\r\n")) {
    request.SetRequestHeader(SplitHeaderName(block), SplitHeaderValue(block));
    return;
  }
  for (const auto& line : text::Split(block, "\r\n")) {
    if (!line.empty()) request.SetRequestHeader(SplitHeaderName(line), SplitHeaderValue(line));
  }
}

// Takes the redirect target and the cookies the answer set from its header
// lines, then merges the cookies into the caller's.
void ReadResponseHeaders(WebRequestParams& params) {
  params.newCookies.clear();
  for (const auto& line : text::Split(params.responseHeaders, "\r\n")) {
    // A case-sensitive search anywhere in the line, so Content-Location
    // counts too.
    if (text::Contains(line, "Location:")) params.location = SplitHeaderValue(line);
    if (text::Contains(line, "Set-Cookie")) {
      params.newCookies += text::Trim(TextBetween(line, "Set-Cookie:", ";")) + "; ";
    }
  }
  params.newCookies.resize(params.newCookies.size() >= 2 ? params.newCookies.size() - 2 : 0);
  MergeCookies(params.cookies, params.newCookies);
}

Bytes RequestOn(RequestObject& request, WebRequestParams& params) {
  if (params.timeoutSeconds != -1) {
    const int t = TimeoutMilliseconds(params.timeoutSeconds);
    request.SetTimeouts(t, t, t, t);
  }
  if (!params.proxy.empty()) {
    request.SetProxy(kProxyServerSetting, params.proxy);
    if (!params.proxyUser.empty()) {
      request.SetProxyCredentials(params.proxyUser, params.proxyPassword, params.proxyCredentialFlags);
    }
  }
  request.Open(params.method == 1 ? "POST" : "GET", params.url, false);
  if (params.noRedirect) request.SetOption(kFollowRedirectsOption, 0);
  request.SetOption(kIgnoredCertificateErrorsOption, kIgnoredCertificateErrors);
  if (params.headers.empty()) params.headers = DefaultHeaderBlock(params.url);
  if (!params.cookies.empty()) request.SetRequestHeader("Cookie", params.cookies);
  SetHeaders(request, params.headers);
  if (!params.bodyBytes.empty()) {
    request.SendBytes(params.bodyBytes);
  } else {
    request.SendText(params.bodyText);
  }
  Bytes body = request.ResponseBody();
  params.responseHeaders = request.GetAllResponseHeaders();
  ReadResponseHeaders(params);
  if (params.location.empty()) params.location = params.responseHeaders;
  return body;
}

}  // namespace

std::string DefaultHeaderBlock(const std::string& url) {
  return "Referer: " + url +
         "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT "
         "6.1; ZK4NV; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)\r\nContent-Type: "
         "application/x-www-form-urlencoded";
}

Bytes WebRequest(WebPlatform& platform, WebRequestParams& params) {
  const bool com_initialized = platform.InitializeCom();
  Bytes body;
  // Our own reference, released before COM is uninitialised; a caller's
  // object lives on with the caller's reference.
  if (std::shared_ptr<RequestObject> request =
          params.requestObject ? params.requestObject : platform.CreateRequestObject()) {
    body = RequestOn(*request, params);
  }
  if (com_initialized) platform.UninitializeCom();
  return body;
}

}  // namespace web
