#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "text/codepage.h"
#include "text/text_rules.h"
#include "web/convert_image.h"
#include "web/indexed_pixels.h"
#include "win/late_binding.h"

namespace web {

namespace {

// The flat imaging interface, declared here by what the program passes.
struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  void* DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};
using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
using GdiplusShutdownFn = void(WINAPI*)(ULONG_PTR token);
using GdipCreateBitmapFromStreamFn = int(WINAPI*)(IStream* stream, void** bitmap);
using GdipSaveImageToStreamFn = int(WINAPI*)(void* image, IStream* stream, const CLSID* encoder, const void* parameters);
using GdipDisposeImageFn = int(WINAPI*)(void* image);
using RtlMoveMemoryFn = void(WINAPI*)(void* destination, const void* source, SIZE_T length);

struct GpRect {
  INT X, Y, Width, Height;
};
struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  INT PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};
struct ColorPalette256 {
  UINT Flags;
  UINT Count;
  UINT32 Entries[256];
};
constexpr INT kPixelFormat32bppArgb = 0x0026200A;
constexpr INT kPixelFormat8bppIndexed = 0x00030803;
constexpr UINT kLockRead = 1;
constexpr UINT kLockWrite = 2;
constexpr int kGifFormat = 3;

using GdipGetImageDimensionFn = int(WINAPI*)(void* image, UINT* size);
using GdipBitmapLockBitsFn = int(WINAPI*)(void* bitmap, const GpRect* rect, UINT flags, INT format, BitmapData* data);
using GdipBitmapUnlockBitsFn = int(WINAPI*)(void* bitmap, BitmapData* data);
using GdipCreateBitmapFromScan0Fn = int(WINAPI*)(INT width, INT height, INT stride, INT format, BYTE* scan0,
                                                 void** bitmap);
using GdipSetImagePaletteFn = int(WINAPI*)(void* image, const ColorPalette256* palette);

win::LateBound<GdiplusStartupFn> gdiplus_startup("gdiplus.dll", "GdiplusStartup");
win::LateBound<GdiplusShutdownFn> gdiplus_shutdown("gdiplus.dll", "GdiplusShutdown");
win::LateBound<GdipCreateBitmapFromStreamFn> gdip_create_bitmap_from_stream("gdiplus.dll", "GdipCreateBitmapFromStream");
win::LateBound<GdipSaveImageToStreamFn> gdip_save_image_to_stream("gdiplus.dll", "GdipSaveImageToStream");
win::LateBound<GdipDisposeImageFn> gdip_dispose_image("gdiplus.dll", "GdipDisposeImage");
win::LateBound<GdipGetImageDimensionFn> gdip_get_image_width("gdiplus.dll", "GdipGetImageWidth");
win::LateBound<GdipGetImageDimensionFn> gdip_get_image_height("gdiplus.dll", "GdipGetImageHeight");
win::LateBound<GdipBitmapLockBitsFn> gdip_bitmap_lock_bits("gdiplus.dll", "GdipBitmapLockBits");
win::LateBound<GdipBitmapUnlockBitsFn> gdip_bitmap_unlock_bits("gdiplus.dll", "GdipBitmapUnlockBits");
win::LateBound<GdipCreateBitmapFromScan0Fn> gdip_create_bitmap_from_scan0("gdiplus.dll", "GdipCreateBitmapFromScan0");
win::LateBound<GdipSetImagePaletteFn> gdip_set_image_palette("gdiplus.dll", "GdipSetImagePalette");
win::LateBound<decltype(&::CLSIDFromString)> clsid_from_string("ole32.dll", "CLSIDFromString");
win::LateBound<decltype(&::CreateStreamOnHGlobal)> create_stream_on_hglobal("ole32.dll", "CreateStreamOnHGlobal");
win::LateBound<decltype(&::GetHGlobalFromStream)> get_hglobal_from_stream("ole32.dll", "GetHGlobalFromStream");
win::LateBound<decltype(&::GlobalAlloc)> global_alloc("kernel32.dll", "GlobalAlloc");
win::LateBound<decltype(&::GlobalLock)> global_lock("kernel32.dll", "GlobalLock");
win::LateBound<decltype(&::GlobalUnlock)> global_unlock("kernel32.dll", "GlobalUnlock");
win::LateBound<decltype(&::GlobalSize)> global_size("kernel32.dll", "GlobalSize");
win::LateBound<decltype(&::GlobalFree)> global_free("kernel32.dll", "GlobalFree");
win::LateBound<RtlMoveMemoryFn> rtl_move_memory("kernel32.dll", "RtlMoveMemory");

CLSID EncoderClassId(int format) {
  CLSID encoder{};
  const Bytes text = TextToUtf16(EncoderClassIdText(format));
  clsid_from_string(text.empty() ? L"" : reinterpret_cast<LPCOLESTR>(text.data()), &encoder);
  return encoder;
}

// A stream over a copy of `source`; the stream owns the copy's block.
IStream* StreamOverCopy(const Bytes& source) {
  HGLOBAL block = global_alloc(0, source.size());
  IStream* stream = nullptr;
  create_stream_on_hglobal(block, TRUE, &stream);
  if (stream == nullptr) {
    if (block != nullptr) global_free(block);
    return nullptr;
  }
  if (void* address = global_lock(block)) {
    rtl_move_memory(address, source.data(), source.size());
    global_unlock(block);
  }
  return stream;
}

std::optional<IndexedPixels> ReadIndexedPixels(void* bitmap, const GpRect& area) {
  BitmapData data{};
  if (gdip_bitmap_lock_bits(bitmap, &area, kLockRead, kPixelFormat32bppArgb, &data) != 0) return std::nullopt;
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(area.Width) * static_cast<size_t>(area.Height));
  for (INT y = 0; y < area.Height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
    pixels.insert(pixels.end(), row, row + area.Width);
  }
  gdip_bitmap_unlock_bits(bitmap, &data);
  return IndexPixels(pixels);
}

// Wine's GIF encoder writes an empty frame for every source that is not
// 8-bit indexed, the service's 1-bit palette pictures among them. A picture
// of at most 256 colours is therefore handed over as an 8-bit indexed copy
// with its own colours; null when that is not possible.
void* IndexedCopy(void* bitmap) {
  UINT width = 0, height = 0;
  gdip_get_image_width(bitmap, &width);
  gdip_get_image_height(bitmap, &height);
  const GpRect area{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
  const std::optional<IndexedPixels> indexed = ReadIndexedPixels(bitmap, area);
  if (!indexed || width == 0 || height == 0) return nullptr;
  void* copy = nullptr;
  if (gdip_create_bitmap_from_scan0(area.Width, area.Height, 0, kPixelFormat8bppIndexed, nullptr, &copy) != 0) {
    return nullptr;
  }
  ColorPalette256 palette{};
  palette.Count = static_cast<UINT>(indexed->palette.size());
  std::copy(indexed->palette.begin(), indexed->palette.end(), palette.Entries);
  gdip_set_image_palette(copy, &palette);
  BitmapData data{};
  if (gdip_bitmap_lock_bits(copy, &area, kLockWrite, kPixelFormat8bppIndexed, &data) != 0) {
    gdip_dispose_image(copy);
    return nullptr;
  }
  for (INT y = 0; y < area.Height; ++y) {
    std::copy_n(indexed->indices.begin() + static_cast<ptrdiff_t>(y) * area.Width, area.Width,
                static_cast<BYTE*>(data.Scan0) + y * data.Stride);
  }
  gdip_bitmap_unlock_bits(copy, &data);
  return copy;
}

void WriteFileBytes(const std::string& file_name, const Bytes& bytes) {
  const std::u16string wide = text::GbkToUtf16(file_name);
  std::ofstream file(std::filesystem::path(std::wstring(wide.begin(), wide.end())), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The encoded bytes held by the output stream's block, if it has any.
bool CopyStreamBytes(IStream* stream, Bytes& copy) {
  HGLOBAL block = nullptr;
  if (stream != nullptr) get_hglobal_from_stream(stream, &block);
  if (block == nullptr) return false;
  // An empty block cannot be locked: nothing was encoded.
  void* address = global_lock(block);
  if (address == nullptr) return false;
  const SIZE_T size = global_size(block);
  copy.resize(size);
  if (size > 0) rtl_move_memory(copy.data(), address, size);
  global_unlock(block);
  return size > 0;
}

}  // namespace

bool ConvertImage(const Bytes& source, int format, const std::string& fileName, Bytes& output) {
  ULONG_PTR token = 0;
  const GdiplusStartupInput startup{1, nullptr, FALSE, FALSE};
  const bool started = gdiplus_startup(&token, &startup, nullptr) == 0;
  const CLSID encoder = EncoderClassId(format);

  IStream* input = StreamOverCopy(source);
  void* bitmap = nullptr;
  if (input != nullptr) gdip_create_bitmap_from_stream(input, &bitmap);
  IStream* encoded = nullptr;
  create_stream_on_hglobal(nullptr, TRUE, &encoded);
  void* indexed = bitmap != nullptr && format == kGifFormat ? IndexedCopy(bitmap) : nullptr;
  if (bitmap != nullptr && encoded != nullptr) {
    gdip_save_image_to_stream(indexed != nullptr ? indexed : bitmap, encoded, &encoder, nullptr);
  }

  Bytes converted;
  const bool ok = CopyStreamBytes(encoded, converted);
  if (ok) {
    if (!text::Trim(fileName).empty()) WriteFileBytes(fileName, converted);
    output = std::move(converted);
  }

  // The bitmap reads its stream until disposed, so it goes first.
  if (indexed != nullptr) gdip_dispose_image(indexed);
  if (bitmap != nullptr) gdip_dispose_image(bitmap);
  if (encoded != nullptr) encoded->Release();
  if (input != nullptr) input->Release();
  if (started) gdiplus_shutdown(token);
  return ok;
}

}  // namespace web
