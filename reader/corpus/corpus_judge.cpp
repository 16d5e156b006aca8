#include "reader/corpus/corpus_judge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace corpus {
namespace {

qr::Point Middle(const std::array<qr::Point, 4>& corners) {
  qr::Point m;
  for (const qr::Point& p : corners) {
    m.x += p.x / 4;
    m.y += p.y / 4;
  }
  return m;
}

double Distance(const qr::Point& a, const qr::Point& b) { return std::hypot(a.x - b.x, a.y - b.y); }

bool EachWithin(const std::array<qr::Point, 4>& a, const std::array<qr::Point, 4>& b, double tolerance) {
  for (int i = 0; i < 4; ++i)
    if (Distance(a[i], b[i]) > tolerance) return false;
  return true;
}

std::string Corners(const std::array<qr::Point, 4>& corners) {
  std::string text;
  char buffer[48];
  for (const qr::Point& p : corners) {
    std::snprintf(buffer, sizeof buffer, "(%.1f,%.1f)", p.x, p.y);
    text += buffer;
  }
  return text;
}

char LevelLetter(qr::Level level) { return "LMQH"[static_cast<int>(level) & 3]; }

// The differences between a reported symbol and the expected one; empty when none.
std::string Differences(const ExpectedSymbol& expected, const qr::FoundSymbol& found) {
  const qr::SymbolContent& want = expected.content;
  const qr::SymbolContent& got = found.content;
  std::string diff;
  auto add = [&diff](const std::string& what, const std::string& got_text, const std::string& want_text) {
    diff += " " + what + " " + got_text + " (expected " + want_text + ")";
  };
  if (got.version != want.version) add("version", std::to_string(got.version), std::to_string(want.version));
  if (got.level != want.level) add("level", {LevelLetter(got.level)}, {LevelLetter(want.level)});
  if (got.append_position != want.append_position || got.append_total != want.append_total ||
      got.append_parity != want.append_parity) {
    auto sa = [](const qr::SymbolContent& c) {
      return std::to_string(c.append_position) + "/" + std::to_string(c.append_total) + " parity " +
             std::to_string(c.append_parity);
    };
    add("structured append", sa(got), sa(want));
  }
  if (got.utf8 != want.utf8) add("text", "\"" + Printable(got.utf8) + "\"", "\"" + Printable(want.utf8) + "\"");
  if (!CornersAgree(expected, found.corners)) add("corners", Corners(found.corners), Corners(expected.corners));
  return diff;
}

}  // namespace

int Verdict::ReadCount() const { return static_cast<int>(std::count(read.begin(), read.end(), true)); }

std::string Printable(const std::string& utf8) {
  std::string text;
  for (unsigned char c : utf8.substr(0, 80)) {
    if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      text += escape;
    } else {
      text += static_cast<char>(c);
    }
  }
  return utf8.size() > 80 ? text + "..." : text;
}

int NearestSymbol(const CorpusImage& image, const std::array<qr::Point, 4>& corners) {
  int best = -1;
  double best_distance = 0;
  for (size_t i = 0; i < image.symbols.size(); ++i) {
    const ExpectedSymbol& s = image.symbols[i];
    double distance = Distance(Middle(s.corners), Middle(corners));
    double half_side = Distance(s.corners[0], s.corners[1]) / 2;
    if (distance <= half_side && (best < 0 || distance < best_distance)) {
      best = static_cast<int>(i);
      best_distance = distance;
    }
  }
  return best;
}

bool CornersAgree(const ExpectedSymbol& expected, const std::array<qr::Point, 4>& corners) {
  double tolerance = std::max(2.0, 1.5 * expected.ModuleSize());
  if (EachWithin(expected.corners, corners, tolerance)) return true;
  if (!expected.mirrored) return false;
  const auto& c = expected.corners;
  return EachWithin({c[0], c[3], c[2], c[1]}, corners, tolerance);
}

Verdict Judge(const CorpusImage& image, const std::vector<qr::FoundSymbol>& found) {
  Verdict verdict;
  verdict.read.assign(image.symbols.size(), false);
  std::vector<bool> reported(image.symbols.size(), false);
  for (const qr::FoundSymbol& symbol : found) {
    int index = NearestSymbol(image, symbol.corners);
    if (index < 0) {
      verdict.faults.push_back("reported a symbol the image does not hold at " + Corners(symbol.corners) +
                               ": \"" + Printable(symbol.content.utf8) + "\"");
      continue;
    }
    if (reported[index]) {
      verdict.faults.push_back("reported symbol " + std::to_string(index) + " twice");
      continue;
    }
    reported[index] = true;
    std::string diff = Differences(image.symbols[index], symbol);
    if (diff.empty()) {
      verdict.read[index] = true;
    } else {
      verdict.faults.push_back("symbol " + std::to_string(index) + ":" + diff);
    }
  }
  return verdict;
}

}  // namespace corpus
