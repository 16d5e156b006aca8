// Drives Zenqar.exe as a user would: switches to a page by its label, types
// into the fields, presses the page's 生成 and captures the picture box.
//   generate_driver OUTDIR          each case's capture as OUTDIR/<case>.bmp and
//                                   the content it must hold as OUTDIR/<case>.expected
//   generate_driver --bench N LEN   N clicks on the text page with a text of LEN
//                                   characters; prints the click-to-picture times
//   generate_driver --no-service    a click with no service to answer: the picture
//                                   box must end up empty and no message appear
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "save/bmp_file.h"

namespace {

using app::ControlId;

constexpr int kFirstControlId = 1000;  // the window numbers its controls from here, in ControlId order

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\Zenqar.exe";
}

// The main window of the process started, not one a previous run left.
HWND WaitForWindow(DWORD process_id, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    for (HWND found = FindWindowW(nullptr, L"Zenqar"); found != nullptr;
         found = FindWindowExW(nullptr, found, nullptr, L"Zenqar")) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == process_id) return found;
    }
    Sleep(50);
  }
  return nullptr;
}

struct Search {
  int id;
  HWND found;
};

HWND Control(HWND window, ControlId id) {
  Search search{kFirstControlId + static_cast<int>(id), nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Press(HWND control) {
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Empties the box and types `text` into it character by character.
void Type(HWND box, const std::wstring& text) {
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  for (const wchar_t unit : text) SendMessageW(box, WM_CHAR, unit, 1);
}

// Clicks the button and returns once the program has run the command and
// painted: the click is handled synchronously, the paint when it is idle.
bool Click(HWND button, HWND picture_box) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result)) return false;
  RedrawWindow(picture_box, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return SendMessageTimeoutW(picture_box, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.good();
}

// What the screen shows of the control, border included. Under Wine another
// process's window DC reads back black, so the capture is taken from the
// screen.
std::string Capture(HWND control) {
  RECT outer;
  GetWindowRect(control, &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, outer.left, outer.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> pixels(save::BmpRowSize(width) * static_cast<size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const auto bmp = save::BmpFile(width, height, pixels);
  return std::string(bmp.begin(), bmp.end());
}

struct Field {
  ControlId box;
  std::wstring typed;
};

struct Case {
  const char* name;
  ControlId page_label;
  std::vector<Field> fields;
  ControlId button;
  const char* expected;  // UTF-8, as the symbol holds it
};

// Fields left out keep what they hold from the start, as after a fresh start.
const Case kCases[] = {
    {"text", ControlId::标签_文本, {{ControlId::编辑框_内容, L"Zenqar 二维码 test 1-2-3 ~/?"}},
     ControlId::按钮_文本二维码, "Zenqar 二维码 test 1-2-3 ~/?"},
    {"web_address", ControlId::标签_网址, {}, ControlId::按钮_网址生成, "网址:http://"},
    {"short_message", ControlId::标签_短信, {{ControlId::编辑框_短信, L"你好 hello"}, {ControlId::编辑框_手机, L"123"}},
     ControlId::按钮_短信生成, "短信内容:你好 hello手机号码:123"},
    {"wifi", ControlId::标签_wifi, {{ControlId::编辑框_网络账号, L"home"}, {ControlId::编辑框_密码, L"p;w"}},
     ControlId::按钮_网络账号生成, "网络账号:home加密类型:WPA:p;w"},
    {"business_card", ControlId::标签_名片, {{ControlId::编辑框_姓名, L"张三"}, {ControlId::编辑框_电话, L"123"}},
     ControlId::按钮_名片生成, "姓名:张三;单位:;职位:;电话:123;网址:http://;邮箱:;地址:;QQ:"},
};

int RunCases(HWND window, const std::string& out_dir) {
  HWND picture_box = Control(window, ControlId::图片框_二维码显示);
  int failures = 0;
  for (const Case& c : kCases) {
    Press(Control(window, c.page_label));
    for (const Field& field : c.fields) Type(Control(window, field.box), field.typed);
    if (!Click(Control(window, c.button), picture_box)) {
      std::printf("%s: the program did not answer the click (error %lu)\n", c.name, GetLastError());
      ++failures;
      continue;
    }
    const std::string base = out_dir + "\\" + c.name;
    if (!WriteFile(base + ".bmp", Capture(picture_box)) || !WriteFile(base + ".expected", c.expected)) ++failures;
  }
  return failures;
}

int RunBench(HWND window, int clicks, int length) {
  HWND picture_box = Control(window, ControlId::图片框_二维码显示);
  std::wstring text;
  for (int i = 0; i < length; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
  Type(Control(window, ControlId::编辑框_内容), text);
  HWND button = Control(window, ControlId::按钮_文本二维码);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < clicks; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!Click(button, picture_box)) return 1;
    QueryPerformanceCounter(&end);
    std::printf("%.2f\n", 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
  }
  return 0;
}

struct OtherWindows {
  DWORD process_id;
  HWND main_window;
  int count;
};

// Visible top-level windows of the program besides its main window: a
// message box would be one.
int CountOtherWindows(HWND main_window) {
  OtherWindows others{0, main_window, 0};
  GetWindowThreadProcessId(main_window, &others.process_id);
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* o = reinterpret_cast<OtherWindows*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == o->process_id && window != o->main_window && IsWindowVisible(window)) ++o->count;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&others));
  return others.count;
}

// Whether the capture inside the one-pixel border is all one colour.
bool IsBlank(const std::string& bmp) {
  const auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bmp[at])) | static_cast<uint8_t>(bmp[at + 1]) << 8 |
           static_cast<uint8_t>(bmp[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bmp[at + 3])) << 24;
  };
  const uint32_t offset = u32(10), width = u32(18), height = u32(22);
  const size_t stride = (width * 3 + 3) / 4 * 4;
  const std::string first = bmp.substr(offset + stride + 3, 3);
  for (uint32_t y = 1; y + 1 < height; ++y) {
    for (uint32_t x = 1; x + 1 < width; ++x) {
      if (bmp.compare(offset + y * stride + x * 3, 3, first) != 0) return false;
    }
  }
  return true;
}

int RunWithoutService(HWND window) {
  HWND picture_box = Control(window, ControlId::图片框_二维码显示);
  Type(Control(window, ControlId::编辑框_内容), L"abc");
  if (!Click(Control(window, ControlId::按钮_文本二维码), picture_box)) return 1;
  Sleep(300);  // time for a message box to show, were there one
  const bool blank = IsBlank(Capture(picture_box));
  const int others = CountOtherWindows(window);
  std::printf("no service: picture box %s, %d other windows\n", blank ? "empty" : "NOT empty", others);
  return blank && others == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool bench = argc == 4 && std::string(argv[1]) == "--bench";
  const bool no_service = argc == 2 && std::string(argv[1]) == "--no-service";
  if (argc != 2 && !bench) {
    std::fprintf(stderr, "usage: generate_driver OUTDIR | --bench CLICKS LENGTH | --no-service\n");
    return 2;
  }
  std::wstring command = L"\"" + ProgramPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start Zenqar.exe\n");
    return 1;
  }
  // The window exists before its controls do: wait until the program shows
  // it and waits for input.
  WaitForInputIdle(process.hProcess, 30000);
  HWND window = WaitForWindow(process.dwProcessId, 30000);
  for (int waited = 0; window != nullptr && !IsWindowVisible(window) && waited < 30000; waited += 50) Sleep(50);
  int status = 1;
  if (window == nullptr) {
    std::fprintf(stderr, "no Zenqar window\n");
  } else {
    status = bench        ? RunBench(window, std::atoi(argv[2]), std::atoi(argv[3]))
             : no_service ? RunWithoutService(window)
                          : RunCases(window, argv[1]);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}
