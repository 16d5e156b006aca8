// The answer to one request for "/api.php", from its target to the bytes sent
// back: an image, or a one-line text that says what is wrong.
#pragma once

#include <string>
#include <string_view>

#include "service/query.h"

namespace service {

struct HttpAnswer {
  int status = 200;
  std::string content_type;
  std::string body;
};

// `target` is the request target as sent; `default_format` applies when the
// query names no format.
HttpAnswer AnswerImageRequest(std::string_view target, ImageFormat default_format);

HttpAnswer TextAnswer(int status, std::string_view line);

}  // namespace service
