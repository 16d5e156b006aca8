#include "service/api.h"

#include "service/image_file.h"
#include "service/render.h"
#include "service/symbol.h"

namespace service {

HttpAnswer TextAnswer(int status, std::string_view line) {
  return HttpAnswer{status, "text/plain; charset=utf-8", std::string(line) + "\n"};
}

HttpAnswer AnswerImageRequest(std::string_view target, ImageFormat default_format) {
  Outcome<ImageRequest> request = ParseImageQuery(target);
  if (!request.ok()) return TextAnswer(request.failure().status, request.failure().message);
  const ImageRequest& wanted = request.value();

  Outcome<QrSymbol> symbol = EncodeSymbol(wanted.content, wanted.level);
  if (!symbol.ok()) return TextAnswer(symbol.failure().status, symbol.failure().message);

  IndexedImage image = RenderSymbol(symbol.value(), wanted.colours, wanted.width, wanted.margin);
  ImageFormat format = wanted.format.value_or(default_format);
  Outcome<std::string> file = EncodeImage(image, format);
  if (!file.ok()) return TextAnswer(file.failure().status, file.failure().message);
  return HttpAnswer{200, ContentType(format), std::move(file).value()};
}

}  // namespace service
