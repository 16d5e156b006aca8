// Character sets of QR data: which one an ECI designates, and conversion of
// their bytes to UTF-8. Bytes with no character become U+FFFD, so the output
// is always valid UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qr {

enum class Charset {
  kIso8859_1,
  // Single-byte sets with a table (same order as tables::SingleByteCharset).
  kCp437, kIso8859_2, kIso8859_3, kIso8859_4, kIso8859_5, kIso8859_6, kIso8859_7,
  kIso8859_8, kIso8859_9, kIso8859_10, kIso8859_11, kIso8859_13, kIso8859_14,
  kIso8859_15, kIso8859_16, kCp1250, kCp1251, kCp1252, kCp1256,
  // Multi-byte sets.
  kShiftJis, kGb18030, kUtf8, kUtf16Be, kUtf16Le,
};

// The character set an ECI assignment number designates, when we know it.
std::optional<Charset> CharsetForEci(uint32_t eci);

void AppendCodePoint(char32_t code_point, std::string& out);
void AppendAsUtf8(Charset charset, std::span<const uint8_t> bytes, std::string& out);

// Strict checks used to guess the character set of unlabelled byte data.
bool IsValidUtf8(std::span<const uint8_t> bytes);
// GBK two-byte codes and GB18030 four-byte codes; private-use codes do not count.
bool IsValidGb18030(std::span<const uint8_t> bytes);

// One two-byte code, e.g. 0x8ABF; 0 when the code has no character.
char32_t ShiftJisToUnicode(uint16_t code);
char32_t GbkToUnicode(uint16_t code);

}  // namespace qr
