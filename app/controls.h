// What the commands read and write in the main window. The window implements
// it over Win32 controls; tests script it. Texts are GBK.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/control_ids.h"

namespace app {

using Bytes = std::vector<uint8_t>;

class Controls {
 public:
  virtual ~Controls() = default;

  // The content of an edit box, or the caption of a label.
  virtual std::string Text(ControlId id) const = 0;
  virtual void SetText(ControlId id, std::string_view text) = 0;
  // A colour picker's colour, 0x00BBGGRR.
  virtual uint32_t Colour(ControlId id) const = 0;
  // The selected item of a drop-down list, 0 for the first.
  virtual int SelectedIndex(ControlId id) const = 0;
  // The picture box's picture as image file bytes; empty bytes empty it.
  virtual void SetPicture(const Bytes& image) = 0;
  // Lets waiting window events run for about `milliseconds`.
  virtual void PumpEvents(int milliseconds) = 0;
  // The platform window of a control (an HWND on Windows), for capture.
  virtual void* WindowHandle(ControlId id) const = 0;
};

}  // namespace app
