#include "app/picture_box_playback.h"

#include <algorithm>
#include <utility>

namespace app {

int FrameDelayMs(uint32_t centiseconds) {
  if (centiseconds <= 1) return 100;
  return static_cast<int>(std::min<uint32_t>(centiseconds, 0xFFFF) * 10);  // a GIF delay has 16 bits
}

FramePlayback::FramePlayback(std::vector<int> delays_ms, std::optional<uint32_t> loop_count)
    : delays_ms_(std::move(delays_ms)), running_(delays_ms_.size() > 1) {
  if (!loop_count) {
    repeats_left_ = 0;
  } else if (*loop_count > 0) {
    repeats_left_ = *loop_count;
  }
}

void FramePlayback::Advance() {
  if (!running_) return;
  if (frame_ + 1 < frame_count()) {
    ++frame_;
    return;
  }
  if (repeats_left_ && *repeats_left_ == 0) {
    running_ = false;
    return;
  }
  if (repeats_left_) --*repeats_left_;
  frame_ = 0;
}

}  // namespace app
