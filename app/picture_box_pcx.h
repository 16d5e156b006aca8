// A reader for ZSoft PCX pictures, which the platform's imaging library does
// not read. Plain C++, so it is tested and fuzzed natively.
#pragma once

#include <cstdint>
#include <span>

#include "app/picture_box_pixels.h"

namespace app {

enum class PcxError {
  kNone,
  kBadHeader,          // not a PCX header, or one that contradicts itself
  kUnsupportedLayout,  // a combination of bits and planes no painter writes
  kTooLarge,           // more pixels than the box will hold in memory
  kTruncated,          // the scan lines end early
  kMissingPalette,     // 256 colours without the palette at the end
};

struct PcxPicture {
  PcxError error = PcxError::kNone;
  Pixels pixels;  // empty unless error is kNone
};

// Reads 1-bit black-and-white, 2- to 16-colour (bit planes or packed, with the
// header's palette), 256-colour (palette at the end) and 24-bit pictures (one
// plane per colour), run-length coded or not.
PcxPicture DecodePcx(std::span<const uint8_t> file);

}  // namespace app
