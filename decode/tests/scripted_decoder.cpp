#include "decode/tests/scripted_decoder.h"

#include <algorithm>

namespace decode::testing {

void ScriptedDecoder::Script(int32_t result, const ScriptedSymbol* symbols, int32_t count) {
  result_ = result;
  symbols_.assign(symbols, symbols + count);
  calls_.clear();
}

int32_t ScriptedDecoder::DecodePictureFile(const std::string& path) {
  calls_ += "DecodePictureFile(" + path + ") ";
  data_.clear();
  for (const ScriptedSymbol& symbol : symbols_) {
    data_.push_back(symbol.data == nullptr ? std::nullopt : std::optional<std::string>(symbol.data));
  }
  decoded_ = result_ > 0;
  return result_;
}

const ScriptedSymbol* ScriptedDecoder::Symbol(const char* function, int32_t index) {
  calls_ += std::string(function) + "(" + std::to_string(index) + ") ";
  const bool known = decoded_ && index >= 0 && index < static_cast<int32_t>(symbols_.size());
  if (!known) calls_ += "<no such symbol> ";
  return known ? &symbols_[static_cast<size_t>(index)] : nullptr;
}

int32_t ScriptedDecoder::GetDecodeVersion(int32_t index) {
  const ScriptedSymbol* symbol = Symbol("GetDecodeVersion", index);
  return symbol != nullptr ? symbol->version : 0;
}

int32_t ScriptedDecoder::GetDecodeLevel(int32_t index) {
  const ScriptedSymbol* symbol = Symbol("GetDecodeLevel", index);
  return symbol != nullptr ? symbol->level : 0;
}

int32_t ScriptedDecoder::GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) {
  const ScriptedSymbol* symbol = Symbol("GetConcatenationInfo", index);
  if (symbol == nullptr) return 0;
  *position = symbol->position;
  *parity = symbol->parity;
  return symbol->total;
}

const char* ScriptedDecoder::GetDecodeDataString(int32_t index) {
  if (Symbol("GetDecodeDataString", index) == nullptr) return nullptr;
  const std::optional<std::string>& data = data_[static_cast<size_t>(index)];
  return data ? data->c_str() : nullptr;
}

int32_t ScriptedDecoder::GetSymbolePosition(int32_t index, int32_t* corners) {
  const ScriptedSymbol* symbol = Symbol("GetSymbolePosition", index);
  if (symbol != nullptr && symbol->fills_corners) std::copy_n(symbol->corners, 8, corners);
  return 1;
}

int32_t ScriptedDecoder::FreeAllocateMemory() {
  calls_ += "FreeAllocateMemory ";
  data_.clear();
  decoded_ = false;
  return 1;
}

}  // namespace decode::testing
