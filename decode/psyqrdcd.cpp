#include "decode/psyqrdcd.h"

#include <windows.h>

#include "text/codepage.h"
#include "win/late_binding.h"

namespace decode {

namespace {

constexpr char kLibrary[] = "PsyQrDcd";

// Bound once for the whole run: the library stays loaded until the program ends.
win::LateBound<int32_t(WINAPI*)(const char*)> decode_picture_file(kLibrary, "DecodePictureFile");
win::LateBound<int32_t(WINAPI*)(int32_t)> get_decode_version(kLibrary, "GetDecodeVersion");
win::LateBound<int32_t(WINAPI*)(int32_t)> get_decode_level(kLibrary, "GetDecodeLevel");
win::LateBound<int32_t(WINAPI*)(int32_t, int32_t*, int32_t*)> get_concatenation_info(kLibrary, "GetConcatenationInfo");
win::LateBound<const char*(WINAPI*)(int32_t)> get_decode_data_string(kLibrary, "GetDecodeDataString");
win::LateBound<int32_t(WINAPI*)(int32_t, int32_t*)> get_symbole_position(kLibrary, "GetSymbolePosition");
win::LateBound<int32_t(WINAPI*)()> free_allocate_memory(kLibrary, "FreeAllocateMemory");

win::LateBound<decltype(&::WideCharToMultiByte)> wide_to_multi_byte("kernel32.dll", "WideCharToMultiByte");

// The program's GBK path in the code page the library reads it in; the same
// bytes on a Chinese system.
std::string ToSystemCodePage(const std::string& gbk) {
  const std::u16string units = text::GbkToUtf16(gbk);
  const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
  const int count = static_cast<int>(units.size());
  const int bytes = wide_to_multi_byte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string converted(static_cast<size_t>(bytes), '\0');
  wide_to_multi_byte(CP_ACP, 0, wide, count, converted.data(), bytes, nullptr, nullptr);
  return converted;
}

}  // namespace

int32_t PsyQrDcd::DecodePictureFile(const std::string& path) {
  const std::string system_path = ToSystemCodePage(path);
  return decode_picture_file(system_path.c_str());
}
int32_t PsyQrDcd::GetDecodeVersion(int32_t index) { return get_decode_version(index); }
int32_t PsyQrDcd::GetDecodeLevel(int32_t index) { return get_decode_level(index); }
int32_t PsyQrDcd::GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) {
  return get_concatenation_info(index, position, parity);
}
const char* PsyQrDcd::GetDecodeDataString(int32_t index) { return get_decode_data_string(index); }
int32_t PsyQrDcd::GetSymbolePosition(int32_t index, int32_t* corners) {
  return get_symbole_position(index, corners);
}
int32_t PsyQrDcd::FreeAllocateMemory() { return free_allocate_memory(); }

}  // namespace decode
