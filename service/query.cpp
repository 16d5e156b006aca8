#include "service/query.h"

#include <algorithm>
#include <charconv>

namespace service {
namespace {

constexpr std::string_view kTextKey = "text";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

Level ParseLevel(std::string_view text) {
  if (EqualsIgnoringCase(text, "M")) return Level::M;
  if (EqualsIgnoringCase(text, "Q")) return Level::Q;
  if (EqualsIgnoringCase(text, "H")) return Level::H;
  return Level::L;  // L itself, and whatever is not a level
}

std::optional<ImageFormat> ParseFormat(std::string_view text) {
  if (EqualsIgnoringCase(text, "png")) return ImageFormat::Png;
  if (EqualsIgnoringCase(text, "gif")) return ImageFormat::Gif;
  return std::nullopt;
}

// Decimal digits only; a value past `max` (however many digits) is `max`.
int ParseBoundedCount(std::string_view text, int fallback, int min, int max) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return fallback;
  }
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return max;
  return std::clamp(value, min, max);
}

struct RawKeys {
  std::optional<std::string_view> fg, bg, gc, pt, inpt, el, w, m, format, text;
};

// Splits on '&' until the key "text", whose value is the rest of the query.
// A later repeat of a key wins.
RawKeys SplitQuery(std::string_view query) {
  RawKeys keys;
  while (!query.empty()) {
    size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    size_t eq = pair.find('=');
    std::string_view key = pair.substr(0, eq);
    if (key == kTextKey) {
      keys.text = eq == std::string_view::npos ? std::string_view{} : query.substr(eq + 1);
      break;
    }
    std::string_view value = eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
    if (key == "fg") keys.fg = value;
    else if (key == "bg") keys.bg = value;
    else if (key == "gc") keys.gc = value;
    else if (key == "pt") keys.pt = value;
    else if (key == "inpt") keys.inpt = value;
    else if (key == "el") keys.el = value;
    else if (key == "w") keys.w = value;
    else if (key == "m") keys.m = value;
    else if (key == "format") keys.format = value;
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return keys;
}

Rgb ColourOr(std::optional<std::string_view> text, Rgb fallback) {
  if (!text) return fallback;
  return ParseColour(*text).value_or(fallback);
}

Colours ResolveColours(const RawKeys& keys) {
  Colours colours;
  colours.foreground = ColourOr(keys.fg, Rgb{0, 0, 0});
  colours.background = ColourOr(keys.bg, Rgb{255, 255, 255});
  // Without a colour of their own, the gradient and both finder parts take
  // the foreground, so a plain fg gives a plain one-colour symbol.
  colours.gradient = ColourOr(keys.gc, colours.foreground);
  colours.finder_ring = ColourOr(keys.pt, colours.foreground);
  colours.finder_dot = ColourOr(keys.inpt, colours.foreground);
  return colours;
}

}  // namespace

std::optional<Rgb> ParseColour(std::string_view hex) {
  if (hex.size() != 6) return std::nullopt;
  uint8_t channels[3];
  for (size_t i = 0; i < 3; ++i) {
    int high = HexValue(hex[2 * i]);
    int low = HexValue(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    channels[i] = static_cast<uint8_t>(high * 16 + low);
  }
  return Rgb{channels[0], channels[1], channels[2]};
}

Outcome<std::string> PercentDecode(std::string_view encoded) {
  std::string bytes;
  bytes.reserve(encoded.size());
  for (size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] != '%') {
      bytes += encoded[i];
      continue;
    }
    int high = i + 1 < encoded.size() ? HexValue(encoded[i + 1]) : -1;
    int low = i + 2 < encoded.size() ? HexValue(encoded[i + 2]) : -1;
    if (high < 0 || low < 0) {
      return Failure{400, "malformed percent escape at offset " + std::to_string(i) +
                              " of text: '%' must be followed by two hex digits"};
    }
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

Outcome<ImageRequest> ParseImageQuery(std::string_view target) {
  size_t question = target.find('?');
  std::string_view query = question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
  RawKeys keys = SplitQuery(query);
  if (!keys.text || keys.text->empty()) {
    return Failure{400, "missing text: put the content last, as text=<percent-encoded UTF-8>"};
  }
  Outcome<std::string> content = PercentDecode(*keys.text);
  if (!content.ok()) return content.failure();

  ImageRequest request;
  request.content = std::move(content).value();
  request.level = ParseLevel(keys.el.value_or(""));
  request.colours = ResolveColours(keys);
  request.width = ParseBoundedCount(keys.w.value_or(""), kDefaultWidth, 1, kMaxWidth);
  request.margin = ParseBoundedCount(keys.m.value_or(""), kDefaultMargin, 0, kMaxMargin);
  request.format = ParseFormat(keys.format.value_or(""));
  return request;
}

}  // namespace service
