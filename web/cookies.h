// Folding the cookies an answer sets into the cookie text a caller keeps
// between requests. Cookie text: name=value pairs separated by ";" (or "; ").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace web {

// Merges `newCookies` into `cookies`: first the pairs the answer set, then
// the old pairs whose names it did not set; pairs ending in "=deleted" and
// exact repeats are dropped. Spaces are removed from both variables; on
// return `cookies` holds the merged text, its pairs separated by "; ", and
// the same text is returned.
std::string MergeCookies(std::string& cookies, std::string& newCookies);

// The trimmed text before the first "=", or the whole pair without one.
std::string CookieName(std::string_view pair);

bool ContainsCookieName(const std::vector<std::string>& pairs, std::string_view name);

// The items of `text` split on `separator`, first occurrences only, joined
// again with `separator`.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator);

// The 1-based position of the first item equal to `item`, or -1.
int FindItem(const std::vector<std::string>& items, std::string_view item);

}  // namespace web
