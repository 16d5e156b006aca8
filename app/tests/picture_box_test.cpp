// The picture box in a window of this process: what it shows, sampled from
// its own drawing, and how its animations run while messages are pumped.
#include "app/picture_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/tests/picture_box_fixtures.h"
#include "resources/pictures.h"

namespace app {
namespace {

using Bytes = std::vector<uint8_t>;
using test::FixtureBytes;
using test::kBottomLeft;
using test::kBottomRight;
using test::kTopLeft;
using test::kTopRight;

constexpr int kClientWidth = 145, kClientHeight = 133;  // of the 147 x 135 box

uint32_t Background() {
  const COLORREF c = GetSysColor(COLOR_BTNFACE);
  return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

::testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift = 0; shift <= 16; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << std::hex << "colour " << actual << " is not near " << expected;
    }
  }
  return ::testing::AssertionSuccess();
}

class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = GetModuleHandleW(nullptr);
    host.lpszClassName = L"PictureBoxTestHost";
    RegisterClassW(&host);
    host_ = CreateWindowExW(0, L"PictureBoxTestHost", L"picture box test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            300, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    box_ = CreatePictureBox(host_, 6, 14, 147, 135, 1001);
    ASSERT_NE(box_, nullptr);
  }
  void TearDown() override { DestroyWindow(host_); }

  // The client area as the box draws it, 0x00RRGGBB, rows top-down.
  std::vector<uint32_t> Capture() const {
    RECT client;
    GetClientRect(box_, &client);
    EXPECT_EQ(client.right, kClientWidth);
    EXPECT_EQ(client.bottom, kClientHeight);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kClientWidth, -kClientHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, canvas);
    SendMessageW(box_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> copy;
    for (int i = 0; i < kClientWidth * kClientHeight; ++i) copy.push_back(pixels[i] & 0xFFFFFF);
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    return copy;
  }

  uint32_t PixelAt(int x, int y) const { return Capture()[static_cast<size_t>(y * kClientWidth + x)]; }

  // Runs this thread's messages, timers among them, until `done` or the time is up.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) const {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeout_ms) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    return true;
  }

  PictureBoxState State() const { return GetPictureBoxState(box_); }

  HWND host_ = nullptr;
  HWND box_ = nullptr;
};

TEST_F(PictureBoxTest, ShowsEachReadFormatStretchedOverItsWholeClientArea) {
  const uint32_t black = 0x000000, white = 0xFFFFFF;
  const struct {
    const char* file;
    uint32_t quadrants[4];
    int tolerance;
  } cases[] = {
      {"quadrants.bmp", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants.jpg", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 24},
      {"quadrants87.gif", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants89.gif", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      // Icons and cursors hold a black 16 x 16 image before the 32 x 32 one.
      {"quadrants.ico", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants.cur", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants24.pcx", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants8.pcx", {kTopLeft, kTopRight, kBottomLeft, kBottomRight}, 2},
      {"quadrants1.pcx", {black, white, black, white}, 2},
  };
  // The outermost pixels show the picture too: no border of background,
  // although the box is wider than high and the pictures are square.
  const int right = kClientWidth - 1, bottom = kClientHeight - 1, mid_x = kClientWidth / 2, mid_y = kClientHeight / 2;
  const struct {
    int x, y, quadrant;
  } samples[] = {{0, 0, 0},          {right, 0, 1},          {0, bottom, 2},          {right, bottom, 3},
                 {mid_x / 2, mid_y / 2, 0}, {mid_x + mid_x / 2, mid_y / 2, 1}, {mid_x / 2, mid_y + mid_y / 2, 2},
                 {mid_x + mid_x / 2, mid_y + mid_y / 2, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = FixtureBytes(c.file);
    ASSERT_FALSE(bytes.empty());
    SetPictureBytes(box_, bytes);
    const PictureBoxState state = State();
    EXPECT_TRUE(state.has_picture);
    EXPECT_EQ(state.frame_count, 1);
    EXPECT_FALSE(state.animating);
    const std::vector<uint32_t> shown = Capture();
    for (const auto& s : samples) {
      EXPECT_TRUE(ColourNear(shown[static_cast<size_t>(s.y * kClientWidth + s.x)], c.quadrants[s.quadrant],
                             c.tolerance))
          << "at " << s.x << "," << s.y;
    }
  }
}

TEST_F(PictureBoxTest, LeavesTheBoxEmptyForBytesItDoesNotRead) {
  const std::string text = "not a picture";
  Bytes bmp_header_only = FixtureBytes("quadrants.bmp");
  bmp_header_only.resize(20);
  Bytes gif_cut_short = FixtureBytes("quadrants89.gif");
  gif_cut_short.resize(13);
  Bytes pcx_cut_short = FixtureBytes("quadrants24.pcx");
  pcx_cut_short.resize(200);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"PNG", FixtureBytes("quadrants.png")},
      {"empty bytes", {}},
      {"text", Bytes(text.begin(), text.end())},
      {"BMP header only", bmp_header_only},
      {"GIF without image", gif_cut_short},
      {"PCX cut short", pcx_cut_short},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetPictureBytes(box_, FixtureBytes("three_frames_looping.gif"));  // a picture, and an animation, to replace
    ASSERT_TRUE(State().has_picture);
    SetPictureBytes(box_, c.bytes);
    const PictureBoxState state = State();
    EXPECT_FALSE(state.has_picture);
    EXPECT_EQ(state.frame_count, 0);
    EXPECT_FALSE(state.animating);
    EXPECT_EQ(PixelAt(kClientWidth / 2, kClientHeight / 2), Background());
  }
}

// three_frames_*.gif: 50 ms frames in the colours of the quadrants' top left,
// top right and bottom left.
TEST_F(PictureBoxTest, PlaysALoopingGifFrameByFrameAndStartsOver) {
  SetPictureBytes(box_, FixtureBytes("three_frames_looping.gif"));
  EXPECT_EQ(State().frame_count, 3);
  EXPECT_EQ(State().frame, 0);
  EXPECT_TRUE(State().animating);
  EXPECT_TRUE(ColourNear(PixelAt(10, 10), kTopLeft, 2));

  ASSERT_TRUE(PumpUntil([&] { return State().frame == 1; }, 2000));
  EXPECT_TRUE(ColourNear(PixelAt(10, 10), kTopRight, 2)) << "the second frame is drawn";
  ASSERT_TRUE(PumpUntil([&] { return State().frame == 2; }, 2000));
  EXPECT_TRUE(ColourNear(PixelAt(10, 10), kBottomLeft, 2));
  ASSERT_TRUE(PumpUntil([&] { return State().frame == 0; }, 2000)) << "loop count 0 repeats";
  EXPECT_TRUE(ColourNear(PixelAt(10, 10), kTopLeft, 2));
  EXPECT_TRUE(State().animating);
}

// Timers never fire early, so a frame that is due only after a second is still
// on screen 400 ms on, whatever the machine's load.
TEST_F(PictureBoxTest, KeepsEachFrameForItsOwnDelay) {
  SetPictureBytes(box_, FixtureBytes("slow_first_frame.gif"));  // 1000 ms, then 50 ms frames
  PumpUntil([] { return false; }, 400);
  EXPECT_EQ(State().frame, 0);
  EXPECT_TRUE(PumpUntil([&] { return State().frame == 1; }, 3000));
}

TEST_F(PictureBoxTest, StopsAGifWithoutLoopCountOnItsLastFrame) {
  SetPictureBytes(box_, FixtureBytes("three_frames_once.gif"));
  ASSERT_TRUE(PumpUntil([&] { return !State().animating; }, 3000));
  EXPECT_EQ(State().frame, 2);
  EXPECT_TRUE(ColourNear(PixelAt(10, 10), kBottomLeft, 2));
  PumpUntil([] { return false; }, 300);  // well past three more frame delays
  EXPECT_EQ(State().frame, 2);
  EXPECT_TRUE(State().has_picture);
}

TEST_F(PictureBoxTest, ShowsTheCarriedPicturesAndTurnsTheWorkingOne) {
  SetPictureBytes(box_, resources::StartPicture());
  EXPECT_TRUE(State().has_picture);
  EXPECT_EQ(State().frame_count, 1);

  SetPictureBytes(box_, resources::WorkingPicture());
  EXPECT_EQ(State().frame_count, 9);
  EXPECT_TRUE(State().animating);
  const std::vector<uint32_t> first = Capture();
  ASSERT_TRUE(PumpUntil([&] { return State().frame == 1; }, 2000));
  EXPECT_NE(Capture(), first) << "the symbol turns";
  ASSERT_TRUE(PumpUntil([&] { return State().frame == 8; }, 3000));
  ASSERT_TRUE(PumpUntil([&] { return State().frame == 0; }, 2000)) << "it loops for ever";
  EXPECT_EQ(Capture(), first);
}

}  // namespace
}  // namespace app
