// The main window's definition as data: every control with its kind, parent,
// place, size, caption and the settings its behaviour depends on.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "app/control_ids.h"

namespace app {

enum class ControlKind {
  kGroupBox,
  kTabControl,
  kPageLabel,
  kCanvas,
  kPictureBox,
  kLabel,
  kTransparentLabel,
  kEdit,
  kMultiLineEdit,
  kButton,
  kColourPicker,
  kComboBox,
};

constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return r | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// Caption colour of labels, group boxes and edit boxes unless a control says otherwise.
constexpr uint32_t kCaptionGrey = Rgb(96, 96, 96);
// The page labels' frame, the tab control's frame and the page indicator's lines.
constexpr uint32_t kFrameColour = Rgb(145, 167, 180);
constexpr int kPageCount = 6;

struct ControlSpec {
  ControlId id;
  ControlKind kind;
  // The container: the main window when empty, else a group box or the tab control.
  std::optional<ControlId> parent;
  int page;  // the tab control's page that holds it, or -1
  int left, top, width, height;
  const char* caption;  // GBK; the initial content of an edit box
  uint32_t text_colour = kCaptionGrey;
  // The background; a colour picker's starting colour.
  std::optional<uint32_t> background = std::nullopt;
  const char* tag = "";  // the page labels' tags "1" to "6"
};

// In creation order: containers come before what they hold, and the page
// indicator after the controls it lies above.
std::span<const ControlSpec> MainWindowControls();
const ControlSpec& SpecOf(ControlId id);

constexpr int kMainWindowWidth = 376;
constexpr int kMainWindowHeight = 382;

// The items of a drop-down list, GBK.
std::span<const char* const> ComboItems(ControlId id);

// The two hidden menus, shown only as context menus.
struct MenuSpec {
  const char* caption;
  std::span<const char* const> items;
};
const MenuSpec& PictureMenu();  // "菜单"
const MenuSpec& DecodeMenu();   // "解码"

}  // namespace app
