#include "save/windows_save.h"

#include <algorithm>

#include "save/run_directory.h"
#include "text/codepage.h"

namespace save {

namespace {

std::wstring Wide(std::string_view gbk) {
  const std::u16string units = text::GbkToUtf16(gbk);
  return std::wstring(units.begin(), units.end());
}

bool WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

}  // namespace

Bytes CaptureWindowBmp(HWND window, int32_t width, int32_t height) {
  if (!IsWindow(window) || width <= 0 || height <= 0) return {};
  HDC window_dc = GetWindowDC(window);  // the whole window, border included
  HDC screen_dc = GetDC(nullptr);
  HDC memory_dc = CreateCompatibleDC(screen_dc);
  HBITMAP bitmap = CreateCompatibleBitmap(screen_dc, width, height);
  HGDIOBJ previous = SelectObject(memory_dc, bitmap);
  // What the window shows now; no repaint is forced.
  BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, 0, SRCCOPY);
  SelectObject(memory_dc, previous);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  Bytes pixels(BmpRowSize(width) * static_cast<size_t>(height));
  GetDIBits(memory_dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);

  DeleteObject(bitmap);
  DeleteDC(memory_dc);
  ReleaseDC(nullptr, screen_dc);
  ReleaseDC(window, window_dc);
  return BmpFile(width, height, pixels);
}

bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
  if (path.empty()) return false;
  const std::wstring target = Wide(path);
  // Beside the target, so that putting it in place is a rename on one volume.
  const std::wstring partial = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".partial";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes);
  const bool closed = CloseHandle(file) != 0;
  if (written && closed &&
      MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(partial.c_str());
  return false;
}

std::string RunDirectory() {
  std::wstring module(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (length < module.size()) {
      module.resize(length);
      break;
    }
    module.resize(module.size() * 2);
  }
  const std::u16string directory = DirectoryOf(std::u16string(module.begin(), module.end()));
  return text::Utf16ToGbk(directory);
}

app::Bytes WindowsSaveEnvironment::CaptureWindowBmp(void* window) {
  const auto handle = static_cast<HWND>(window);
  RECT rect{};
  GetWindowRect(handle, &rect);
  return save::CaptureWindowBmp(handle, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace save
