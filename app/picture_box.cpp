#include "app/picture_box.h"

#include <memory>
#include <utility>

#include "app/picture_box_decode.h"
#include "app/picture_box_playback.h"

namespace app {

namespace {

constexpr wchar_t kClassName[] = L"ZenqarPictureBox";
constexpr UINT kSetPictureMessage = WM_USER + 1;  // lParam: const std::vector<uint8_t>*
constexpr UINT kGetStateMessage = WM_USER + 2;    // lParam: PictureBoxState*
constexpr UINT_PTR kAnimationTimer = 1;

// The box without a picture, and the transparent parts of pictures, show the
// colour of dialog surfaces.
uint32_t BackgroundRgb() {
  const COLORREF colour = GetSysColor(COLOR_BTNFACE);
  return static_cast<uint32_t>(GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour));
}

class PictureBoxWindow {
 public:
  explicit PictureBoxWindow(HWND window) : window_(window) {}

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint;
        Paint(BeginPaint(window_, &paint));
        EndPaint(window_, &paint);
        return 0;
      }
      case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wparam));
        return 0;
      case WM_ERASEBKGND:
        return 1;  // Paint covers the whole client area
      case WM_TIMER:
        if (wparam != kAnimationTimer) break;
        OnAnimationTimer();
        return 0;
      case kSetPictureMessage:
        SetPicture(*reinterpret_cast<const std::vector<uint8_t>*>(lparam));
        return 0;
      case kGetStateMessage:
        *reinterpret_cast<PictureBoxState*>(lparam) = State();
        return 0;
      case WM_DESTROY:
        KillTimer(window_, kAnimationTimer);
        break;
    }
    return DefWindowProcW(window_, message, wparam, lparam);
  }

 private:
  void SetPicture(const std::vector<uint8_t>& bytes) {
    std::optional<DecodedPicture> picture = DecodePicture(bytes, BackgroundRgb());
    if (picture) {
      shown_ = std::move(picture->first_frame);
      later_frames_ = std::move(picture->frames);
      playback_ = FramePlayback(std::move(picture->delays_ms), picture->loop_count);
    } else {
      shown_ = {};
      later_frames_.reset();
      playback_ = {};
    }
    ScheduleNextFrame();
    InvalidateRect(window_, nullptr, FALSE);
  }

  void OnAnimationTimer() {
    const int before = playback_.frame();
    playback_.Advance();
    if (playback_.frame() != before && later_frames_ != nullptr) {
      // A frame the imaging library fails on leaves the one before it shown.
      if (std::optional<Pixels> frame = later_frames_->Render(playback_.frame())) shown_ = std::move(*frame);
      InvalidateRect(window_, nullptr, FALSE);
    }
    ScheduleNextFrame();
  }

  void ScheduleNextFrame() {
    if (playback_.running()) {
      SetTimer(window_, kAnimationTimer, static_cast<UINT>(playback_.delay_ms()), nullptr);
    } else {
      KillTimer(window_, kAnimationTimer);
    }
  }

  PictureBoxState State() const {
    const bool has_picture = !shown_.rgb.empty();
    return {has_picture, playback_.frame(), has_picture ? playback_.frame_count() : 0, playback_.running()};
  }

  // The one place that draws: the picture stretched over the client area,
  // proportions not kept, or the background when there is none.
  void Paint(HDC dc) const {
    RECT client;
    GetClientRect(window_, &client);
    if (shown_.rgb.empty()) {
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shown_.width;
    info.bmiHeader.biHeight = -shown_.height;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE asks for it to be set after the mode
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, shown_.width, shown_.height, shown_.rgb.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }

  HWND window_;
  Pixels shown_;  // the frame on screen; empty when there is no picture
  std::unique_ptr<GifFrames> later_frames_;
  FramePlayback playback_;
};

LRESULT CALLBACK PictureBoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PictureBoxWindow(window)));
  }
  auto* box = reinterpret_cast<PictureBoxWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (box == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete box;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return box->Handle(message, wparam, lparam);
}

void RegisterPictureBoxClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, kClassName, &existing)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_HREDRAW | CS_VREDRAW;  // a stretched picture changes as a whole
  window_class.lpfnWndProc = PictureBoxProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);
}

}  // namespace

HWND CreatePictureBox(HWND parent, int x, int y, int width, int height, int id) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterPictureBoxClass(instance);
  return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void SetPictureBytes(HWND box, const std::vector<uint8_t>& bytes) {
  SendMessageW(box, kSetPictureMessage, 0, reinterpret_cast<LPARAM>(&bytes));
}

PictureBoxState GetPictureBoxState(HWND box) {
  PictureBoxState state;
  SendMessageW(box, kGetStateMessage, 0, reinterpret_cast<LPARAM>(&state));
  return state;
}

}  // namespace app
