// The first byte chooses the version; the rest are data codewords.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "reader/symbol/charset.h"
#include "reader/symbol/segment_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int version = data[0] % 40 + 1;
  const auto decoded = qr::DecodeSegments(std::span<const uint8_t>(data + 1, size - 1), version);
  if (decoded) {
    const auto* text = reinterpret_cast<const uint8_t*>(decoded->utf8.data());
    if (!qr::IsValidUtf8(std::span<const uint8_t>(text, decoded->utf8.size()))) std::abort();
  }
  return 0;
}
