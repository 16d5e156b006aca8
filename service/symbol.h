// One QR symbol (Model 2) holding the content's bytes, in the smallest version
// that fits at the chosen level. The encoder is libqrencode.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "service/outcome.h"
#include "service/query.h"

namespace service {

struct QrSymbol {
  int size = 0;                // modules per side, 21 to 177
  std::vector<uint8_t> dark;   // size * size, row-major, 1 for a dark module

  bool IsDark(int x, int y) const { return dark[static_cast<size_t>(y) * size + x] != 0; }
};

// Fails with 400 when the content does not fit in version 40 at `level`.
Outcome<QrSymbol> EncodeSymbol(std::string_view content, Level level);

}  // namespace service
