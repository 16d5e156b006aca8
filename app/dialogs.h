// The modal windows of the program. They block, so they sit behind this seam:
// the program shows real ones, in-process tests script the answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A task-modal box with the caption "信息：", the text, an OK button only
  // and no icon; returns when it is closed.
  virtual void ShowMessage(std::string_view text) = 0;
  // The open-file dialog: starts with `remembered` (a full path, or empty) and
  // gives the chosen full path, or nothing when the user cancels.
  virtual std::optional<std::string> OpenFile(std::string_view remembered) = 0;
  // The colour dialog: gives the chosen colour (0x00BBGGRR), or nothing.
  virtual std::optional<uint32_t> ChooseColour(uint32_t initial) = 0;
};

}  // namespace app
