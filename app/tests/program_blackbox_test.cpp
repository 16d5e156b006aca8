// Zenqar.exe started as a user starts it, found by its caption, closed with Esc.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\Zenqar.exe";
}

HWND WaitForWindow(const wchar_t* caption, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    if (HWND found = FindWindowW(nullptr, caption)) return found;
    Sleep(50);
  }
  return nullptr;
}

TEST(Program, OpensItsWindowAndEscEndsItWithExitCodeZero) {
  std::wstring command = L"\"" + ProgramPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));

  HWND window = WaitForWindow(L"Zenqar", 20000);
  ASSERT_NE(window, nullptr);
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 376);
  EXPECT_EQ(outer.bottom - outer.top, 382);

  // Esc goes to whichever control has the focus.
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  HWND focus = gui.hwndFocus != nullptr ? gui.hwndFocus : window;
  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);

  ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
