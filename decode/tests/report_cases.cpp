#include "decode/tests/report_cases.h"

#include <algorithm>

namespace decode::testing {

namespace {

std::string Separator() {
  std::string line;
  for (int i = 0; i < 23; ++i) line += "\xA1\xAA";  // em dash in GBK
  return line + "\r\n";
}

ScriptedSymbol Symbol(int32_t version, int32_t level, const char* data) {
  ScriptedSymbol symbol;
  symbol.version = version;
  symbol.level = level;
  symbol.data = data;
  const int32_t square[8] = {10, 10, 60, 10, 60, 60, 10, 60};
  std::copy_n(square, 8, symbol.corners);
  return symbol;
}

ScriptedSymbol InSequence(ScriptedSymbol symbol, int32_t position, int32_t total, int32_t parity) {
  symbol.position = position;
  symbol.total = total;
  symbol.parity = parity;
  return symbol;
}

ScriptedSymbol WithCorners(ScriptedSymbol symbol, std::initializer_list<int32_t> corners) {
  std::copy(corners.begin(), corners.end(), symbol.corners);
  return symbol;
}

ScriptedSymbol LeavingCorners(ScriptedSymbol symbol) {
  symbol.fills_corners = false;
  return symbol;
}

const std::string kSquare = "符号位置：(10, 10)-(60, 10)-(60, 60)-(10, 60)\r\n\r\n";

// A whole block: header line content (after "已解码数据 "), data line, corners.
std::string Block(const std::string& header, const std::string& data, const std::string& corners = kSquare) {
  return Separator() + "已解码数据 " + header + "\r\n" + Separator() + data + "\r\n\r\n" + corners;
}

}  // namespace

std::vector<ReportCase> ReportCases() {
  const std::string sep = Separator();
  return {
      {"one symbol, written out line by line", 1, {Symbol(2, 1, "abc")},
       sep +
           "已解码数据 1 [模型版本: 2, 等级: M(15%)]\r\n" +
           sep +
           "abc\r\n"
           "\r\n"
           "符号位置：(10, 10)-(60, 10)-(60, 60)-(10, 60)\r\n"
           "\r\n"},
      {"two symbols, the second block right after the first", 2,
       {Symbol(1, 0, "first"), WithCorners(Symbol(40, 3, "second"), {1, 2, 3, 4, 5, 6, 7, 8})},
       Block("1 [模型版本: 1, 等级: L(7%)]", "first") +
           Block("2 [模型版本: 40, 等级: H(30%)]", "second", "符号位置：(1, 2)-(3, 4)-(5, 6)-(7, 8)\r\n\r\n")},
      {"structured append, parity 0x0F", 2,
       {InSequence(Symbol(3, 2, "ab"), 0, 2, 0x0F), InSequence(Symbol(3, 2, "cd"), 1, 2, 0x0F)},
       Block("1 [模型版本: 3, 等级: Q(25%), 综合:1/2(CD0FH)]", "ab") +
           Block("2 [模型版本: 3, 等级: Q(25%), 综合:2/2(CD0FH)]", "cd")},
      {"structured append, parity beyond a byte keeps its low byte", 1,
       {InSequence(Symbol(5, 1, "x"), 2, 3, 0x1F3)},
       Block("1 [模型版本: 5, 等级: M(15%), 综合:3/3(CDF3H)]", "x")},
      {"unknown levels print nothing", 3,
       {Symbol(1, 7, "a"), InSequence(Symbol(1, 7, "b"), 0, 2, 0), Symbol(1, -1, "c")},
       Block("1 [模型版本: 1, 等级: ]", "a") + Block("2 [模型版本: 1, 等级: , 综合:1/2(CD00H)]", "b") +
           Block("3 [模型版本: 1, 等级: ]", "c")},
      {"negative numbers print with their sign", 1,
       {WithCorners(Symbol(-3, 0, "n"), {-5, 7, 0, -1, 2147483647, -2147483647 - 1, 9, 9})},
       Block("1 [模型版本: -3, 等级: L(7%)]", "n",
             "符号位置：(-5, 7)-(0, -1)-(2147483647, -2147483648)-(9, 9)\r\n\r\n")},
      {"null data and data that begins with a zero byte", 2, {Symbol(2, 1, nullptr), Symbol(2, 1, "")},
       Block("1 [模型版本: 2, 等级: M(15%)]", "") + Block("2 [模型版本: 2, 等级: M(15%)]", "")},
      {"UTF-8 data becomes GBK; what GBK lacks becomes the default character", 2,
       {Symbol(1, 1, "\xE4\xB8\xAD\xE6\x96\x87"), Symbol(1, 1, "a\xED\x95\x9C" "b")},
       Block("1 [模型版本: 1, 等级: M(15%)]", "中文") + Block("2 [模型版本: 1, 等级: M(15%)]", "a?b")},
      {"corners the library leaves alone print what the array holds", 3,
       {LeavingCorners(Symbol(1, 0, "a")), Symbol(1, 0, "b"), LeavingCorners(Symbol(1, 0, "c"))},
       Block("1 [模型版本: 1, 等级: L(7%)]", "a", "符号位置：(0, 0)-(0, 0)-(0, 0)-(0, 0)\r\n\r\n") +
           Block("2 [模型版本: 1, 等级: L(7%)]", "b") + Block("3 [模型版本: 1, 等级: L(7%)]", "c")},
      {"no symbol found", 0, {}, "未找到 QR 代码符号。"},
      {"file not found", -1, {}, "文件未找到！"},
      {"read error", -2, {}, "读取文件时发生错误。"},
      {"unreadable format", -3, {}, "无法读取此格式文件。"},
      {"sharing violation", -4, {}, "共享冲突，无法读取文件。"},
      {"out of memory", -5, {}, "内存不足。"},
      {"unlisted failure", -7, {}, ""},
      {"lowest failure", -2147483647 - 1, {}, ""},
  };
}

std::string ExpectedCalls(const std::string& path, int32_t result) {
  std::string calls = "DecodePictureFile(" + path + ") ";
  if (result <= 0) return calls;
  for (int32_t i = 0; i < result; ++i) {
    const std::string index = "(" + std::to_string(i) + ") ";
    calls += "GetDecodeVersion" + index + "GetDecodeLevel" + index + "GetConcatenationInfo" + index +
             "GetDecodeDataString" + index + "GetSymbolePosition" + index;
  }
  return calls + "FreeAllocateMemory ";
}

}  // namespace decode::testing
