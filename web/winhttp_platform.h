// The platform side of the web client: COM and the request object
// WinHttp.WinHttpRequest.5.1, created by its name and driven by automation,
// members called by name.
#pragma once

#include <string>

#include "web/request_object.h"

namespace web {

class WinHttpPlatform : public WebPlatform {
 public:
  bool InitializeCom() override;
  void UninitializeCom() override;
  std::shared_ptr<RequestObject> CreateRequestObject() override;
};

// What the generate commands call: the picture for a request URL of the QR
// image service, a PNG answer converted to GIF; empty when nothing came.
Bytes FetchServiceImage(const std::string& url);

}  // namespace web
