#include "text/codepage.h"

namespace text {

std::string GbkToUtf8(std::string_view gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }

}  // namespace text
