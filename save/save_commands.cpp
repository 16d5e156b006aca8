#include "save/save_commands.h"

namespace save {

void SaveCommands::SaveQrImage() {
  // Joined with a forward slash; the platform takes either separator.
  const std::string path = environment_.RunDirectory() + "/生成二维码.BMP";
  const app::Bytes picture = environment_.CaptureWindowBmp(controls_.WindowHandle(app::ControlId::图片框_二维码显示));
  const bool saved = environment_.WriteFileBytes(path, picture);
  dialogs_.ShowMessage(saved ? "二维码保存成功" : "二维码保存失败");
}

void SaveCommands::SaveDecodeText() {
  const std::string path = environment_.RunDirectory() + "\\解码_内容.txt";
  const std::string report = controls_.Text(app::ControlId::编辑框_解码);
  const bool saved = environment_.WriteFileBytes(path, app::Bytes(report.begin(), report.end()));
  dialogs_.ShowMessage(saved ? "保存成功" : "保存失败");
}

}  // namespace save
