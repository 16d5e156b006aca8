#include "app/program.h"

#include <cstdlib>

#include "app/main_window.h"
#include "app/win_dialogs.h"

namespace app {

qr::GenerationState& ProgramGenerationState() {
  static qr::GenerationState state;
  return state;
}

void ReleaseProgramTexts() { ProgramGenerationState().Release(); }

int RunProgram(HINSTANCE instance) {
  std::atexit(ReleaseProgramTexts);
  WinDialogs dialogs;
  std::unique_ptr<MainWindow> window = MainWindow::Create(instance, dialogs);
  if (!window) return 0;  // nothing to show: the window definition is fixed, so this is the platform failing
  dialogs.set_owner(window->hwnd());
  ShowWindow(window->hwnd(), SW_SHOWNORMAL);
  UpdateWindow(window->hwnd());
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window->PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace app
