#include "service/image_file.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace service {
namespace {

Failure EncoderFailure(const char* what) { return Failure{500, std::string("could not encode the ") + what}; }

// The smallest PNG palette depth that holds every index: 1, 2, 4 or 8 bits.
int PngBitDepth(size_t colours) {
  if (colours <= 2) return 1;
  if (colours <= 4) return 2;
  if (colours <= 16) return 4;
  return 8;
}

// Rows packed to the bit depth, leftmost pixel in the high bits. Module rows
// repeat once per pixel of module height, so a row equal to the one above
// shares its bytes rather than being packed again.
struct PackedRows {
  std::vector<uint8_t> bytes;
  std::vector<png_bytep> rows;
};

void PackRow(const uint8_t* indices, int width, int bit_depth, uint8_t* packed) {
  if (bit_depth == 8) {
    std::memcpy(packed, indices, static_cast<size_t>(width));
    return;
  }
  const int per_byte = 8 / bit_depth;
  for (int x = 0; x < width; x += per_byte) {
    unsigned byte = 0;
    for (int k = 0; k < per_byte; ++k) byte = (byte << bit_depth) | (x + k < width ? indices[x + k] : 0u);
    *packed++ = static_cast<uint8_t>(byte);
  }
}

PackedRows PackRows(const IndexedImage& image, int bit_depth) {
  const size_t width = static_cast<size_t>(image.width);
  const size_t row_bytes = (width * static_cast<size_t>(bit_depth) + 7) / 8;
  PackedRows packed;
  std::vector<size_t> offsets(static_cast<size_t>(image.height));
  for (size_t y = 0; y < offsets.size(); ++y) {
    const uint8_t* row = &image.pixels[y * width];
    if (y > 0 && std::memcmp(row, row - width, width) == 0) {
      offsets[y] = offsets[y - 1];
      continue;
    }
    offsets[y] = packed.bytes.size();
    packed.bytes.resize(packed.bytes.size() + row_bytes);
    PackRow(row, image.width, bit_depth, &packed.bytes[offsets[y]]);
  }
  for (size_t offset : offsets) packed.rows.push_back(packed.bytes.data() + offset);
  return packed;
}

struct PngOutput {
  std::string bytes;
  bool failed = false;
};

// libpng calls back through C code, so nothing may be thrown from here.
void AppendToOutput(png_structp png, png_bytep data, size_t length) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (output->failed) return;
  try {
    output->bytes.append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    output->failed = true;
  }
}

void FlushNothing(png_structp) {}

// libpng reports its errors by longjmp back into this function, so it holds
// no object with a destructor.
bool WritePng(PngOutput& output, const IndexedImage& image, int bit_depth, const std::vector<png_color>& palette,
              png_bytepp rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &output, AppendToOutput, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), bit_depth,
               PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  // Measured on these images: no filter and deflate level 1 take less than
  // half the time of libpng's defaults, and the files stay a few kilobytes.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  // Every index is below the palette size by construction; libpng's check
  // of each pixel is a fifth of the writing time.
  png_set_check_for_invalid_index(png, -1);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

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
  const int bit_depth = PngBitDepth(image.palette.size());
  std::vector<png_color> palette;
  for (Rgb colour : image.palette) palette.push_back(png_color{colour.r, colour.g, colour.b});
  PackedRows packed = PackRows(image, bit_depth);
  PngOutput output;
  if (!WritePng(output, image, bit_depth, palette, packed.rows.data()) || output.failed) {
    return EncoderFailure("PNG image");
  }
  return std::move(output.bytes);
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
