// The five generate commands: each turns the fields of its page into a
// request for the QR image service and shows the answer in the picture box.
#pragma once

#include <functional>
#include <string>

#include "app/controls.h"
#include "qr/generation_state.h"

namespace qr {

// Fetches the picture for a request URL; empty bytes when none came.
using FetchImageFn = std::function<app::Bytes(const std::string& url)>;

// What every generate command works with: the window's controls, the
// program-wide state, the picture shown while the request runs and the fetch.
struct GenerateContext {
  app::Controls& controls;
  GenerationState& state;
  const app::Bytes& workingPicture;
  FetchImageFn fetch;
};

// Bound to the clicks of 按钮_文本二维码, 按钮_名片生成, 按钮_网址生成,
// 按钮_短信生成 and 按钮_网络账号生成. A command whose fields are all empty
// does nothing at all.
void GenerateTextQr(const GenerateContext& context);
void GenerateBusinessCardQr(const GenerateContext& context);
void GenerateWebAddressQr(const GenerateContext& context);
void GenerateShortMessageQr(const GenerateContext& context);
void GenerateWifiQr(const GenerateContext& context);

}  // namespace qr
