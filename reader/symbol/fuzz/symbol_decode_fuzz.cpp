// Any bytes make a module grid: the first byte chooses the size (odd: a valid
// version's size, even: any size up to 127), the rest are the modules, row by
// row, one bit each (most significant first); missing modules are light.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "reader/symbol_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int selector = data[0];
  const int side = (selector & 1) != 0 ? 21 + 4 * ((selector >> 1) % 40) : selector >> 1;
  qr::ModuleGrid grid(side);
  const size_t bit_count = (size - 1) * 8;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const size_t bit = static_cast<size_t>(y) * side + x;
      if (bit < bit_count) grid.set(x, y, (data[1 + bit / 8] >> (7 - bit % 8) & 1) != 0);
    }
  }
  const qr::DecodeOutcome outcome = qr::DecodeGrid(grid);
  if (outcome.status == qr::DecodeStatus::kOk && outcome.content.version != (side - 17) / 4) std::abort();
  return 0;
}
