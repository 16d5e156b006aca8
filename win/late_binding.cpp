#include "win/late_binding.h"

#include <string>

namespace win {

namespace {

// Converted with the directly linked converter: the late-bound one may be the
// very function that is missing.
std::wstring GbkToWideDirect(const std::string& gbk) {
  const int units = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), units);
  return wide;
}

}  // namespace

std::string MissingExportText(const char* library, const char* function) {
  return std::string("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“") + library +
         "”中的输出命令“" + function + "”\r\n";
}

FARPROC BindExportOrDie(const char* library, const char* function) {
  HMODULE module = LoadLibraryA(library);
  FARPROC address = module != nullptr ? GetProcAddress(module, function) : nullptr;
  if (address != nullptr) return address;
  MessageBoxW(nullptr, GbkToWideDirect(MissingExportText(library, function)).c_str(),
              GbkToWideDirect("错误").c_str(), MB_OK | MB_ICONERROR);
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace win
