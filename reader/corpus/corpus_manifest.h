// The manifest written by generate_corpus.py: which symbols each corpus image
// holds, as the encoders were told to write them. Plain C++, so that the
// native tests, the benchmark and the Windows library's tests share it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "reader/qr_reader.h"

namespace corpus {

struct ExpectedSymbol {
  qr::SymbolContent content;
  int mask = 0;
  // Seen from behind: the top-right and bottom-left corners may come either way round.
  bool mirrored = false;
  // The symbol's outer corners: top-left, top-right, bottom-right, bottom-left.
  std::array<qr::Point, 4> corners;
  std::string encoder;

  // Edge length of one module in the image, from the corners and the version.
  double ModuleSize() const;
};

struct CorpusImage {
  std::string file;  // relative to the manifest's folder
  std::string category;
  bool must_read = true;  // false for images meant to be hard
  int width = 0;
  int height = 0;
  std::vector<ExpectedSymbol> symbols;
};

struct Manifest {
  std::vector<CorpusImage> images;
  std::string error;  // empty when the whole file was read
};

Manifest LoadManifest(const std::string& path);

// Hex digits (either case) to bytes; empty for an odd count or a non-hex digit.
std::string BytesFromHex(const std::string& hex);

}  // namespace corpus
