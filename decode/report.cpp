#include "decode/report.h"

#include <array>
#include <string_view>

#include "decode/utf8_to_gbk.h"

namespace decode {

namespace {

// 23 em dashes (A1 AA in GBK).
constexpr std::string_view kSeparatorLine =
    "———————————————————————\r\n";

std::string_view LevelText(int32_t level) {
  switch (level) {
    case 0: return "L(7%)";
    case 1: return "M(15%)";
    case 2: return "Q(25%)";
    case 3: return "H(30%)";
    default: return "";
  }
}

// The parity byte always as two upper-case hex digits.
std::string ParityText(int32_t parity) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  const auto byte = static_cast<uint32_t>(parity) & 0xFFu;
  return {kDigits[byte / 16], kDigits[byte % 16]};
}

std::string StructuredAppendText(Decoder& decoder, int32_t index) {
  int32_t position = 0;
  int32_t parity = 0;
  const int32_t total = decoder.GetConcatenationInfo(index, &position, &parity);
  if (total <= 0) return {};
  return ", 综合:" + std::to_string(position + 1) + "/" + std::to_string(total) + "(CD" +
         ParityText(parity) + "H)";
}

std::string DataText(Decoder& decoder, int32_t index) {
  const char* data = decoder.GetDecodeDataString(index);
  return data == nullptr ? std::string() : Utf8ToGbk(data);
}

std::string CornersText(const std::array<int32_t, 8>& corners) {
  std::string text = "符号位置：";
  for (size_t point = 0; point < 4; ++point) {
    if (point > 0) text += "-";
    text += "(" + std::to_string(corners[2 * point]) + ", " + std::to_string(corners[2 * point + 1]) + ")";
  }
  return text;
}

// The calls for one symbol come in this order: version, level, structured
// append, data, position.
std::string SymbolBlock(Decoder& decoder, int32_t index, std::array<int32_t, 8>& corners) {
  std::string block(kSeparatorLine);
  block += "已解码数据 " + std::to_string(index + 1);
  block += " [模型版本: " + std::to_string(decoder.GetDecodeVersion(index));
  block += ", 等级: ";
  block += LevelText(decoder.GetDecodeLevel(index));
  block += StructuredAppendText(decoder, index);
  block += "]\r\n";
  block += kSeparatorLine;
  block += DataText(decoder, index) + "\r\n\r\n";
  decoder.GetSymbolePosition(index, corners.data());
  block += CornersText(corners) + "\r\n\r\n";
  return block;
}

}  // namespace

std::string FailureMessage(int32_t result) {
  switch (result) {
    case 0: return "未找到 QR 代码符号。";
    case -1: return "文件未找到！";
    case -2: return "读取文件时发生错误。";
    case -3: return "无法读取此格式文件。";
    case -4: return "共享冲突，无法读取文件。";
    case -5: return "内存不足。";
    default: return "";
  }
}

std::string DecodeReport(Decoder& decoder, const std::string& path) {
  // One array for the whole decode: a symbol whose corners the library does
  // not fill shows what the previous one left.
  std::array<int32_t, 8> corners{};
  const int32_t symbols = decoder.DecodePictureFile(path);
  if (symbols <= 0) return FailureMessage(symbols);
  std::string report;
  for (int32_t index = 0; index < symbols; ++index) report += SymbolBlock(decoder, index, corners);
  decoder.FreeAllocateMemory();
  return report;
}

}  // namespace decode
