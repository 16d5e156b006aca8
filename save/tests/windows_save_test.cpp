// Saving against the real platform: window capture, file replacement and the
// two commands writing beside this program.
#include "save/windows_save.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "save/tests/file_helpers.h"
#include "text/codepage.h"

namespace save {
namespace {

TEST(WriteFileBytes, WritesExactlyTheBytesAndReplacesAnEarlierFile) {
  ScratchFolder folder;
  const std::string path = folder / "解码_内容.txt";
  const Bytes report = AsBytes("\xA1\xAA\xA1\xAA\r\n中文 abc\r\n\r\n");
  ASSERT_TRUE(WriteFileBytes(path, AsBytes(std::string(5000, 'x'))));
  ASSERT_TRUE(WriteFileBytes(path, report));
  EXPECT_EQ(ReadAll(path), report);
  ASSERT_TRUE(WriteFileBytes(path, {}));
  EXPECT_TRUE(ReadAll(path).empty());
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::string>{"解码_内容.txt"});
}

TEST(WriteFileBytes, FailureLeavesAnEarlierFileAsItWas) {
  ScratchFolder folder;
  const std::string path = folder / "生成二维码.BMP";
  const Bytes earlier = AsBytes("earlier picture");
  ASSERT_TRUE(WriteFileBytes(path, earlier));

  // Held open by another program, without sharing.
  HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFileBytes(path, AsBytes("new picture")));
  CloseHandle(held);
  EXPECT_EQ(ReadAll(path), earlier);
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::string>{"生成二维码.BMP"});

  // A name that is taken by a folder.
  ASSERT_TRUE(CreateDirectoryW(Wide(folder / "taken").c_str(), nullptr));
  EXPECT_FALSE(WriteFileBytes(folder / "taken", earlier));

  EXPECT_FALSE(WriteFileBytes(folder / "missing\\解码_内容.txt", earlier));
  EXPECT_FALSE(WriteFileBytes("", earlier));
}

// A window of the picture box's size with a one-pixel border, its client
// area red over blue.
class PaintedWindow {
 public:
  PaintedWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Paint;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"SaveTestPicture";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, L"SaveTestPicture", L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 147, 135,
                              nullptr, nullptr, window_class.hInstance, nullptr);
    UpdateWindow(window_);
  }
  ~PaintedWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  static LRESULT CALLBACK Paint(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    RECT top = client, bottom = client;
    top.bottom = bottom.top = client.bottom / 2;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &top, red);
    FillRect(dc, &bottom, blue);
    DeleteObject(red);
    DeleteObject(blue);
    EndPaint(window, &paint);
    return 0;
  }

  HWND window_ = nullptr;
};

// Blue, green, red of the pixel at (x, y) from the top-left corner.
std::vector<uint8_t> PixelAt(const Bytes& bmp, int x, int y, int width, int height) {
  const size_t row = BmpRowSize(width) * static_cast<size_t>(height - 1 - y);
  const size_t at = 54 + row + 3 * static_cast<size_t>(x);
  return {bmp.at(at), bmp.at(at + 1), bmp.at(at + 2)};
}

TEST(CaptureWindowBmp, TakesTheWholeWindowBottomRowFirst) {
  PaintedWindow window;
  WindowsSaveEnvironment environment;
  const Bytes bmp = environment.CaptureWindowBmp(window.get());
  ASSERT_EQ(bmp.size(), 59994u);
  EXPECT_EQ(Bytes(bmp.begin() + 18, bmp.begin() + 26), Bytes({147, 0, 0, 0, 135, 0, 0, 0}));
  const std::vector<uint8_t> red = {0, 0, 255}, blue = {255, 0, 0};
  EXPECT_EQ(PixelAt(bmp, 73, 20, 147, 135), red);
  EXPECT_EQ(PixelAt(bmp, 73, 120, 147, 135), blue);
  // The border is part of the picture.
  EXPECT_NE(PixelAt(bmp, 0, 20, 147, 135), red);
  EXPECT_NE(PixelAt(bmp, 73, 134, 147, 135), blue);
}

TEST(CaptureWindowBmp, NotAWindowGivesNothing) {
  EXPECT_TRUE(CaptureWindowBmp(nullptr, 147, 135).empty());
}

class PictureAndBoxControls : public app::Controls {
 public:
  std::string Text(app::ControlId) const override { return box; }
  void SetText(app::ControlId, std::string_view text) override { box = std::string(text); }
  uint32_t Colour(app::ControlId) const override { return 0; }
  int SelectedIndex(app::ControlId) const override { return 0; }
  void SetPicture(const app::Bytes&) override {}
  void PumpEvents(int) override {}
  void* WindowHandle(app::ControlId) const override { return picture_box; }

  std::string box;
  HWND picture_box = nullptr;
};

class MessageLog : public app::Dialogs {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::optional<std::string> OpenFile(std::string_view) override { return std::nullopt; }
  std::optional<uint32_t> ChooseColour(uint32_t) override { return std::nullopt; }

  std::vector<std::string> messages;
};

// The two files beside this test program, removed before and after.
class SaveBesideProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveFiles(); }
  void TearDown() override { RemoveFiles(); }
  void RemoveFiles() {
    DeleteFileW(Wide(text_path).c_str());
    DeleteFileW(Wide(picture_path).c_str());
  }

  WindowsSaveEnvironment environment;
  const std::string text_path = RunDirectory() + "\\解码_内容.txt";
  const std::string picture_path = RunDirectory() + "\\生成二维码.BMP";
  PictureAndBoxControls controls;
  MessageLog dialogs;
  SaveCommands commands{controls, dialogs, environment};
};

TEST_F(SaveBesideProgramTest, RunDirectoryHoldsThisProgram) {
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::wstring name = wcsrchr(module, L'\\');
  EXPECT_NE(GetFileAttributesW((Wide(RunDirectory()) + name).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SaveBesideProgramTest, DecodeTextFileHoldsTheBoxBytes) {
  controls.box = "\xA1\xAA\xA1\xAA\r\n已解码数据 1\r\n中文\r\n\r\n";
  commands.SaveDecodeText();
  EXPECT_EQ(ReadAll(text_path), AsBytes(controls.box));
  controls.box = "";
  commands.SaveDecodeText();
  EXPECT_EQ(GetFileAttributesW(Wide(text_path).c_str()) != INVALID_FILE_ATTRIBUTES, true);
  EXPECT_TRUE(ReadAll(text_path).empty());
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"保存成功", "保存成功"}));
}

TEST_F(SaveBesideProgramTest, PictureIsSavedTwiceOver) {
  PaintedWindow window;
  controls.picture_box = window.get();
  commands.SaveQrImage();
  commands.SaveQrImage();
  const Bytes saved = ReadAll(picture_path);
  EXPECT_EQ(saved, CaptureWindowBmp(window.get(), 147, 135));
  EXPECT_EQ(saved.size(), 59994u);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"二维码保存成功", "二维码保存成功"}));
}

TEST_F(SaveBesideProgramTest, TargetsThatCannotBeWrittenKeepTheirEarlierFiles) {
  PaintedWindow window;
  controls.picture_box = window.get();
  for (const std::string* path : {&text_path, &picture_path}) ASSERT_TRUE(WriteFileBytes(*path, AsBytes("earlier")));
  HANDLE held_text = CreateFileW(Wide(text_path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE held_picture = CreateFileW(Wide(picture_path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

  controls.box = "new report";
  commands.SaveDecodeText();
  commands.SaveQrImage();
  CloseHandle(held_text);
  CloseHandle(held_picture);

  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"保存失败", "二维码保存失败"}));
  EXPECT_EQ(ReadAll(text_path), AsBytes("earlier"));
  EXPECT_EQ(ReadAll(picture_path), AsBytes("earlier"));
}

}  // namespace
}  // namespace save
