#include "qr/generate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/testing/scripted_controls.h"
#include "qr/request_url.h"

namespace {

using app::ControlId;

using app::testing::ScriptedControls;

const app::Bytes kWorkingPicture = {'W'};

struct Harness {
  ScriptedControls controls;
  qr::GenerationState state;
  std::vector<std::string> requested;
  app::Bytes answer = {'Q', 'R'};

  qr::GenerateContext Context() {
    return {controls, state, kWorkingPicture, [this](const std::string& url) {
              requested.push_back(url);
              controls.log.push_back("fetch");
              return answer;
            }};
  }
};

const std::string kApi = "http://" + std::string(qr::ServiceHost()) + "/api.php";
const std::string kCommonStart = "?fg=000000&gc=000000&pt=000000&inpt=000000&bg=ffffff";

// Literals are GBK, as the program's.
TEST(Generate, BuildsTheRequestUrlOfEachKind) {
  using Command = void (*)(const qr::GenerateContext&);
  const struct {
    const char* name;
    Command command;
    std::map<ControlId, std::string> texts;
    std::map<ControlId, int> indices;
    std::string query;
  } cases[] = {
      {"text", qr::GenerateTextQr, {{ControlId::编辑框_内容, "abc"}}, {},
       "?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=abc"},
      {"text of blanks", qr::GenerateTextQr, {{ControlId::编辑框_内容, "   "}}, {},
       "?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=%20%20%20"},
      {"Chinese text at H", qr::GenerateTextQr, {{ControlId::编辑框_内容, "中"}}, {{ControlId::组合框_纠错等级, 3}},
       "?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=H&text=%E4%B8%AD"},
      {"no level selected", qr::GenerateTextQr, {{ControlId::编辑框_内容, "a"}}, {{ControlId::组合框_纠错等级, -1}},
       "?bg=ffffff&fg=000000&gc=000000&pt=000000&inpt=000000&el=L&text=a"},
      {"web address at start", qr::GenerateWebAddressQr, {}, {},
       kCommonStart + "&el=L&text=网址:http%3A%2F%2F"},
      {"message, phone only", qr::GenerateShortMessageQr, {{ControlId::编辑框_手机, "123"}}, {},
       kCommonStart + "&el=L&text=短信内容:手机号码:123"},
      {"message only", qr::GenerateShortMessageQr, {{ControlId::编辑框_短信, "hi there"}}, {{ControlId::组合框_纠错等级, 1}},
       kCommonStart + "&el=M&text=短信内容:hi%20there手机号码:"},
      {"Wi-Fi WPA at Q", qr::GenerateWifiQr, {{ControlId::编辑框_网络账号, "home"}, {ControlId::编辑框_密码, "pw"}},
       {{ControlId::组合框_纠错等级, 2}}, kCommonStart + "&el=Q&text=网络账号:home加密类型:WPA:pw"},
      {"Wi-Fi WEP", qr::GenerateWifiQr, {{ControlId::编辑框_网络账号, "home"}, {ControlId::编辑框_密码, "pw"}},
       {{ControlId::组合框_加密类型, 1}}, kCommonStart + "&el=L&text=网络账号:home加密类型:WEP:pw"},
      {"Wi-Fi open, password kept", qr::GenerateWifiQr, {{ControlId::编辑框_密码, "p;w"}},
       {{ControlId::组合框_加密类型, 2}}, kCommonStart + "&el=L&text=网络账号:加密类型:nopass%3Bp%3Bw"},
      {"card, name only, at L", qr::GenerateBusinessCardQr,
       {{ControlId::编辑框_姓名, "Bob"}, {ControlId::编辑框_名片网址, ""}}, {},
       kCommonStart + "&el=L&text=姓名:Bob;单位:;职位:;电话:;网址:;邮箱:;地址:;QQ:"},
      {"card, web address only", qr::GenerateBusinessCardQr, {}, {},
       kCommonStart + "&el=L&text=姓名:;单位:;职位:;电话:;网址:http%3A%2F%2F;邮箱:;地址:;QQ:"},
      {"card at H is a MECARD", qr::GenerateBusinessCardQr,
       {{ControlId::编辑框_姓名, "Bob"}, {ControlId::编辑框_单位, "A;B"}, {ControlId::编辑框_职位, "CEO"},
        {ControlId::编辑框_电话, "123"}, {ControlId::编辑框_名片网址, "x.cn"}, {ControlId::编辑框_邮箱, "b@x.cn"},
        {ControlId::编辑框_地址, "Rd:1"}, {ControlId::编辑框_QQ, "42"}},
       {{ControlId::组合框_纠错等级, 3}},
       kCommonStart + "&el=H&text=MECARD:Bob;ORG:A%3BB;TIL:CEO;TEL:123;URL:x.cn;EMAIL:b%40x.cn;ADR:Rd%3A1;NOTE:42"},
  };
  for (const auto& c : cases) {
    Harness h;
    for (const auto& [id, text] : c.texts) h.controls.texts[id] = text;
    for (const auto& [id, index] : c.indices) h.controls.indices[id] = index;
    c.command(h.Context());
    ASSERT_EQ(h.requested.size(), 1u) << c.name;
    EXPECT_EQ(h.requested[0], kApi + c.query) << c.name;
    EXPECT_EQ(h.state.requestUrl, h.requested[0]) << c.name;
  }
}

TEST(Generate, PutsEachPickerUnderItsKey) {
  Harness h;
  h.controls.texts[ControlId::编辑框_内容] = "a";
  h.controls.colours = {{ControlId::颜色选择器_前景颜色, 0x0000FF}, {ControlId::颜色选择器_背景颜色, 0x030201},
                        {ControlId::颜色选择器_渐变颜色, 0xEFCDAB}, {ControlId::颜色选择器_外框颜色, 0x00FF00},
                        {ControlId::颜色选择器_内点颜色, 0xFF0000}};
  qr::GenerateTextQr(h.Context());
  EXPECT_EQ(h.state.requestUrl, kApi + "?bg=010203&fg=ff0000&gc=abcdef&pt=00ff00&inpt=0000ff&el=L&text=a");
  qr::GenerateWifiQr(h.Context());  // the network name is empty but the password is not
  EXPECT_EQ(h.requested.size(), 1u);
  h.controls.texts[ControlId::编辑框_网络账号] = "n";
  qr::GenerateWifiQr(h.Context());
  EXPECT_EQ(h.state.requestUrl,
            kApi + "?fg=ff0000&gc=abcdef&pt=00ff00&inpt=0000ff&bg=010203&el=L&text=网络账号:n加密类型:WPA:");
  const std::array<std::string, 4> pieces = {"&el=L&text=", "&el=M&text=", "&el=Q&text=", "&el=H&text="};
  EXPECT_EQ(h.state.levelPieces, pieces);
}

TEST(Generate, DoesNothingWhenItsBoxesAreEmpty) {
  using Command = void (*)(const qr::GenerateContext&);
  const struct { const char* name; Command command; std::map<ControlId, std::string> texts; } cases[] = {
      {"text", qr::GenerateTextQr, {}},
      {"web address cleared", qr::GenerateWebAddressQr, {{ControlId::编辑框_网址, ""}}},
      {"short message", qr::GenerateShortMessageQr, {}},
      {"Wi-Fi", qr::GenerateWifiQr, {}},
      {"card, all eight empty", qr::GenerateBusinessCardQr, {{ControlId::编辑框_名片网址, ""}}},
  };
  for (const auto& c : cases) {
    Harness h;
    for (const auto& [id, text] : c.texts) h.controls.texts[id] = text;
    h.state.requestUrl = "earlier";
    h.state.fg = "123456";
    c.command(h.Context());
    EXPECT_TRUE(h.controls.log.empty()) << c.name;
    EXPECT_EQ(h.state.requestUrl, "earlier") << c.name;
    EXPECT_EQ(h.state.fg, "123456") << c.name;
  }
}

TEST(Generate, ShowsTheWorkingPictureThenReadsTheFieldsAgainAndShowsTheAnswer) {
  Harness h;
  h.controls.texts[ControlId::编辑框_内容] = "before";
  // The events pass may let the user change the box; the request uses what it
  // holds afterwards.
  h.controls.onPump = [&] { h.controls.texts[ControlId::编辑框_内容] = "after"; };
  qr::GenerateTextQr(h.Context());
  EXPECT_EQ(h.controls.log, (std::vector<std::string>{"picture W", "pump 1", "fetch", "picture QR"}));
  EXPECT_EQ(h.requested.at(0).substr(h.requested[0].size() - 5), "after");
}

TEST(Generate, NoBytesLeaveThePictureBoxEmptyAndKeepTheUrl) {
  Harness h;
  h.answer.clear();
  h.controls.texts[ControlId::编辑框_内容] = "x";
  qr::GenerateTextQr(h.Context());
  EXPECT_EQ(h.controls.log.back(), "picture ");
  EXPECT_EQ(h.state.requestUrl, h.requested.at(0));
}

TEST(Generate, ACommandRunInsideTheEventsPassIsOverwrittenByTheOuterOne) {
  Harness h;
  h.controls.texts[ControlId::编辑框_内容] = "outer";
  h.controls.onPump = [&] {
    h.controls.onPump = nullptr;
    qr::GenerateWebAddressQr(h.Context());
  };
  qr::GenerateTextQr(h.Context());
  ASSERT_EQ(h.requested.size(), 2u);
  EXPECT_NE(h.requested[0].find("网址:"), std::string::npos);
  EXPECT_EQ(h.state.requestUrl, h.requested[1]);
  EXPECT_EQ(h.state.requestUrl.substr(h.state.requestUrl.size() - 5), "outer");
}

}  // namespace
