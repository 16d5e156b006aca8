// The QR decoder library PsyQrDcd, bound by name at the first call of each of
// its functions. A function that cannot be bound ends the program after the
// fatal box.
#pragma once

#include "decode/decoder.h"

namespace decode {

class PsyQrDcd : public Decoder {
 public:
  // The library reads the path in the system code page.
  int32_t DecodePictureFile(const std::string& path) override;
  int32_t GetDecodeVersion(int32_t index) override;
  int32_t GetDecodeLevel(int32_t index) override;
  int32_t GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) override;
  const char* GetDecodeDataString(int32_t index) override;
  int32_t GetSymbolePosition(int32_t index, int32_t* corners) override;
  int32_t FreeAllocateMemory() override;
};

}  // namespace decode
