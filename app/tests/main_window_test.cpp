// The real main window, created in this process and driven through its
// controls as the user's presses would.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/testing/scripted_dialogs.h"
#include "app/window_layout.h"
#include "text/wide.h"

namespace {

using app::ControlId;
using app::ControlKind;
using enum app::ControlId;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = app::MainWindow::Create(GetModuleHandleW(nullptr), dialogs_);
    ASSERT_NE(window_, nullptr);
    ShowWindow(window_->hwnd(), SW_SHOWNORMAL);
    UpdateWindow(window_->hwnd());
  }

  void TearDown() override {
    window_.reset();
    // The closed window asked the thread to quit; the next test's window runs on.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  HWND Of(ControlId id) const { return window_->control(id); }

  // A control's place relative to its parent's client area.
  RECT PlaceOf(ControlId id) const {
    RECT rect;
    GetWindowRect(Of(id), &rect);
    MapWindowPoints(nullptr, GetParent(Of(id)), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  POINT IndicatorPlace() const {
    const RECT place = PlaceOf(画板1);
    return {place.left, place.top};
  }

  void Press(ControlId label) { SendMessageW(Of(label), WM_LBUTTONDOWN, MK_LBUTTON, 0); }

  app::testing::ScriptedDialogs dialogs_;
  std::unique_ptr<app::MainWindow> window_;
};

TEST_F(MainWindowTest, FrameIsFixedCentredAndWithoutMenuBar) {
  HWND main = window_->hwnd();
  RECT outer;
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 376);
  EXPECT_EQ(outer.bottom - outer.top, 382);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 376) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 382) / 2);
  const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_EQ(GetMenu(main), nullptr);
  wchar_t caption[16];
  GetWindowTextW(main, caption, 16);
  EXPECT_STREQ(caption, L"Zenqar");
  EXPECT_NE(GetClassLongPtrW(main, GCLP_HICON), 0u);
}

// Every control of the window definition exists where it says, in the
// parent it says, with its caption.
TEST_F(MainWindowTest, EveryControlHasItsPlaceParentAndCaption) {
  for (const app::ControlSpec& definition : app::MainWindowControls()) {
    if (definition.id == 画板1) continue;  // moved at creation: checked below
    SCOPED_TRACE(text::Wide(definition.caption).c_str());
    SCOPED_TRACE(static_cast<int>(definition.id));
    HWND control = Of(definition.id);
    ASSERT_TRUE(IsWindow(control));
    const RECT place = PlaceOf(definition.id);
    EXPECT_EQ(place.left, definition.left);
    EXPECT_EQ(place.top, definition.top);
    EXPECT_EQ(place.right - place.left, definition.width);
    EXPECT_EQ(place.bottom - place.top, definition.height);
    HWND expected_parent = !definition.parent ? window_->hwnd()
                           : *definition.parent == 高级选择夹1 ? GetParent(control)
                                                         : Of(*definition.parent);
    EXPECT_EQ(GetParent(control), expected_parent);
    if (definition.parent == 高级选择夹1) {
      EXPECT_EQ(GetParent(GetParent(control)), Of(高级选择夹1));
    }
    if (definition.kind != ControlKind::kComboBox && definition.kind != ControlKind::kColourPicker) {
      EXPECT_EQ(window_->Text(definition.id), definition.caption);
    }
    EXPECT_TRUE(IsWindowEnabled(control));
  }
}

TEST_F(MainWindowTest, StartsAsTheDefinitionSays) {
  // A few facts checked on their own, not through the definition's table.
  EXPECT_EQ(PlaceOf(编辑框_内容).left, 7);
  EXPECT_EQ(PlaceOf(图片框_二维码显示).right - PlaceOf(图片框_二维码显示).left, 147);
  RECT client;
  GetClientRect(Of(图片框_二维码显示), &client);
  EXPECT_EQ(client.right, 145);
  EXPECT_EQ(client.bottom, 133);

  EXPECT_EQ(window_->current_page(), 0);
  EXPECT_TRUE(IsWindowVisible(Of(编辑框_内容)));
  EXPECT_FALSE(IsWindowVisible(Of(编辑框_解码)));

  EXPECT_EQ(window_->Colour(颜色选择器_前景颜色), 0x000000u);
  EXPECT_EQ(window_->Colour(颜色选择器_背景颜色), 0xFFFFFFu);
  for (ControlId picker : {颜色选择器_渐变颜色, 颜色选择器_外框颜色, 颜色选择器_内点颜色})
    EXPECT_EQ(window_->Colour(picker), 0x000000u);
  EXPECT_EQ(window_->SelectedIndex(组合框_纠错等级), 0);
  EXPECT_EQ(SendMessageW(Of(组合框_纠错等级), CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(window_->SelectedIndex(组合框_加密类型), 0);
  wchar_t item[16];
  SendMessageW(Of(组合框_加密类型), CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(text::Narrow(item), "无加密");

  EXPECT_EQ(window_->Text(编辑框_网址), "http://");
  EXPECT_EQ(window_->Text(编辑框_名片网址), "http://");
  EXPECT_EQ(window_->Text(编辑框_内容), "");
  EXPECT_EQ(window_->Text(标签_字数), "已输入字数：");
  EXPECT_FALSE(GetWindowLongPtrW(Of(编辑框_密码), GWL_STYLE) & ES_PASSWORD);
  EXPECT_TRUE(GetWindowLongPtrW(Of(编辑框_内容), GWL_STYLE) & ES_MULTILINE);
  EXPECT_FALSE(GetWindowLongPtrW(Of(编辑框_姓名), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(MainWindowTest, HiddenMenusHoldTheirItems) {
  auto items = [](HMENU menu) {
    std::vector<std::string> names;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t name[32];
      GetMenuStringW(menu, static_cast<UINT>(i), name, 32, MF_BYPOSITION);
      names.push_back(text::Narrow(name));
    }
    return names;
  };
  EXPECT_EQ(items(window_->picture_menu()), (std::vector<std::string>{"删除二维码", "保存二维码"}));
  EXPECT_EQ(items(window_->decode_menu()), (std::vector<std::string>{"打开图片", "清空内容", "保存内容"}));
}

TEST_F(MainWindowTest, PageLabelsSwitchPagesAndMoveTheIndicator) {
  const struct {
    ControlId label;
    int page;
    ControlId shown;
    POINT indicator;
  } cases[] = {
      {标签_文本, 0, 编辑框_内容, {61, 14}},   // already shown: nothing changes
      {标签_解码, 5, 编辑框_解码, {61, 154}},
      {标签_名片, 1, 编辑框_姓名, {61, 42}},
      {标签_网址, 2, 编辑框_网址, {61, 70}},
      {标签_短信, 3, 编辑框_短信, {61, 98}},
      {标签_wifi, 4, 编辑框_网络账号, {61, 126}},
      {标签_wifi, 4, 编辑框_网络账号, {61, 126}},
      {标签_文本, 0, 编辑框_内容, {61, 14}},
  };
  EXPECT_EQ(IndicatorPlace().x, 61);
  EXPECT_EQ(IndicatorPlace().y, 14);
  for (const auto& c : cases) {
    Press(c.label);
    EXPECT_EQ(window_->current_page(), c.page);
    EXPECT_TRUE(IsWindowVisible(Of(c.shown)));
    EXPECT_EQ(IndicatorPlace().x, c.indicator.x);
    EXPECT_EQ(IndicatorPlace().y, c.indicator.y);
    RECT size = PlaceOf(画板1);
    EXPECT_EQ(size.right - size.left, 3);
    EXPECT_EQ(size.bottom - size.top, 25);
  }
  // Switching pages keeps what was typed.
  window_->SetText(编辑框_内容, "kept");
  Press(标签_解码);
  Press(标签_文本);
  EXPECT_EQ(window_->Text(编辑框_内容), "kept");
}

TEST_F(MainWindowTest, IndicatorDrawsTheFrameLinesAcrossItsTopAndBottom) {
  HWND canvas = Of(画板1);
  RedrawWindow(window_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(canvas);
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(GetPixel(dc, x, 0), RGB(145, 167, 180));
    EXPECT_EQ(GetPixel(dc, x, 12), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, x, 24), RGB(145, 167, 180));
  }
  ReleaseDC(canvas, dc);
}

TEST_F(MainWindowTest, CounterTicksEveryHundredMilliseconds) {
  window_->PumpEvents(350);
  EXPECT_EQ(window_->Text(标签_字数), "已输入字数：7/300");
  window_->SetText(编辑框_内容, "二维码");
  window_->PumpEvents(250);
  EXPECT_EQ(window_->Text(标签_字数), "已输入字数：10/300");
}

TEST_F(MainWindowTest, ColourPickerTakesTheChosenColour) {
  dialogs_.chosen_colours = {RGB(1, 2, 3), std::nullopt};
  SendMessageW(Of(颜色选择器_前景颜色), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(window_->Colour(颜色选择器_前景颜色), 0x030201u);
  SendMessageW(Of(颜色选择器_前景颜色), WM_LBUTTONDOWN, MK_LBUTTON, 0);  // cancelled
  EXPECT_EQ(window_->Colour(颜色选择器_前景颜色), 0x030201u);
  EXPECT_EQ(dialogs_.offered_colours, (std::vector<uint32_t>{0, 0x030201u}));
}

TEST_F(MainWindowTest, EscClosesAndEnterIsLeftToMultiLineBoxes) {
  auto key_down = [](HWND target, WPARAM key) { return MSG{target, WM_KEYDOWN, key, 0, 0, {}}; };
  MSG enter_single = key_down(Of(编辑框_姓名), VK_RETURN);
  EXPECT_TRUE(window_->PreTranslate(enter_single));
  MSG enter_multi = key_down(Of(编辑框_内容), VK_RETURN);
  EXPECT_FALSE(window_->PreTranslate(enter_multi));
  MSG esc = key_down(Of(编辑框_内容), VK_ESCAPE);
  EXPECT_TRUE(window_->PreTranslate(esc));
  MSG posted;
  ASSERT_TRUE(PeekMessageW(&posted, window_->hwnd(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

}  // namespace
