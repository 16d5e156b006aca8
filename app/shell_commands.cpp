#include "app/shell_commands.h"

#include <charconv>

namespace app {

namespace {

using enum ControlId;

constexpr ControlId kCounted[] = {
    编辑框_内容, 编辑框_姓名, 编辑框_电话,   编辑框_QQ,   编辑框_职位,     编辑框_邮箱,     编辑框_单位,
    编辑框_网址, 编辑框_地址, 编辑框_短信, 编辑框_手机, 编辑框_密码, 编辑框_网络账号, 编辑框_名片网址,
};

}  // namespace

std::span<const ControlId> CountedEditBoxes() { return kCounted; }

std::string InputCounterCaption(size_t joined_bytes) {
  // Two bytes make a Chinese character; the 300 is a hint only.
  return "已输入字数：" + std::to_string(joined_bytes / 2) + "/300";
}

void UpdateInputCounter(Controls& controls) {
  std::string joined;
  for (ControlId box : kCounted) joined += controls.Text(box);
  controls.SetText(标签_字数, InputCounterCaption(joined.size()));
}

void DeleteQrImage(Controls& controls) { controls.SetPicture({}); }

std::optional<int> PageOfTag(std::string_view tag) {
  double number = 0;
  const auto [end, error] = std::from_chars(tag.data(), tag.data() + tag.size(), number);
  if (error != std::errc() || end != tag.data() + tag.size()) return std::nullopt;
  if (!(number >= 1 && number < 7)) return std::nullopt;
  return static_cast<int>(number) - 1;  // the integer part, truncated toward zero
}

}  // namespace app
