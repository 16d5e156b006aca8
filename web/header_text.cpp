#include "web/header_text.h"

#include "text/text_rules.h"

namespace web {

namespace {

// The colon's position, 1-based, or -1.
int ColonAt(std::string_view line) { return text::Find(line, ":"); }

std::string QuotesForMarker(std::string_view marker) {
  static constexpr std::string_view kQuoteMarker = "#引号";
  std::string replaced;
  size_t from = 0;
  for (int found; (found = text::Find(marker, kQuoteMarker, static_cast<int>(from) + 1)) != -1;) {
    const size_t at = static_cast<size_t>(found) - 1;
    replaced.append(marker.substr(from, at - from)).append("\"");
    from = at + kQuoteMarker.size();
  }
  return replaced.append(marker.substr(from));
}

}  // namespace

std::string SplitHeaderName(std::string_view line) {
  const int colon = ColonAt(line);
  return colon == -1 ? std::string() : text::Trim(line.substr(0, static_cast<size_t>(colon) - 1));
}

std::string SplitHeaderValue(std::string_view line) {
  const int colon = ColonAt(line);
  return colon == -1 ? std::string() : text::Trim(line.substr(static_cast<size_t>(colon)));
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                        bool caseSensitive) {
  const std::string left_marker = QuotesForMarker(left);
  const std::string right_marker = QuotesForMarker(right);
  const int left_at = text::Find(text, left_marker, start, caseSensitive);
  if (left_at == -1) return {};
  const int inside = left_at + static_cast<int>(left_marker.size());
  const int right_at = text::Find(text, right_marker, inside, caseSensitive);
  if (right_at == -1) return {};
  return std::string(text.substr(static_cast<size_t>(inside) - 1, static_cast<size_t>(right_at - inside)));
}

}  // namespace web
