// The context menus of the decode box ("解码") and the picture box ("菜单").
// Each item runs the command of the button with the same role.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "app/control_ids.h"

namespace app {

// Shows `menu` as a context menu of `owner`, its top-left corner 3 pixels
// right of and below the cursor, tracked with the right button so that either
// button chooses. Returns once the menu has closed: the position of the
// chosen item, or nothing when it was closed without a choice.
std::optional<int> TrackContextMenu(HWND owner, HMENU menu);

// Right press on 编辑框_解码 with its menu: 打开图片, 清空内容, 保存内容.
void ShowDecodeMenu(HWND owner, HMENU menu, const std::function<void(ControlId button)>& click);
// Right press on 图片框_二维码显示 with its menu: 删除二维码, 保存二维码.
void ShowPictureMenu(HWND owner, HMENU menu, const std::function<void(ControlId button)>& click);

}  // namespace app
