// The decode page with a user who chooses a file, in a folder without
// PsyQrDcd.dll: the decode must end the program after the fatal box.
#include <cstdio>

#include "app/controls.h"
#include "app/dialogs.h"
#include "decode/decode_page.h"
#include "decode/psyqrdcd.h"

namespace {

class ReportBox : public app::Controls {
 public:
  std::string Text(app::ControlId) const override { return {}; }
  void SetText(app::ControlId, std::string_view text) override {
    std::printf("report set: %.*s\n", static_cast<int>(text.size()), text.data());
  }
  uint32_t Colour(app::ControlId) const override { return 0; }
  int SelectedIndex(app::ControlId) const override { return 0; }
  void SetPicture(const app::Bytes&) override {}
  void PumpEvents(int) override {}
  void* WindowHandle(app::ControlId) const override { return nullptr; }
};

class UserChoosesAFile : public app::Dialogs {
 public:
  void ShowMessage(std::string_view) override {}
  std::optional<std::string> OpenFile(std::string_view) override { return "C:\\windows\\win.ini"; }
  std::optional<uint32_t> ChooseColour(uint32_t) override { return std::nullopt; }
};

}  // namespace

int main() {
  ReportBox box;
  UserChoosesAFile dialogs;
  decode::PsyQrDcd library;
  decode::DecodePage page(box, dialogs, library);
  page.OpenAndDecode();
  return 0;
}
