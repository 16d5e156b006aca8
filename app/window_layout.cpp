#include "app/window_layout.h"

#include <array>
#include <cstdlib>

namespace app {

namespace {

using enum ControlId;
using K = ControlKind;

constexpr int kNoPage = -1;
constexpr uint32_t kBlack = Rgb(0, 0, 0);
constexpr uint32_t kWhite = Rgb(255, 255, 255);
constexpr uint32_t kLightGrey = Rgb(192, 192, 192);

// clang-format off
const ControlSpec kControls[] = {
  {分组框1, K::kGroupBox, {}, kNoPage, 5, -1, 362, 189, ""},
  {高级选择夹1, K::kTabControl, 分组框1, kNoPage, 62, 14, 291, 165, ""},
  {标签_文本, K::kPageLabel, 分组框1, kNoPage, 8, 14, 55, 25, "文本", kCaptionGrey, kWhite, "1"},
  {标签_名片, K::kPageLabel, 分组框1, kNoPage, 8, 42, 55, 25, "名片", kCaptionGrey, kWhite, "2"},
  {标签_网址, K::kPageLabel, 分组框1, kNoPage, 8, 70, 55, 25, "网址", kCaptionGrey, kWhite, "3"},
  {标签_短信, K::kPageLabel, 分组框1, kNoPage, 8, 98, 55, 25, "短信", kCaptionGrey, kWhite, "4"},
  {标签_wifi, K::kPageLabel, 分组框1, kNoPage, 8, 126, 55, 25, "wifi", kCaptionGrey, kWhite, "5"},
  {标签_解码, K::kPageLabel, 分组框1, kNoPage, 8, 154, 55, 25, "解码", kCaptionGrey, kWhite, "6"},
  {分组框2, K::kGroupBox, {}, kNoPage, 5, 190, 160, 157, "显示区域"},
  {图片框_二维码显示, K::kPictureBox, 分组框2, kNoPage, 6, 14, 147, 135, ""},
  {标签_字数, K::kLabel, {}, kNoPage, 168, 195, 200, 24, "已输入字数："},
  {分组框3, K::kGroupBox, {}, kNoPage, 167, 221, 200, 86, "设置区域", kBlack},
  {标签1, K::kLabel, 分组框3, kNoPage, 8, 12, 51, 24, "前景颜色"},
  {颜色选择器_前景颜色, K::kColourPicker, 分组框3, kNoPage, 61, 14, 36, 20, "", kCaptionGrey, kBlack},
  {标签4, K::kLabel, 分组框3, kNoPage, 8, 34, 49, 24, "背景颜色"},
  {颜色选择器_背景颜色, K::kColourPicker, 分组框3, kNoPage, 61, 36, 36, 20, "", kCaptionGrey, kWhite},
  {标签2, K::kLabel, 分组框3, kNoPage, 9, 56, 48, 24, "渐变颜色"},
  {颜色选择器_渐变颜色, K::kColourPicker, 分组框3, kNoPage, 61, 58, 36, 20, "", kCaptionGrey, kBlack},
  {标签5, K::kLabel, 分组框3, kNoPage, 101, 13, 48, 24, "外框颜色"},
  {颜色选择器_外框颜色, K::kColourPicker, 分组框3, kNoPage, 154, 15, 36, 20, "", kCaptionGrey, kBlack},
  {标签3, K::kLabel, 分组框3, kNoPage, 102, 38, 53, 16, "内点颜色"},
  {颜色选择器_内点颜色, K::kColourPicker, 分组框3, kNoPage, 154, 36, 36, 20, "", kCaptionGrey, kBlack},
  {标签7, K::kLabel, 分组框3, kNoPage, 103, 56, 48, 24, "纠错等级"},
  {组合框_纠错等级, K::kComboBox, 分组框3, kNoPage, 154, 58, 36, 20, "", kBlack, kWhite},
  {按钮_删除二维码, K::kButton, {}, kNoPage, 168, 312, 80, 32, "删除二维码"},
  {按钮_保存二维码, K::kButton, {}, kNoPage, 249, 312, 117, 32, "保存生成二维码"},

  {透明标签_字数1, K::kTransparentLabel, 高级选择夹1, 0, 9, 5, 226, 20, "输入文字 （支持文本、电子邮箱和网址）", kLightGrey},
  {编辑框_内容, K::kMultiLineEdit, 高级选择夹1, 0, 7, 25, 278, 108, ""},
  {标签6, K::kLabel, 高级选择夹1, 0, 4, 136, 161, 24, "（建议内容不超过150个汉字）", kCaptionGrey, kWhite},
  {按钮_文本二维码, K::kButton, 高级选择夹1, 0, 218, 136, 67, 24, "生成"},

  {透明标签2, K::kTransparentLabel, 高级选择夹1, 1, 11, 8, 41, 20, "姓名："},
  {编辑框_姓名, K::kEdit, 高级选择夹1, 1, 48, 5, 95, 20, ""},
  {透明标签3, K::kTransparentLabel, 高级选择夹1, 1, 147, 8, 41, 20, "电话："},
  {编辑框_电话, K::kEdit, 高级选择夹1, 1, 186, 5, 95, 20, ""},
  {透明标签4, K::kTransparentLabel, 高级选择夹1, 1, 11, 27, 41, 20, "Q  Q："},
  {编辑框_QQ, K::kEdit, 高级选择夹1, 1, 48, 27, 95, 20, ""},
  {透明标签7, K::kTransparentLabel, 高级选择夹1, 1, 147, 29, 41, 20, "职位："},
  {编辑框_职位, K::kEdit, 高级选择夹1, 1, 186, 27, 95, 20, ""},
  {透明标签5, K::kTransparentLabel, 高级选择夹1, 1, 11, 50, 48, 20, "邮箱："},
  {编辑框_邮箱, K::kEdit, 高级选择夹1, 1, 48, 49, 233, 20, ""},
  {透明标签6, K::kTransparentLabel, 高级选择夹1, 1, 11, 73, 48, 20, "单位："},
  {编辑框_单位, K::kEdit, 高级选择夹1, 1, 48, 71, 233, 20, ""},
  {透明标签8, K::kTransparentLabel, 高级选择夹1, 1, 11, 95, 48, 20, "网址："},
  {编辑框_名片网址, K::kEdit, 高级选择夹1, 1, 48, 93, 233, 20, "http://"},
  {透明标签9, K::kTransparentLabel, 高级选择夹1, 1, 11, 117, 50, 20, "地址："},
  {编辑框_地址, K::kEdit, 高级选择夹1, 1, 48, 115, 233, 20, ""},
  {按钮_名片生成, K::kButton, 高级选择夹1, 1, 213, 140, 67, 20, "生成"},

  {透明标签10, K::kTransparentLabel, 高级选择夹1, 2, 6, 9, 48, 24, "网址："},
  {编辑框_网址, K::kEdit, 高级选择夹1, 2, 45, 8, 238, 24, "http://"},
  {按钮_网址生成, K::kButton, 高级选择夹1, 2, 219, 38, 64, 32, "生成"},

  {编辑框_短信, K::kMultiLineEdit, 高级选择夹1, 3, 6, 6, 278, 110, ""},
  {透明标签11, K::kTransparentLabel, 高级选择夹1, 3, 7, 117, 35, 24, "手机："},
  {编辑框_手机, K::kEdit, 高级选择夹1, 3, 47, 118, 236, 20, ""},
  {标签8, K::kLabel, 高级选择夹1, 3, 5, 139, 161, 24, "（建议内容不超过150个汉字）", kCaptionGrey, kWhite},
  {按钮_短信生成, K::kButton, 高级选择夹1, 3, 216, 141, 67, 20, "生成"},

  {透明标签12, K::kTransparentLabel, 高级选择夹1, 4, 6, 9, 56, 24, "网络账号："},
  {编辑框_网络账号, K::kEdit, 高级选择夹1, 4, 63, 8, 220, 24, ""},
  {透明标签13, K::kTransparentLabel, 高级选择夹1, 4, 6, 37, 55, 24, "密    码："},
  {编辑框_密码, K::kEdit, 高级选择夹1, 4, 63, 35, 220, 24, ""},
  {透明标签14, K::kTransparentLabel, 高级选择夹1, 4, 6, 68, 54, 24, "加密类型："},
  {组合框_加密类型, K::kComboBox, 高级选择夹1, 4, 64, 69, 94, 20, "", kBlack, kWhite},
  {按钮_网络账号生成, K::kButton, 高级选择夹1, 4, 211, 65, 72, 24, "生成"},

  {编辑框_解码, K::kMultiLineEdit, 高级选择夹1, 5, 5, 5, 278, 128, ""},
  {按钮_保存内容, K::kButton, 高级选择夹1, 5, 34, 137, 72, 24, "保存内容"},
  {按钮_清空内容, K::kButton, 高级选择夹1, 5, 110, 137, 72, 24, "清空内容"},
  {按钮_打开图片, K::kButton, 高级选择夹1, 5, 186, 137, 97, 24, "打开二维码图片"},

  // Last, so that it lies above the tab control and the page labels. Its
  // design place is never seen: creation moves it beside the shown page's label.
  {画板1, K::kCanvas, 分组框1, kNoPage, 8, 149, 3, 25, "", kFrameColour, kWhite},
};
// clang-format on

constexpr const char* kLevelItems[] = {"L", "M", "Q", "H"};
constexpr const char* kSecurityItems[] = {"WPA/WPA2", "WEP", "无加密"};
constexpr const char* kPictureMenuItems[] = {"删除二维码", "保存二维码"};
constexpr const char* kDecodeMenuItems[] = {"打开图片", "清空内容", "保存内容"};

}  // namespace

std::span<const ControlSpec> MainWindowControls() { return kControls; }

const ControlSpec& SpecOf(ControlId id) {
  for (const ControlSpec& definition : kControls)
    if (definition.id == id) return definition;
  std::abort();  // every id has a row: a missing one is a programming error
}

std::span<const char* const> ComboItems(ControlId id) {
  if (id == 组合框_纠错等级) return kLevelItems;
  if (id == 组合框_加密类型) return kSecurityItems;
  return {};
}

const MenuSpec& PictureMenu() {
  static const MenuSpec menu{"菜单", kPictureMenuItems};
  return menu;
}

const MenuSpec& DecodeMenu() {
  static const MenuSpec menu{"解码", kDecodeMenuItems};
  return menu;
}

}  // namespace app
