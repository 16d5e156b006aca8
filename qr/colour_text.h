// The colour texts of the request: a picker's colour (0x00BBGGRR) as six hex
// digits, red, green, blue.
#pragma once

#include <cstdint>
#include <string>

namespace qr {

// Six upper-case hex digits, red then green then blue; the top byte is not
// used.
std::string ColourToHex(uint32_t colour);

// What the query carries: ColourToHex lower-cased.
std::string ColourText(uint32_t colour);

}  // namespace qr
