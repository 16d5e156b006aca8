// Pieces of header lines and marked-off text, on GBK text by the shared
// text rules.
#pragma once

#include <string>
#include <string_view>

namespace web {

// The text before / after the first ":" of a header line, trimmed; empty
// when the line has no ":".
std::string SplitHeaderName(std::string_view line);
std::string SplitHeaderValue(std::string_view line);

// The text between the first `left` found from the 1-based `start` (0 or
// less: the beginning) and the first `right` after it; empty when either is
// missing. "#引号" in a marker stands for a double quote. Without
// `caseSensitive` ASCII letters match either case.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, int start = 1,
                        bool caseSensitive = false);

}  // namespace web
