// The seven functions the program binds by name: stdcall, 32-bit integers,
// undecorated names (PsyQrDcd.def). Each query answers from the latest
// DecodePictureFile; an index outside the latest results gets an empty
// answer, never a crash.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "psyqrdcd/decode_results.h"
#include "psyqrdcd/picture_file.h"
#include "psyqrdcd/result_codes.h"
#include "reader/qr_reader.h"

namespace psyqrdcd {
namespace {

// The library's one piece of state, as its calling convention demands.
struct State {
  std::mutex mutex;
  DecodeResults results;
};

State& Shared() {
  static State state;
  return state;
}

// Paths arrive in the system code page.
std::wstring WidePath(const char* path) {
  int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (length <= 1) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

int32_t Decode(const char* path, DecodeResults& results) {
  if (path == nullptr || *path == '\0') return kFileNotFound;
  std::wstring wide = WidePath(path);
  if (wide.empty()) return kFileNotFound;
  PictureLoad load = LoadGreyPicture(wide);
  if (load.failure != kNoSymbol) return load.failure;
  results.Replace(ToRecords(qr::ReadSymbols(load.grey->View()), load.grey->factor()));
  return results.Count();
}

}  // namespace
}  // namespace psyqrdcd

using psyqrdcd::Shared;

extern "C" {

int32_t WINAPI DecodePictureFile(const char* path) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  psyqrdcd::DecodeResults& results = Shared().results;
  results.Clear();
  try {
    return psyqrdcd::Decode(path, results);
  } catch (const std::bad_alloc&) {
    results.Clear();
    return psyqrdcd::kOutOfMemory;
  } catch (...) {
    results.Clear();
    return psyqrdcd::kReadError;
  }
}

int32_t WINAPI GetDecodeVersion(int32_t index) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  const psyqrdcd::SymbolRecord* r = Shared().results.At(index);
  return r ? r->version : 0;
}

// -1 for no symbol: 0 would claim level L.
int32_t WINAPI GetDecodeLevel(int32_t index) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  const psyqrdcd::SymbolRecord* r = Shared().results.At(index);
  return r ? r->level : -1;
}

int32_t WINAPI GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  const psyqrdcd::SymbolRecord* r = Shared().results.At(index);
  if (position != nullptr) *position = r ? r->append_position : 0;
  if (parity != nullptr) *parity = r ? r->append_parity : 0;
  return r ? r->append_total : 0;
}

// Owned by the library until FreeAllocateMemory or the next decode.
const char* WINAPI GetDecodeDataString(int32_t index) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  const psyqrdcd::SymbolRecord* r = Shared().results.At(index);
  return r ? r->utf8.c_str() : nullptr;
}

// 1 when the symbol exists; otherwise the eight values are zeros and 0 is returned.
int32_t WINAPI GetSymbolePosition(int32_t index, int32_t* corners) {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  const psyqrdcd::SymbolRecord* r = Shared().results.At(index);
  constexpr size_t kBytes = sizeof(psyqrdcd::SymbolRecord::corners);
  if (corners != nullptr) {
    if (r) {
      std::memcpy(corners, r->corners.data(), kBytes);
    } else {
      std::memset(corners, 0, kBytes);
    }
  }
  return r ? 1 : 0;
}

int32_t WINAPI FreeAllocateMemory() {
  std::lock_guard<std::mutex> lock(Shared().mutex);
  Shared().results.Clear();
  return 0;
}

}  // extern "C"
