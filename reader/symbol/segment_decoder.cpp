#include "reader/symbol/segment_decoder.h"

#include <vector>

#include "reader/symbol/bit_stream.h"
#include "reader/symbol/charset.h"

namespace qr {
namespace {

// Mode indicators (4 bits each).
enum Mode : uint32_t {
  kTerminator = 0x0,
  kNumeric = 0x1,
  kAlphanumeric = 0x2,
  kStructuredAppend = 0x3,
  kByte = 0x4,
  kFnc1First = 0x5,
  kEci = 0x7,
  kKanji = 0x8,
  kFnc1Second = 0x9,
  kHanzi = 0xD,  // GB/T 18284 Chinese mode
};

// Bits of the character count indicator, by mode, for versions 1-9, 10-26, 27-40.
int CountBits(Mode mode, int version) {
  static constexpr int kNumericBits[] = {10, 12, 14};
  static constexpr int kAlphanumericBits[] = {9, 11, 13};
  static constexpr int kByteBits[] = {8, 16, 16};
  static constexpr int kDoubleByteBits[] = {8, 10, 12};  // kanji and hanzi
  const int range = version <= 9 ? 0 : version <= 26 ? 1 : 2;
  switch (mode) {
    case kNumeric: return kNumericBits[range];
    case kAlphanumeric: return kAlphanumericBits[range];
    case kByte: return kByteBits[range];
    default: return kDoubleByteBits[range];
  }
}

constexpr char kAlphanumericChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// Byte data not labelled by an ECI is kept aside until the whole stream has
// been read, so that one character set is guessed for all of it.
struct UnlabelledRun {
  size_t text_position;  // where in the text the run belongs
  size_t begin;          // its bytes in Decoder::unlabelled_
  size_t end;
};

class Decoder {
 public:
  Decoder(std::span<const uint8_t> codewords, int version) : bits_(codewords), version_(version) {}

  std::optional<SegmentData> Run() {
    while (bits_.bits_left() >= 4) {
      uint32_t mode;
      bits_.Read(4, mode);
      if (mode == kTerminator) break;
      if (!DecodeSegment(static_cast<Mode>(mode))) return std::nullopt;
    }
    result_.utf8 = WithUnlabelledBytes();
    return std::move(result_);
  }

 private:
  bool DecodeSegment(Mode mode) {
    switch (mode) {
      case kNumeric: return WithCount(mode, [this](uint32_t n) { return Numeric(n); });
      case kAlphanumeric: return WithCount(mode, [this](uint32_t n) { return Alphanumeric(n); });
      case kByte: return WithCount(mode, [this](uint32_t n) { return Bytes(n); });
      case kKanji: return WithCount(mode, [this](uint32_t n) { return Kanji(n); });
      case kHanzi: return Hanzi();
      case kEci: return Eci();
      case kStructuredAppend: return StructuredAppend();
      case kFnc1First: gs1_ = true; return true;
      case kFnc1Second: gs1_ = true; return ApplicationIndicator();
      default: return false;
    }
  }

  template <typename Body>
  bool WithCount(Mode mode, Body body) {
    uint32_t count;
    return bits_.Read(CountBits(mode, version_), count) && body(count);
  }

  // Numeric: three digits in 10 bits, the last one or two in 4 or 7 bits.
  bool Numeric(uint32_t count) {
    for (; count > 0; count -= count >= 3 ? 3 : count) {
      const int digits = count >= 3 ? 3 : static_cast<int>(count);
      const int bits = digits == 3 ? 10 : digits == 2 ? 7 : 4;
      const uint32_t limit = digits == 3 ? 1000 : digits == 2 ? 100 : 10;
      uint32_t value;
      if (!bits_.Read(bits, value) || value >= limit) return false;
      for (uint32_t unit = limit / 10; unit > 0; unit /= 10) text_.push_back(static_cast<char>('0' + value / unit % 10));
    }
    return true;
  }

  // Alphanumeric: two characters in 11 bits, a last odd one in 6 bits.
  bool Alphanumeric(uint32_t count) {
    const size_t start = text_.size();
    for (; count >= 2; count -= 2) {
      uint32_t value;
      if (!bits_.Read(11, value) || value >= 45 * 45) return false;
      text_.push_back(kAlphanumericChars[value / 45]);
      text_.push_back(kAlphanumericChars[value % 45]);
    }
    if (count == 1) {
      uint32_t value;
      if (!bits_.Read(6, value) || value >= 45) return false;
      text_.push_back(kAlphanumericChars[value]);
    }
    if (gs1_) ReplacePercentSigns(start);
    return true;
  }

  // Under FNC1, "%" stands for the GS separator and "%%" for a percent sign.
  void ReplacePercentSigns(size_t start) {
    size_t out = start;
    for (size_t in = start; in < text_.size(); ++in, ++out) {
      if (text_[in] == '%') {
        const bool doubled = in + 1 < text_.size() && text_[in + 1] == '%';
        text_[out] = doubled ? '%' : '\x1D';
        if (doubled) ++in;
      } else {
        text_[out] = text_[in];
      }
    }
    text_.resize(out);
  }

  bool Bytes(uint32_t count) {
    if (count * 8ull > bits_.bits_left()) return false;
    bytes_.clear();
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t byte;
      bits_.Read(8, byte);
      bytes_.push_back(static_cast<uint8_t>(byte));
    }
    if (charset_) {
      AppendAsUtf8(*charset_, bytes_, text_);
    } else {
      const size_t begin = unlabelled_.size();
      unlabelled_.insert(unlabelled_.end(), bytes_.begin(), bytes_.end());
      runs_.push_back({text_.size(), begin, unlabelled_.size()});
    }
    return true;
  }

  // Kanji: Shift_JIS codes 0x8140..0x9FFC and 0xE040..0xEBBF in 13 bits each.
  bool Kanji(uint32_t count) {
    if (count * 13ull > bits_.bits_left()) return false;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t value;
      bits_.Read(13, value);
      const uint32_t packed = (value / 0xC0) << 8 | (value % 0xC0);
      const uint32_t code = packed + (packed < 0x1F00 ? 0x8140 : 0xC140);
      AppendCharacter(ShiftJisToUnicode(static_cast<uint16_t>(code)));
    }
    return true;
  }

  // GB 2312 codes 0xA1A1..0xAAFE and 0xB0A1..0xFAFE in 13 bits each, after a
  // 4-bit subset indicator (1: GB 2312).
  bool Hanzi() {
    uint32_t subset, count;
    if (!bits_.Read(4, subset) || subset != 1 || !bits_.Read(CountBits(kHanzi, version_), count)) return false;
    if (count * 13ull > bits_.bits_left()) return false;
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t value;
      bits_.Read(13, value);
      const uint32_t packed = (value / 0x60) << 8 | (value % 0x60);
      const uint32_t code = packed + (packed < 0x0A00 ? 0xA1A1 : 0xA6A1);
      AppendCharacter(GbkToUnicode(static_cast<uint16_t>(code)));
    }
    return true;
  }

  void AppendCharacter(char32_t code_point) { AppendCodePoint(code_point != 0 ? code_point : 0xFFFD, text_); }

  // ECI designator: 1, 2 or 3 bytes, told apart by their leading bits.
  bool Eci() {
    uint32_t first;
    if (!bits_.Read(8, first)) return false;
    uint32_t value = first;
    if ((first & 0x80) != 0) {
      uint32_t rest;
      if ((first & 0xC0) == 0x80) {
        if (!bits_.Read(8, rest)) return false;
        value = (first & 0x3F) << 8 | rest;
      } else if ((first & 0xE0) == 0xC0) {
        if (!bits_.Read(16, rest)) return false;
        value = (first & 0x1F) << 16 | rest;
      } else {
        return false;
      }
    }
    // An ECI we cannot convert leaves its bytes to the guess, rather than
    // losing the symbol.
    charset_ = CharsetForEci(value);
    return true;
  }

  bool StructuredAppend() {
    uint32_t position, last, parity;
    if (!bits_.Read(4, position) || !bits_.Read(4, last) || !bits_.Read(8, parity)) return false;
    if (result_.append_total == 0) {
      result_.append_position = static_cast<int>(position);
      result_.append_total = static_cast<int>(last) + 1;
      result_.append_parity = static_cast<int>(parity);
    }
    return true;
  }

  // FNC1 in second position names its application: two digits 00-99, or a
  // letter coded as its ASCII value plus 100.
  bool ApplicationIndicator() {
    uint32_t value;
    if (!bits_.Read(8, value)) return false;
    if (value < 100) {
      text_.push_back(static_cast<char>('0' + value / 10));
      text_.push_back(static_cast<char>('0' + value % 10));
    } else if ((value >= 'A' + 100 && value <= 'Z' + 100) || (value >= 'a' + 100 && value <= 'z' + 100)) {
      text_.push_back(static_cast<char>(value - 100));
    } else {
      return false;
    }
    return true;
  }

  Charset GuessUnlabelledCharset() const {
    const std::span<const uint8_t> all(unlabelled_);
    bool utf8 = true, gb18030 = true;
    for (const UnlabelledRun& run : runs_) {
      const auto bytes = all.subspan(run.begin, run.end - run.begin);
      utf8 = utf8 && IsValidUtf8(bytes);
      gb18030 = gb18030 && IsValidGb18030(bytes);
    }
    return utf8 ? Charset::kUtf8 : gb18030 ? Charset::kGb18030 : Charset::kIso8859_1;
  }

  std::string WithUnlabelledBytes() {
    if (runs_.empty()) return std::move(text_);
    const Charset charset = GuessUnlabelledCharset();
    const std::span<const uint8_t> all(unlabelled_);
    std::string text;
    text.reserve(text_.size() + unlabelled_.size() * 2);
    size_t copied = 0;
    for (const UnlabelledRun& run : runs_) {
      text.append(text_, copied, run.text_position - copied);
      copied = run.text_position;
      AppendAsUtf8(charset, all.subspan(run.begin, run.end - run.begin), text);
    }
    text.append(text_, copied);
    return text;
  }

  BitStream bits_;
  int version_;
  SegmentData result_;
  std::string text_;  // everything but the unlabelled bytes
  std::optional<Charset> charset_;
  bool gs1_ = false;
  std::vector<uint8_t> bytes_;  // the current byte segment
  std::vector<uint8_t> unlabelled_;
  std::vector<UnlabelledRun> runs_;
};

}  // namespace

std::optional<SegmentData> DecodeSegments(std::span<const uint8_t> data_codewords, int version) {
  if (version < 1 || version > 40) return std::nullopt;
  return Decoder(data_codewords, version).Run();
}

}  // namespace qr
