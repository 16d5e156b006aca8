// The Windows boundary: program text (GBK) to and from the wide strings the W
// functions take. Windows-only; wchar_t is a UTF-16 unit there.
#pragma once

#include <string>
#include <string_view>

#include "text/codepage.h"

namespace text {

inline std::wstring Wide(std::string_view gbk) {
  const std::u16string units = GbkToUtf16(gbk);
  return std::wstring(units.begin(), units.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace text
