// Reads a byte sequence as a stream of bits, most significant bit first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qr {

class BitStream {
 public:
  explicit BitStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t bits_left() const { return bytes_.size() * 8 - position_; }

  // Reads count (0..32) bits into value; false, with value 0 and nothing
  // consumed, when fewer bits are left.
  bool Read(int count, uint32_t& value) {
    value = 0;
    if (count < 0 || count > 32 || static_cast<size_t>(count) > bits_left()) return false;
    uint32_t result = 0;
    for (int i = 0; i < count; ++i, ++position_) {
      const uint32_t bit = (bytes_[position_ / 8] >> (7 - position_ % 8)) & 1u;
      result = (result << 1) | bit;
    }
    value = result;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace qr
