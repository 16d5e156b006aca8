// Grids of symbols written by libqrencode, decoded and compared with what was
// encoded: every version, level and mask, each mode, damaged symbols.
#include "reader/symbol_decoder.h"

#include <gtest/gtest.h>
#include <qrencode.h>

#include <memory>
#include <string>
#include <vector>

#include "reader/symbol/format_version.h"
#include "reader/symbol/symbol_layout.h"

// Exported by libqrencode but missing from its public header: encodes with a
// chosen mask pattern.
extern "C" QRcode* QRcode_encodeMask(QRinput* input, int mask);

namespace qr {
namespace {

struct CodeFree {
  void operator()(QRcode* code) const { QRcode_free(code); }
  void operator()(QRinput* input) const { QRinput_free(input); }
  void operator()(QRcode_List* list) const { QRcode_List_free(list); }
};
using Code = std::unique_ptr<QRcode, CodeFree>;
using Input = std::unique_ptr<QRinput, CodeFree>;
using CodeList = std::unique_ptr<QRcode_List, CodeFree>;

QRecLevel QrencodeLevel(Level level) {
  switch (level) {
    case Level::kL: return QR_ECLEVEL_L;
    case Level::kM: return QR_ECLEVEL_M;
    case Level::kQ: return QR_ECLEVEL_Q;
    default: return QR_ECLEVEL_H;
  }
}

constexpr Level kLevels[] = {Level::kL, Level::kM, Level::kQ, Level::kH};

ModuleGrid GridOf(const QRcode& code) {
  ModuleGrid grid(code.width);
  for (int y = 0; y < code.width; ++y)
    for (int x = 0; x < code.width; ++x) grid.set(x, y, (code.data[y * code.width + x] & 1) != 0);
  return grid;
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

// Printable ASCII that changes along the text, so that misplaced codewords show.
std::string FillerText(int length, int seed) {
  std::string text;
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(' ' + (i * 7 + seed) % 95));
  return text;
}

// A byte-mode symbol of exactly this version and level, nearly full.
Code FullSymbol(int version, Level level, const std::string& text, int mask) {
  Input input(QRinput_new2(version, QrencodeLevel(level)));
  EXPECT_EQ(QRinput_append(input.get(), QR_MODE_8, static_cast<int>(text.size()), Bytes(text)), 0);
  return Code(QRcode_encodeMask(input.get(), mask));
}

std::string FullText(int version, Level level) {
  // Byte mode takes 12 header bits up to version 9 and 20 from version 10.
  return FillerText(BlocksOf(version, level).data_codewords() - 3, version);
}

TEST(DecodeGrid, ReadsEveryVersionLevelAndMask) {
  for (int version = kMinVersion; version <= kMaxVersion; ++version) {
    for (Level level : kLevels) {
      const int mask = (version + static_cast<int>(level)) % 8;  // all eight masks, across versions
      const std::string text = FullText(version, level);
      const Code code = FullSymbol(version, level, text, mask);
      ASSERT_TRUE(code) << version;
      ASSERT_EQ(code->width, SizeOfVersion(version)) << "libqrencode chose another version: capacity table wrong";
      const DecodeOutcome outcome = DecodeGrid(GridOf(*code));
      ASSERT_EQ(outcome.status, DecodeStatus::kOk) << "version " << version << " level " << static_cast<int>(level);
      EXPECT_EQ(outcome.content.version, version);
      EXPECT_EQ(outcome.content.level, level);
      EXPECT_EQ(outcome.content.utf8, text) << version;
      EXPECT_EQ(outcome.content.append_total, 0);
    }
  }
}

TEST(DecodeGrid, ReadsEachModeAndCharset) {
  struct Case {
    const char* name;
    std::string input;
    QRencodeMode hint;  // QR_MODE_8 lets libqrencode split into numeric/alphanumeric/byte segments
    std::string utf8;
  };
  const Case cases[] = {
      {"numeric", "01234567890123456789", QR_MODE_8, "01234567890123456789"},
      {"alphanumeric", "HELLO WORLD $%*+-./:", QR_MODE_8, "HELLO WORLD $%*+-./:"},
      {"mixed segments", "abc0123456789012DEFGHIJKLMNOPxyz", QR_MODE_8, "abc0123456789012DEFGHIJKLMNOPxyz"},
      {"kanji from Shift_JIS", "\x8A\xBF\x8E\x9A\x83\x65\x83\x58\x83\x67", QR_MODE_KANJI, "漢字テスト"},
      {"UTF-8 bytes", "Zenqar 二维码", QR_MODE_8, "Zenqar 二维码"},
      {"GBK bytes", "\xD6\xD0\xCE\xC4\xB6\xFE\xCE\xAC\xC2\xEB", QR_MODE_8, "中文二维码"},
      {"ISO-8859-1 bytes", "caf\xE9", QR_MODE_8, "café"},
      {"long numeric", std::string(3000, '7'), QR_MODE_8, std::string(3000, '7')},
  };
  for (const Case& c : cases) {
    const Code code(QRcode_encodeString(c.input.c_str(), 0, QR_ECLEVEL_M, c.hint, 1));
    ASSERT_TRUE(code) << c.name;
    const DecodeOutcome outcome = DecodeGrid(GridOf(*code));
    ASSERT_EQ(outcome.status, DecodeStatus::kOk) << c.name;
    EXPECT_EQ(outcome.content.utf8, c.utf8) << c.name;
  }
}

// FNC1 is covered by the segment tests: libqrencode 4.1 refuses to encode it.
TEST(DecodeGrid, ReadsEci) {
  struct Case {
    const char* name;
    unsigned eci;
    std::string data;
    std::string utf8;
  };
  const Case cases[] = {
      {"ECI 26 UTF-8", 26, "\xC3\xA9\xE4\xB8\xAD", "é中"},
      {"ECI 3 ISO-8859-1", 3, "\xC3\xA9", "Ã©"},
      {"ECI 20 Shift_JIS", 20, "\x8A\xBF\x8E\x9A", "漢字"},
      {"ECI 29 GB 2312", 29, "\xD6\xD0\xCE\xC4", "中文"},
  };
  for (const Case& c : cases) {
    Input input(QRinput_new2(0, QR_ECLEVEL_Q));
    ASSERT_EQ(QRinput_appendECIheader(input.get(), c.eci), 0) << c.name;
    ASSERT_EQ(QRinput_append(input.get(), QR_MODE_8, static_cast<int>(c.data.size()), Bytes(c.data)), 0) << c.name;
    const Code code(QRcode_encodeInput(input.get()));
    ASSERT_TRUE(code) << c.name;
    const DecodeOutcome outcome = DecodeGrid(GridOf(*code));
    ASSERT_EQ(outcome.status, DecodeStatus::kOk) << c.name;
    EXPECT_EQ(outcome.content.utf8, c.utf8) << c.name;
  }
}

TEST(DecodeGrid, ReadsStructuredAppendSequences) {
  const std::string text = "Structured append splits this text over several version 1 symbols: 0123456789";
  const CodeList list(QRcode_encodeString8bitStructured(text.c_str(), 1, QR_ECLEVEL_M));
  ASSERT_TRUE(list);
  const int total = QRcode_List_size(list.get());
  ASSERT_GT(total, 2);
  int parity = 0;
  for (unsigned char c : text) parity ^= c;
  std::string joined;
  int position = 0;
  for (const QRcode_List* entry = list.get(); entry != nullptr; entry = entry->next, ++position) {
    const DecodeOutcome outcome = DecodeGrid(GridOf(*entry->code));
    ASSERT_EQ(outcome.status, DecodeStatus::kOk) << position;
    EXPECT_EQ(outcome.content.append_position, position);
    EXPECT_EQ(outcome.content.append_total, total);
    EXPECT_EQ(outcome.content.append_parity, parity);
    joined += outcome.content.utf8;
  }
  EXPECT_EQ(joined, text);
}

// The module of the first bit of each codeword, in placement order.
std::vector<std::pair<int, int>> CodewordModules(int version) {
  std::vector<std::pair<int, int>> modules;
  int bit = 0;
  ForEachDataModule(version, [&](int x, int y) {
    if (bit++ % 8 == 0) modules.push_back({x, y});
  });
  modules.resize(TotalCodewords(version));
  return modules;
}

struct DamageCase {
  int version;
  Level level;
};
constexpr DamageCase kDamageCases[] = {
    {1, Level::kL}, {1, Level::kH}, {3, Level::kH}, {5, Level::kQ}, {10, Level::kM}, {22, Level::kH}, {40, Level::kH}};

// Codewords are interleaved, so the first k * blocks codewords in placement
// order hold k data codewords of every block, and the last k * blocks hold k
// error correction codewords of every block.
TEST(DecodeGrid, CorrectsHalfTheEcCodewordsOfEveryBlock) {
  for (const DamageCase& c : kDamageCases) {
    const BlockStructure blocks = BlocksOf(c.version, c.level);
    const int per_block = blocks.ec_codewords_per_block / 2;
    const std::string text = FullText(c.version, c.level);
    const Code code = FullSymbol(c.version, c.level, text, 3);
    const auto modules = CodewordModules(c.version);
    ModuleGrid grid = GridOf(*code);
    const int data_errors = (per_block + 1) / 2 * blocks.block_count;
    const int ec_errors = per_block / 2 * blocks.block_count;
    for (int i = 0; i < data_errors; ++i) grid.set(modules[i].first, modules[i].second, !grid.dark(modules[i].first, modules[i].second));
    for (int i = 0; i < ec_errors; ++i) {
      const auto& [x, y] = modules[modules.size() - 1 - i];
      grid.set(x, y, !grid.dark(x, y));
    }
    const DecodeOutcome outcome = DecodeGrid(grid);
    ASSERT_EQ(outcome.status, DecodeStatus::kOk) << c.version;
    EXPECT_EQ(outcome.content.utf8, text) << c.version;

    // One codeword more in the first block is beyond correction.
    const auto& [x, y] = modules[data_errors];
    grid.set(x, y, !grid.dark(x, y));
    EXPECT_EQ(DecodeGrid(grid).status, DecodeStatus::kTooManyErrors) << c.version;
  }
}

TEST(DecodeGrid, RefusesHeavilyDamagedSymbols) {
  // Random damage far beyond correction; a decode may never claim success.
  uint32_t state = 12345;
  const auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 8; };
  for (const DamageCase& c : kDamageCases) {
    const Code code = FullSymbol(c.version, c.level, FullText(c.version, c.level), 5);
    for (int trial = 0; trial < 5; ++trial) {
      ModuleGrid grid = GridOf(*code);
      const int size = grid.size();
      // Keep format and version information intact: damage only the area they leave.
      for (int i = 0; i < size * size / 6; ++i) {
        const int x = 9 + static_cast<int>(next() % (size - 9));
        const int y = 9 + static_cast<int>(next() % (size - 9));
        grid.set(x, y, !grid.dark(x, y));
      }
      EXPECT_EQ(DecodeGrid(grid).status, DecodeStatus::kTooManyErrors) << c.version << " trial " << trial;
    }
  }
}

// Writes 15 format bits (bit 14 first) into one or both copies.
void WriteFormatCopy(ModuleGrid& grid, uint32_t bits, bool near_top_left) {
  const int size = grid.size();
  std::vector<std::pair<int, int>> positions;  // bit 14 first
  if (near_top_left) {
    positions = {{0, 8}, {1, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {7, 8}, {8, 8},
                 {8, 7}, {8, 5}, {8, 4}, {8, 3}, {8, 2}, {8, 1}, {8, 0}};
  } else {
    for (int y = size - 1; y >= size - 7; --y) positions.push_back({8, y});
    for (int x = size - 8; x < size; ++x) positions.push_back({x, 8});
  }
  for (int i = 0; i < 15; ++i) grid.set(positions[i].first, positions[i].second, ((bits >> (14 - i)) & 1) != 0);
}

TEST(DecodeGrid, CorrectsDamagedFormatInformation) {
  const std::string text = "format damage";
  const Code code(QRcode_encodeString(text.c_str(), 4, QR_ECLEVEL_Q, QR_MODE_8, 1));
  const ModuleGrid clean = GridOf(*code);
  const uint32_t near = ReadFormatBitsNearTopLeft(clean);
  ASSERT_EQ(near, ReadFormatBitsSplit(clean));
  uint32_t unreadable = 0;
  while (DecodeFormatBits(unreadable)) ++unreadable;

  struct Case {
    const char* name;
    uint32_t near_top_left;
    uint32_t split;
    DecodeStatus status;
  };
  const Case cases[] = {
      {"three bits wrong in both copies", near ^ 0b100000100000001, near ^ 0b010001000000100, DecodeStatus::kOk},
      {"one copy unreadable", unreadable, near ^ 0b111, DecodeStatus::kOk},
      {"the other copy unreadable", near ^ 0b111000000000000, unreadable, DecodeStatus::kOk},
      {"both unreadable", unreadable, unreadable, DecodeStatus::kFormatUnreadable},
  };
  for (const Case& c : cases) {
    ModuleGrid grid = clean;
    WriteFormatCopy(grid, c.near_top_left, true);
    WriteFormatCopy(grid, c.split, false);
    const DecodeOutcome outcome = DecodeGrid(grid);
    EXPECT_EQ(outcome.status, c.status) << c.name;
    if (c.status == DecodeStatus::kOk) {
      EXPECT_EQ(outcome.content.utf8, text) << c.name;
      EXPECT_EQ(outcome.content.level, Level::kQ) << c.name;
    }
  }
}

// Writes 18 version bits into the copy by the top-right or bottom-left finder.
void WriteVersionCopy(ModuleGrid& grid, uint32_t bits, bool top_right) {
  for (int i = 0; i < 18; ++i) {
    const int a = grid.size() - 11 + i % 3;
    const int b = i / 3;
    const bool dark = ((bits >> i) & 1) != 0;
    if (top_right) grid.set(a, b, dark);
    else grid.set(b, a, dark);
  }
}

TEST(DecodeGrid, ChecksVersionInformation) {
  const std::string text = "version damage";
  const Code code(QRcode_encodeString(text.c_str(), 7, QR_ECLEVEL_L, QR_MODE_8, 1));
  ASSERT_EQ(code->width, SizeOfVersion(7));
  const ModuleGrid clean = GridOf(*code);
  const uint32_t seven = ReadVersionBitsTopRight(clean);
  ASSERT_EQ(seven, ReadVersionBitsBottomLeft(clean));
  constexpr uint32_t kNine = 0x09A99;

  struct Case {
    const char* name;
    uint32_t top_right;
    uint32_t bottom_left;
    DecodeStatus status;
  };
  const Case cases[] = {
      {"three bits wrong in both copies", seven ^ 0b100010000000000001, seven ^ 0b111, DecodeStatus::kOk},
      {"one copy beyond correction", seven ^ 0b1111, seven, DecodeStatus::kOk},
      {"both beyond correction: the size decides", seven ^ 0b1111, seven ^ 0b111100000, DecodeStatus::kOk},
      {"one copy names another version", kNine, seven, DecodeStatus::kOk},
      {"both name another version", kNine, kNine ^ 1, DecodeStatus::kVersionUnreadable},
  };
  for (const Case& c : cases) {
    ModuleGrid grid = clean;
    WriteVersionCopy(grid, c.top_right, true);
    WriteVersionCopy(grid, c.bottom_left, false);
    const DecodeOutcome outcome = DecodeGrid(grid);
    EXPECT_EQ(outcome.status, c.status) << c.name;
    if (c.status == DecodeStatus::kOk) {
      EXPECT_EQ(outcome.content.utf8, text) << c.name;
    }
    if (c.status == DecodeStatus::kVersionUnreadable) {
      EXPECT_EQ(outcome.content.version, 9) << c.name;
    }
  }
}

TEST(DecodeGrid, RefusesGridsOfNoVersionsSize) {
  for (int size : {0, 1, 20, 22, 24, 181, 200}) EXPECT_EQ(DecodeGrid(ModuleGrid(size)).status, DecodeStatus::kBadSize) << size;
}

}  // namespace
}  // namespace qr
