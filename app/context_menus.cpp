#include "app/context_menus.h"

#include <array>
#include <span>

namespace app {

namespace {

using enum ControlId;

constexpr std::array kDecodeMenuButtons = {按钮_打开图片, 按钮_清空内容, 按钮_保存内容};
constexpr std::array kPictureMenuButtons = {按钮_删除二维码, 按钮_保存二维码};

void ShowMenu(HWND owner, HMENU menu, std::span<const ControlId> buttons,
              const std::function<void(ControlId)>& click) {
  const std::optional<int> chosen = TrackContextMenu(owner, menu);
  if (chosen && *chosen < static_cast<int>(buttons.size())) click(buttons[static_cast<size_t>(*chosen)]);
}

}  // namespace

std::optional<int> TrackContextMenu(HWND owner, HMENU menu) {
  POINT cursor{};
  GetCursorPos(&cursor);
  // The command comes back instead of being posted, so it runs after the
  // menu has closed.
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD;
  const auto command = static_cast<UINT>(TrackPopupMenu(menu, flags, cursor.x + 3, cursor.y + 3, 0, owner, nullptr));
  if (command == 0) return std::nullopt;
  const int items = GetMenuItemCount(menu);
  for (int position = 0; position < items; ++position) {
    if (GetMenuItemID(menu, position) == command) return position;
  }
  return std::nullopt;
}

void ShowDecodeMenu(HWND owner, HMENU menu, const std::function<void(ControlId)>& click) {
  ShowMenu(owner, menu, kDecodeMenuButtons, click);
}

void ShowPictureMenu(HWND owner, HMENU menu, const std::function<void(ControlId)>& click) {
  ShowMenu(owner, menu, kPictureMenuButtons, click);
}

}  // namespace app
