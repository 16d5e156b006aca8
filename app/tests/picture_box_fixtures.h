// The small pictures in tests/fixtures (made by make_fixtures.py), copied
// beside the test programs at configure time.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace app::test {

inline std::vector<uint8_t> FixtureBytes(const std::string& name) {
  std::ifstream file("picture_fixtures/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

// The colours of quadrants.* (0x00RRGGBB), as make_fixtures.py paints them.
inline constexpr uint32_t kTopLeft = 0xDC1E1E, kTopRight = 0x1EC83C, kBottomLeft = 0x1E3CDC, kBottomRight = 0xF0DC1E;

}  // namespace app::test
