// Files for the Windows save tests: reading back, listing, a scratch folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "save/bmp_file.h"
#include "text/codepage.h"

namespace save {

inline std::wstring Wide(std::string_view gbk) {
  const std::u16string units = text::GbkToUtf16(gbk);
  return std::wstring(units.begin(), units.end());
}

inline Bytes ReadAll(const std::string& gbk_path) {
  HANDLE file = CreateFileW(Wide(gbk_path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  Bytes bytes(GetFileSize(file, nullptr));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

inline Bytes AsBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Names in `folder` (GBK), to find leftovers.
inline std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(text::Utf16ToGbk(std::u16string(name.begin(), name.end())));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// A fresh folder with a Chinese name, removed with its files afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::u16string base(temp, temp + wcslen(temp));
    path_ = text::Utf16ToGbk(base) + "保存测试_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(Wide(path_).c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const std::string& name : FilesIn(path_)) {
      const std::wstring file = Wide(path_ + "\\" + name);
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(file.c_str())) RemoveDirectoryW(file.c_str());
    }
    RemoveDirectoryW(Wide(path_).c_str());
  }
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace save
