#define ZX_USE_UTF8 1
#include "service/tests/image_reading.h"

#include <ZXing/ReadBarcode.h>
#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <exception>

namespace service::testing {
namespace {

struct GifSource {
  std::string_view file;
  size_t position = 0;
};

int GifRead(GifFileType* gif, GifByteType* bytes, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  size_t n = std::min(static_cast<size_t>(count), source->file.size() - source->position);
  std::memcpy(bytes, source->file.data() + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

}  // namespace

std::optional<RgbImage> ReadPng(std::string_view file) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, file.data(), file.size())) return std::nullopt;
  png.format = PNG_FORMAT_RGB;
  RgbImage image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    return std::nullopt;
  }
  return image;
}

std::optional<RgbImage> ReadGif(std::string_view file) {
  GifSource source{file};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, GifRead, &error);
  if (!gif) return std::nullopt;
  std::optional<RgbImage> result;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
    const SavedImage& frame = gif->SavedImages[0];
    const ColorMapObject* colours = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
    RgbImage image;
    image.width = frame.ImageDesc.Width;
    image.height = frame.ImageDesc.Height;
    size_t pixels = static_cast<size_t>(image.width) * image.height;
    bool valid = colours != nullptr;
    for (size_t i = 0; valid && i < pixels; ++i) {
      int index = frame.RasterBits[i];
      valid = index < colours->ColorCount;
      if (!valid) break;
      image.rgb.push_back(colours->Colors[index].Red);
      image.rgb.push_back(colours->Colors[index].Green);
      image.rgb.push_back(colours->Colors[index].Blue);
    }
    if (valid) result = std::move(image);
  }
  DGifCloseFile(gif, &error);
  return result;
}

std::optional<QrReading> ReadQr(const RgbImage& image) {
  // ZXing-C++ 1.4 throws on some malformed symbols; that is no reading.
  try {
    ZXing::ImageView view(image.rgb.data(), image.width, image.height, ZXing::ImageFormat::RGB);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid()) return std::nullopt;
    const auto& bytes = result.bytes();
    return QrReading{std::string(bytes.begin(), bytes.end()), result.ecLevel()};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace service::testing
