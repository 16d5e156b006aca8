#include <windows.h>

#include "text/codepage.h"
#include "win/late_binding.h"

namespace text {

namespace {

constexpr UINT kGbk = 936;

win::LateBound<decltype(&::MultiByteToWideChar)> multi_byte_to_wide("kernel32.dll", "MultiByteToWideChar");
win::LateBound<decltype(&::WideCharToMultiByte)> wide_to_multi_byte("kernel32.dll", "WideCharToMultiByte");

std::u16string ToUtf16(UINT code_page, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int units = multi_byte_to_wide(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<size_t>(units), u'\0');
  multi_byte_to_wide(code_page, 0, bytes.data(), static_cast<int>(bytes.size()),
                     reinterpret_cast<wchar_t*>(out.data()), units);
  return out;
}

std::string FromUtf16(UINT code_page, std::u16string_view units) {
  if (units.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int bytes = wide_to_multi_byte(code_page, 0, wide, static_cast<int>(units.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  wide_to_multi_byte(code_page, 0, wide, static_cast<int>(units.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) { return ToUtf16(kGbk, gbk); }
std::string Utf16ToGbk(std::u16string_view utf16) { return FromUtf16(kGbk, utf16); }
std::u16string Utf8ToUtf16(std::string_view utf8) { return ToUtf16(CP_UTF8, utf8); }
std::string Utf16ToUtf8(std::u16string_view utf16) { return FromUtf16(CP_UTF8, utf16); }

}  // namespace text
