// Time to decode one sampled module grid, against ZXing-C++ reading the same
// symbol as a clean, pure image (its cheapest path: no search, one sample per
// module). Prints a Markdown table.
#define ZX_USE_UTF8 1  // Result::text() as UTF-8
#include <ReadBarcode.h>
#include <qrencode.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "reader/symbol/symbol_layout.h"
#include "reader/symbol_decoder.h"

namespace {

constexpr int kPixelsPerModule = 4;
constexpr int kQuietZone = 4;
constexpr int kSamples = 51;

struct Symbol {
  qr::ModuleGrid grid;
  std::vector<uint8_t> pixels;
  int image_side;
  std::string text;
};

Symbol MakeSymbol(int version, qr::Level level) {
  const int length = qr::BlocksOf(version, level).data_codewords() - 3;
  std::string text;
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('A' + (i * 7 + version) % 26));
  const QRecLevel qrencode_levels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
  QRinput* input = QRinput_new2(version, qrencode_levels[static_cast<int>(level)]);
  QRinput_append(input, QR_MODE_8, length, reinterpret_cast<const unsigned char*>(text.data()));
  QRcode* code = QRcode_encodeInput(input);
  QRinput_free(input);
  const int width = code->width;
  const int side = (width + 2 * kQuietZone) * kPixelsPerModule;
  Symbol symbol{qr::ModuleGrid(width), std::vector<uint8_t>(static_cast<size_t>(side) * side, 255), side, text};
  for (int y = 0; y < width; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool dark = (code->data[y * width + x] & 1) != 0;
      symbol.grid.set(x, y, dark);
      if (!dark) continue;
      for (int dy = 0; dy < kPixelsPerModule; ++dy)
        for (int dx = 0; dx < kPixelsPerModule; ++dx)
          symbol.pixels[static_cast<size_t>((y + kQuietZone) * kPixelsPerModule + dy) * side +
                        (x + kQuietZone) * kPixelsPerModule + dx] = 0;
    }
  }
  QRcode_free(code);
  return symbol;
}

// Median over samples of the time per call, in microseconds; each sample
// runs enough calls to last about a millisecond.
template <typename Call>
double MedianMicroseconds(Call call) {
  using Clock = std::chrono::steady_clock;
  int calls = 1;
  for (;;) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) call();
    if (Clock::now() - start > std::chrono::milliseconds(1) || calls >= 1 << 20) break;
    calls *= 2;
  }
  std::vector<double> samples;
  for (int s = 0; s < kSamples; ++s) {
    const auto start = Clock::now();
    for (int i = 0; i < calls; ++i) call();
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls);
  }
  std::nth_element(samples.begin(), samples.begin() + kSamples / 2, samples.end());
  return samples[kSamples / 2];
}

}  // namespace

int main() {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  hints.setIsPure(true);
  hints.setTryHarder(false);
  hints.setTryRotate(false);

  std::printf("| symbol | DecodeGrid (µs) | ZXing-C++, pure image (µs) | both read it |\n");
  std::printf("|---|---:|---:|---|\n");
  for (int version : {1, 5, 10, 20, 30, 40}) {
    for (qr::Level level : {qr::Level::kM, qr::Level::kH}) {
      const Symbol symbol = MakeSymbol(version, level);
      const ZXing::ImageView image(symbol.pixels.data(), symbol.image_side, symbol.image_side, ZXing::ImageFormat::Lum);
      const bool ours = qr::DecodeGrid(symbol.grid).content.utf8 == symbol.text;
      const bool theirs = ZXing::ReadBarcode(image, hints).text() == symbol.text;
      const double ours_us = MedianMicroseconds([&] { return qr::DecodeGrid(symbol.grid); });
      const double theirs_us = MedianMicroseconds([&] { return ZXing::ReadBarcode(image, hints); });
      std::printf("| %d-%c, %zu bytes | %.1f | %.1f | %s |\n", version, "LMQH"[static_cast<int>(level)],
                  symbol.text.size(), ours_us, theirs_us, ours && theirs ? "yes" : ours ? "ours only" : "no");
    }
  }
  return 0;
}
