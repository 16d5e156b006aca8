#include "app/picture_box_pcx.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace app {

namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kHeaderPaletteOffset = 16;
constexpr size_t kVgaPaletteSize = 768;
constexpr uint8_t kVgaPaletteMarker = 0x0C;
constexpr uint8_t kRunMarker = 0xC0;  // a byte with both top bits set is a run count

uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct Layout {
  int width, height;
  int bits_per_plane, planes;
  size_t bytes_per_line;  // of one plane
  bool run_length;
};

bool IsSupported(const Layout& l) {
  const bool known_depth =
      l.bits_per_plane == 1 || l.bits_per_plane == 2 || l.bits_per_plane == 4 || l.bits_per_plane == 8;
  const bool indexed = l.planes == 1 || (l.bits_per_plane == 1 && l.planes <= 4);
  const bool true_colour = l.bits_per_plane == 8 && (l.planes == 3 || l.planes == 4);  // a 4th plane is alpha
  return known_depth && (indexed || true_colour);
}

// Expands the scan lines: a byte with both top bits set repeats the next byte
// (its low six bits) times; any other byte stands for itself. Runs may cross
// line ends, as some writers let them.
std::optional<std::vector<uint8_t>> ExpandScanLines(std::span<const uint8_t> data, size_t wanted, bool run_length) {
  // The most that `data` can expand to: 63 bytes from every pair.
  const size_t most = run_length ? data.size() / 2 * 63 + data.size() % 2 : data.size();
  if (wanted > most) return std::nullopt;
  std::vector<uint8_t> lines;
  lines.reserve(wanted);
  size_t at = 0;
  while (lines.size() < wanted) {
    if (at >= data.size()) return std::nullopt;
    const uint8_t byte = data[at++];
    if (run_length && (byte & kRunMarker) == kRunMarker) {
      if (at >= data.size()) return std::nullopt;
      const size_t count = std::min<size_t>(byte & ~kRunMarker, wanted - lines.size());
      lines.insert(lines.end(), count, data[at++]);
    } else {
      lines.push_back(byte);
    }
  }
  return lines;
}

uint32_t Rgb(std::span<const uint8_t> palette, size_t index) {
  return static_cast<uint32_t>(palette[3 * index] << 16 | palette[3 * index + 1] << 8 | palette[3 * index + 2]);
}

// The `bits`-wide field of pixel x in a plane's line, most significant first.
size_t PixelBits(const uint8_t* line, int x, int bits) {
  const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bits);
  const int shift = 8 - bits - static_cast<int>(bit % 8);
  return static_cast<size_t>((line[bit / 8] >> shift) & ((1 << bits) - 1));
}

}  // namespace

PcxPicture DecodePcx(std::span<const uint8_t> file) {
  if (file.size() < kHeaderSize || file[0] != 0x0A || file[2] > 1) return {PcxError::kBadHeader, {}};
  const int x_min = U16(file, 4), y_min = U16(file, 6), x_max = U16(file, 8), y_max = U16(file, 10);
  if (x_max < x_min || y_max < y_min) return {PcxError::kBadHeader, {}};
  const Layout layout{x_max - x_min + 1, y_max - y_min + 1, file[3], file[65], U16(file, 66), file[2] == 1};
  if (!IsSupported(layout)) return {PcxError::kUnsupportedLayout, {}};
  if (layout.bytes_per_line * 8 < static_cast<size_t>(layout.width) * static_cast<size_t>(layout.bits_per_plane))
    return {PcxError::kBadHeader, {}};
  if (static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(layout.height) > kMaxPicturePixels)
    return {PcxError::kTooLarge, {}};

  const size_t line_stride = layout.bytes_per_line * static_cast<size_t>(layout.planes);
  const auto lines =
      ExpandScanLines(file.subspan(kHeaderSize), line_stride * static_cast<size_t>(layout.height), layout.run_length);
  if (!lines) return {PcxError::kTruncated, {}};

  const bool true_colour = layout.bits_per_plane == 8 && layout.planes >= 3;
  const int index_bits = layout.bits_per_plane * layout.planes;
  std::span<const uint8_t> palette = file.subspan(kHeaderPaletteOffset, 48);
  if (index_bits == 8) {
    const bool has_vga_palette = file.size() >= kHeaderSize + kVgaPaletteSize + 1 &&
                                 file[file.size() - kVgaPaletteSize - 1] == kVgaPaletteMarker;
    if (!has_vga_palette) return {PcxError::kMissingPalette, {}};
    palette = file.last(kVgaPaletteSize);
  }
  static constexpr uint8_t kBlackAndWhite[] = {0, 0, 0, 255, 255, 255};
  if (index_bits == 1) palette = kBlackAndWhite;  // monochrome ignores the header palette

  Pixels pixels{layout.width, layout.height, {}};
  pixels.rgb.reserve(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height));
  for (int y = 0; y < layout.height; ++y) {
    const uint8_t* line = lines->data() + static_cast<size_t>(y) * line_stride;
    const auto plane = [&](int p) { return line + static_cast<size_t>(p) * layout.bytes_per_line; };
    for (int x = 0; x < layout.width; ++x) {
      if (true_colour) {
        pixels.rgb.push_back(static_cast<uint32_t>(plane(0)[x] << 16 | plane(1)[x] << 8 | plane(2)[x]));
        continue;
      }
      // Bit planes: plane p gives bit p of the colour index.
      size_t index = 0;
      for (int p = 0; p < layout.planes; ++p) index |= PixelBits(plane(p), x, layout.bits_per_plane) << p;
      pixels.rgb.push_back(Rgb(palette, index));
    }
  }
  return {PcxError::kNone, std::move(pixels)};
}

}  // namespace app
