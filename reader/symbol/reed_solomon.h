// Reed-Solomon error correction of QR blocks: GF(256) with the primitive
// polynomial x^8 + x^4 + x^3 + x^2 + 1 (0x11D), generator roots a^0 .. a^(n-1).
#pragma once

#include <cstdint>
#include <span>

namespace qr {

// The most error correction codewords any QR block has.
inline constexpr int kMaxEcCodewords = 30;

// Corrects block (data codewords then ec_count error correction codewords,
// at most 255 in all) in place. Up to ec_count / 2 wrong codewords are
// corrected; false when the block is beyond correction, and then the block
// may have been changed.
bool CorrectBlock(std::span<uint8_t> block, int ec_count);

}  // namespace qr
