#include "reader/symbol/segment_decoder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qr {
namespace {

// A bit stream written field by field: {value, bit count}.
using Fields = std::vector<std::pair<uint32_t, int>>;

std::vector<uint8_t> Pack(const Fields& fields) {
  std::vector<uint8_t> bytes;
  int used = 8;
  for (const auto& [value, count] : fields) {
    for (int i = count - 1; i >= 0; --i) {
      if (used == 8) bytes.push_back(0), used = 0;
      bytes.back() = static_cast<uint8_t>(bytes.back() | ((value >> i) & 1) << (7 - used));
      ++used;
    }
  }
  return bytes;
}

// Mode indicators.
constexpr std::pair<uint32_t, int> kNumeric{1, 4}, kAlphanumeric{2, 4}, kAppend{3, 4}, kByte{4, 4},
    kFnc1First{5, 4}, kEci{7, 4}, kKanji{8, 4}, kFnc1Second{9, 4}, kHanzi{13, 4}, kEnd{0, 4};

Fields Bytes(std::vector<uint8_t> bytes, int count_bits = 8) {
  Fields fields = {kByte, {static_cast<uint32_t>(bytes.size()), count_bits}};
  for (uint8_t b : bytes) fields.push_back({b, 8});
  return fields;
}

Fields Join(std::initializer_list<Fields> parts) {
  Fields all;
  for (const Fields& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::optional<std::string> Text(const Fields& fields, int version = 1) {
  const auto decoded = DecodeSegments(Pack(fields), version);
  if (!decoded) return std::nullopt;
  return decoded->utf8;
}

struct Case {
  const char* name;
  Fields fields;
  std::optional<std::string> text;
  int version = 1;
};

TEST(SegmentDecoder, DecodesEachMode) {
  const Case cases[] = {
      {"numeric", {kNumeric, {8, 10}, {12, 10}, {345, 10}, {67, 7}, kEnd}, "01234567"},
      {"numeric, single last digit", {kNumeric, {4, 10}, {999, 10}, {5, 4}, kEnd}, "9995"},
      {"numeric count is 12 bits from version 10", {kNumeric, {2, 12}, {42, 7}, kEnd}, "42", 10},
      {"numeric count is 14 bits from version 27", {kNumeric, {1, 14}, {7, 4}, kEnd}, "7", 27},
      {"alphanumeric", {kAlphanumeric, {5, 9}, {10 * 45 + 12, 11}, {41 * 45 + 4, 11}, {2, 6}, kEnd}, "AC-42"},
      {"byte, count is 16 bits from version 10", Join({Bytes({'h', 'i'}, 16), {kEnd}}), "hi", 10},
      {"kanji", {kKanji, {2, 8}, {1855, 13}, {2586, 13}, kEnd}, "漢字"},
      {"kanji from the E0 range", {kKanji, {1, 8}, {0x1F * 0xC0, 13}, kEnd}, "漾"},
      {"hanzi (GB 2312)", {kHanzi, {1, 4}, {1, 8}, {4655, 13}, kEnd}, "中"},
      {"segments in a row", Join({{kNumeric, {1, 10}, {3, 4}}, Bytes({'x'}), {kEnd}}), "3x"},
      {"no terminator when under four bits remain", {kNumeric, {1, 10}, {3, 4}, {0, 2}}, "3"},
      {"empty stream", {}, ""},
      {"padding after the terminator", Join({Bytes({'a'}), {kEnd, {0xEC, 8}, {0x11, 8}}}), "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.fields, c.version), c.text) << c.name;
}

TEST(SegmentDecoder, GuessesTheCharsetOfUnlabelledBytes) {
  const Case cases[] = {
      {"UTF-8", Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}), "中文"},
      {"GBK", Bytes({0xD6, 0xD0, 0xCE, 0xC4}), "中文"},
      {"GB18030 four-byte", Bytes({0x95, 0x32, 0x82, 0x36}), "𠀀"},
      {"ISO-8859-1", Bytes({'c', 'a', 'f', 0xE9}), "café"},
      // One guess for all byte segments: this GBK pair is not UTF-8.
      {"GBK in two segments", Join({Bytes({0xD6, 0xD0}), {kNumeric, {1, 10}, {1, 4}}, Bytes({0xCE, 0xC4})}), "中1文"},
      {"ISO-8859-1 when any segment fails GBK", Join({Bytes({0xD6, 0xD0}), Bytes({0xE9})}), "ÖÐé"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.fields, c.version), c.text) << c.name;
}

TEST(SegmentDecoder, HonoursEci) {
  const Case cases[] = {
      {"ECI 3: ISO-8859-1", Join({{kEci, {3, 8}}, Bytes({0xD6, 0xD0})}), "ÖÐ"},
      {"ECI 26: UTF-8", Join({{kEci, {26, 8}}, Bytes({0xC3, 0xA9})}), "é"},
      {"ECI 20: Shift_JIS", Join({{kEci, {20, 8}}, Bytes({0x8A, 0xBF})}), "漢"},
      {"ECI 29: GB 2312", Join({{kEci, {29, 8}}, Bytes({0xD6, 0xD0})}), "中"},
      {"ECI 25: UTF-16BE", Join({{kEci, {25, 8}}, Bytes({0x4E, 0x2D})}), "中"},
      {"ECI 7: ISO-8859-5", Join({{kEci, {7, 8}}, Bytes({0xB0})}), "А"},
      {"two-byte designator (899, binary)", Join({{kEci, {0x8000 | 899, 16}}, Bytes({0xFF})}), "ÿ"},
      {"three-byte designator", Join({{kEci, {0xC00000 | 26, 24}}, Bytes({0xC3, 0xA9})}), "é"},
      {"ECI changes charset between segments",
       Join({{kEci, {3, 8}}, Bytes({0xE9}), {kEci, {26, 8}}, Bytes({0xC3, 0xA9})}), "éé"},
      {"an unknown ECI leaves bytes to the guess", Join({{kEci, {28, 8}}, Bytes({0xD6, 0xD0})}), "中"},
      {"an invalid designator", Join({{kEci, {0xE0, 8}}, Bytes({'a'})}), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.fields, c.version), c.text) << c.name;
}

TEST(SegmentDecoder, ReadsFnc1) {
  const auto alnum = [](const std::string& text) {
    Fields fields = {kAlphanumeric, {static_cast<uint32_t>(text.size()), 9}};
    const std::string chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
    size_t i = 0;
    for (; i + 1 < text.size(); i += 2)
      fields.push_back({static_cast<uint32_t>(chars.find(text[i]) * 45 + chars.find(text[i + 1])), 11});
    if (i < text.size()) fields.push_back({static_cast<uint32_t>(chars.find(text[i])), 6});
    return fields;
  };
  const Case cases[] = {
      {"percent signs are literal without FNC1", alnum("A%B%%C"), "A%B%%C"},
      {"FNC1 first: % is GS, %% is %", Join({{kFnc1First}, alnum("A%B%%C%")}), "A\x1D" "B%C\x1D"},
      {"FNC1 second: two-digit application", Join({{kFnc1Second, {37, 8}}, alnum("AB")}), "37AB"},
      {"FNC1 second: letter application", Join({{kFnc1Second, {'a' + 100, 8}}, alnum("1%2")}), "a1\x1D" "2"},
      {"FNC1 second: invalid application", Join({{kFnc1Second, {150, 8}}, alnum("AB")}), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.fields, c.version), c.text) << c.name;
}

TEST(SegmentDecoder, ReadsTheStructuredAppendHeader) {
  const auto decoded = DecodeSegments(Pack(Join({{kAppend, {2, 4}, {4, 4}, {0x5A, 8}}, Bytes({'a', 'b'})})), 1);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->append_position, 2);
  EXPECT_EQ(decoded->append_total, 5);
  EXPECT_EQ(decoded->append_parity, 0x5A);
  EXPECT_EQ(decoded->utf8, "ab");

  const auto plain = DecodeSegments(Pack(Bytes({'a'})), 1);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->append_total, 0);
}

TEST(SegmentDecoder, RejectsMalformedStreams) {
  const Case cases[] = {
      {"unknown mode", {{6, 4}, {0, 8}}, std::nullopt},
      {"three digits over 999", {kNumeric, {3, 10}, {1000, 10}}, std::nullopt},
      {"two digits over 99", {kNumeric, {2, 10}, {100, 7}}, std::nullopt},
      {"one digit over 9", {kNumeric, {1, 10}, {10, 4}}, std::nullopt},
      {"alphanumeric pair out of range", {kAlphanumeric, {2, 9}, {45 * 45, 11}}, std::nullopt},
      {"alphanumeric single out of range", {kAlphanumeric, {1, 9}, {45, 6}}, std::nullopt},
      {"byte count past the end", Join({{kByte, {10, 8}, {'a', 8}}}), std::nullopt},
      {"kanji count past the end", {kKanji, {3, 8}, {1855, 13}}, std::nullopt},
      {"numeric count past the end", {kNumeric, {9, 10}, {123, 10}}, std::nullopt},
      {"hanzi subset other than GB 2312", {kHanzi, {2, 4}, {1, 8}, {4655, 13}}, std::nullopt},
      {"truncated structured append header", {kAppend, {1, 4}}, std::nullopt},
      {"truncated count", {kByte, {1, 3}}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(c.fields, c.version), c.text) << c.name;
  EXPECT_FALSE(DecodeSegments(Pack(Bytes({'a'})), 0));
  EXPECT_FALSE(DecodeSegments(Pack(Bytes({'a'})), 41));
}

}  // namespace
}  // namespace qr
