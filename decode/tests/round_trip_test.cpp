// Black-box, the whole way a user goes: type a text with Chinese in it,
// generate its QR code from the local image service, save it as
// 生成二维码.BMP, open that file on the decode page, save the report as
// 解码_内容.txt and find the text in it. Zenqar.exe and the real PsyQrDcd.dll
// sit beside this test; round_trip.sh starts the service.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/tests/box_driver.h"
#include "text/codepage.h"

namespace decode::testing {
namespace {

std::wstring Wide(std::string_view gbk) {
  const std::u16string units = text::GbkToUtf16(gbk);
  return std::wstring(units.begin(), units.end());
}

std::string Gbk(const std::wstring& wide) { return text::Utf16ToGbk(std::u16string(wide.begin(), wide.end())); }

std::wstring ThisFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  *wcsrchr(path, L'\\') = L'\0';
  return path;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

struct ChildSearch {
  const wchar_t* window_class;
  std::wstring caption;  // empty: any
  DWORD style;           // all of these style bits
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
  auto& search = *reinterpret_cast<ChildSearch*>(context);
  wchar_t kind[64] = {}, caption[256] = {};
  GetClassNameW(child, kind, 64);
  GetWindowTextW(child, caption, 256);
  const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
  if (lstrcmpiW(kind, search.window_class) == 0 && IsWindowVisible(child) &&
      (search.caption.empty() || search.caption == caption) && (style & search.style) == search.style) {
    search.found = child;
  }
  return search.found == nullptr;
}

// A visible control of `window` (at any depth) of the class, with the caption.
HWND VisibleChild(HWND window, const wchar_t* window_class, const std::wstring& caption, DWORD style = 0) {
  ChildSearch search{window_class, caption, style};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct DialogSearch {
  DWORD process;
  HWND except;
  HWND found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t kind[64] = {};
  GetClassNameW(window, kind, 64);
  if (owner == search.process && window != search.except && IsWindowVisible(window) &&
      lstrcmpW(kind, L"#32770") == 0) {
    search.found = window;
  }
  return search.found == nullptr;
}

HWND WaitForDialog(DWORD process, HWND except, DWORD timeout_ms) {
  DialogSearch search{process, except};
  for (DWORD waited = 0; search.found == nullptr && waited < timeout_ms; waited += 100) {
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(100);
  }
  return search.found;
}

// Presses the left mouse button on `control` and lets it go, as a click does.
void Click(HWND control) {
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Characters as the keyboard delivers them to the control with the focus.
void Type(HWND control, const std::wstring& characters) {
  for (wchar_t c : characters) PostMessageW(control, WM_CHAR, c, 1);
}

// The control that has the keyboard focus in `window`'s thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  return gui.hwndFocus;
}

// Until the program has handled what it was given: its one thread answers
// only between commands. Then time to paint.
void WaitUntilIdle(HWND window) {
  Sleep(300);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
  Sleep(700);
}

// The text of the program's message box, which has no icon, once answered.
std::wstring AnswerMessage(DWORD process) {
  const FoundBox box = WaitForBox(process, Wide("信息："), 20000);
  if (box.window == nullptr) return L"<no message box>";
  EXPECT_FALSE(box.has_icon);
  PressOk(box.window);
  for (int tries = 0; tries < 100 && IsWindow(box.window); ++tries) Sleep(50);
  return box.text;
}

std::wstring TextOf(HWND control) {
  const auto length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string Separator() {
  std::string line;
  for (int i = 0; i < 23; ++i) line += "\xA1\xAA";
  return line + "\r\n";
}

// Whether `report` is one symbol block around `data`; says what differs.
std::string CheckOneSymbolReport(const std::string& report, const std::string& data) {
  const std::string header = "已解码数据 1 [模型版本: ";
  size_t at = 0;
  auto take = [&](const std::string& expected) {
    if (report.compare(at, expected.size(), expected) != 0) return false;
    at += expected.size();
    return true;
  };
  auto take_number = [&] {
    const size_t start = at;
    if (at < report.size() && report[at] == '-') ++at;
    while (at < report.size() && report[at] >= '0' && report[at] <= '9') ++at;
    return at > start;
  };
  if (!take(Separator()) || !take(header) || !take_number()) return "header line at byte " + std::to_string(at);
  if (!take(", 等级: L(7%)]\r\n")) return "level at byte " + std::to_string(at);
  if (!take(Separator()) || !take(data + "\r\n\r\n")) return "data at byte " + std::to_string(at);
  if (!take("符号位置：(")) return "corners at byte " + std::to_string(at);
  for (int i = 0; i < 8; ++i) {
    if (!take_number() || !take(i == 7 ? ")" : (i % 2 == 0 ? ", " : ")-("))) return "corner " + std::to_string(i);
  }
  if (!take("\r\n\r\n") || at != report.size()) return "end at byte " + std::to_string(at);
  return "";
}

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSavedFiles();
    std::wstring command = L"\"" + folder_ + L"\\Zenqar.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                               &startup, &process_));
    for (int tries = 0; tries < 200 && main_ == nullptr; ++tries) {
      if (HWND found = FindWindowW(nullptr, L"Zenqar")) main_ = found;
      else Sleep(100);
    }
    ASSERT_NE(main_, nullptr);
    WaitUntilIdle(main_);
  }
  void TearDown() override {
    if (main_ != nullptr) PostMessageW(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    RemoveSavedFiles();
  }
  void RemoveSavedFiles() {
    DeleteFileW(picture_file_.c_str());
    DeleteFileW(report_file_.c_str());
  }
  HWND Button(const char* caption) { return VisibleChild(main_, L"Button", Wide(caption)); }

  const std::wstring folder_ = ThisFolder();
  const std::wstring picture_file_ = folder_ + L"\\" + Wide("生成二维码.BMP");
  const std::wstring report_file_ = folder_ + L"\\" + Wide("解码_内容.txt");
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

TEST_F(RoundTrip, TypedChineseTextComesBackThroughTheSavedPictureAndReport) {
  const std::string typed = "扫码 Zenqar 你好！123";

  // The text page is shown at start; its one multi-line box takes the text.
  HWND content = VisibleChild(main_, L"Edit", L"", ES_MULTILINE);
  ASSERT_NE(content, nullptr);
  Click(content);
  Type(content, Wide(typed));
  WaitUntilIdle(main_);
  ASSERT_EQ(Gbk(TextOf(content)), typed);

  Click(Button("生成"));
  WaitUntilIdle(main_);
  Click(Button("保存生成二维码"));
  EXPECT_EQ(AnswerMessage(process_.dwProcessId), Wide("二维码保存成功"));
  const std::string picture = ReadFileBytes(picture_file_);
  ASSERT_EQ(picture.size(), 59994u) << "the picture box, border included, as a 24-bit BMP";

  HWND decode_label = VisibleChild(main_, L"ZenqarPageLabel", Wide("解码"));
  ASSERT_NE(decode_label, nullptr);
  Click(decode_label);
  WaitUntilIdle(main_);
  Click(Button("打开二维码图片"));
  HWND dialog = WaitForDialog(process_.dwProcessId, main_, 20000);
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  Sleep(500);
  // The dialog starts with the focus in its file-name box.
  Type(FocusOf(dialog), picture_file_);
  Sleep(300);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  for (int tries = 0; tries < 100 && IsWindowVisible(dialog); ++tries) Sleep(100);
  WaitUntilIdle(main_);

  HWND report_box = VisibleChild(main_, L"Edit", L"", ES_MULTILINE);
  ASSERT_NE(report_box, nullptr);
  const std::string shown = Gbk(TextOf(report_box));
  EXPECT_EQ(CheckOneSymbolReport(shown, typed), "") << shown;

  Click(Button("保存内容"));
  EXPECT_EQ(AnswerMessage(process_.dwProcessId), Wide("保存成功"));
  const std::string saved = ReadFileBytes(report_file_);
  EXPECT_EQ(saved, shown);
  EXPECT_NE(saved.find(typed), std::string::npos);
}

}  // namespace
}  // namespace decode::testing
