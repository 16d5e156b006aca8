// Fetching a QR image for the picture box: one GET through the web client;
// a PNG answer, which the picture box cannot show, is fetched again and
// re-encoded.
#pragma once

#include <functional>
#include <string>

#include "web/request_object.h"

namespace web {

// Re-encodes `source` in format 1 BMP, 2 JPEG, 3 GIF, 4 TIFF or 5 PNG; on
// success `output` (and the file `fileName`, unless blank) gets the bytes.
using ConvertImageFn =
    std::function<bool(const Bytes& source, int format, const std::string& fileName, Bytes& output)>;

struct FetchImageParams {
  std::string url;
  std::string proxy;
  std::string location;  // in-out, shared by both requests of a PNG answer
  int format = 3;  // what a PNG answer becomes; GIF by default
  int timeoutSeconds = 10;
};

// Whether the bytes begin 89 50 4E, as a PNG file does.
bool PassesPngSignature(const Bytes& bytes);

// The image for `params.url`, empty when nothing came. A PNG answer costs a
// second request, whose answer is converted; if that fails the first answer
// is returned.
Bytes FetchImage(WebPlatform& platform, const ConvertImageFn& convert, FetchImageParams& params);

}  // namespace web
