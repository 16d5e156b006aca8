#include "text/text_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string Items(const std::vector<std::string>& items) {
  std::string shown;
  for (const auto& item : items) shown += "[" + item + "]";
  return shown;
}

// Literals are GBK: 啊 is B0 A1, 中文 is D6 D0 CE C4, 81 41 and 81 61 are
// two-byte characters whose trail bytes look like "A" and "a".
TEST(TextRules, FollowTheSharedRules) {
  const struct {
    const char* rule;
    std::function<std::string()> run;
    std::string expected;
  } cases[] = {
      {"find", [] { return std::to_string(text::Find("abc", "c")); }, "3"},
      {"find missing", [] { return std::to_string(text::Find("abc", "d")); }, "-1"},
      {"find in empty", [] { return std::to_string(text::Find("", "a")); }, "-1"},
      {"find empty", [] { return std::to_string(text::Find("abc", "")); }, "-1"},
      {"find from 2", [] { return std::to_string(text::Find("abab", "ab", 2)); }, "3"},
      {"find from 0", [] { return std::to_string(text::Find("abab", "ab", 0)); }, "1"},
      {"find from -5", [] { return std::to_string(text::Find("abab", "ab", -5)); }, "1"},
      {"find from beyond", [] { return std::to_string(text::Find("abab", "ab", 9)); }, "-1"},
      {"find Chinese", [] { return std::to_string(text::Find("中文", "文")); }, "3"},
      {"never inside a character", [] { return std::to_string(text::Find("\x81\x41" "A", "A")); }, "3"},
      {"space after 啊", [] { return std::to_string(text::Find("啊\xA1\xA1", "\xA1\xA1")); }, "3"},
      {"case-insensitive", [] { return std::to_string(text::Find("x Set-Cookie:", "set-cookie:", 1, false)); }, "3"},
      {"case-sensitive", [] { return std::to_string(text::Find("x Set-Cookie:", "set-cookie:")); }, "-1"},
      {"trail bytes not folded",
       [] { return std::to_string(text::Find("\x81\x61", "\x81\x41", 1, false)); }, "-1"},
      {"contains", [] { return std::string(text::Contains("a\r\nb", "\r\n") ? "yes" : "no"); }, "yes"},
      {"trim ASCII", [] { return text::Trim("  a b  "); }, "a b"},
      {"trim ideographic", [] { return text::Trim("\xA1\xA1" "a" "\xA1\xA1 "); }, "a"},
      {"tabs and breaks stay", [] { return text::Trim("\ta\r\n"); }, "\ta\r\n"},
      {"trim all spaces", [] { return text::Trim(" \xA1\xA1 "); }, ""},
      {"trim after 啊", [] { return text::Trim("啊\xA1\xA1"); }, "啊"},
      {"trail byte is no space", [] { return text::Trim("x啊\xA1"); }, "x啊\xA1"},
      {"remove spaces", [] { return text::RemoveSpaces(" a b\xA1\xA1" "c\t "); }, "abc\t"},
      {"remove keeps 啊", [] { return text::RemoveSpaces("啊\xA1\xA1"); }, "啊"},
      {"split empty", [] { return Items(text::Split("", ";")); }, ""},
      {"split", [] { return Items(text::Split("a;b", ";")); }, "[a][b]"},
      {"split empty inside", [] { return Items(text::Split("a;;b", ";")); }, "[a][][b]"},
      {"split leading", [] { return Items(text::Split(";a", ";")); }, "[][a]"},
      {"split trailing", [] { return Items(text::Split("a;", ";")); }, "[a]"},
      {"split two trailing", [] { return Items(text::Split("a;;", ";")); }, "[a][]"},
      {"split separator only", [] { return Items(text::Split(";", ";")); }, "[]"},
      {"split lines", [] { return Items(text::Split("a\r\n\r\nb", "\r\n")); }, "[a][][b]"},
      {"split without separator", [] { return Items(text::Split("ab", "")); }, "[ab]"},
      {"left", [] { return text::Left("abc", 2); }, "ab"},
      {"left 0", [] { return text::Left("abc", 0); }, ""},
      {"left negative", [] { return text::Left("abc", -1); }, ""},
      {"left beyond", [] { return text::Left("abc", 5); }, "abc"},
      {"right", [] { return text::Right("abc", 2); }, "bc"},
      {"right 0", [] { return text::Right("abc", 0); }, ""},
      {"right beyond", [] { return text::Right("abc", 9); }, "abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.run(), c.expected) << c.rule;
}

}  // namespace
