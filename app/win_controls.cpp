#include "app/win_controls.h"

#include <memory>

namespace app {

namespace {

constexpr wchar_t kPanelClass[] = L"ZenqarPanel";
constexpr wchar_t kPageLabelClass[] = L"ZenqarPageLabel";
constexpr wchar_t kCanvasClass[] = L"ZenqarCanvas";
constexpr wchar_t kColourPickerClass[] = L"ZenqarColourPicker";

template <typename State>
State* StateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Each control keeps its state on the heap behind GWLP_USERDATA, from
// WM_NCCREATE (where CreateWindow hands it over) to WM_NCDESTROY.
template <typename State>
bool AttachOrDetach(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return true;
  }
  if (message == WM_NCDESTROY) {
    delete StateOf<State>(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return true;
  }
  return false;
}

// Window classes of our own keep their font themselves: DefWindowProc doesn't.
bool HandleFontMessage(HFONT& font, UINT message, WPARAM wparam, LRESULT& result) {
  if (message == WM_SETFONT) {
    font = reinterpret_cast<HFONT>(wparam);
    result = 0;
    return true;
  }
  if (message == WM_GETFONT) {
    result = reinterpret_cast<LRESULT>(font);
    return true;
  }
  return false;
}

void NotifyMainWindow(HWND control, WORD code) {
  SendMessageW(GetAncestor(control, GA_ROOT), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

HWND CreateChild(const wchar_t* window_class, HWND parent, const RECT& place, int id, DWORD style,
                 void* state, const wchar_t* caption = L"") {
  return CreateWindowExW(0, window_class, caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                         place.left, place.top, place.right - place.left, place.bottom - place.top,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), state);
}

// --- Panels ----------------------------------------------------------------

struct PanelState {
  PanelStyle style;
  COLORREF caption_colour;
  HFONT font = nullptr;
};

void PaintGroupFrame(HWND panel, HDC dc, const PanelState& state) {
  RECT client;
  GetClientRect(panel, &client);
  wchar_t caption[64] = L"";
  const int length = GetWindowTextW(panel, caption, 64);
  SelectObject(dc, state.font);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT frame = client;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (length == 0) return;
  SIZE extent;
  GetTextExtentPoint32W(dc, caption, length, &extent);
  RECT label{8, 0, 8 + extent.cx + 4, metrics.tmHeight};
  FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, state.caption_colour);
  TextOutW(dc, label.left + 2, 0, caption, length);
}

void PaintPanel(HWND panel, const PanelState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(panel, &paint);
  if (state.style == PanelStyle::kGroupBox) PaintGroupFrame(panel, dc, state);
  if (state.style == PanelStyle::kFramed) {
    RECT client;
    GetClientRect(panel, &client);
    HBRUSH frame = CreateSolidBrush(state.caption_colour);
    FrameRect(dc, &client, frame);
    DeleteObject(frame);
  }
  EndPaint(panel, &paint);
}

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  PanelState* state = StateOf<PanelState>(panel);
  if (AttachOrDetach<PanelState>(panel, message, lparam) || state == nullptr)
    return DefWindowProcW(panel, message, wparam, lparam);
  if (LRESULT result; HandleFontMessage(state->font, message, wparam, result)) return result;
  switch (message) {
    case WM_PAINT:
      PaintPanel(panel, *state);
      return 0;
    // What children tell their parent is the main window's business.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_SETCURSOR:
      return SendMessageW(GetAncestor(panel, GA_ROOT), message, wparam, lparam);
    default:
      return DefWindowProcW(panel, message, wparam, lparam);
  }
}

// --- Page labels -------------------------------------------------------------

struct PageLabelState {
  HBITMAP tile;
  HFONT font = nullptr;
};

void PaintPageLabel(HWND label, const PageLabelState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(label, &paint);
  RECT client;
  GetClientRect(label, &client);
  HBRUSH pattern = CreatePatternBrush(state.tile);  // tiles from the label's top-left corner
  FillRect(dc, &client, pattern);
  DeleteObject(pattern);
  wchar_t caption[16] = L"";
  const int length = GetWindowTextW(label, caption, 16);
  SelectObject(dc, state.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(96, 96, 96));
  DrawTextW(dc, caption, length, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  EndPaint(label, &paint);
}

LRESULT CALLBACK PageLabelProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
  PageLabelState* state = StateOf<PageLabelState>(label);
  if (AttachOrDetach<PageLabelState>(label, message, lparam) || state == nullptr)
    return DefWindowProcW(label, message, wparam, lparam);
  if (LRESULT result; HandleFontMessage(state->font, message, wparam, result)) return result;
  switch (message) {
    case WM_PAINT:
      PaintPageLabel(label, *state);
      return 0;
    case WM_LBUTTONDOWN:
      NotifyMainWindow(label, kNotifyPressed);
      return 0;
    default:
      return DefWindowProcW(label, message, wparam, lparam);
  }
}

// --- Canvas --------------------------------------------------------------------

struct CanvasState {
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ original_bitmap = nullptr;
  HPEN pen = nullptr;
  HGDIOBJ original_pen = nullptr;
  ~CanvasState() {
    SelectObject(memory, original_pen);
    SelectObject(memory, original_bitmap);
    if (pen != nullptr) DeleteObject(pen);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
};

void InitCanvas(HWND canvas, CanvasState& state) {
  RECT client;
  GetClientRect(canvas, &client);
  HDC screen = GetDC(canvas);
  state.memory = CreateCompatibleDC(screen);
  state.bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(canvas, screen);
  state.original_bitmap = SelectObject(state.memory, state.bitmap);
  state.original_pen = SelectObject(state.memory, GetStockObject(BLACK_PEN));
  FillRect(state.memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

LRESULT CALLBACK CanvasProc(HWND canvas, UINT message, WPARAM wparam, LPARAM lparam) {
  CanvasState* state = StateOf<CanvasState>(canvas);
  if (AttachOrDetach<CanvasState>(canvas, message, lparam) || state == nullptr)
    return DefWindowProcW(canvas, message, wparam, lparam);
  switch (message) {
    case WM_CREATE:
      InitCanvas(canvas, *state);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(canvas, &paint);
      RECT client;
      GetClientRect(canvas, &client);
      BitBlt(dc, 0, 0, client.right, client.bottom, state->memory, 0, 0, SRCCOPY);
      EndPaint(canvas, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(canvas, message, wparam, lparam);
  }
}

// --- Colour pickers ------------------------------------------------------------

struct PickerState {
  COLORREF colour;
};

void PaintPicker(HWND picker, COLORREF colour) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(picker, &paint);
  RECT client;
  GetClientRect(picker, &client);
  DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  HBRUSH fill = CreateSolidBrush(colour);
  FillRect(dc, &client, fill);
  DeleteObject(fill);
  EndPaint(picker, &paint);
}

LRESULT CALLBACK PickerProc(HWND picker, UINT message, WPARAM wparam, LPARAM lparam) {
  PickerState* state = StateOf<PickerState>(picker);
  if (AttachOrDetach<PickerState>(picker, message, lparam) || state == nullptr)
    return DefWindowProcW(picker, message, wparam, lparam);
  switch (message) {
    case WM_PAINT:
      PaintPicker(picker, state->colour);
      return 0;
    case WM_LBUTTONDOWN:
      NotifyMainWindow(picker, kNotifyPressed);
      return 0;
    default:
      return DefWindowProcW(picker, message, wparam, lparam);
  }
}

void RegisterClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HCURSOR cursor) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = cursor;
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClass(instance, kPanelClass, PanelProc, arrow);
  RegisterClass(instance, kPageLabelClass, PageLabelProc, arrow);
  RegisterClass(instance, kCanvasClass, CanvasProc, arrow);
  RegisterClass(instance, kColourPickerClass, PickerProc, LoadCursorW(nullptr, IDC_HAND));
}

HWND CreatePanel(HWND parent, PanelStyle style, const RECT& place, int id, COLORREF caption_colour) {
  // A page paints under its children too: its transparent labels draw only
  // their captions over it. Containers are control parents, so Tab moves
  // through their children.
  const DWORD clip = style == PanelStyle::kPlain ? 0 : WS_CLIPCHILDREN;
  HWND panel = CreateChild(kPanelClass, parent, place, id, clip, new PanelState{style, caption_colour});
  SetWindowLongPtrW(panel, GWL_EXSTYLE, WS_EX_CONTROLPARENT);
  return panel;
}

HWND CreatePageLabel(HWND parent, const RECT& place, int id, HBITMAP tile) {
  return CreateChild(kPageLabelClass, parent, place, id, 0, new PageLabelState{tile});
}

HWND CreateCanvas(HWND parent, const RECT& place, int id) {
  return CreateChild(kCanvasClass, parent, place, id, 0, new CanvasState{});
}

void SetCanvasPen(HWND canvas, COLORREF colour) {
  CanvasState* state = StateOf<CanvasState>(canvas);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  SelectObject(state->memory, pen);
  if (state->pen != nullptr) DeleteObject(state->pen);
  state->pen = pen;
}

void DrawCanvasLine(HWND canvas, POINT from, POINT to) {
  CanvasState* state = StateOf<CanvasState>(canvas);
  MoveToEx(state->memory, from.x, from.y, nullptr);
  LineTo(state->memory, to.x, to.y);
  InvalidateRect(canvas, nullptr, FALSE);
}

HWND CreateColourPicker(HWND parent, const RECT& place, int id, COLORREF colour) {
  return CreateChild(kColourPickerClass, parent, place, id, WS_TABSTOP, new PickerState{colour});
}

COLORREF PickerColour(HWND picker) { return StateOf<PickerState>(picker)->colour; }

void SetPickerColour(HWND picker, COLORREF colour) {
  StateOf<PickerState>(picker)->colour = colour;
  InvalidateRect(picker, nullptr, TRUE);
}

}  // namespace app
