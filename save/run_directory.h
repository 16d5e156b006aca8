// The folder that holds the program: its module path up to the last
// backslash, so "C:" for a program in the root of drive C.
#pragma once

#include <string>
#include <string_view>

namespace save {

// Works on UTF-16, where a backslash is always a separator (in GBK the trail
// byte of a character can be 0x5C).
std::u16string DirectoryOf(std::u16string_view module_path);

}  // namespace save
