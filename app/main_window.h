// The main window: every control of the window definition, the page labels
// and indicator, the input counter timer and the hidden menus. It implements
// the commands' view of the window.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "app/control_ids.h"
#include "app/controls.h"
#include "app/dialogs.h"
#include "app/event_bindings.h"

namespace app {

class MainWindow final : public Controls {
 public:
  // Creates the window with all its controls (not yet shown); null on failure.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, Dialogs& dialogs);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return window_; }
  HWND control(ControlId id) const { return controls_[static_cast<size_t>(id)]; }
  HMENU picture_menu() const { return GetSubMenu(hidden_menus_, 0); }
  HMENU decode_menu() const { return GetSubMenu(hidden_menus_, 1); }
  // The page the tab control shows, 0 to 5.
  int current_page() const { return current_page_; }

  // The window's own keys, before a message is dispatched: Esc closes the
  // program, Enter is ignored outside multi-line boxes, Tab moves the focus.
  // True when the message was consumed.
  bool PreTranslate(MSG& message);

  // Controls
  std::string Text(ControlId id) const override;
  void SetText(ControlId id, std::string_view text) override;
  uint32_t Colour(ControlId id) const override;
  int SelectedIndex(ControlId id) const override;
  void SetPicture(const Bytes& image) override;
  void PumpEvents(int milliseconds) override;
  void* WindowHandle(ControlId id) const override { return control(id); }

 private:
  explicit MainWindow(Dialogs& dialogs);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void OnCreate();
  void OnMainWindowCreated();
  void OnCommand(int id, WORD code, HWND source);
  LRESULT OnControlColour(HDC dc, HWND control_window);
  bool OnSetCursor(HWND under_cursor);

  void CreateControls();
  HWND CreateControl(const struct ControlSpec& definition);
  HWND ParentWindowOf(const ControlSpec& definition) const;
  void CreateHiddenMenus();

  // Page navigation.
  void OnPageLabelPressed(HWND label);
  void ShowPage(int page);
  void PlacePageIndicator(ControlId label);
  void RouteEvents(ControlId from, ControlId to);

  std::optional<ControlId> IdOf(HWND control_window) const;

  Dialogs& dialogs_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP page_label_tile_ = nullptr;
  HBRUSH white_brush_ = nullptr;
  HMENU hidden_menus_ = nullptr;
  std::array<HWND, static_cast<size_t>(ControlId::kCount)> controls_{};
  std::array<HWND, 6> pages_{};
  // Which control's handlers a control's events run: set up at creation for
  // the page labels.
  std::array<ControlId, static_cast<size_t>(ControlId::kCount)> event_route_{};
  int current_page_ = 0;
  std::unique_ptr<EventBindings> bindings_;
};

}  // namespace app
