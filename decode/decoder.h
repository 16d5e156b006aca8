// The seven calls the program makes into the QR decoder library. The queries
// refer to the most recent DecodePictureFile; indexes run from 0 to n - 1.
#pragma once

#include <cstdint>
#include <string>

namespace decode {

class Decoder {
 public:
  virtual ~Decoder() = default;

  // n >= 1: symbols decoded; 0: none found; negative: a failure code.
  virtual int32_t DecodePictureFile(const std::string& path) = 0;
  virtual int32_t GetDecodeVersion(int32_t index) = 0;
  // 0 L, 1 M, 2 Q, 3 H.
  virtual int32_t GetDecodeLevel(int32_t index) = 0;
  // The length of the structured-append sequence, > 0 only for a member; then
  // `position` (0-based) and `parity` (low byte) are set.
  virtual int32_t GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) = 0;
  // Zero-terminated UTF-8 owned by the library until FreeAllocateMemory; may be null.
  virtual const char* GetDecodeDataString(int32_t index) = 0;
  // Fills x0, y0, x1, y1, x2, y2, x3, y3.
  virtual int32_t GetSymbolePosition(int32_t index, int32_t* corners) = 0;
  virtual int32_t FreeAllocateMemory() = 0;
};

}  // namespace decode
