#include "web/cookies.h"

#include "text/text_rules.h"

namespace web {

namespace {

constexpr std::string_view kDeletedMarker = "=deleted";
constexpr std::string_view kPairSeparator = "; ";

// Drops `count` bytes from the end; a shorter text becomes empty.
void DropLast(std::string& text, size_t count) { text.resize(text.size() > count ? text.size() - count : 0); }

}  // namespace

std::string CookieName(std::string_view pair) {
  const int equals = text::Find(pair, "=");
  return text::Trim(equals == -1 ? pair : pair.substr(0, static_cast<size_t>(equals) - 1));
}

bool ContainsCookieName(const std::vector<std::string>& pairs, std::string_view name) {
  for (const auto& pair : pairs) {
    if (CookieName(pair) == name) return true;
  }
  return false;
}

int FindItem(const std::vector<std::string>& items, std::string_view item) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item) return static_cast<int>(i) + 1;
  }
  return -1;
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator) {
  std::vector<std::string> seen;
  std::string kept;
  for (auto& item : text::Split(text, separator)) {
    if (FindItem(seen, item) != -1) continue;
    kept.append(item).append(separator);
    seen.push_back(std::move(item));
  }
  DropLast(kept, separator.size());
  return kept;
}

std::string MergeCookies(std::string& cookies, std::string& newCookies) {
  cookies = text::RemoveSpaces(cookies);
  newCookies = text::RemoveSpaces(newCookies);
  std::vector<std::string> merged = text::Split(newCookies, ";");
  // Tested against the growing list: of several old pairs with one name only
  // the first is carried over.
  for (auto& pair : text::Split(cookies, ";")) {
    if (!ContainsCookieName(merged, CookieName(pair))) merged.push_back(std::move(pair));
  }
  cookies.clear();
  for (const auto& pair : merged) {
    if (text::Right(pair, static_cast<int>(kDeletedMarker.size())) != kDeletedMarker) {
      cookies.append(pair).append(kPairSeparator);
    }
  }
  DropLast(cookies, kPairSeparator.size());
  cookies = RemoveDuplicateItems(cookies, kPairSeparator);
  return cookies;
}

}  // namespace web
