// ZXing-C++, a QR reader written elsewhere, as the oracle of the native tests
// and the peer of the benchmark. Debian's 1.4 can abort on some images, so it
// runs in a child process: an abort there costs one answer, not the run.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "reader/qr_reader.h"

namespace corpus {

struct OracleSymbol {
  std::string text;   // UTF-8, by ZXing's own guess of the character set
  std::string level;  // "L", "M", "Q" or "H"
  int sequence_index = -1;  // structured append: -1 outside a sequence
  int sequence_size = -1;
  std::string sequence_id;  // the parity, in decimal
  bool mirrored = false;
  std::array<qr::Point, 4> corners;  // top-left, top-right, bottom-right, bottom-left
};

struct OracleRun {
  bool completed = false;  // false when ZXing crashed or aborted
  std::vector<OracleSymbol> symbols;
  std::vector<double> seconds;  // the time of each repeat
};

// Reads every QR symbol with ZXing (try harder, try rotations), repeats
// times over the same image, and returns the symbols of the last run.
OracleRun RunZxing(const qr::GreyImage& image, int repeats = 1);

}  // namespace corpus
