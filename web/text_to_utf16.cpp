#include "web/convert_image.h"

#include "text/codepage.h"

namespace web {

std::string EncoderClassIdText(int format) {
  switch (format) {
    case 1: return "{557CF400-1A04-11D3-9A73-0000F81EF32E}";  // BMP
    case 2: return "{557CF401-1A04-11D3-9A73-0000F81EF32E}";  // JPEG
    case 3: return "{557CF402-1A04-11D3-9A73-0000F81EF32E}";  // GIF
    case 4: return "{557CF405-1A04-11D3-9A73-0000F81EF32E}";  // TIFF
    case 5: return "{557CF406-1A04-11D3-9A73-0000F81EF32E}";  // PNG
    default: return {};
  }
}

Bytes TextToUtf16(std::string_view text, bool dropTerminator) {
  if (text.empty()) return {};
  const std::u16string units = text::GbkToUtf16(text);
  Bytes bytes;
  bytes.reserve(units.size() * 2 + 2);
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  if (!dropTerminator) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

}  // namespace web
