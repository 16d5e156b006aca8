// The program's real modal windows.
#pragma once

#include <windows.h>

#include "app/dialogs.h"

namespace app {

class WinDialogs final : public Dialogs {
 public:
  // The window that owns the file and colour dialogs; set once it exists.
  void set_owner(HWND owner) { owner_ = owner; }

  void ShowMessage(std::string_view text) override;
  std::optional<std::string> OpenFile(std::string_view remembered) override;
  std::optional<uint32_t> ChooseColour(uint32_t initial) override;

 private:
  HWND owner_ = nullptr;
  COLORREF custom_colours_[16] = {};
};

}  // namespace app
