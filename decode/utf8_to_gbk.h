// The decoder's data is UTF-8; the program's text is GBK. The conversion runs
// through UTF-16 in two steps, as the platform converter offers it.
#pragma once

#include <string>
#include <string_view>

namespace decode {

// UTF-16LE bytes, no terminator. Invalid input is handled as the platform
// converter handles it without flags.
std::string Utf8ToUtf16(std::string_view utf8);
// GBK up to the first zero byte. Composite sequences become precomposed
// characters where the code page has them; others the default character.
std::string Utf16ToGbk(std::string_view utf16le);

inline std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(Utf8ToUtf16(utf8)); }

}  // namespace decode
