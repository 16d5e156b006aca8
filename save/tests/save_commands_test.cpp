#include "save/save_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "save/run_directory.h"

namespace save {
namespace {

class FakeControls : public app::Controls {
 public:
  std::string Text(app::ControlId id) const override { return texts.count(id) ? texts.at(id) : ""; }
  void SetText(app::ControlId id, std::string_view text) override { texts[id] = std::string(text); }
  uint32_t Colour(app::ControlId) const override { return 0; }
  int SelectedIndex(app::ControlId) const override { return 0; }
  void SetPicture(const app::Bytes&) override {}
  void PumpEvents(int) override {}
  void* WindowHandle(app::ControlId id) const override {
    return id == app::ControlId::图片框_二维码显示 ? picture_box : nullptr;
  }

  std::map<app::ControlId, std::string> texts;
  void* picture_box = reinterpret_cast<void*>(0x1234);
};

class FakeDialogs : public app::Dialogs {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::optional<std::string> OpenFile(std::string_view) override { return std::nullopt; }
  std::optional<uint32_t> ChooseColour(uint32_t) override { return std::nullopt; }

  std::vector<std::string> messages;
};

class FakeEnvironment : public SaveEnvironment {
 public:
  std::string RunDirectory() const override { return directory; }
  app::Bytes CaptureWindowBmp(void* window) override {
    captured.push_back(window);
    return capture;
  }
  bool WriteFileBytes(const std::string& path, const app::Bytes& bytes) override {
    writes.emplace_back(path, bytes);
    return writable;
  }

  std::string directory = "C:\\Program Files\\二维码";
  app::Bytes capture = {'B', 'M', 1, 2, 3};
  bool writable = true;
  std::vector<void*> captured;
  std::vector<std::pair<std::string, app::Bytes>> writes;
};

class SaveCommandsTest : public ::testing::Test {
 protected:
  FakeControls controls;
  FakeDialogs dialogs;
  FakeEnvironment environment;
  SaveCommands commands{controls, dialogs, environment};
};

TEST_F(SaveCommandsTest, QrImageIsThePictureBoxCaptureBesideTheProgram) {
  commands.SaveQrImage();
  environment.writable = false;
  commands.SaveQrImage();

  EXPECT_EQ(environment.captured, (std::vector<void*>{controls.picture_box, controls.picture_box}));
  ASSERT_EQ(environment.writes.size(), 2u);
  EXPECT_EQ(environment.writes[0].first, "C:\\Program Files\\二维码/生成二维码.BMP");
  EXPECT_EQ(environment.writes[0].second, environment.capture);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"二维码保存成功", "二维码保存失败"}));
}

TEST_F(SaveCommandsTest, DecodeTextIsTheBoxContentByteForByte) {
  const std::string report = "\xA1\xAA\xA1\xAA\r\n中文\r\n\r\n";
  controls.SetText(app::ControlId::编辑框_解码, report);
  commands.SaveDecodeText();
  controls.SetText(app::ControlId::编辑框_解码, "");
  commands.SaveDecodeText();
  environment.writable = false;
  commands.SaveDecodeText();

  ASSERT_EQ(environment.writes.size(), 3u);
  EXPECT_EQ(environment.writes[0].first, "C:\\Program Files\\二维码\\解码_内容.txt");
  EXPECT_EQ(environment.writes[0].second, app::Bytes(report.begin(), report.end()));
  EXPECT_TRUE(environment.writes[1].second.empty());
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"保存成功", "保存成功", "保存失败"}));
}

TEST_F(SaveCommandsTest, ProgramInTheRootOfADriveSavesThere) {
  environment.directory = "C:";
  commands.SaveQrImage();
  commands.SaveDecodeText();
  EXPECT_EQ(environment.writes.at(0).first, "C:/生成二维码.BMP");
  EXPECT_EQ(environment.writes.at(1).first, "C:\\解码_内容.txt");
}

TEST(DirectoryOf, IsEverythingBeforeTheLastBackslash) {
  const struct { std::u16string module, directory; } cases[] = {
      {u"C:\\Program Files\\Zenqar\\Zenqar.exe", u"C:\\Program Files\\Zenqar"},
      {u"C:\\Zenqar.exe", u"C:"},
      {u"\\\\server\\share\\Zenqar.exe", u"\\\\server\\share"},
      {u"D:\\\u4E8C\u7EF4\u7801\\\u5DE5\u5177.exe", u"D:\\\u4E8C\u7EF4\u7801"},
      {u"Zenqar.exe", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryOf(c.module), c.directory);
}

}  // namespace
}  // namespace save
