// Black-box: a decode without PsyQrDcd.dll shows the fatal box and the
// process ends with exit code -1 once the box is closed.
#include <windows.h>

#include <gtest/gtest.h>

#include "decode/tests/box_driver.h"
#include "text/codepage.h"

namespace decode::testing {
namespace {

std::wstring Wide(std::string_view gbk) {
  const std::u16string units = text::GbkToUtf16(gbk);
  return std::wstring(units.begin(), units.end());
}

std::wstring ProbeBesideThisTest() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  *(wcsrchr(path, L'\\') + 1) = L'\0';
  return std::wstring(path) + L"decode_missing_library_probe.exe";
}

TEST(MissingLibrary, FatalBoxNamesTheFunctionAndTheProcessEndsWithMinusOne) {
  const std::wstring probe = ProbeBesideThisTest();
  std::wstring folder = probe.substr(0, probe.rfind(L'\\'));
  ASSERT_EQ(GetFileAttributesW((folder + L"\\PsyQrDcd.dll").c_str()), INVALID_FILE_ATTRIBUTES)
      << "the library must be missing from the probe's folder";

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + probe + L"\"";
  ASSERT_TRUE(CreateProcessW(probe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &startup, &process));

  const FoundBox box = WaitForBox(process.dwProcessId, Wide("错误"), 20000);
  ASSERT_NE(box.window, nullptr) << "no box with the caption 错误";
  EXPECT_EQ(box.text, Wide("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“PsyQrDcd”中的输出命令“DecodePictureFile”\r\n"));
  EXPECT_TRUE(box.has_icon);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "ended before the box closed";

  PressOk(box.window);
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  DWORD exit_code = 0;
  GetExitCodeProcess(process.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0xFFFFFFFFu);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace decode::testing
