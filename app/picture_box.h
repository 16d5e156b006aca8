// The picture box: a child window of our own class that shows a picture,
// given as the bytes of an image file, stretched over its whole client area
// without keeping its proportions, and plays animated GIFs.
//
// It reads BMP, JPEG, GIF (87a and 89a), ICO, CUR and PCX. Anything else,
// PNG on purpose among it, leaves the box empty, as do empty bytes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace app {

// A visible child of `parent` with a one-pixel border; the control id goes to
// GetDlgCtrlID. The client area is two pixels smaller than the outer size.
HWND CreatePictureBox(HWND parent, int x, int y, int width, int height, int id);

// Shows the picture in `bytes` from its first frame on; empty or unreadable
// bytes leave the box empty.
void SetPictureBytes(HWND box, const std::vector<uint8_t>& bytes);

struct PictureBoxState {
  bool has_picture = false;
  int frame = 0;        // the frame on screen, from 0
  int frame_count = 0;  // 0 when empty, 1 for a still picture
  bool animating = false;  // further frames are due
};

PictureBoxState GetPictureBoxState(HWND box);

}  // namespace app
