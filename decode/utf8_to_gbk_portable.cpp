// Builds without the platform converter, so the report is testable anywhere.
#include "decode/utf8_to_gbk.h"

#include "text/codepage.h"

namespace decode {

std::string Utf8ToUtf16(std::string_view utf8) {
  std::string bytes;
  for (char16_t unit : text::Utf8ToUtf16(utf8)) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16ToGbk(std::string_view utf16le) {
  std::u16string units(utf16le.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto low = static_cast<unsigned char>(utf16le[2 * i]);
    const auto high = static_cast<unsigned char>(utf16le[2 * i + 1]);
    units[i] = static_cast<char16_t>(low | (high << 8));
  }
  std::string gbk = text::Utf16ToGbk(units);
  return gbk.substr(0, gbk.find('\0'));
}

}  // namespace decode
