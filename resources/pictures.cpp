#include "resources/pictures.h"

#include <windows.h>

namespace resources {

namespace {

// The resource is part of the program's own image, so failing to find it is
// a build fault; the caller then gets no bytes, as for any unreadable picture.
std::vector<uint8_t> ProgramResourceBytes(int id) {
  HMODULE program = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(program, found);
  const auto* data = loaded != nullptr ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (data == nullptr) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(program, found));
}

}  // namespace

std::vector<uint8_t> StartPicture() { return ProgramResourceBytes(ZENQAR_START_PICTURE_ID); }
std::vector<uint8_t> WorkingPicture() { return ProgramResourceBytes(ZENQAR_WORKING_PICTURE_ID); }
std::vector<uint8_t> PageLabelPicture() { return ProgramResourceBytes(ZENQAR_PAGE_LABEL_PICTURE_ID); }

}  // namespace resources
