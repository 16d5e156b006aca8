// The pictures the program carries, as the bytes of their image files. They
// are linked into the program as resources (resources.rc).
#pragma once

#include <cstdint>
#include <vector>

#include "resources/resource_ids.h"

namespace resources {

// The icon group of the main window, for LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, ...).
inline constexpr int kWindowIconId = ZENQAR_ICON_ID;

// GIF89a, 220 x 220, one frame: shown in the picture box at start.
std::vector<uint8_t> StartPicture();
// Animated GIF89a, 220 x 220, 9 frames, looping: shown while a request runs.
std::vector<uint8_t> WorkingPicture();
// 24-bit BMP, 60 x 25: the tiled background of the page labels.
std::vector<uint8_t> PageLabelPicture();

}  // namespace resources
