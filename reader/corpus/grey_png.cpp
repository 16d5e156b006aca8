#include "reader/corpus/grey_png.h"

#include <png.h>

namespace corpus {

PngLoad LoadGreyPng(const std::string& path) {
  PngLoad load;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    load.error = path + ": " + image.message;
    return load;
  }
  // libpng converts any colour type to grey and composites alpha over white.
  image.format = PNG_FORMAT_GRAY;
  const png_color white{255, 255, 255};
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, &white, pixels.data(), 0, nullptr)) {
    load.error = path + ": " + image.message;
    return load;
  }
  load.picture.width = static_cast<int>(image.width);
  load.picture.height = static_cast<int>(image.height);
  load.picture.pixels = std::move(pixels);
  return load;
}

}  // namespace corpus
