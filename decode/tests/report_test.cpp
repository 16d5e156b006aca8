#include "decode/report.h"

#include <gtest/gtest.h>

#include "decode/tests/report_cases.h"
#include "decode/utf8_to_gbk.h"

namespace decode::testing {
namespace {

TEST(DecodeReport, GivesTheReportAndCallsInOrder) {
  for (const ReportCase& c : ReportCases()) {
    SCOPED_TRACE(c.name);
    ScriptedDecoder decoder;
    decoder.Script(c.result, c.symbols.data(), static_cast<int32_t>(c.symbols.size()));
    EXPECT_EQ(DecodeReport(decoder, "C:\\images\\qr.bmp"), c.report);
    EXPECT_EQ(decoder.Calls(), ExpectedCalls("C:\\images\\qr.bmp", c.result));
  }
}

TEST(Utf8ToGbk, ConvertsThroughUtf16) {
  const struct { std::string utf8; std::string utf16le; std::string gbk; } cases[] = {
      {"", "", ""},
      {"abc", std::string("a\0b\0c\0", 6), "abc"},
      {"\xE4\xB8\xAD\xE6\x96\x87", "\x2D\x4E\x87\x65", "中文"},
      {"\xE2\x80\x94", "\x14\x20", "\xA1\xAA"},  // the em dash of the separator line
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16le);
    EXPECT_EQ(Utf16ToGbk(c.utf16le), c.gbk);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(Utf16ToGbk, StopsAtTheFirstZeroAndIgnoresAnOddByte) {
  EXPECT_EQ(Utf16ToGbk(std::string("a\0\0\0b\0", 6)), "a");
  EXPECT_EQ(Utf16ToGbk(std::string("a\0b", 3)), "a");
}

#ifdef _WIN32
// The platform converter turns composite sequences into precomposed
// characters where GBK has them.
TEST(Utf16ToGbk, ComposesWhereGbkHasThePrecomposedCharacter) {
  EXPECT_EQ(Utf8ToGbk("e\xCC\x81"), "\xA8\xA6");  // e + combining acute: é
}
#endif

}  // namespace
}  // namespace decode::testing
