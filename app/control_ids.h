// Every control of the main window, by the name the window definition gives
// it: a kind and a role joined by an underscore.
#pragma once

namespace app {

enum class ControlId {
  // Outside the tab control.
  分组框1,
  高级选择夹1,
  标签_文本,
  标签_名片,
  标签_网址,
  标签_短信,
  标签_wifi,
  标签_解码,
  画板1,
  分组框2,
  图片框_二维码显示,
  标签_字数,
  分组框3,
  标签1,
  颜色选择器_前景颜色,
  标签4,
  颜色选择器_背景颜色,
  标签2,
  颜色选择器_渐变颜色,
  标签5,
  颜色选择器_外框颜色,
  标签3,
  颜色选择器_内点颜色,
  标签7,
  组合框_纠错等级,
  按钮_删除二维码,
  按钮_保存二维码,
  // Page 0: text.
  透明标签_字数1,
  编辑框_内容,
  标签6,
  按钮_文本二维码,
  // Page 1: business card.
  透明标签2,
  编辑框_姓名,
  透明标签3,
  编辑框_电话,
  透明标签4,
  编辑框_QQ,
  透明标签7,
  编辑框_职位,
  透明标签5,
  编辑框_邮箱,
  透明标签6,
  编辑框_单位,
  透明标签8,
  编辑框_名片网址,
  透明标签9,
  编辑框_地址,
  按钮_名片生成,
  // Page 2: web address.
  透明标签10,
  编辑框_网址,
  按钮_网址生成,
  // Page 3: short message.
  编辑框_短信,
  透明标签11,
  编辑框_手机,
  标签8,
  按钮_短信生成,
  // Page 4: Wi-Fi.
  透明标签12,
  编辑框_网络账号,
  透明标签13,
  编辑框_密码,
  透明标签14,
  组合框_加密类型,
  按钮_网络账号生成,
  // Page 5: decode.
  编辑框_解码,
  按钮_保存内容,
  按钮_清空内容,
  按钮_打开图片,
  kCount
};

}  // namespace app
