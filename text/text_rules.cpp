#include "text/text_rules.h"

#include <algorithm>

namespace text {

namespace {

// A lead byte of 0x80 or more and the byte after it form one character; a
// lead byte at the very end stands alone.
size_t CharLength(std::string_view text, size_t at) {
  return static_cast<unsigned char>(text[at]) >= 0x80 && at + 1 < text.size() ? 2 : 1;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `what` stands at `at`. The bytes of a two-byte character of `what`
// compare exactly, so a folded match keeps the character structure of `what`.
bool MatchesAt(std::string_view text, size_t at, std::string_view what, bool case_sensitive) {
  if (text.size() - at < what.size()) return false;
  for (size_t j = 0; j < what.size();) {
    const size_t unit = CharLength(what, j);
    if (unit == 2 || case_sensitive) {
      if (text.compare(at + j, unit, what.substr(j, unit)) != 0) return false;
    } else if (FoldAscii(text[at + j]) != FoldAscii(what[j])) {
      return false;
    }
    j += unit;
  }
  return true;
}

bool IsSpaceAt(std::string_view text, size_t at) {
  return text[at] == ' ' || (CharLength(text, at) == 2 && text.substr(at, 2) == kIdeographicSpace);
}

}  // namespace

int Find(std::string_view text, std::string_view what, int start, bool caseSensitive) {
  if (what.empty()) return -1;
  for (size_t at = start > 1 ? static_cast<size_t>(start) - 1 : 0; at < text.size(); at += CharLength(text, at)) {
    if (MatchesAt(text, at, what, caseSensitive)) return static_cast<int>(at) + 1;
  }
  return -1;
}

bool Contains(std::string_view text, std::string_view what, bool caseSensitive) {
  return Find(text, what, 1, caseSensitive) != -1;
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  while (begin < text.size() && IsSpaceAt(text, begin)) begin += CharLength(text, begin);
  // The end is found walking forward, so a trail byte is never taken for a
  // space's lead byte.
  size_t end = begin;
  for (size_t at = begin; at < text.size(); at += CharLength(text, at)) {
    if (!IsSpaceAt(text, at)) end = at + CharLength(text, at);
  }
  return std::string(text.substr(begin, end - begin));
}

std::string RemoveSpaces(std::string_view text) {
  std::string kept;
  for (size_t at = 0; at < text.size(); at += CharLength(text, at)) {
    if (!IsSpaceAt(text, at)) kept.append(text.substr(at, CharLength(text, at)));
  }
  return kept;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  if (separator.empty()) return {std::string(text)};
  size_t from = 0;
  while (from < text.size()) {
    const int found = Find(text, separator, static_cast<int>(from) + 1);
    if (found == -1) {
      items.emplace_back(text.substr(from));
      return items;
    }
    const size_t at = static_cast<size_t>(found) - 1;
    items.emplace_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  return items;  // the text ended with the separator: no empty item after it
}

std::string Left(std::string_view text, int count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string Right(std::string_view text, int count) {
  if (count <= 0) return {};
  const size_t n = std::min(static_cast<size_t>(count), text.size());
  return std::string(text.substr(text.size() - n));
}

}  // namespace text
