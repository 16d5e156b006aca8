#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <optional>

#include "psyqrdcd/picture_file.h"
#include "psyqrdcd/picture_size.h"

namespace psyqrdcd {
namespace {

namespace gdip = Gdiplus::DllExports;

ResultCode OpenFailure(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
      return kFileNotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return kSharingViolation;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return kOutOfMemory;
    default:
      return kReadError;
  }
}

ResultCode ImagingFailure(Gdiplus::Status status) {
  return status == Gdiplus::OutOfMemory ? kOutOfMemory : kUnknownFormat;
}

class File {
 public:
  explicit File(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {}
  ~File() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_;
};

// The file's bytes in a movable global block, as a stream wants them.
struct FileBlock {
  ResultCode failure = kNoSymbol;
  HGLOBAL block = nullptr;
};

ResultCode ReadInto(HANDLE file, uint8_t* target, size_t size) {
  size_t done = 0;
  while (done < size) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 20));
    DWORD read = 0;
    if (!ReadFile(file, target + done, chunk, &read, nullptr))
      return GetLastError() == ERROR_LOCK_VIOLATION ? kSharingViolation : kReadError;
    if (read == 0) return kReadError;  // the file shrank while we read it
    done += read;
  }
  return kNoSymbol;
}

FileBlock ReadFileBlock(const std::wstring& path) {
  File file(path);
  if (file.handle() == INVALID_HANDLE_VALUE) return {OpenFailure(GetLastError())};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.handle(), &size)) return {kReadError};
  if (size.QuadPart == 0) return {kUnknownFormat};
  if (size.QuadPart > kMaxFileBytes) return {kOutOfMemory};
  size_t bytes = static_cast<size_t>(size.QuadPart);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block == nullptr) return {kOutOfMemory};
  auto* data = static_cast<uint8_t*>(GlobalLock(block));
  ResultCode failure = data == nullptr ? kOutOfMemory : ReadInto(file.handle(), data, bytes);
  if (failure == kNoSymbol) {
    // Refuse what the header says would take a huge frame before any decoder builds it.
    std::optional<PictureSize> claimed = ClaimedSize(data, bytes);
    if (claimed && int64_t{claimed->width} * claimed->height > kMaxDecodedPixels) failure = kOutOfMemory;
  }
  if (data != nullptr) GlobalUnlock(block);
  if (failure != kNoSymbol) {
    GlobalFree(block);
    return {failure};
  }
  return {kNoSymbol, block};
}

bool StartImaging() {
  // Started once and kept: shutting GDI+ down is not allowed while the loader
  // unloads us, and the process ends soon after the program's last decode.
  static const bool started = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

class Stream {
 public:
  Stream() = default;
  ~Stream() {
    if (stream_ != nullptr) stream_->Release();
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  IStream** out() { return &stream_; }
  IStream* get() const { return stream_; }

 private:
  IStream* stream_ = nullptr;
};

class Bitmap {
 public:
  Bitmap() = default;
  ~Bitmap() {
    if (bitmap_ != nullptr) gdip::GdipDisposeImage(bitmap_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Gdiplus::GpBitmap** out() { return &bitmap_; }
  Gdiplus::GpBitmap* get() const { return bitmap_; }

 private:
  Gdiplus::GpBitmap* bitmap_ = nullptr;
};

// Hands GDI+'s pixels to the shrinker a band of rows at a time, so that no
// second full-size copy of a large picture is made.
ResultCode ReadPixels(Gdiplus::GpBitmap* bitmap, int width, int height, GreyShrinker& grey) {
  const int band = grey.factor() * 64;
  for (int top = 0; top < height; top += band) {
    Gdiplus::Rect rect(0, top, width, std::min(band, height - top));
    Gdiplus::BitmapData data{};
    Gdiplus::Status status =
        gdip::GdipBitmapLockBits(bitmap, &rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data);
    if (status != Gdiplus::Ok) return ImagingFailure(status);
    const auto* scan = static_cast<const uint8_t*>(data.Scan0);
    for (int row = 0; row < rect.Height; ++row) grey.AddRow(scan + static_cast<ptrdiff_t>(row) * data.Stride);
    gdip::GdipBitmapUnlockBits(bitmap, &data);
  }
  return kNoSymbol;
}

PictureLoad Failed(ResultCode failure) {
  PictureLoad load;
  load.failure = failure;
  return load;
}

}  // namespace

PictureLoad LoadGreyPicture(const std::wstring& path) {
  FileBlock file = ReadFileBlock(path);
  if (file.failure != kNoSymbol) return Failed(file.failure);
  // The stream owns the block from here on and frees it with itself.
  Stream stream;
  if (FAILED(CreateStreamOnHGlobal(file.block, TRUE, stream.out()))) {
    GlobalFree(file.block);
    return Failed(kOutOfMemory);
  }
  // Declared after the stream, so the bitmap that reads from it goes first.
  Bitmap bitmap;
  UINT width = 0;
  UINT height = 0;
  Gdiplus::Status status =
      StartImaging() ? gdip::GdipCreateBitmapFromStream(stream.get(), bitmap.out()) : Gdiplus::GdiplusNotInitialized;
  if (status == Gdiplus::Ok) status = gdip::GdipGetImageWidth(bitmap.get(), &width);
  if (status == Gdiplus::Ok) status = gdip::GdipGetImageHeight(bitmap.get(), &height);
  if (status != Gdiplus::Ok) return Failed(ImagingFailure(status));
  if (width == 0 || height == 0) return Failed(kUnknownFormat);
  if (int64_t{width} * height > kMaxDecodedPixels) return Failed(kOutOfMemory);

  int w = static_cast<int>(width);
  int h = static_cast<int>(height);
  PictureLoad load;
  load.grey = std::make_unique<GreyShrinker>(w, h, ShrinkFactor(w, h, kMaxReadPixels));
  load.failure = ReadPixels(bitmap.get(), w, h, *load.grey);
  if (load.failure != kNoSymbol) load.grey.reset();
  return load;
}

}  // namespace psyqrdcd
