// The two save commands: the picture box as "生成二维码.BMP" and the decode
// report as "解码_内容.txt", both in the program's folder, each followed by a
// message that tells the outcome.
#pragma once

#include <string>
#include <string_view>

#include "app/controls.h"
#include "app/dialogs.h"

namespace save {

// The platform's part of saving.
class SaveEnvironment {
 public:
  virtual ~SaveEnvironment() = default;

  // The folder of the program file, GBK, without a trailing separator.
  virtual std::string RunDirectory() const = 0;
  // The window as a 24-bit BMP file, its border included.
  virtual app::Bytes CaptureWindowBmp(void* window) = 0;
  // Writes `bytes` as the file at `path` (GBK), replacing it; false on failure.
  virtual bool WriteFileBytes(const std::string& path, const app::Bytes& bytes) = 0;
};

class SaveCommands {
 public:
  SaveCommands(app::Controls& controls, app::Dialogs& dialogs, SaveEnvironment& environment)
      : controls_(controls), dialogs_(dialogs), environment_(environment) {}

  // Button 保存生成二维码 and menu item 保存二维码: whatever the box shows.
  void SaveQrImage();
  // Button and menu item 保存内容: the decode box's bytes exactly.
  void SaveDecodeText();

 private:
  app::Controls& controls_;
  app::Dialogs& dialogs_;
  SaveEnvironment& environment_;
};

}  // namespace save
