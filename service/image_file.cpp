#include "service/image_file.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace service {
namespace {

Failure EncoderFailure(const char* what) { return Failure{500, std::string("could not encode the ") + what}; }

int GifWrite(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
  return count;
}

struct GifCloser {
  void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

struct ColorMapFreer {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

}  // namespace

Outcome<std::string> EncodePng(const IndexedImage& image) {
  std::vector<png_color> colormap;
  colormap.reserve(image.palette.size());
  for (Rgb colour : image.palette) colormap.push_back(png_color{colour.r, colour.g, colour.b});

  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB_COLORMAP;
  png.colormap_entries = static_cast<png_uint_32>(colormap.size());
  // Rows repeat module by module, so even the fast setting compresses them
  // well; the default effort costs twice the time for little gain.
  png.flags = PNG_IMAGE_FLAG_FAST;

  // A palette image never grows past its raw size by more than the chunk
  // overhead, so one pass into a buffer of that size normally suffices.
  std::string bytes(image.pixels.size() + 4096, '\0');
  png_alloc_size_t written = bytes.size();
  if (!png_image_write_to_memory(&png, bytes.data(), &written, 0, image.pixels.data(), 0, colormap.data())) {
    if (written <= bytes.size()) return EncoderFailure("PNG image");
    bytes.resize(written);
    if (!png_image_write_to_memory(&png, bytes.data(), &written, 0, image.pixels.data(), 0, colormap.data())) {
      return EncoderFailure("PNG image");
    }
  }
  bytes.resize(written);
  return bytes;
}

Outcome<std::string> EncodeGif(const IndexedImage& image) {
  std::string bytes;
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, GifWrite, &error));
  if (!gif) return EncoderFailure("GIF image");

  // GIF colour tables hold a power of two entries.
  const int bits = GifBitSize(static_cast<int>(image.palette.size()));
  std::unique_ptr<ColorMapObject, ColorMapFreer> colour_map(GifMakeMapObject(1 << bits, nullptr));
  if (!colour_map) return EncoderFailure("GIF image");
  for (size_t i = 0; i < image.palette.size(); ++i) {
    colour_map->Colors[i] = GifColorType{image.palette[i].r, image.palette[i].g, image.palette[i].b};
  }
  if (EGifPutScreenDesc(gif.get(), image.width, image.height, bits, 0, colour_map.get()) == GIF_ERROR ||
      EGifPutImageDesc(gif.get(), 0, 0, image.width, image.height, false, nullptr) == GIF_ERROR) {
    return EncoderFailure("GIF image");
  }
  // giflib masks the line it is given in place, so it gets a copy.
  std::vector<GifPixelType> row(static_cast<size_t>(image.width));
  for (int y = 0; y < image.height; ++y) {
    auto first = image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
    std::copy(first, first + image.width, row.begin());
    if (EGifPutLine(gif.get(), row.data(), image.width) == GIF_ERROR) return EncoderFailure("GIF image");
  }
  // Closing writes the trailer and frees the handle.
  if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) return EncoderFailure("GIF image");
  return bytes;
}

Outcome<std::string> EncodeImage(const IndexedImage& image, ImageFormat format) {
  return format == ImageFormat::Gif ? EncodeGif(image) : EncodePng(image);
}

const char* ContentType(ImageFormat format) { return format == ImageFormat::Gif ? "image/gif" : "image/png"; }

}  // namespace service
