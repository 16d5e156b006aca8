#include "service/symbol.h"

#include <qrencode.h>

#include <cerrno>
#include <memory>
#include <string>

namespace service {
namespace {

QRecLevel ToQrencodeLevel(Level level) {
  switch (level) {
    case Level::L: return QR_ECLEVEL_L;
    case Level::M: return QR_ECLEVEL_M;
    case Level::Q: return QR_ECLEVEL_Q;
    case Level::H: return QR_ECLEVEL_H;
  }
  return QR_ECLEVEL_L;
}

const char* LevelName(Level level) {
  switch (level) {
    case Level::L: return "L";
    case Level::M: return "M";
    case Level::Q: return "Q";
    case Level::H: return "H";
  }
  return "L";
}

using QrcodePtr = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

QrcodePtr RunEncoder(std::string_view content, QRecLevel level) {
  // The string encoder picks numeric and alphanumeric segments where they
  // are shorter, which gives the smallest version; it stops at a zero byte,
  // so content holding one goes whole into a single 8-bit segment.
  if (content.find('\0') == std::string_view::npos) {
    std::string terminated(content);
    return {QRcode_encodeString(terminated.c_str(), 0, level, QR_MODE_8, 1), &QRcode_free};
  }
  return {QRcode_encodeData(static_cast<int>(content.size()),
                            reinterpret_cast<const unsigned char*>(content.data()), 0, level),
          &QRcode_free};
}

}  // namespace

Outcome<QrSymbol> EncodeSymbol(std::string_view content, Level level) {
  errno = 0;
  QrcodePtr code = RunEncoder(content, ToQrencodeLevel(level));
  if (!code) {
    if (errno == ERANGE) {
      return Failure{400, "text too long for a QR symbol at level " + std::string(LevelName(level)) + " (" +
                              std::to_string(content.size()) + " bytes)"};
    }
    return Failure{500, "the QR encoder failed"};
  }
  QrSymbol symbol;
  symbol.size = code->width;
  symbol.dark.resize(static_cast<size_t>(code->width) * code->width);
  for (size_t i = 0; i < symbol.dark.size(); ++i) symbol.dark[i] = code->data[i] & 1;
  return symbol;
}

}  // namespace service
