// Finds the message boxes another process shows and answers them as a user
// would: by caption, reading the text, pressing OK.
#pragma once

#include <windows.h>

#include <string>

namespace decode::testing {

struct FoundBox {
  HWND window = nullptr;
  std::wstring text;
  bool has_icon = false;
};

namespace detail {

struct BoxSearch {
  DWORD process;
  const std::wstring* caption;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  if (owner == search.process && IsWindowVisible(window) && *search.caption == title) search.found = window;
  return search.found == nullptr;
}

inline BOOL CALLBACK MatchIcon(HWND child, LPARAM context) {
  wchar_t kind[32] = {};
  GetClassNameW(child, kind, 32);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  const bool shows_icon = IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0;
  if (lstrcmpiW(kind, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && shows_icon) {
    *reinterpret_cast<bool*>(context) = true;
  }
  return TRUE;
}

}  // namespace detail

// The first visible top-level window of `process` with `caption`, waiting up
// to `timeout_ms`; window is null when none appeared.
inline FoundBox WaitForBox(DWORD process, const std::wstring& caption, DWORD timeout_ms) {
  detail::BoxSearch search{process, &caption};
  const DWORD start = GetTickCount();
  while (search.found == nullptr && GetTickCount() - start < timeout_ms) {
    EnumWindows(detail::MatchBox, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(50);
  }
  FoundBox box{search.found, L"", false};
  if (box.window == nullptr) return box;
  wchar_t text[1024] = {};
  GetDlgItemTextW(box.window, 0xFFFF, text, 1024);  // a message box's text control
  box.text = text;
  EnumChildWindows(box.window, detail::MatchIcon, reinterpret_cast<LPARAM>(&box.has_icon));
  return box;
}

inline void PressOk(HWND box) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

}  // namespace decode::testing
