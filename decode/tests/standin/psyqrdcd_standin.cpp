// A stand-in PsyQrDcd.dll: the library's seven exports over a scripted
// decoder, plus two exports through which a test scripts it and reads the
// calls it got.
#include <windows.h>

#include "decode/tests/scripted_decoder.h"

namespace {

decode::testing::ScriptedDecoder& Decoder() {
  static decode::testing::ScriptedDecoder decoder;
  return decoder;
}

}  // namespace

#define STANDIN_EXPORT extern "C" __declspec(dllexport)

STANDIN_EXPORT void WINAPI StandInScript(int32_t result, const decode::testing::ScriptedSymbol* symbols,
                                          int32_t count) {
  Decoder().Script(result, symbols, count);
}

STANDIN_EXPORT const char* WINAPI StandInCalls() { return Decoder().Calls().c_str(); }

STANDIN_EXPORT int32_t WINAPI DecodePictureFile(const char* path) { return Decoder().DecodePictureFile(path); }
STANDIN_EXPORT int32_t WINAPI GetDecodeVersion(int32_t index) { return Decoder().GetDecodeVersion(index); }
STANDIN_EXPORT int32_t WINAPI GetDecodeLevel(int32_t index) { return Decoder().GetDecodeLevel(index); }
STANDIN_EXPORT int32_t WINAPI GetConcatenationInfo(int32_t index, int32_t* position, int32_t* parity) {
  return Decoder().GetConcatenationInfo(index, position, parity);
}
STANDIN_EXPORT const char* WINAPI GetDecodeDataString(int32_t index) { return Decoder().GetDecodeDataString(index); }
STANDIN_EXPORT int32_t WINAPI GetSymbolePosition(int32_t index, int32_t* corners) {
  return Decoder().GetSymbolePosition(index, corners);
}
STANDIN_EXPORT int32_t WINAPI FreeAllocateMemory() { return Decoder().FreeAllocateMemory(); }
