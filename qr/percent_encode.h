// Percent-encoding of the fields a user types, as the QR image service reads
// them from the query: UTF-8 bytes, every byte outside a small kept set
// escaped.
#pragma once

#include <string>
#include <string_view>

namespace qr {

// Encodes `text` (GBK). With `toUtf8` its UTF-8 form is encoded, otherwise
// its own bytes. With `keepUnreserved` the bytes "-", ".", digits and ASCII
// letters stay as they are; every other byte becomes "%" and two upper-case
// hex digits. Without it every byte is escaped.
std::string PercentEncode(std::string_view text, bool keepUnreserved, bool toUtf8);

}  // namespace qr
