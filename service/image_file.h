// Palette images as PNG (libpng) or GIF (giflib) file bytes.
#pragma once

#include <string>

#include "service/outcome.h"
#include "service/query.h"
#include "service/render.h"

namespace service {

Outcome<std::string> EncodePng(const IndexedImage& image);
Outcome<std::string> EncodeGif(const IndexedImage& image);

Outcome<std::string> EncodeImage(const IndexedImage& image, ImageFormat format);
const char* ContentType(ImageFormat format);

}  // namespace service
