#include "qr/colour_text.h"

#include <cctype>

namespace qr {

std::string ColourToHex(uint32_t colour) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (int shift = 0; shift < 24; shift += 8) {  // red is the low byte
    const uint32_t channel = (colour >> shift) & 0xFF;
    hex += kHexDigits[channel >> 4];
    hex += kHexDigits[channel & 0x0F];
  }
  return hex;
}

std::string ColourText(uint32_t colour) {
  std::string hex = ColourToHex(colour);
  for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return hex;
}

}  // namespace qr
