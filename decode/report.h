// The text report of a decode: one block per symbol found, or one message.
// GBK with CR LF line breaks.
#pragma once

#include <cstdint>
#include <string>

#include "decode/decoder.h"

namespace decode {

// Decodes the image file at `path` (GBK) and returns the report; it may be empty.
std::string DecodeReport(Decoder& decoder, const std::string& path);

// The report of a decode that found nothing (n <= 0): a message for 0 to -5,
// empty for any other value.
std::string FailureMessage(int32_t result);

}  // namespace decode
