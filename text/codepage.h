// Conversions between the program's GBK text (code page 936), UTF-16 and
// UTF-8. On Windows they go through the platform converter, bound by name; the
// native build uses iconv, so the logic above them is testable anywhere.
#pragma once

#include <string>
#include <string_view>

namespace text {

std::u16string GbkToUtf16(std::string_view gbk);
// Characters GBK cannot hold become the code page's default character.
std::string Utf16ToGbk(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

std::string GbkToUtf8(std::string_view gbk);

}  // namespace text
