#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "text/codepage.h"

namespace text {

namespace {

// Converts with iconv, replacing what the target cannot hold by `fallback`
// and skipping input it cannot read, as the Windows converter does.
template <typename Out, typename In>
Out Convert(const char* to, const char* from, In input, std::string_view fallback, size_t in_unit) {
  Out out;
  if (input.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  auto* in = const_cast<char*>(reinterpret_cast<const char*>(input.data()));
  size_t in_left = input.size() * sizeof(typename In::value_type);
  std::string buffer(in_left * 4 + 16, '\0');
  char* dst = buffer.data();
  size_t dst_left = buffer.size();
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &dst, &dst_left) != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) break;
    const size_t skip = std::min(in_unit, in_left);
    in += skip;
    in_left -= skip;
    for (char c : fallback) { *dst++ = c; --dst_left; }
  }
  iconv_close(cd);
  const size_t written = buffer.size() - dst_left;
  out.resize(written / sizeof(typename Out::value_type));
  std::copy_n(buffer.data(), written, reinterpret_cast<char*>(out.data()));
  return out;
}

constexpr std::string_view kUtf16Replacement("\xFD\xFF", 2);  // U+FFFD, little-endian

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
  return Convert<std::u16string>("UTF-16LE", "CP936", gbk, kUtf16Replacement, 1);
}
std::string Utf16ToGbk(std::u16string_view utf16) {
  return Convert<std::string>("CP936", "UTF-16LE", utf16, "?", 2);
}
std::u16string Utf8ToUtf16(std::string_view utf8) {
  return Convert<std::u16string>("UTF-16LE", "UTF-8", utf8, kUtf16Replacement, 1);
}
std::string Utf16ToUtf8(std::u16string_view utf16) {
  return Convert<std::string>("UTF-8", "UTF-16LE", utf16, "\xEF\xBF\xBD", 2);
}

}  // namespace text
