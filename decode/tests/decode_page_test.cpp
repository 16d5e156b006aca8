#include "decode/decode_page.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/testing/scripted_controls.h"
#include "app/testing/scripted_dialogs.h"
#include "decode/tests/scripted_decoder.h"

namespace decode::testing {
namespace {

class DecodePageTest : public ::testing::Test {
 protected:
  void Script(int32_t result, const char* data = "abc") {
    ScriptedSymbol symbol;
    symbol.data = data;
    decoder.Script(result, &symbol, result > 0 ? 1 : 0);
  }
  std::string Box() const { return controls.Text(app::ControlId::编辑框_解码); }

  app::testing::ScriptedControls controls;
  app::testing::ScriptedDialogs dialogs;
  ScriptedDecoder decoder;
  DecodePage page{controls, dialogs, decoder};
};

TEST_F(DecodePageTest, ReportReplacesTheBoxAndTheChosenPathIsRemembered) {
  controls.SetText(app::ControlId::编辑框_解码, "earlier report");
  Script(1, "hello");
  dialogs.chosen_files = {"C:\\pictures\\one.bmp", std::nullopt, "D:\\two.png"};

  page.OpenAndDecode();
  EXPECT_NE(Box().find("hello\r\n"), std::string::npos);
  EXPECT_EQ(Box().find("earlier"), std::string::npos);

  page.OpenAndDecode();  // cancelled: the box keeps its report
  EXPECT_NE(Box().find("hello\r\n"), std::string::npos);

  Script(0);
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "未找到 QR 代码符号。");
  EXPECT_EQ(dialogs.offered_paths, (std::vector<std::string>{"", "C:\\pictures\\one.bmp", "C:\\pictures\\one.bmp"}));
  EXPECT_EQ(decoder.Calls(), "DecodePictureFile(D:\\two.png) ");
}

TEST_F(DecodePageTest, CancelLeavesTheBoxAndTheDecoderAlone) {
  controls.SetText(app::ControlId::编辑框_解码, "kept");
  dialogs.chosen_files = {std::nullopt};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "kept");
  EXPECT_EQ(decoder.Calls(), "");
}

TEST_F(DecodePageTest, UnlistedFailureEmptiesTheBox) {
  controls.SetText(app::ControlId::编辑框_解码, "earlier report");
  Script(-7);
  dialogs.chosen_files = {"C:\\x.bmp"};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "");
}

TEST_F(DecodePageTest, ClearEmptiesTheBoxAndKeepsTheRememberedPath) {
  Script(-1);
  dialogs.chosen_files = {"C:\\x.bmp", std::nullopt};
  page.OpenAndDecode();
  EXPECT_EQ(Box(), "文件未找到！");
  page.ClearDecodeText();
  EXPECT_EQ(Box(), "");
  page.OpenAndDecode();
  EXPECT_EQ(dialogs.offered_paths.back(), "C:\\x.bmp");
}

}  // namespace
}  // namespace decode::testing
