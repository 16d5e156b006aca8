#include "save/save_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/testing/scripted_controls.h"
#include "app/testing/scripted_dialogs.h"
#include "save/run_directory.h"

namespace save {
namespace {

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
  SaveCommandsTest() { controls.handles[app::ControlId::图片框_二维码显示] = kPictureBox; }

  void* const kPictureBox = reinterpret_cast<void*>(0x1234);
  app::testing::ScriptedControls controls;
  app::testing::ScriptedDialogs dialogs;
  FakeEnvironment environment;
  SaveCommands commands{controls, dialogs, environment};
};

TEST_F(SaveCommandsTest, QrImageIsThePictureBoxCaptureBesideTheProgram) {
  commands.SaveQrImage();
  environment.writable = false;
  commands.SaveQrImage();

  EXPECT_EQ(environment.captured, (std::vector<void*>{kPictureBox, kPictureBox}));
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
