#include "reader/symbol/charset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qr {
namespace {

std::string ToUtf8(Charset charset, std::vector<uint8_t> bytes) {
  std::string out;
  AppendAsUtf8(charset, bytes, out);
  return out;
}

std::span<const uint8_t> Bytes(const std::vector<uint8_t>& bytes) { return bytes; }

TEST(Charset, TwoByteTablesHoldKnownCharacters) {
  EXPECT_EQ(GbkToUnicode(0xD6D0), U'中');
  EXPECT_EQ(GbkToUnicode(0xCEC4), U'文');
  EXPECT_EQ(GbkToUnicode(0x8140), U'丂');  // GBK's own extension beyond GB 2312
  EXPECT_EQ(GbkToUnicode(0xFE4F), U'\uFA29');
  EXPECT_EQ(GbkToUnicode(0xAAA1), 0u);  // user-defined area
  EXPECT_EQ(GbkToUnicode(0x817F), 0u);  // no such trail byte
  EXPECT_EQ(ShiftJisToUnicode(0x8ABF), U'漢');
  EXPECT_EQ(ShiftJisToUnicode(0x8E9A), U'字');
  EXPECT_EQ(ShiftJisToUnicode(0x8160), U'\u301C');  // JIS X 0208's wave dash
  EXPECT_EQ(ShiftJisToUnicode(0x8740), U'①');      // NEC row 13
  EXPECT_EQ(ShiftJisToUnicode(0xEAA4), U'熙');      // last code of JIS X 0208
  EXPECT_EQ(ShiftJisToUnicode(0xF040), 0u);         // user-defined area
  EXPECT_EQ(ShiftJisToUnicode(0xA0A0), 0u);
}

TEST(Charset, ConvertsEachCharsetToUtf8) {
  struct Case {
    Charset charset;
    std::vector<uint8_t> bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {Charset::kIso8859_1, {'a', 0xE9, 0xFF}, "aéÿ"},
      {Charset::kCp437, {0x82, 0xE1}, "éß"},
      {Charset::kIso8859_2, {0xA3}, "Ł"},
      {Charset::kIso8859_5, {0xB0, 0xEF}, "Ая"},
      {Charset::kIso8859_7, {0xC1}, "Α"},
      {Charset::kIso8859_15, {0xA4}, "€"},
      {Charset::kCp1252, {0x80, 0x81}, "€\uFFFD"},
      {Charset::kCp1251, {0xC0}, "А"},
      {Charset::kGb18030, {0xD6, 0xD0, 0xCE, 0xC4, 'x'}, "中文x"},
      {Charset::kGb18030, {0x81, 0x30, 0x81, 0x30}, "\u0080"},
      {Charset::kGb18030, {0x84, 0x31, 0xA4, 0x39}, "\uFFFF"},
      {Charset::kGb18030, {0x95, 0x32, 0x82, 0x36}, "𠀀"},
      {Charset::kGb18030, {0xD6}, "\uFFFD"},
      {Charset::kShiftJis, {0x8A, 0xBF, 0x8E, 0x9A, 0xB1, 'A'}, "漢字ｱA"},
      {Charset::kShiftJis, {0x8A}, "\uFFFD"},
      {Charset::kUtf8, {0xE4, 0xB8, 0xAD, 0xC3, 0x28}, "中\uFFFD("},
      {Charset::kUtf16Be, {0x4E, 0x2D, 0xD8, 0x40, 0xDC, 0x00}, "中𠀀"},
      {Charset::kUtf16Le, {0x2D, 0x4E, 0x00}, "中\uFFFD"},
      {Charset::kUtf16Be, {0xDC, 0x00, 0x00, 0x41}, "\uFFFDA"},
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.charset, c.bytes), c.utf8) << c.utf8;
}

TEST(Charset, EciNumbersNameCharsets) {
  EXPECT_EQ(CharsetForEci(3), Charset::kIso8859_1);
  EXPECT_EQ(CharsetForEci(1), Charset::kIso8859_1);
  EXPECT_EQ(CharsetForEci(2), Charset::kCp437);
  EXPECT_EQ(CharsetForEci(4), Charset::kIso8859_2);
  EXPECT_EQ(CharsetForEci(7), Charset::kIso8859_5);
  EXPECT_EQ(CharsetForEci(15), Charset::kIso8859_13);
  EXPECT_EQ(CharsetForEci(18), Charset::kIso8859_16);
  EXPECT_EQ(CharsetForEci(20), Charset::kShiftJis);
  EXPECT_EQ(CharsetForEci(22), Charset::kCp1251);
  EXPECT_EQ(CharsetForEci(25), Charset::kUtf16Be);
  EXPECT_EQ(CharsetForEci(26), Charset::kUtf8);
  EXPECT_EQ(CharsetForEci(29), Charset::kGb18030);
  EXPECT_EQ(CharsetForEci(14), std::nullopt);
  EXPECT_EQ(CharsetForEci(28), std::nullopt);  // Big5
  EXPECT_EQ(CharsetForEci(999999), std::nullopt);
}

TEST(Charset, ValidityChecksRejectWhatTheyCannotRead) {
  struct Case {
    std::vector<uint8_t> bytes;
    bool utf8;
    bool gb18030;
  };
  const Case cases[] = {
      {{'a', 'b'}, true, true},
      {{0xE4, 0xB8, 0xAD}, true, false},      // 中 in UTF-8
      {{0xD6, 0xD0, 0xCE, 0xC4}, false, true},  // 中文 in GBK
      {{'c', 'a', 'f', 0xE9}, false, false},    // café in ISO-8859-1
      {{0xC0, 0x80}, false, true},              // overlong UTF-8
      {{0xED, 0xA0, 0x80}, false, false},       // a surrogate
      {{0xF4, 0x90, 0x80, 0x80}, false, false},  // beyond U+10FFFF
      {{0xAA, 0xA1}, false, false},             // GBK user-defined area
      {{0x80}, false, false},
      {{0x81, 0x30, 0x81}, false, false},  // truncated four-byte code
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(Bytes(c.bytes)), c.utf8) << testing::PrintToString(c.bytes);
    EXPECT_EQ(IsValidGb18030(Bytes(c.bytes)), c.gb18030) << testing::PrintToString(c.bytes);
  }
}

TEST(Charset, OutOfRangeCodePointsBecomeReplacementCharacters) {
  std::string out;
  AppendCodePoint(0xD800, out);
  AppendCodePoint(0x110000, out);
  AppendCodePoint(0x10FFFF, out);
  EXPECT_EQ(out, "\uFFFD\uFFFD\U0010FFFF");
}

}  // namespace
}  // namespace qr
