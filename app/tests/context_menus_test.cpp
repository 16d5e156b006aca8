// The context menus as a user meets them: where they open, and which button's
// command a right or left click on an item runs.
#include "app/context_menus.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace app {
namespace {

using enum ControlId;

struct MenuWindowSearch {
  HMENU menu;  // nullptr: any
  HWND found = nullptr;
};

BOOL CALLBACK MatchMenuWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<MenuWindowSearch*>(context);
  wchar_t kind[16] = {};
  GetClassNameW(window, kind, 16);
  if (lstrcmpW(kind, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  const auto shown = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
  if (search.menu == nullptr || shown == search.menu) search.found = window;
  return search.found == nullptr;
}

// The visible window of `menu` (of any menu when null), or null.
HWND ShownMenuWindow(HMENU menu) {
  MenuWindowSearch search{menu};
  EnumWindows(MatchMenuWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A user on another thread: waits for the menu, notes where it opened and
// clicks an item with a button, or presses Esc.
class User {
 public:
  User(HMENU menu, int item, DWORD button_down, DWORD button_up)
      : thread_([=, this] { Act(menu, item, button_down, button_up); }) {}
  ~User() {
    if (thread_.joinable()) thread_.join();
  }
  // Where the menu opened, once the user is done.
  RECT menu_rect() {
    if (thread_.joinable()) thread_.join();
    return menu_rect_;
  }

 private:
  void Act(HMENU menu, int item, DWORD button_down, DWORD button_up) {
    HWND popup = nullptr;
    for (int tries = 0; tries < 200 && popup == nullptr; ++tries) {
      popup = ShownMenuWindow(menu);
      if (popup == nullptr) Sleep(25);
    }
    if (popup == nullptr) return;
    GetWindowRect(popup, &menu_rect_);
    Sleep(100);
    if (item < 0) {
      Send(KeyboardInput(VK_ESCAPE, 0), KeyboardInput(VK_ESCAPE, KEYEVENTF_KEYUP));
      return;
    }
    RECT item_rect{};
    GetMenuItemRect(nullptr, menu, static_cast<UINT>(item), &item_rect);
    SetCursorPos((item_rect.left + item_rect.right) / 2, (item_rect.top + item_rect.bottom) / 2);
    Sleep(100);
    Send(MouseInput(button_down), MouseInput(button_up));
    // A click the menu ignores would leave it open: close it, so the test
    // fails instead of hanging.
    for (int tries = 0; tries < 60 && IsWindowVisible(popup); ++tries) Sleep(50);
    if (IsWindowVisible(popup)) Send(KeyboardInput(VK_ESCAPE, 0), KeyboardInput(VK_ESCAPE, KEYEVENTF_KEYUP));
  }
  static INPUT MouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
  }
  static INPUT KeyboardInput(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
  }
  static void Send(INPUT first, INPUT second) {
    INPUT inputs[] = {first, second};
    SendInput(2, inputs, sizeof(INPUT));
  }

  RECT menu_rect_{};
  std::thread thread_;
};

bool CursorIsAt(int x, int y) {
  POINT at{};
  return GetCursorPos(&at) && at.x == x && at.y == y;
}

// Moves the cursor, once the menu window of an earlier case is gone, and
// waits until it stays there: under X, late motion events of earlier moves
// can still carry it back.
void PlaceCursor(int x, int y) {
  for (int tries = 0; tries < 80 && ShownMenuWindow(nullptr) != nullptr; ++tries) Sleep(25);
  for (int tries = 0; tries < 20; ++tries) {
    SetCursorPos(x, y);
    Sleep(100);
    if (CursorIsAt(x, y)) {
      Sleep(100);
      if (CursorIsAt(x, y)) return;
    }
  }
}

class ContextMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(owner_);
    // Built as the main window builds its hidden menus: ids run on across both.
    picture_menu_ = CreatePopupMenu();
    AppendMenuW(picture_menu_, MF_STRING, 1, L"删除二维码");
    AppendMenuW(picture_menu_, MF_STRING, 2, L"保存二维码");
    decode_menu_ = CreatePopupMenu();
    AppendMenuW(decode_menu_, MF_STRING, 3, L"打开图片");
    AppendMenuW(decode_menu_, MF_STRING, 4, L"清空内容");
    AppendMenuW(decode_menu_, MF_STRING, 5, L"保存内容");
  }
  void TearDown() override {
    DestroyMenu(picture_menu_);
    DestroyMenu(decode_menu_);
    DestroyWindow(owner_);
  }
  std::function<void(ControlId)> Record() {
    return [this](ControlId button) { clicked_.push_back(button); };
  }

  HWND owner_ = nullptr;
  HMENU picture_menu_ = nullptr;
  HMENU decode_menu_ = nullptr;
  std::vector<ControlId> clicked_;
};

TEST_F(ContextMenuTest, DecodeMenuOpensBesideTheCursorAndRunsTheButtonsCommands) {
  const struct { int item; DWORD down, up; ControlId button; } cases[] = {
      {0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 按钮_打开图片},
      {1, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 按钮_清空内容},
      {2, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 按钮_保存内容},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    clicked_.clear();
    PlaceCursor(120, 80);
    User user(decode_menu_, c.item, c.down, c.up);
    ShowDecodeMenu(owner_, decode_menu_, Record());
    const RECT opened = user.menu_rect();
    EXPECT_EQ(opened.left, 123);
    EXPECT_EQ(opened.top, 83);
    EXPECT_EQ(clicked_, std::vector<ControlId>{c.button});
  }
}

TEST_F(ContextMenuTest, PictureMenuRunsTheButtonsCommands) {
  const struct { int item; ControlId button; } cases[] = {{0, 按钮_删除二维码}, {1, 按钮_保存二维码}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    clicked_.clear();
    PlaceCursor(200, 150);
    User user(picture_menu_, c.item, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ShowPictureMenu(owner_, picture_menu_, Record());
    EXPECT_EQ(user.menu_rect().left, 203);
    EXPECT_EQ(clicked_, std::vector<ControlId>{c.button});
  }
}

TEST_F(ContextMenuTest, ClosingWithoutAChoiceRunsNothing) {
  PlaceCursor(50, 50);
  User user(decode_menu_, -1, 0, 0);
  ShowDecodeMenu(owner_, decode_menu_, Record());
  user.menu_rect();
  EXPECT_TRUE(clicked_.empty());
}

}  // namespace
}  // namespace app
