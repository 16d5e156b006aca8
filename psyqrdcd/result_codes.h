// What DecodePictureFile answers besides a count of symbols.
#pragma once

#include <cstdint>

namespace psyqrdcd {

enum ResultCode : int32_t {
  kNoSymbol = 0,
  kFileNotFound = -1,
  kReadError = -2,
  kUnknownFormat = -3,
  kSharingViolation = -4,
  kOutOfMemory = -5,
};

}  // namespace psyqrdcd
