// The rules every routine applies to GBK text: byte searches that treat a
// two-byte character as one unit, trimming, space removal, splitting and
// taking bytes from either end. Positions are 1-based; -1 means not found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace text {

// The ideographic space, GBK A1 A1: trimmed and removed like the ASCII space.
inline constexpr std::string_view kIdeographicSpace = "\xA1\xA1";

// Where `what` first occurs in `text` at or after the 1-based `start` (0 or
// less means the beginning), stepping from `start` one character at a time: a
// match never begins on the trail byte of a two-byte character. Without
// `caseSensitive` ASCII letters match either case; nothing else is folded.
// An empty `what` is never found.
int Find(std::string_view text, std::string_view what, int start = 1, bool caseSensitive = true);

bool Contains(std::string_view text, std::string_view what, bool caseSensitive = true);

// Drops ASCII spaces and ideographic spaces at both ends; tabs and line
// breaks stay.
std::string Trim(std::string_view text);

// Drops every ASCII space and ideographic space.
std::string RemoveSpaces(std::string_view text);

// Splits on `separator`: an empty text gives no items; empty items between
// separators and before a leading separator are kept; a trailing separator
// gives no empty item at the end. An empty separator gives the whole text.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// The first / last `count` bytes: empty for 0 or less, the whole text when
// `count` is beyond its length.
std::string Left(std::string_view text, int count);
std::string Right(std::string_view text, int count);

}  // namespace text
