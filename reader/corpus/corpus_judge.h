// Compares what a reader reported for a corpus image with what the image holds.
#pragma once

#include <string>
#include <vector>

#include "reader/corpus/corpus_manifest.h"
#include "reader/qr_reader.h"

namespace corpus {

struct Verdict {
  // Per expected symbol: read with the right content and corners.
  std::vector<bool> read;
  // Everything reported that is wrong: another content, corners off, a symbol
  // the image does not hold, the same symbol twice.
  std::vector<std::string> faults;

  int ReadCount() const;
  bool AllRead() const { return ReadCount() == static_cast<int>(read.size()); }
};

Verdict Judge(const CorpusImage& image, const std::vector<qr::FoundSymbol>& found);

// Index of the expected symbol whose middle is nearest to the quadrilateral's
// middle, or -1 when none lies within half the symbol's side of it.
int NearestSymbol(const CorpusImage& image, const std::array<qr::Point, 4>& corners);

// True when each reported corner lies within 1.5 modules (at least 2 pixels)
// of the expected one. A mirrored symbol may report its top-right and
// bottom-left corners either way round.
bool CornersAgree(const ExpectedSymbol& expected, const std::array<qr::Point, 4>& corners);

// The text shortened and with control bytes escaped, for failure messages.
std::string Printable(const std::string& utf8);

}  // namespace corpus
