#include "app/event_bindings.h"

#include "app/context_menus.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/shell_commands.h"
#include "qr/generate.h"
#include "resources/pictures.h"
#include "web/winhttp_platform.h"

namespace app {

using enum ControlId;

EventBindings::EventBindings(MainWindow& window, Dialogs& dialogs)
    : window_(window),
      dialogs_(dialogs),
      decode_page_(window, dialogs, decoder_),
      save_commands_(window, dialogs, save_environment_),
      working_picture_(resources::WorkingPicture()) {}

void EventBindings::OnClicked(ControlId button) {
  switch (button) {
    case 按钮_删除二维码:
      DeleteQrImage(window_);
      break;
    case 按钮_保存二维码:
      save_commands_.SaveQrImage();
      break;
    case 按钮_打开图片:
      decode_page_.OpenAndDecode();
      break;
    case 按钮_清空内容:
      decode_page_.ClearDecodeText();
      break;
    case 按钮_保存内容:
      save_commands_.SaveDecodeText();
      break;
    case 按钮_文本二维码:
      qr::GenerateTextQr(GenerateContext());
      break;
    case 按钮_名片生成:
      qr::GenerateBusinessCardQr(GenerateContext());
      break;
    case 按钮_网址生成:
      qr::GenerateWebAddressQr(GenerateContext());
      break;
    case 按钮_短信生成:
      qr::GenerateShortMessageQr(GenerateContext());
      break;
    case 按钮_网络账号生成:
      qr::GenerateWifiQr(GenerateContext());
      break;
    default:
      break;
  }
}

// The menus' items run the commands of the buttons with the same roles.
void EventBindings::OnRightPressed(ControlId control) {
  const auto click = [this](ControlId button) { OnClicked(button); };
  if (control == 编辑框_解码) ShowDecodeMenu(window_.hwnd(), window_.decode_menu(), click);
  if (control == 图片框_二维码显示) ShowPictureMenu(window_.hwnd(), window_.picture_menu(), click);
}

qr::GenerateContext EventBindings::GenerateContext() {
  return {window_, ProgramGenerationState(), working_picture_, web::FetchServiceImage};
}

void EventBindings::OnCounterTick() { UpdateInputCounter(window_); }

}  // namespace app
