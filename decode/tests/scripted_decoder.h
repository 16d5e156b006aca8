// A decoder that plays back what a test scripts and logs the calls it gets.
// It stands in for PsyQrDcd in-process and, exported, as a DLL of that name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "decode/decoder.h"

namespace decode::testing {

struct ScriptedSymbol {
  int32_t version = 0;
  int32_t level = 0;
  int32_t total = 0;  // structured append: sequence length, 0 when not a member
  int32_t position = 0;
  int32_t parity = 0;
  const char* data = nullptr;  // UTF-8; nullptr is handed out as a null address
  bool fills_corners = true;
  int32_t corners[8] = {};
};

class ScriptedDecoder : public Decoder {
 public:
  void Script(int32_t result, const ScriptedSymbol* symbols, int32_t count);
  // "DecodePictureFile(path) GetDecodeVersion(0) ..." in call order.
  const std::string& Calls() const { return calls_; }

  int32_t DecodePictureFile(const std::string& path) override;
  int32_t GetDecodeVersion(int32_t index) override;
  int32_t GetDecodeLevel(int32_t index) override;
  int32_t GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) override;
  const char* GetDecodeDataString(int32_t index) override;
  int32_t GetSymbolePosition(int32_t index, int32_t* corners) override;
  int32_t FreeAllocateMemory() override;

 private:
  const ScriptedSymbol* Symbol(const char* function, int32_t index);

  int32_t result_ = 0;
  std::vector<ScriptedSymbol> symbols_;
  // The decoded data, owned here until FreeAllocateMemory, as the library does.
  std::vector<std::optional<std::string>> data_;
  bool decoded_ = false;
  std::string calls_;
};

}  // namespace decode::testing
