#include "app/picture_box_decode.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/picture_box_formats.h"
#include "app/picture_box_pcx.h"
#include "app/picture_box_playback.h"
#include "win/late_binding.h"

namespace app {

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

win::LateBound<decltype(&gp::GdiplusStartup)> gdiplus_startup("gdiplus.dll", "GdiplusStartup");
win::LateBound<decltype(&flat::GdipCreateBitmapFromStream)> gdip_create_bitmap_from_stream(
    "gdiplus.dll", "GdipCreateBitmapFromStream");
win::LateBound<decltype(&flat::GdipDisposeImage)> gdip_dispose_image("gdiplus.dll", "GdipDisposeImage");
win::LateBound<decltype(&flat::GdipGetImageWidth)> gdip_get_image_width("gdiplus.dll", "GdipGetImageWidth");
win::LateBound<decltype(&flat::GdipGetImageHeight)> gdip_get_image_height("gdiplus.dll", "GdipGetImageHeight");
win::LateBound<decltype(&flat::GdipImageGetFrameCount)> gdip_image_get_frame_count("gdiplus.dll",
                                                                                    "GdipImageGetFrameCount");
win::LateBound<decltype(&flat::GdipImageSelectActiveFrame)> gdip_image_select_active_frame(
    "gdiplus.dll", "GdipImageSelectActiveFrame");
win::LateBound<decltype(&flat::GdipGetPropertyItemSize)> gdip_get_property_item_size("gdiplus.dll",
                                                                                      "GdipGetPropertyItemSize");
win::LateBound<decltype(&flat::GdipGetPropertyItem)> gdip_get_property_item("gdiplus.dll", "GdipGetPropertyItem");
win::LateBound<decltype(&flat::GdipBitmapLockBits)> gdip_bitmap_lock_bits("gdiplus.dll", "GdipBitmapLockBits");
win::LateBound<decltype(&flat::GdipBitmapUnlockBits)> gdip_bitmap_unlock_bits("gdiplus.dll",
                                                                               "GdipBitmapUnlockBits");
win::LateBound<decltype(&::CreateStreamOnHGlobal)> create_stream_on_hglobal("ole32.dll", "CreateStreamOnHGlobal");

// GDI+'s FrameDimensionTime. The platform header only declares it; its
// definition sits in an import library the program does not link.
constexpr GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kFrameDelayTag = 0x5100;  // one 32-bit delay per frame, in hundredths of a second
constexpr PROPID kLoopCountTag = 0x5101;   // 16 bits, from the GIF's NETSCAPE2.0 block

// GDI+ is started once per process, before its first use, and left running
// until the process ends: pictures may be decoded at any time until then.
bool GdiplusStarted() {
  static const bool started = [] {
    const gp::GdiplusStartupInput input;  // version 1, its own background thread
    ULONG_PTR token = 0;
    return gdiplus_startup(&token, &input, nullptr) == gp::Ok;
  }();
  return started;
}

struct ReleaseStream {
  void operator()(IStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, ReleaseStream>;

// A stream over a copy of `bytes`; it frees the copy when released.
StreamPtr StreamOverCopy(std::span<const uint8_t> bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return nullptr;
  void* address = GlobalLock(block);
  if (address == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(address, bytes.data(), bytes.size());
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (create_stream_on_hglobal(block, TRUE, &stream) != S_OK || stream == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  return StreamPtr(stream);
}

uint32_t Le32(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }

// A picture the imaging library decoded. It reads from its stream for as long
// as it lives, so it keeps the stream.
class GdiplusBitmap {
 public:
  static std::unique_ptr<GdiplusBitmap> Open(std::span<const uint8_t> bytes) {
    StreamPtr stream = StreamOverCopy(bytes);
    gp::GpBitmap* bitmap = nullptr;
    if (stream == nullptr || gdip_create_bitmap_from_stream(stream.get(), &bitmap) != gp::Ok || bitmap == nullptr)
      return nullptr;
    return std::unique_ptr<GdiplusBitmap>(new GdiplusBitmap(std::move(stream), bitmap));
  }
  ~GdiplusBitmap() { gdip_dispose_image(bitmap_); }
  GdiplusBitmap(const GdiplusBitmap&) = delete;
  GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;

  int TimeFrameCount() {
    UINT count = 0;
    if (gdip_image_get_frame_count(bitmap_, &kFrameDimensionTime, &count) != gp::Ok || count == 0) return 1;
    return static_cast<int>(count);
  }

  // Missing or short delay lists give the frames without one the delay of 0.
  std::vector<int> FrameDelaysMs(int frames) {
    const std::vector<uint8_t> delays = PropertyValue(kFrameDelayTag);
    std::vector<int> ms;
    for (size_t i = 0; i < static_cast<size_t>(frames); ++i)
      ms.push_back(FrameDelayMs(4 * i + 4 <= delays.size() ? Le32(&delays[4 * i]) : 0));
    return ms;
  }

  std::optional<uint32_t> LoopCount() {
    const std::vector<uint8_t> value = PropertyValue(kLoopCountTag);
    if (value.size() < 2) return std::nullopt;
    return static_cast<uint32_t>(value[0] | value[1] << 8);
  }

  // The current frame of a GIF is chosen in the time dimension; other
  // pictures have only frame 0.
  std::optional<Pixels> Render(std::optional<int> gif_frame, uint32_t background) {
    if (gif_frame &&
        gdip_image_select_active_frame(bitmap_, &kFrameDimensionTime, static_cast<UINT>(*gif_frame)) != gp::Ok)
      return std::nullopt;
    UINT width = 0, height = 0;
    gdip_get_image_width(bitmap_, &width);
    gdip_get_image_height(bitmap_, &height);
    if (width == 0 || height == 0 || uint64_t{width} * height > kMaxPicturePixels) return std::nullopt;
    const gp::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    gp::BitmapData locked{};
    if (gdip_bitmap_lock_bits(bitmap_, &all, gp::ImageLockModeRead, PixelFormat32bppARGB, &locked) != gp::Ok)
      return std::nullopt;
    Pixels pixels{static_cast<int>(width), static_cast<int>(height), {}};
    pixels.rgb.reserve(size_t{width} * height);
    for (UINT y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(locked.Scan0) +
                                                          static_cast<ptrdiff_t>(y) * locked.Stride);
      for (UINT x = 0; x < width; ++x) pixels.rgb.push_back(BlendOver(row[x], background));
    }
    gdip_bitmap_unlock_bits(bitmap_, &locked);
    return pixels;
  }

 private:
  GdiplusBitmap(StreamPtr stream, gp::GpBitmap* bitmap) : stream_(std::move(stream)), bitmap_(bitmap) {}

  // The value bytes of a property item, empty when the picture has none.
  std::vector<uint8_t> PropertyValue(PROPID id) {
    UINT size = 0;
    if (gdip_get_property_item_size(bitmap_, id, &size) != gp::Ok || size < sizeof(gp::PropertyItem)) return {};
    // The item holds a pointer to its value, which follows it in the same buffer.
    std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    auto* item = reinterpret_cast<gp::PropertyItem*>(buffer.data());
    if (gdip_get_property_item(bitmap_, id, size, item) != gp::Ok || item->value == nullptr) return {};
    const auto* value = static_cast<const uint8_t*>(item->value);
    return std::vector<uint8_t>(value, value + item->length);
  }

  StreamPtr stream_;
  gp::GpBitmap* bitmap_;
};

class GdiplusGifFrames final : public GifFrames {
 public:
  GdiplusGifFrames(std::unique_ptr<GdiplusBitmap> bitmap, uint32_t background)
      : bitmap_(std::move(bitmap)), background_(background) {}
  std::optional<Pixels> Render(int index) override { return bitmap_->Render(index, background_); }

 private:
  std::unique_ptr<GdiplusBitmap> bitmap_;
  uint32_t background_;
};

DecodedPicture Still(Pixels pixels) {
  DecodedPicture picture;
  picture.first_frame = std::move(pixels);
  picture.delays_ms = {0};  // one frame, never advanced
  return picture;
}

std::optional<DecodedPicture> DecodeWithGdiplus(std::span<const uint8_t> bytes, bool gif, uint32_t background) {
  if (!GdiplusStarted()) return std::nullopt;
  std::unique_ptr<GdiplusBitmap> bitmap = GdiplusBitmap::Open(bytes);
  if (bitmap == nullptr) return std::nullopt;
  const std::optional<int> first_gif_frame = gif ? std::optional(0) : std::nullopt;
  std::optional<Pixels> first = bitmap->Render(first_gif_frame, background);
  if (!first) return std::nullopt;
  const int frames = gif ? bitmap->TimeFrameCount() : 1;
  if (frames == 1) return Still(std::move(*first));
  DecodedPicture picture;
  picture.first_frame = std::move(*first);
  picture.delays_ms = bitmap->FrameDelaysMs(frames);
  picture.loop_count = bitmap->LoopCount();
  picture.frames = std::make_unique<GdiplusGifFrames>(std::move(bitmap), background);
  return picture;
}

// Draws the icon at its own size over the background and reads the result.
Pixels RenderIcon(HICON icon, int width, int height, uint32_t background) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as Pixels keeps its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  Pixels pixels{width, height, {}};
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (canvas != nullptr && bits != nullptr) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto* canvas_pixels = static_cast<uint32_t*>(bits);
    std::fill(canvas_pixels, canvas_pixels + count, background);
    HGDIOBJ previous = SelectObject(dc, canvas);
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    SelectObject(dc, previous);
    for (size_t i = 0; i < count; ++i) pixels.rgb.push_back(canvas_pixels[i] & 0xFFFFFF);
  }
  if (canvas != nullptr) DeleteObject(canvas);
  DeleteDC(dc);
  return pixels;
}

// The largest image of an icon or cursor file, made into an icon by the
// platform, which also reads the PNG-compressed images of newer icons.
std::optional<Pixels> DecodeIconFile(std::span<const uint8_t> file, bool cursor, uint32_t background) {
  const std::optional<IconFileImage> image = LargestIconImage(file);
  if (!image) return std::nullopt;
  // A cursor resource starts with its hot spot.
  const size_t hotspot_size = cursor ? 4 : 0;
  const auto data = file.subspan(image->offset, image->size);
  std::vector<uint8_t> resource(hotspot_size + data.size());
  if (cursor) {
    resource[0] = static_cast<uint8_t>(image->hotspot_x);
    resource[1] = static_cast<uint8_t>(image->hotspot_x >> 8);
    resource[2] = static_cast<uint8_t>(image->hotspot_y);
    resource[3] = static_cast<uint8_t>(image->hotspot_y >> 8);
  }
  std::copy(data.begin(), data.end(), resource.begin() + static_cast<std::ptrdiff_t>(hotspot_size));
  constexpr DWORD kIconFormatVersion = 0x00030000;
  HICON icon = CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), cursor ? FALSE : TRUE,
                                        kIconFormatVersion, image->width, image->height, LR_DEFAULTCOLOR);
  if (icon == nullptr) return std::nullopt;
  Pixels pixels = RenderIcon(icon, image->width, image->height, background);
  DestroyIcon(icon);
  if (pixels.rgb.empty()) return std::nullopt;
  return pixels;
}

}  // namespace

std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> bytes, uint32_t background) {
  const PictureFormat format = SniffPictureFormat(bytes);
  switch (format) {
    case PictureFormat::kBmp:
    case PictureFormat::kJpeg:
      return DecodeWithGdiplus(bytes, false, background);
    case PictureFormat::kGif:
      return DecodeWithGdiplus(bytes, true, background);
    case PictureFormat::kIcon:
    case PictureFormat::kCursor: {
      std::optional<Pixels> icon = DecodeIconFile(bytes, format == PictureFormat::kCursor, background);
      if (!icon) return std::nullopt;
      return Still(std::move(*icon));
    }
    case PictureFormat::kPcx: {
      PcxPicture pcx = DecodePcx(bytes);
      if (pcx.error != PcxError::kNone) return std::nullopt;
      return Still(std::move(pcx.pixels));
    }
    case PictureFormat::kNone:
      break;
  }
  return std::nullopt;
}

}  // namespace app
