// The commands of the decode page: open an image and show its report, and
// empty the report box.
#pragma once

#include <string>

#include "app/controls.h"
#include "app/dialogs.h"
#include "decode/decoder.h"

namespace decode {

// Lives as long as the main window: it remembers the last file chosen, so the
// next opening of the dialog starts there.
class DecodePage {
 public:
  DecodePage(app::Controls& controls, app::Dialogs& dialogs, Decoder& decoder)
      : controls_(controls), dialogs_(dialogs), decoder_(decoder) {}

  // Button 打开二维码图片 and menu item 打开图片. Cancelling changes nothing.
  void OpenAndDecode();
  // Button and menu item 清空内容.
  void ClearDecodeText();

 private:
  app::Controls& controls_;
  app::Dialogs& dialogs_;
  Decoder& decoder_;
  std::string remembered_path_;
};

}  // namespace decode
