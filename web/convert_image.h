// Re-encoding pictures in memory through the platform imaging library, for
// the PNG answers the picture box cannot show.
#pragma once

#include <string>
#include <string_view>

#include "web/request_object.h"

namespace web {

// The braced class identifier of the encoder for format 1 BMP, 2 JPEG, 3 GIF,
// 4 TIFF, 5 PNG; empty for any other index.
std::string EncoderClassIdText(int format);

// The GBK text as UTF-16 little-endian bytes, with the two bytes of the
// terminator unless `dropTerminator`; an empty text gives empty bytes.
Bytes TextToUtf16(std::string_view text, bool dropTerminator = false);

#ifdef _WIN32
// Decodes `source` and encodes it in `format` (as EncoderClassIdText). On
// success `output` holds the new bytes and, when `fileName` is not blank,
// the file is written too (a failed write is not reported); returns true.
// On failure `output` is left as it was and no file is written.
bool ConvertImage(const Bytes& source, int format, const std::string& fileName, Bytes& output);
#endif

}  // namespace web
