// A picture file read through the platform's imaging library into grey
// pixels: the library's only contact with files and formats.
#pragma once

#include <memory>
#include <string>

#include "psyqrdcd/grey_shrinker.h"
#include "psyqrdcd/result_codes.h"

namespace psyqrdcd {

// Limits on what one file may cost: its size, the frame the decoder is
// allowed to build, and the pixels the reader is given (larger pictures are
// averaged down by a whole factor).
constexpr int64_t kMaxFileBytes = int64_t{256} << 20;
constexpr int64_t kMaxDecodedPixels = int64_t{64} << 20;
constexpr int64_t kMaxReadPixels = int64_t{16} << 20;

struct PictureLoad {
  ResultCode failure = kNoSymbol;  // kNoSymbol when the picture was read
  std::unique_ptr<GreyShrinker> grey;
};

// BMP, GIF, JPEG, PNG, TIFF, ICO and whatever else the platform decodes; the
// first frame of an animation.
PictureLoad LoadGreyPicture(const std::wstring& path);

}  // namespace psyqrdcd
