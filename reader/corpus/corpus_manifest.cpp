#include "reader/corpus/corpus_manifest.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace corpus {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

bool ParseInt(const std::string& text, int& value) {
  char* end = nullptr;
  long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseLevel(const std::string& text, qr::Level& level) {
  static const std::string kLetters = "LMQH";
  size_t index = kLetters.find(text);
  if (text.size() != 1 || index == std::string::npos) return false;
  level = static_cast<qr::Level>(index);
  return true;
}

bool ParseCorners(const std::string& text, std::array<qr::Point, 4>& corners) {
  std::istringstream in(text);
  std::string number;
  for (int i = 0; i < 8; ++i) {
    if (!std::getline(in, number, ',')) return false;
    char* end = nullptr;
    double value = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0') return false;
    (i % 2 == 0 ? corners[i / 2].x : corners[i / 2].y) = value;
  }
  return in.peek() == EOF;
}

// image FILE CATEGORY MUST WIDTH HEIGHT
bool ParseImage(const std::vector<std::string>& f, CorpusImage& image) {
  int must = 0;
  if (f.size() != 6 || !ParseInt(f[3], must) || !ParseInt(f[4], image.width) || !ParseInt(f[5], image.height))
    return false;
  image.file = f[1];
  image.category = f[2];
  image.must_read = must != 0;
  return true;
}

// symbol VERSION LEVEL MASK SA_POSITION SA_TOTAL SA_PARITY MIRRORED CORNERS UTF8_HEX ENCODER
bool ParseSymbol(const std::vector<std::string>& f, ExpectedSymbol& symbol) {
  int mirrored = 0;
  qr::SymbolContent& c = symbol.content;
  if (f.size() != 11 || !ParseInt(f[1], c.version) || !ParseLevel(f[2], c.level) || !ParseInt(f[3], symbol.mask) ||
      !ParseInt(f[4], c.append_position) || !ParseInt(f[5], c.append_total) || !ParseInt(f[6], c.append_parity) ||
      !ParseInt(f[7], mirrored) || !ParseCorners(f[8], symbol.corners))
    return false;
  if (f[9].size() % 2 != 0) return false;
  c.utf8 = BytesFromHex(f[9]);
  if (c.utf8.size() * 2 != f[9].size()) return false;
  symbol.mirrored = mirrored != 0;
  symbol.encoder = f[10];
  return true;
}

}  // namespace

double ExpectedSymbol::ModuleSize() const {
  double perimeter = 0;
  for (int i = 0; i < 4; ++i) {
    const qr::Point& a = corners[i];
    const qr::Point& b = corners[(i + 1) % 4];
    perimeter += std::hypot(a.x - b.x, a.y - b.y);
  }
  return perimeter / 4 / (17 + 4 * content.version);
}

std::string BytesFromHex(const std::string& hex) {
  auto nibble = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return {};
  std::string bytes;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = nibble(hex[i]);
    int low = nibble(hex[i + 1]);
    if (high < 0 || low < 0) return {};
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

Manifest LoadManifest(const std::string& path) {
  Manifest manifest;
  std::ifstream in(path);
  if (!in) {
    manifest.error = "cannot open " + path;
    return manifest;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields = SplitTabs(line);
    bool parsed = false;
    if (fields[0] == "image") {
      manifest.images.emplace_back();
      parsed = ParseImage(fields, manifest.images.back());
    } else if (fields[0] == "symbol" && !manifest.images.empty()) {
      manifest.images.back().symbols.emplace_back();
      parsed = ParseSymbol(fields, manifest.images.back().symbols.back());
    }
    if (!parsed) {
      manifest.error = path + ":" + std::to_string(number) + ": malformed line";
      return manifest;
    }
  }
  return manifest;
}

}  // namespace corpus
