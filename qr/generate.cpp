#include "qr/generate.h"

#include <string>
#include <vector>

#include "qr/colour_text.h"
#include "qr/percent_encode.h"
#include "qr/request_url.h"

namespace qr {

namespace {

using app::ControlId;
using Fields = std::vector<std::string>;

// A kind's part of the run: the boxes of its check (any non-empty one passes,
// tested in this order), the boxes it encodes, and how it joins the encoded
// fields with its fixed labels, which go into the URL unencoded.
struct ContentKind {
  KeyOrder order;
  std::vector<ControlId> checked;
  std::vector<ControlId> fields;
  std::string (*compose)(const app::Controls& controls, const Fields& encoded, int level);
};

bool AnyNotEmpty(const app::Controls& controls, const std::vector<ControlId>& boxes) {
  for (const ControlId box : boxes) {
    if (!controls.Text(box).empty()) return true;  // blanks count as content
  }
  return false;
}

// The drop-down lists always have a selection; an index outside the list
// (no selection at all) is taken as the first item rather than read past
// the table.
int SelectedOrFirst(const app::Controls& controls, ControlId list, int items) {
  const int index = controls.SelectedIndex(list);
  return index >= 0 && index < items ? index : 0;
}

void StoreColourTexts(const app::Controls& controls, GenerationState& state) {
  state.fg = ColourText(controls.Colour(ControlId::颜色选择器_前景颜色));
  state.bg = ColourText(controls.Colour(ControlId::颜色选择器_背景颜色));
  state.gc = ColourText(controls.Colour(ControlId::颜色选择器_渐变颜色));
  state.pt = ColourText(controls.Colour(ControlId::颜色选择器_外框颜色));
  state.inpt = ColourText(controls.Colour(ControlId::颜色选择器_内点颜色));
}

void RunGenerate(const GenerateContext& context, const ContentKind& kind) {
  app::Controls& controls = context.controls;
  // 1. Check.
  if (!AnyNotEmpty(controls, kind.checked)) return;
  // 2-3. Let the working picture paint before the request holds the window.
  controls.SetPicture(context.workingPicture);
  controls.PumpEvents(1);
  // 4. Encode, each field read again.
  Fields encoded;
  for (const ControlId field : kind.fields) encoded.push_back(PercentEncode(controls.Text(field), true, true));
  // 5-6. Colours and level pieces.
  StoreColourTexts(controls, context.state);
  SetLevelPieces(context.state);
  // 7. URL.
  const int level = SelectedOrFirst(controls, ControlId::组合框_纠错等级, 4);
  context.state.requestUrl = RequestUrl(context.state, kind.order, level, kind.compose(controls, encoded, level));
  // 8-9. Fetch and show; no bytes leave the box empty.
  controls.SetPicture(context.fetch(context.state.requestUrl));
}

std::string ComposeText(const app::Controls&, const Fields& encoded, int) { return encoded[0]; }

std::string ComposeWebAddress(const app::Controls&, const Fields& encoded, int) { return "网址:" + encoded[0]; }

std::string ComposeShortMessage(const app::Controls&, const Fields& encoded, int) {
  return "短信内容:" + encoded[0] + "手机号码:" + encoded[1];
}

std::string ComposeWifi(const app::Controls& controls, const Fields& encoded, int) {
  // "nopass%3B" is already escaped: the service reads nopass and a semicolon.
  static const char* const kSecurityPieces[] = {"WPA:", "WEP:", "nopass%3B"};
  const int security = SelectedOrFirst(controls, ControlId::组合框_加密类型, 3);
  return "网络账号:" + encoded[0] + "加密类型:" + kSecurityPieces[security] + encoded[1];
}

// Level L gives the labelled card; M, Q and H the MECARD record, which has
// no closing mark.
std::string ComposeBusinessCard(const app::Controls&, const Fields& encoded, int level) {
  static const char* const kCardLabels[] = {"姓名:", ";单位:", ";职位:", ";电话:", ";网址:", ";邮箱:", ";地址:", ";QQ:"};
  static const char* const kMecardLabels[] = {"MECARD:", ";ORG:", ";TIL:", ";TEL:", ";URL:", ";EMAIL:", ";ADR:", ";NOTE:"};
  const char* const* labels = level == 0 ? kCardLabels : kMecardLabels;
  std::string content;
  for (size_t i = 0; i < encoded.size(); ++i) content += labels[i] + encoded[i];
  return content;
}

}  // namespace

void GenerateTextQr(const GenerateContext& context) {
  RunGenerate(context, {KeyOrder::kText, {ControlId::编辑框_内容}, {ControlId::编辑框_内容}, ComposeText});
}

void GenerateWebAddressQr(const GenerateContext& context) {
  RunGenerate(context, {KeyOrder::kCommon, {ControlId::编辑框_网址}, {ControlId::编辑框_网址}, ComposeWebAddress});
}

void GenerateShortMessageQr(const GenerateContext& context) {
  RunGenerate(context, {KeyOrder::kCommon,
                        {ControlId::编辑框_短信, ControlId::编辑框_手机},
                        {ControlId::编辑框_短信, ControlId::编辑框_手机},
                        ComposeShortMessage});
}

void GenerateWifiQr(const GenerateContext& context) {
  RunGenerate(context, {KeyOrder::kCommon,
                        {ControlId::编辑框_网络账号, ControlId::编辑框_密码},
                        {ControlId::编辑框_网络账号, ControlId::编辑框_密码},
                        ComposeWifi});
}

void GenerateBusinessCardQr(const GenerateContext& context) {
  RunGenerate(context, {KeyOrder::kCommon,
                        {ControlId::编辑框_姓名, ControlId::编辑框_电话, ControlId::编辑框_QQ, ControlId::编辑框_邮箱,
                         ControlId::编辑框_单位, ControlId::编辑框_职位, ControlId::编辑框_名片网址, ControlId::编辑框_地址},
                        {ControlId::编辑框_姓名, ControlId::编辑框_单位, ControlId::编辑框_职位, ControlId::编辑框_电话,
                         ControlId::编辑框_名片网址, ControlId::编辑框_邮箱, ControlId::编辑框_地址, ControlId::编辑框_QQ},
                        ComposeBusinessCard});
}

}  // namespace qr
