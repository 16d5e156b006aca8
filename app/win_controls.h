// The window classes of our own controls, thin Win32 wrappers:
// containers (group boxes, the tab control and its pages), page labels, the
// page indicator canvas and colour pickers. They tell the main window about
// their events by WM_COMMAND with the codes below.
#pragma once

#include <windows.h>

#include <cstdint>

namespace app {

enum NotifyCode : WORD {
  kNotifyPressed = 0x7001,  // a page label or colour picker got a left button press
};

enum class PanelStyle { kPlain, kGroupBox, kFramed };

void RegisterControlClasses(HINSTANCE instance);

// A container that forwards its children's notifications to the main window.
HWND CreatePanel(HWND parent, PanelStyle style, const RECT& place, int id, COLORREF caption_colour);

// A page label: a tiled background picture and a centred caption.
HWND CreatePageLabel(HWND parent, const RECT& place, int id, HBITMAP tile);

// A white canvas that keeps what is drawn on it.
HWND CreateCanvas(HWND parent, const RECT& place, int id);
void SetCanvasPen(HWND canvas, COLORREF colour);
void DrawCanvasLine(HWND canvas, POINT from, POINT to);

// A swatch of its colour that opens a chooser when pressed (the main window
// answers the press).
HWND CreateColourPicker(HWND parent, const RECT& place, int id, COLORREF colour);
COLORREF PickerColour(HWND picker);
void SetPickerColour(HWND picker, COLORREF colour);

}  // namespace app
