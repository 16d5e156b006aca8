#include "decode/decode_page.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "decode/tests/scripted_decoder.h"

namespace decode::testing {
namespace {

class FakeControls : public app::Controls {
 public:
  std::string Text(app::ControlId id) const override { return texts.count(id) ? texts.at(id) : ""; }
  void SetText(app::ControlId id, std::string_view text) override { texts[id] = std::string(text); }
  uint32_t Colour(app::ControlId) const override { return 0; }
  int SelectedIndex(app::ControlId) const override { return 0; }
  void SetPicture(const app::Bytes&) override {}
  void PumpEvents(int) override {}
  void* WindowHandle(app::ControlId) const override { return nullptr; }

  std::map<app::ControlId, std::string> texts;
};

// Answers the open-file dialog from a queue; an empty answer is a cancel.
class FakeDialogs : public app::Dialogs {
 public:
  void ShowMessage(std::string_view) override {}
  std::optional<std::string> OpenFile(std::string_view remembered) override {
    openings.emplace_back(remembered);
    std::optional<std::string> answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::optional<uint32_t> ChooseColour(uint32_t) override { return std::nullopt; }

  std::vector<std::optional<std::string>> answers;
  std::vector<std::string> openings;  // what each opening started with
};

class DecodePageTest : public ::testing::Test {
 protected:
  void Script(int32_t result, const char* data = "abc") {
    ScriptedSymbol symbol;
    symbol.data = data;
    decoder.Script(result, &symbol, result > 0 ? 1 : 0);
  }
  std::string Box() const { return controls.Text(app::ControlId::编辑框_解码); }

  FakeControls controls;
  FakeDialogs dialogs;
  ScriptedDecoder decoder;
  DecodePage page{controls, dialogs, decoder};
};

TEST_F(DecodePageTest, ReportReplacesTheBoxAndTheChosenPathIsRemembered) {
  controls.SetText(app::ControlId::编辑框_解码, "earlier report");
  Script(1, "hello");
  dialogs.answers = {"C:\\pictures\\one.bmp", std::nullopt, "D:\\two.png"};

  page.OpenAndDecode();
  EXPECT_NE(Box().find("hello\r\n"), std::string::npos);
  EXPECT_EQ(Box().find("earlier"), std::string::npos);

  page.OpenAndDecode();  // cancelled: the box keeps its report
  EXPECT_NE(Box().find("hello\r\n"), std::string::npos);

  Script(0);
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "未找到 QR 代码符号。");
  EXPECT_EQ(dialogs.openings, (std::vector<std::string>{"", "C:\\pictures\\one.bmp", "C:\\pictures\\one.bmp"}));
  EXPECT_EQ(decoder.Calls(), "DecodePictureFile(D:\\two.png) ");
}

TEST_F(DecodePageTest, CancelLeavesTheBoxAndTheDecoderAlone) {
  controls.SetText(app::ControlId::编辑框_解码, "kept");
  dialogs.answers = {std::nullopt};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "kept");
  EXPECT_EQ(decoder.Calls(), "");
}

TEST_F(DecodePageTest, UnlistedFailureEmptiesTheBox) {
  controls.SetText(app::ControlId::编辑框_解码, "earlier report");
  Script(-7);
  dialogs.answers = {"C:\\x.bmp"};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "");
}

TEST_F(DecodePageTest, ClearEmptiesTheBoxAndKeepsTheRememberedPath) {
  Script(-1);
  dialogs.answers = {"C:\\x.bmp", std::nullopt};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "文件未找到！");
  page.ClearDecodeText();
  EXPECT_EQ(Box(), "");
  page.OpenAndDecode();
  EXPECT_EQ(dialogs.openings.back(), "C:\\x.bmp");
}

}  // namespace
}  // namespace decode::testing
