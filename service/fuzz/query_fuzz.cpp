// Any request target, however malformed, gets an image or one line of text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "service/api.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view target(reinterpret_cast<const char*>(data), size);
  service::HttpAnswer answer = service::AnswerImageRequest(target, service::ImageFormat::Png);
  if (answer.status == 200) {
    if (answer.content_type != "image/png" && answer.content_type != "image/gif") __builtin_trap();
    if (answer.body.size() < 32) __builtin_trap();
  } else {
    if (answer.status != 400 && answer.status != 500) __builtin_trap();
    if (answer.body.empty() || answer.body.find('\n') != answer.body.size() - 1) __builtin_trap();
  }
  return 0;
}
