// Saving on Windows: window capture, file writing and the program's folder.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "save/bmp_file.h"
#include "save/save_commands.h"

namespace save {

// The window's current on-screen image, border included, as a 24-bit BMP file
// of width x height taken from its top-left corner; empty when `window` is
// not a window.
Bytes CaptureWindowBmp(HWND window, int32_t width, int32_t height);

// Writes a temporary file beside `path` and puts it in place of `path` only
// once every byte is written, so a failed save leaves an earlier file as it
// was. False for an empty path or any failure.
bool WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);

// The folder of this program's file, GBK, without a trailing separator.
std::string RunDirectory();

class WindowsSaveEnvironment final : public SaveEnvironment {
 public:
  // The folder is taken once, at start-up.
  WindowsSaveEnvironment() : run_directory_(save::RunDirectory()) {}

  std::string RunDirectory() const override { return run_directory_; }
  // Measured by the window rectangle, so the border is included.
  app::Bytes CaptureWindowBmp(void* window) override;
  bool WriteFileBytes(const std::string& path, const app::Bytes& bytes) override {
    return save::WriteFileBytes(path, bytes);
  }

 private:
  std::string run_directory_;
};

}  // namespace save
