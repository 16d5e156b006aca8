#include "app/main_window.h"

#include <commctrl.h>

#include "app/picture_box.h"
#include "app/shell_commands.h"
#include "app/win_controls.h"
#include "app/window_layout.h"
#include "resources/pictures.h"
#include "text/wide.h"

namespace app {

namespace {

using enum ControlId;

constexpr wchar_t kMainWindowClass[] = L"ZenqarMainWindow";
constexpr UINT_PTR kCounterTimer = 1;
constexpr UINT kCounterIntervalMs = 100;
// Control ids start above the dialog manager's IDOK and IDCANCEL.
constexpr int kFirstControlId = 1000;

int WindowIdOf(ControlId id) { return kFirstControlId + static_cast<int>(id); }

RECT PlaceOf(const ControlSpec& definition) {
  return {definition.left, definition.top, definition.left + definition.width, definition.top + definition.height};
}

HBITMAP BitmapFromBmpFile(const std::vector<uint8_t>& file) {
  if (file.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return nullptr;
  const auto* header = reinterpret_cast<const BITMAPFILEHEADER*>(file.data());
  const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof(BITMAPFILEHEADER));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, file.data() + header->bfOffBits, info,
                                  DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

void RegisterMainWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(resources::kWindowIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resources::kWindowIconId),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kMainWindowClass;
  RegisterClassExW(&window_class);
}

int WindowHeight(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

// A drop-down list's closed height follows its selection field's height.
// Platforms differ in what they add to the height asked for, so adjust the
// request by what each try measures.
void SetClosedComboHeight(HWND combo, int height) {
  auto asked = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int tries = 0; tries < 3 && WindowHeight(combo) != height; ++tries) {
    asked += height - WindowHeight(combo);
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), asked);
  }
}

// Right presses on the decode box and the picture box open context menus
// instead of the controls' own behaviour.
LRESULT CALLBACK RightPressProc(HWND control_window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                DWORD_PTR bindings) {
  switch (message) {
    case WM_RBUTTONDOWN:
      reinterpret_cast<EventBindings*>(bindings)->OnRightPressed(
          static_cast<ControlId>(GetDlgCtrlID(control_window) - kFirstControlId));
      return 0;
    case WM_CONTEXTMENU:
      return 0;
    default:
      return DefSubclassProc(control_window, message, wparam, lparam);
  }
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, Dialogs& dialogs) {
  RegisterMainWindowClass(instance, WindowProc);
  RegisterControlClasses(instance);
  std::unique_ptr<MainWindow> window(new MainWindow(dialogs));
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  // A fixed single frame with a minimise button and no maximise button.
  CreateWindowExW(0, kMainWindowClass, L"Zenqar", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                  left, top, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, window.get());
  if (window->window_ == nullptr) return nullptr;
  return window;
}

MainWindow::MainWindow(Dialogs& dialogs) : dialogs_(dialogs) {
  for (size_t i = 0; i < event_route_.size(); ++i) event_route_[i] = static_cast<ControlId>(i);
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  DestroyMenu(hidden_menus_);
  DeleteObject(font_);
  DeleteObject(page_label_tile_);
  DeleteObject(white_brush_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_TIMER:
      if (wparam == kCounterTimer) bindings_->OnCounterTick();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wparam))) return TRUE;
      break;
    case WM_DESTROY:
      KillTimer(window_, kCounterTimer);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void MainWindow::OnCreate() {
  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  page_label_tile_ = BitmapFromBmpFile(resources::PageLabelPicture());
  white_brush_ = CreateSolidBrush(RGB(255, 255, 255));
  bindings_ = std::make_unique<EventBindings>(*this, dialogs_);
  CreateControls();
  CreateHiddenMenus();
  OnMainWindowCreated();
  SetTimer(window_, kCounterTimer, kCounterIntervalMs, nullptr);
}

void MainWindow::OnMainWindowCreated() {
  SetPicture(resources::StartPicture());
  for (ControlId label : {标签_名片, 标签_网址, 标签_短信, 标签_wifi, 标签_解码}) RouteEvents(label, 标签_文本);
  PlacePageIndicator(标签_文本);
}

void MainWindow::CreateControls() {
  for (const ControlSpec& definition : MainWindowControls()) {
    HWND created = CreateControl(definition);
    controls_[static_cast<size_t>(definition.id)] = created;
    SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // After the font, which resets a drop-down list's height.
    if (definition.kind == ControlKind::kComboBox) SetClosedComboHeight(created, definition.height);
  }
  // Transparent labels lie below their siblings: where one overlaps an edit
  // box, the box shows.
  for (const ControlSpec& definition : MainWindowControls())
    if (definition.kind == ControlKind::kTransparentLabel)
      SetWindowPos(control(definition.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (ControlId id : {编辑框_解码, 图片框_二维码显示})
    SetWindowSubclass(control(id), RightPressProc, 0, reinterpret_cast<DWORD_PTR>(bindings_.get()));
}

HWND MainWindow::ParentWindowOf(const ControlSpec& definition) const {
  if (!definition.parent) return window_;
  if (*definition.parent == 高级选择夹1) return pages_[static_cast<size_t>(definition.page)];
  return control(*definition.parent);
}

HWND MainWindow::CreateControl(const ControlSpec& definition) {
  HWND parent = ParentWindowOf(definition);
  const RECT place = PlaceOf(definition);
  const int id = WindowIdOf(definition.id);
  auto standard = [&](const wchar_t* window_class, DWORD style) {
    return CreateWindowExW(0, window_class, text::Wide(definition.caption).c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, definition.left, definition.top, definition.width,
                           definition.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
  };
  switch (definition.kind) {
    case ControlKind::kGroupBox: {
      HWND group = CreatePanel(parent, PanelStyle::kGroupBox, place, id, definition.text_colour);
      SetWindowTextW(group, text::Wide(definition.caption).c_str());
      return group;
    }
    case ControlKind::kTabControl: {
      HWND tab = CreatePanel(parent, PanelStyle::kFramed, place, id, kFrameColour);
      // Pages fill the tab control inside its frame; only page 0 shows at start.
      const RECT page_place{1, 1, definition.width - 1, definition.height - 1};
      for (size_t page = 0; page < pages_.size(); ++page) {
        pages_[page] = CreatePanel(tab, PanelStyle::kPlain, page_place, 0, kCaptionGrey);
        if (page != 0) ShowWindow(pages_[page], SW_HIDE);
      }
      return tab;
    }
    case ControlKind::kPageLabel: {
      HWND label = CreatePageLabel(parent, place, id, page_label_tile_);
      SetWindowTextW(label, text::Wide(definition.caption).c_str());
      return label;
    }
    case ControlKind::kCanvas:
      return CreateCanvas(parent, place, id);
    case ControlKind::kPictureBox:
      return CreatePictureBox(parent, definition.left, definition.top, definition.width, definition.height, id);
    case ControlKind::kLabel:
    case ControlKind::kTransparentLabel:
      return standard(L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX);
    case ControlKind::kEdit: {
      HWND edit = standard(L"EDIT", WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL);
      SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // no length limit
      return edit;
    }
    case ControlKind::kMultiLineEdit: {
      // Wraps at its right edge: no horizontal scrolling, no scroll bars.
      HWND edit = standard(L"EDIT", WS_BORDER | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL);
      SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
      return edit;
    }
    case ControlKind::kButton:
      return standard(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER);
    case ControlKind::kColourPicker:
      return CreateColourPicker(parent, place, id, definition.background.value_or(0));
    case ControlKind::kComboBox: {
      HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP |
                                                            WS_VSCROLL | CBS_DROPDOWNLIST,
                                   definition.left, definition.top, definition.width, definition.height + 120, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)), nullptr);
      for (const char* item : ComboItems(definition.id))
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text::Wide(item).c_str()));
      SendMessageW(combo, CB_SETCURSEL, 0, 0);
      return combo;
    }
  }
  return nullptr;
}

void MainWindow::CreateHiddenMenus() {
  // Top-level menus of the window that are never attached as its menu bar.
  hidden_menus_ = CreateMenu();
  UINT item_id = 1;
  for (const MenuSpec* definition : {&PictureMenu(), &DecodeMenu()}) {
    HMENU popup = CreatePopupMenu();
    for (const char* item : definition->items) AppendMenuW(popup, MF_STRING, item_id++, text::Wide(item).c_str());
    AppendMenuW(hidden_menus_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text::Wide(definition->caption).c_str());
  }
}

std::optional<ControlId> MainWindow::IdOf(HWND control_window) const {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i] == control_window && control_window != nullptr) return static_cast<ControlId>(i);
  return std::nullopt;
}

void MainWindow::OnCommand(int window_id, WORD code, HWND source) {
  const int index = window_id - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(ControlId::kCount)) return;
  const auto id = static_cast<ControlId>(index);
  const ControlKind kind = SpecOf(id).kind;
  if (code == kNotifyPressed && kind == ControlKind::kPageLabel) {
    if (event_route_[static_cast<size_t>(id)] == 标签_文本) OnPageLabelPressed(source);
  } else if (code == kNotifyPressed && kind == ControlKind::kColourPicker) {
    if (auto colour = dialogs_.ChooseColour(PickerColour(source))) SetPickerColour(source, *colour & 0xFFFFFF);
  } else if (code == BN_CLICKED && kind == ControlKind::kButton) {
    bindings_->OnClicked(id);
  }
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control_window) {
  const std::optional<ControlId> id = IdOf(control_window);
  if (!id) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  const ControlSpec& definition = SpecOf(*id);
  SetTextColor(dc, definition.text_colour);
  if (definition.kind == ControlKind::kTransparentLabel) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
  }
  const bool white = definition.kind == ControlKind::kEdit || definition.kind == ControlKind::kMultiLineEdit ||
                     definition.background == RGB(255, 255, 255);
  SetBkColor(dc, white ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(white ? white_brush_ : GetSysColorBrush(COLOR_BTNFACE));
}

bool MainWindow::OnSetCursor(HWND under_cursor) {
  // The colour pickers carry the hand cursor in their class; the level box gets it here.
  if (under_cursor != control(组合框_纠错等级)) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

void MainWindow::RouteEvents(ControlId from, ControlId to) { event_route_[static_cast<size_t>(from)] = to; }

void MainWindow::OnPageLabelPressed(HWND label) {
  const std::optional<ControlId> id = IdOf(label);
  if (!id) return;
  const std::optional<int> page = PageOfTag(SpecOf(*id).tag);
  if (!page) return;
  ShowPage(*page);
  PlacePageIndicator(*id);
}

void MainWindow::ShowPage(int page) {
  for (size_t i = 0; i < pages_.size(); ++i)
    ShowWindow(pages_[i], static_cast<int>(i) == page ? SW_SHOW : SW_HIDE);
  current_page_ = page;
}

void MainWindow::PlacePageIndicator(ControlId label) {
  // The label and the canvas share a parent, so its coordinates serve both.
  HWND label_window = control(label);
  RECT place;
  GetWindowRect(label_window, &place);
  MapWindowPoints(nullptr, GetParent(label_window), reinterpret_cast<POINT*>(&place), 2);
  HWND canvas = control(画板1);
  SetWindowPos(canvas, HWND_TOP, place.right - 2, place.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetCanvasPen(canvas, kFrameColour);
  DrawCanvasLine(canvas, {0, 0}, {10, 0});
  DrawCanvasLine(canvas, {0, 24}, {10, 24});
}

// --- Controls ------------------------------------------------------------------

std::string MainWindow::Text(ControlId id) const {
  HWND control_window = control(id);
  std::wstring wide(static_cast<size_t>(GetWindowTextLengthW(control_window)) + 1, L'\0');
  wide.resize(static_cast<size_t>(GetWindowTextW(control_window, wide.data(), static_cast<int>(wide.size()))));
  return text::Narrow(wide);
}

void MainWindow::SetText(ControlId id, std::string_view new_text) {
  SetWindowTextW(control(id), text::Wide(new_text).c_str());
}

uint32_t MainWindow::Colour(ControlId id) const { return PickerColour(control(id)); }

int MainWindow::SelectedIndex(ControlId id) const {
  return static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0));
}

void MainWindow::SetPicture(const Bytes& image) { SetPictureBytes(control(图片框_二维码显示), image); }

void MainWindow::PumpEvents(int milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (message.message == WM_QUIT) return;  // left for the message loop
      PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
      if (!PreTranslate(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

bool MainWindow::PreTranslate(MSG& message) {
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  const bool key = message.message == WM_KEYDOWN || message.message == WM_CHAR;
  // Esc closes the program whichever control has the focus.
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return true;
  }
  // Enter presses no button and moves no focus; a multi-line box takes it.
  if (key && message.wParam == VK_RETURN) {
    const bool multi_line = (GetWindowLongPtrW(message.hwnd, GWL_STYLE) & ES_MULTILINE) != 0 &&
                            IdOf(message.hwnd).has_value() &&
                            SpecOf(*IdOf(message.hwnd)).kind == ControlKind::kMultiLineEdit;
    return !multi_line;
  }
  if (message.message == WM_CHAR && message.wParam == VK_ESCAPE) return true;
  return IsDialogMessageW(window_, &message) != 0;
}

}  // namespace app
