#include "decode/decode_page.h"

#include "decode/report.h"

namespace decode {

void DecodePage::OpenAndDecode() {
  const std::optional<std::string> chosen = dialogs_.OpenFile(remembered_path_);
  if (!chosen) return;
  remembered_path_ = *chosen;
  controls_.SetText(app::ControlId::编辑框_解码, DecodeReport(decoder_, remembered_path_));
}

void DecodePage::ClearDecodeText() { controls_.SetText(app::ControlId::编辑框_解码, ""); }

}  // namespace decode
