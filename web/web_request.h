// The web client: one synchronous request on the platform request object,
// with cookies, a request header block, a proxy, time-outs and redirect
// control. The program itself only GETs QR images through FetchImage.
#pragma once

#include <memory>
#include <string>

#include "web/request_object.h"

namespace web {

// The caller's variables, in call order. Fields marked in-out are read and
// overwritten; out fields are only written.
struct WebRequestParams {
  std::string url;
  int method = 0;  // 1 selects POST, anything else GET
  std::string bodyText;  // sent when bodyBytes is empty
  std::string cookies;  // in-out: sent as the Cookie header; the merged cookies on return
  std::string newCookies;  // out: the pairs the answer set, ";"-separated
  std::string headers;  // in-out: "Name: value" lines joined by "\r\n"; empty takes the default block
  std::string location;  // in-out: the redirect target named by the answer
  bool noRedirect = false;
  Bytes bodyBytes;
  std::string proxy;  // empty: no proxy
  std::string responseHeaders;  // out
  int timeoutSeconds = 0;  // -1 keeps the object's time-outs; below 1 otherwise means 15 s
  std::string proxyUser;
  std::string proxyPassword;
  int proxyCredentialFlags = 1;
  std::shared_ptr<RequestObject> requestObject;  // when given, used instead of a new one
};

// The header block sent when the caller gives none.
std::string DefaultHeaderBlock(const std::string& url);

// Performs the request and returns the response body (empty when nothing
// came). When the request object cannot be created, no variable is touched.
Bytes WebRequest(WebPlatform& platform, WebRequestParams& params);

}  // namespace web
