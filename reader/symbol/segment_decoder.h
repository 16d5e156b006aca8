// The data segments of a symbol: from its corrected data codewords to text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qr {

struct SegmentData {
  std::string utf8;
  // Structured append header; total is 0 when there is none.
  int append_position = 0;
  int append_total = 0;
  int append_parity = 0;
};

// Decodes the bit stream of the data codewords of a symbol of the given
// version (1..40). Numeric, alphanumeric, byte, kanji and GB 2312 (hanzi)
// segments; ECI, structured append and FNC1 in first or second position.
// Byte data under no ECI is read as UTF-8 when it all is valid UTF-8, else as
// GBK/GB18030 when valid there, else as ISO-8859-1. Nothing when the stream is
// malformed (unknown mode, a count running past the end, digits out of range).
std::optional<SegmentData> DecodeSegments(std::span<const uint8_t> data_codewords, int version);

}  // namespace qr
