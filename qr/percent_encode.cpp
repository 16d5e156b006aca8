#include "qr/percent_encode.h"

#include "text/codepage.h"

namespace qr {

namespace {

// Deliberately narrower than the URI unreserved set: "_" and "~" are escaped
// too, and "/" (between "-" and "9") is not kept.
bool IsKept(unsigned char b) {
  return b == '-' || b == '.' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

}  // namespace

std::string PercentEncode(std::string_view text, bool keepUnreserved, bool toUtf8) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  const std::string bytes = toUtf8 ? text::GbkToUtf8(text) : std::string(text);
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (keepUnreserved && IsKept(b)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHexDigits[b >> 4];
      encoded += kHexDigits[b & 0x0F];
    }
  }
  return encoded;
}

}  // namespace qr
