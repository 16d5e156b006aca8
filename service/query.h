// The query of "/api.php": what a client asks to be drawn.
//
//   /api.php?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=...
//
// Keys may come in any order, but "text" is taken to run to the end of the
// target: Zenqar puts it last and leaves some labels unescaped inside it, so
// an '&' after "text=" belongs to the content.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "service/outcome.h"

namespace service {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

enum class Level { L, M, Q, H };
enum class ImageFormat { Png, Gif };

struct Colours {
  Rgb foreground{0, 0, 0};        // fg: dark modules, at the top-left corner
  Rgb background{255, 255, 255};  // bg: light modules and the quiet zone
  Rgb gradient{0, 0, 0};          // gc: dark modules blend into it towards the bottom-right
  Rgb finder_ring{0, 0, 0};       // pt: the outer 7x7 ring of each finder pattern
  Rgb finder_dot{0, 0, 0};        // inpt: the 3x3 centre of each finder pattern
};

// Image side in pixels (w) and quiet zone in modules (m). The maxima keep one
// request from costing more than a couple of megabytes.
inline constexpr int kDefaultWidth = 300;
inline constexpr int kMaxWidth = 1000;
inline constexpr int kDefaultMargin = 4;
inline constexpr int kMaxMargin = 20;

struct ImageRequest {
  std::string content;  // the decoded bytes of "text"; UTF-8 from Zenqar
  Level level = Level::L;
  Colours colours;
  int width = kDefaultWidth;
  int margin = kDefaultMargin;
  std::optional<ImageFormat> format;  // absent: the service's default
};

// `target` is the request target as sent ("/api.php?..."), not decoded.
Outcome<ImageRequest> ParseImageQuery(std::string_view target);

// Percent-escapes become their bytes; every other byte, '+' included, stays
// as sent. A '%' without two hex digits after it is an error.
Outcome<std::string> PercentDecode(std::string_view encoded);

// Six hex digits RRGGBB in either case; anything else is no colour.
std::optional<Rgb> ParseColour(std::string_view hex);

}  // namespace service
