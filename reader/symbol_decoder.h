// From a sampled module grid to the symbol's content: format and version
// information, unmasking, Reed-Solomon correction and the data segments.
#pragma once

#include <string>

#include "reader/module_grid.h"

namespace qr {

enum class Level { kL = 0, kM = 1, kQ = 2, kH = 3 };

struct SymbolContent {
  int version = 0;
  Level level = Level::kL;
  // Structured append: total is 0 when the symbol belongs to no sequence;
  // position is 0-based within the sequence.
  int append_position = 0;
  int append_total = 0;
  int append_parity = 0;
  std::string utf8;  // the data as UTF-8 text
};

enum class DecodeStatus {
  kOk,
  kBadSize,            // the grid's size is no version's size
  kFormatUnreadable,   // both copies of the format information are beyond correction
  // Both copies of the version information name another version than the
  // grid's size; content.version holds that version, so that the caller can
  // sample the symbol again at its size. (Copies beyond correction alone do
  // not stop a decode: the size gives the version, and the error correction
  // checks the result.)
  kVersionUnreadable,
  kTooManyErrors,      // a block is beyond Reed-Solomon correction
  kBadData,            // the corrected bit stream is malformed
};

struct DecodeOutcome {
  DecodeStatus status = DecodeStatus::kBadData;
  SymbolContent content;  // meaningful only when status is kOk (but see kVersionUnreadable)
};

// Reads a grid sampled in the symbol's own orientation (finder patterns at
// the top-left, top-right and bottom-left). A mirrored symbol is the caller's
// to retry with grid.Transposed().
DecodeOutcome DecodeGrid(const ModuleGrid& grid);

}  // namespace qr
