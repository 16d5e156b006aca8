#include "app/shell_commands.h"

#include <gtest/gtest.h>

#include "app/testing/scripted_controls.h"

namespace {

using app::ControlId;
using app::testing::ScriptedControls;

// Literals are GBK, as the program's: a Chinese character is two bytes.
TEST(InputCounter, CountsHalfTheBytesOfTheFourteenBoxes) {
  const struct {
    const char* what;
    std::map<ControlId, std::string> typed;  // over the boxes as they start
    bool clear_web_addresses;
    const char* caption;
  } cases[] = {
      {"at start, the two http:// boxes", {}, false, "已输入字数：7/300"},
      {"abc typed", {{ControlId::编辑框_内容, "abc"}}, false, "已输入字数：8/300"},
      {"three Chinese characters", {{ControlId::编辑框_内容, "二维码"}}, false, "已输入字数：10/300"},
      {"all empty", {}, true, "已输入字数：0/300"},
      {"past 300 is shown as it is", {{ControlId::编辑框_内容, std::string(811, 'x')}}, false,
       "已输入字数：412/300"},
      {"hidden pages and the password count",
       {{ControlId::编辑框_密码, "pw"}, {ControlId::编辑框_短信, "短"}, {ControlId::编辑框_QQ, "1"}},
       true, "已输入字数：2/300"},
      {"the decode box does not count", {{ControlId::编辑框_解码, "report text"}}, true,
       "已输入字数：0/300"},
  };
  for (const auto& c : cases) {
    ScriptedControls controls;
    if (c.clear_web_addresses) {
      controls.texts[ControlId::编辑框_网址] = "";
      controls.texts[ControlId::编辑框_名片网址] = "";
    }
    for (const auto& [box, text] : c.typed) controls.texts[box] = text;
    app::UpdateInputCounter(controls);
    EXPECT_EQ(controls.Text(ControlId::标签_字数), c.caption) << c.what;
  }
}

TEST(DeleteQrImage, EmptiesThePictureAndTouchesNothingElse) {
  ScriptedControls controls;
  const auto texts_before = controls.texts;
  app::DeleteQrImage(controls);
  EXPECT_TRUE(controls.picture.empty());
  EXPECT_EQ(controls.texts, texts_before);
  app::DeleteQrImage(controls);  // an empty box stays empty
  EXPECT_TRUE(controls.picture.empty());
}

TEST(PageOfTag, ReadsTheIntegerPartOfTheTag) {
  const struct {
    const char* tag;
    std::optional<int> page;
  } cases[] = {
      {"1", 0}, {"6", 5}, {"3.9", 2}, {"0", std::nullopt}, {"7", std::nullopt},
      {"", std::nullopt}, {"x", std::nullopt}, {"-1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(app::PageOfTag(c.tag), c.page) << c.tag;
}

}  // namespace
