#include "app/win_dialogs.h"

#include <commdlg.h>

#include "text/wide.h"

namespace app {

void WinDialogs::ShowMessage(std::string_view text) {
  MessageBoxW(nullptr, text::Wide(text).c_str(), text::Wide("信息：").c_str(), MB_OK | MB_TASKMODAL);
}

std::optional<std::string> WinDialogs::OpenFile(std::string_view remembered) {
  std::wstring path = text::Wide(remembered);
  path.resize(std::max<size_t>(path.size() + 1, MAX_PATH * 4), L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return text::Narrow(path.c_str());
}

std::optional<uint32_t> WinDialogs::ChooseColour(uint32_t initial) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.rgbResult = initial;
  dialog.lpCustColors = custom_colours_;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&dialog)) return std::nullopt;
  return dialog.rgbResult & 0xFFFFFF;
}

}  // namespace app
