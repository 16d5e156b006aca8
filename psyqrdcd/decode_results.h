// What the library keeps of the latest decode, answered symbol by symbol.
// Plain C++: the Windows edge only fills it and hands out its answers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "reader/qr_reader.h"

namespace psyqrdcd {

struct SymbolRecord {
  int32_t version = 0;
  int32_t level = 0;  // 0 L, 1 M, 2 Q, 3 H
  int32_t append_position = 0;
  int32_t append_total = 0;  // 0 outside a structured-append sequence
  int32_t append_parity = 0;
  std::string utf8;
  // x0, y0 .. x3, y3: top-left, top-right, bottom-right, bottom-left.
  std::array<int32_t, 8> corners{};
};

// The reader's symbols as records; corners found in a picture shrunk by
// `scale` are given back in the coordinates of the file's own pixels.
std::vector<SymbolRecord> ToRecords(const std::vector<qr::FoundSymbol>& found, int scale);

class DecodeResults {
 public:
  void Replace(std::vector<SymbolRecord> records) { records_ = std::move(records); }
  void Clear() { std::vector<SymbolRecord>().swap(records_); }
  // Null for an index outside 0 .. count - 1.
  const SymbolRecord* At(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(records_.size()); }

 private:
  std::vector<SymbolRecord> records_;
};

}  // namespace psyqrdcd
