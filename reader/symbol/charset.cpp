#include "reader/symbol/charset.h"

#include <algorithm>

#include "reader/symbol/tables/charset_tables.h"

namespace qr {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kNoCharacter = 0xFFFFFFFF;

struct Decoded {
  char32_t code_point;  // kNoCharacter when the bytes at this place are invalid
  size_t length;        // bytes consumed; at least 1
};

bool InRange(uint8_t byte, uint8_t low, uint8_t high) { return byte >= low && byte <= high; }

Decoded NextUtf8(std::span<const uint8_t> b, size_t i) {
  const uint8_t lead = b[i];
  if (lead < 0x80) return {lead, 1};
  size_t length;
  char32_t code_point;
  char32_t minimum;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2, code_point = lead & 0x1Fu, minimum = 0x80;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3, code_point = lead & 0x0Fu, minimum = 0x800;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4, code_point = lead & 0x07u, minimum = 0x10000;
  } else {
    return {kNoCharacter, 1};
  }
  if (i + length > b.size()) return {kNoCharacter, 1};
  for (size_t k = 1; k < length; ++k) {
    if ((b[i + k] & 0xC0) != 0x80) return {kNoCharacter, 1};
    code_point = (code_point << 6) | (b[i + k] & 0x3Fu);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < minimum || code_point > 0x10FFFF || surrogate) return {kNoCharacter, 1};
  return {code_point, length};
}

char32_t Gb18030FourByte(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) {
  const auto linear_from = [&](uint8_t first_lead) {
    return ((static_cast<uint32_t>(b1 - first_lead) * 10 + (b2 - 0x30u)) * 126 + (b3 - 0x81u)) * 10 +
           (b4 - 0x30u);
  };
  if (b1 >= 0x90 && b1 <= 0xE3) {  // the supplementary planes, in code point order
    const char32_t code_point = 0x10000 + linear_from(0x90);
    return code_point <= 0x10FFFF ? code_point : kNoCharacter;
  }
  if (b1 > 0x84) return kNoCharacter;
  const uint32_t linear = linear_from(0x81);
  const auto* begin = std::begin(tables::kGb18030FourByteRanges);
  const auto* end = std::end(tables::kGb18030FourByteRanges);
  const auto* next = std::upper_bound(begin, end, linear,
                                      [](uint32_t value, const tables::Gb18030Range& range) { return value < range.linear; });
  if (next == begin || next == end) return kNoCharacter;
  const auto& range = *(next - 1);
  if (range.code_point == 0) return kNoCharacter;
  return range.code_point + (linear - range.linear);
}

Decoded NextGb18030(std::span<const uint8_t> b, size_t i) {
  const uint8_t lead = b[i];
  if (lead < 0x80) return {lead, 1};
  if (!InRange(lead, 0x81, 0xFE) || i + 1 >= b.size()) return {kNoCharacter, 1};
  const uint8_t second = b[i + 1];
  if (InRange(second, 0x40, 0xFE) && second != 0x7F) {
    const char32_t code_point = GbkToUnicode(static_cast<uint16_t>(lead << 8 | second));
    return {code_point != 0 ? code_point : kNoCharacter, code_point != 0 ? 2u : 1u};
  }
  if (InRange(second, 0x30, 0x39) && i + 3 < b.size() && InRange(b[i + 2], 0x81, 0xFE) &&
      InRange(b[i + 3], 0x30, 0x39)) {
    const char32_t code_point = Gb18030FourByte(lead, second, b[i + 2], b[i + 3]);
    return {code_point, code_point != kNoCharacter ? 4u : 1u};
  }
  return {kNoCharacter, 1};
}

Decoded NextShiftJis(std::span<const uint8_t> b, size_t i) {
  const uint8_t lead = b[i];
  if (lead < 0x80) return {lead, 1};
  if (InRange(lead, 0xA1, 0xDF)) return {0xFF61u + (lead - 0xA1u), 1};  // half-width katakana
  if (i + 1 >= b.size()) return {kNoCharacter, 1};
  const char32_t code_point = ShiftJisToUnicode(static_cast<uint16_t>(lead << 8 | b[i + 1]));
  return {code_point != 0 ? code_point : kNoCharacter, code_point != 0 ? 2u : 1u};
}

Decoded NextUtf16(std::span<const uint8_t> b, size_t i, bool big_endian) {
  const auto unit_at = [&](size_t k) -> char32_t {
    return big_endian ? (b[k] << 8 | b[k + 1]) : (b[k + 1] << 8 | b[k]);
  };
  if (i + 1 >= b.size()) return {kNoCharacter, 1};
  const char32_t unit = unit_at(i);
  if (unit < 0xD800 || unit > 0xDFFF) return {unit, 2};
  if (unit <= 0xDBFF && i + 3 < b.size()) {
    const char32_t low = unit_at(i + 2);
    if (low >= 0xDC00 && low <= 0xDFFF) return {0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), 4};
  }
  return {kNoCharacter, 2};
}

Decoded NextSingleByte(Charset charset, uint8_t byte) {
  if (byte < 0x80 || charset == Charset::kIso8859_1) return {byte, 1};
  const int table = static_cast<int>(charset) - static_cast<int>(Charset::kCp437);
  const char32_t code_point = tables::kSingleByteHighHalf[table][byte - 0x80];
  return {code_point != 0 ? code_point : kNoCharacter, 1};
}

Decoded Next(Charset charset, std::span<const uint8_t> bytes, size_t i) {
  switch (charset) {
    case Charset::kUtf8: return NextUtf8(bytes, i);
    case Charset::kGb18030: return NextGb18030(bytes, i);
    case Charset::kShiftJis: return NextShiftJis(bytes, i);
    case Charset::kUtf16Be: return NextUtf16(bytes, i, true);
    case Charset::kUtf16Le: return NextUtf16(bytes, i, false);
    default: return NextSingleByte(charset, bytes[i]);
  }
}

bool IsValidIn(Charset charset, std::span<const uint8_t> bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const Decoded d = Next(charset, bytes, i);
    if (d.code_point == kNoCharacter) return false;
    i += d.length;
  }
  return true;
}

}  // namespace

std::optional<Charset> CharsetForEci(uint32_t eci) {
  // AIM ECI assignments; 14 and 19 are unassigned, and sets we have no table
  // for (Big5, EUC-KR, UTF-32) are unknown to us.
  if (eci >= 4 && eci <= 18 && eci != 14) {
    static constexpr Charset kIsoParts[] = {
        Charset::kIso8859_2,  Charset::kIso8859_3,  Charset::kIso8859_4,  Charset::kIso8859_5,
        Charset::kIso8859_6,  Charset::kIso8859_7,  Charset::kIso8859_8,  Charset::kIso8859_9,
        Charset::kIso8859_10, Charset::kIso8859_11, Charset::kIso8859_1 /* 14: unused */, Charset::kIso8859_13,
        Charset::kIso8859_14, Charset::kIso8859_15, Charset::kIso8859_16};
    return kIsoParts[eci - 4];
  }
  switch (eci) {
    case 0: case 2: return Charset::kCp437;
    case 1: case 3: case 27: case 170: case 899: return Charset::kIso8859_1;
    case 20: return Charset::kShiftJis;
    case 21: return Charset::kCp1250;
    case 22: return Charset::kCp1251;
    case 23: return Charset::kCp1252;
    case 24: return Charset::kCp1256;
    case 25: return Charset::kUtf16Be;
    case 26: return Charset::kUtf8;
    case 29: case 31: case 32: return Charset::kGb18030;  // GB2312, GBK, GB18030: each a subset of the next
    case 33: return Charset::kUtf16Le;
    default: return std::nullopt;
  }
}

void AppendCodePoint(char32_t code_point, std::string& out) {
  const auto put = [&](uint32_t byte) { out.push_back(static_cast<char>(byte)); };
  if (code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) code_point = kReplacement;
  if (code_point < 0x80) {
    put(code_point);
  } else if (code_point < 0x800) {
    put(0xC0 | (code_point >> 6));
    put(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    put(0xE0 | (code_point >> 12));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  } else {
    put(0xF0 | (code_point >> 18));
    put(0x80 | ((code_point >> 12) & 0x3F));
    put(0x80 | ((code_point >> 6) & 0x3F));
    put(0x80 | (code_point & 0x3F));
  }
}

void AppendAsUtf8(Charset charset, std::span<const uint8_t> bytes, std::string& out) {
  for (size_t i = 0; i < bytes.size();) {
    const Decoded d = Next(charset, bytes, i);
    AppendCodePoint(d.code_point == kNoCharacter ? kReplacement : d.code_point, out);
    i += d.length;
  }
}

bool IsValidUtf8(std::span<const uint8_t> bytes) { return IsValidIn(Charset::kUtf8, bytes); }
bool IsValidGb18030(std::span<const uint8_t> bytes) { return IsValidIn(Charset::kGb18030, bytes); }

char32_t ShiftJisToUnicode(uint16_t code) {
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  int lead_index;
  if (lead >= 0x81 && lead <= 0x9F) {
    lead_index = lead - 0x81;
  } else if (lead >= 0xE0 && lead <= 0xFC) {
    lead_index = lead - 0xE0 + (0x9F - 0x81 + 1);
  } else {
    return 0;
  }
  if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
  const int trail_index = trail - 0x40 - (trail > 0x7F ? 1 : 0);
  return tables::kShiftJisToUnicode[lead_index * tables::kShiftJisTrailCount + trail_index];
}

char32_t GbkToUnicode(uint16_t code) {
  const int lead = code >> 8;
  const int trail = code & 0xFF;
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE || trail == 0x7F) return 0;
  const int trail_index = trail - 0x40 - (trail > 0x7F ? 1 : 0);
  return tables::kGbkToUnicode[(lead - 0x81) * tables::kGbkTrailCount + trail_index];
}

}  // namespace qr
