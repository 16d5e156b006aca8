#include <windows.h>

#include <algorithm>

#include "decode/utf8_to_gbk.h"
#include "win/late_binding.h"

namespace decode {

namespace {

constexpr UINT kGbk = 936;

win::LateBound<decltype(&::MultiByteToWideChar)> multi_byte_to_wide("kernel32.dll", "MultiByteToWideChar");
win::LateBound<decltype(&::WideCharToMultiByte)> wide_to_multi_byte("kernel32.dll", "WideCharToMultiByte");

}  // namespace

std::string Utf8ToUtf16(std::string_view utf8) {
  const int length = static_cast<int>(utf8.size());
  const int units = multi_byte_to_wide(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<size_t>(units), L'\0');
  multi_byte_to_wide(CP_UTF8, 0, utf8.data(), length, wide.data(), units);
  return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

std::string Utf16ToGbk(std::string_view utf16le) {
  // Copied out so the units are aligned whatever the caller's buffer is.
  std::wstring units(utf16le.size() / 2, L'\0');
  std::copy_n(utf16le.data(), units.size() * 2, reinterpret_cast<char*>(units.data()));
  const int count = static_cast<int>(units.size());
  const int bytes = wide_to_multi_byte(kGbk, WC_COMPOSITECHECK, units.data(), count, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string gbk(static_cast<size_t>(bytes), '\0');
  wide_to_multi_byte(kGbk, WC_COMPOSITECHECK, units.data(), count, gbk.data(), bytes, nullptr, nullptr);
  return gbk.substr(0, gbk.find('\0'));
}

}  // namespace decode
