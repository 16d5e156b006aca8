#include "psyqrdcd/decode_results.h"

#include <cmath>
#include <limits>

namespace psyqrdcd {
namespace {

int32_t ToPixel(double coordinate, int scale) {
  double scaled = std::round(coordinate * scale);
  // A reader never reports corners this far out, but an int32 must hold the answer.
  constexpr double kLimit = std::numeric_limits<int32_t>::max();
  if (!(scaled > -kLimit)) return -std::numeric_limits<int32_t>::max();
  if (!(scaled < kLimit)) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(scaled);
}

}  // namespace

std::vector<SymbolRecord> ToRecords(const std::vector<qr::FoundSymbol>& found, int scale) {
  std::vector<SymbolRecord> records;
  records.reserve(found.size());
  for (const qr::FoundSymbol& symbol : found) {
    SymbolRecord r;
    r.version = symbol.content.version;
    r.level = static_cast<int32_t>(symbol.content.level);
    r.append_position = symbol.content.append_position;
    r.append_total = symbol.content.append_total;
    r.append_parity = symbol.content.append_parity;
    r.utf8 = symbol.content.utf8;
    for (int i = 0; i < 4; ++i) {
      r.corners[2 * i] = ToPixel(symbol.corners[i].x, scale);
      r.corners[2 * i + 1] = ToPixel(symbol.corners[i].y, scale);
    }
    records.push_back(std::move(r));
  }
  return records;
}

const SymbolRecord* DecodeResults::At(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &records_[static_cast<size_t>(index)];
}

}  // namespace psyqrdcd
