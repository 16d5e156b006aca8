// The program-wide texts of the generate commands. One instance lives for the
// whole run; each command overwrites the fields it uses before using them.
#pragma once

#include <array>
#include <string>

namespace qr {

struct GenerationState {
  // Colour texts, named after the query keys that carry them.
  std::string fg;
  std::string bg;
  std::string gc;
  std::string pt;
  std::string inpt;
  // By level index 0 to 3 (L, M, Q, H), each ending in the content's key.
  std::array<std::string, 4> levelPieces;
  // The URL the latest generate command asked for.
  std::string requestUrl;

  // Empties every text, as the program does at exit.
  void Release() { *this = GenerationState{}; }
};

}  // namespace qr
